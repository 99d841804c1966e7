// The payment dialog "Adaugare plata" / "Modificare plata" (ui/purchases): the paid document
// shown above the fields "Se achita cu", "Seria si numarul", "din data" and "Suma de", bound
// to core::PaymentEntry, whose check "&Memoreaza" shows at its control.
#pragma once

#include <QDialog>

#include "core/purchases/PaymentEntry.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tvx::ui {

class TChitInAddF : public QDialog {
    Q_OBJECT
  public:
    explicit TChitInAddF(QWidget* parent = nullptr);

    // The state shown; the caller prepares it (IncomingInvoices::startNewPayment or
    // startEditPayment) and reads it after a save.
    core::PaymentEntry& entry() { return entry_; }

    // NewPayment / EditPayment: shows the prepared entry modally under its title; true after
    // a save whose check passed.
    bool NewPayment() { return Run(); }
    bool EditPayment() { return Run(); }

  private:
    bool Run();
    void ShowFields();
    void ReadFields();
    void MemoButClick();

    core::PaymentEntry entry_;
    QLabel* Titlu;
    QLabel* Furnizor;
    QLabel* Document;
    QLabel* TotalValoare;
    QLabel* RestDePlata;
    QComboBox* SeAchitaCu;
    QLineEdit* SeriaNr;
    QDateEdit* DinData;
    QLineEdit* SumaDe;
    QPushButton* MemoBut;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
