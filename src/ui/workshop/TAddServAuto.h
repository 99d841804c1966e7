// The operation dialog "Operatiune Service" (ui/workshop): one operation of the time norms
// bound to core::TimeNormEntry. Changing the car type or the section proposes the rate kept in
// the settings for them; "&Memoreaza" copies the fields back and shows the first failed check
// at its field; Esc and "&Renunt" close it without saving. It writes nothing itself.
#pragma once

#include <QDialog>

#include "core/workshop/TimeNormEntry.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tvx::core {
class Settings;
}

namespace tvx::ui {

class TAddServAuto : public QDialog {
    Q_OBJECT
  public:
    explicit TAddServAuto(QWidget* parent = nullptr);

    // The settings the proposed rate is read from.
    void Bind(core::Settings& settings) { settings_ = &settings; }
    core::TimeNormEntry& entry() { return entry_; }

    // Shows the entry the caller prepared (TimeNorms::startAdd / startEdit) modally. True
    // after a save whose checks passed; the entry then holds the values to store.
    bool EditOperation();

  private:
    void ShowFields();
    void ReadFields();
    void CarOrSectionChange();
    void BitBtn1Click();

    core::TimeNormEntry entry_;
    core::Settings* settings_ = nullptr;
    QComboBox* TipAuto;
    QComboBox* Sectia;
    QLineEdit* Denumire;
    QLineEdit* CodOp;
    QLineEdit* Timp;
    QLineEdit* Tarif;
    QPushButton* BitBtn1;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
