// The receipt window "Incasare" (ui/sales): the document being collected shown on top, the
// way of collecting (cash receipt, transfer or compensation with its instrument, fiscal
// receipt), the date, the sum and what it stands for. It copies its fields to and from a
// core::ReceiptEntry, whose checks and question decide whether "&Memoreaza" saves.
#pragma once

#include <QDialog>

#include "core/sales/Receipts.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tvx::ui {

class TChitOutF : public QDialog {
    Q_OBJECT
  public:
    explicit TChitOutF(QWidget* parent = nullptr);

    // Shows `entry` (prepared by ReceiptEntry::open) modally; true after a save, with the
    // fields written back into `entry`. Esc closes without saving.
    bool NewReceipt(core::ReceiptEntry& entry);

  private:
    void ShowFields();
    void ReadFields();
    void ModeChanged();
    void LimitText();
    void B11Click();

    core::ReceiptEntry* entry_ = nullptr;
    QLabel* GesText;
    QLabel* CumpText;
    QLabel* FactText;
    QLabel* RestText;
    QRadioButton* RB1;
    QRadioButton* RB2;
    QRadioButton* RB3;
    QComboBox* DocName;
    QLineEdit* NrDoc;
    QLineEdit* NrBon;
    QDateEdit* DinData;
    QLineEdit* SumaEd;
    QPlainTextEdit* Reprez;
    QPushButton* B11;
};

}  // namespace tvx::ui
