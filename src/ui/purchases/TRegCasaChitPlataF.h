// The manual cash entry dialog "Adaugare plata" / "Adaugare incasare" of the cash register
// book (ui/purchases): "Document justif.", "Seria", "Numarul", "din data", "Suma de" and
// "Reprezentand", bound to core::CashEntry, whose check "Adauga" shows at its control.
#pragma once

#include <QDialog>

#include "core/purchases/CashEntry.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tvx::ui {

class TRegCasaChitPlataF : public QDialog {
    Q_OBJECT
  public:
    explicit TRegCasaChitPlataF(QWidget* parent = nullptr);

    // The state shown; the caller opens it (CashEntry::open) and reads it after a save.
    core::CashEntry& entry() { return entry_; }

    // Shows the prepared entry modally under its title; true after "Adauga" passed the checks.
    bool AddEntry();

  private:
    void ShowFields();
    void ReadFields();
    void AdaugaClick();

    core::CashEntry entry_;
    QLabel* Titlu;
    QComboBox* DocJustif;
    QLineEdit* Seria;
    QLineEdit* Numarul;
    QDateEdit* DinData;
    QLineEdit* SumaDe;
    QLineEdit* Reprezentand;
    QPushButton* Adauga;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
