// The stock exit and transfer dialog, "Iesire produs" / "Transfer produs" (ui/stock): the
// card's location, product, unit, price and stock; the document name, number and date; the
// quantity leaving with its value (dark blue, red above the stock); and for a transfer the
// destination location. Bound to core::ExitForm, which holds the lists, the proposals, the
// checks and the document handed back; the product card posts the movements.
#pragma once

#include <QDialog>

#include "core/stock/ExitForm.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class EnterEscFilter;

class TOutProdusF : public QDialog {
    Q_OBJECT
  public:
    // The session gives the engine, the settings counters and the stock locations.
    explicit TOutProdusF(core::Session& session, QWidget* parent = nullptr);

    // ResetExitDialog for `card`, then the dialog modally: "Iesire produs" without a
    // destination, or "Transfer produs" with "Beneficiar". True after "Memoreaza" passed its
    // checks (the document's counter then holds its number + 1).
    bool AskExit(const core::ExitCard& card);
    bool AskTransfer(const core::ExitCard& card);
    // The exit described by the last saved Ask*.
    core::ExitDocument document() const { return form_.document(); }

    const core::ExitForm& form() const { return form_; }

  private:
    void BuildControls();
    void BuildLayout();
    bool Ask(const core::ExitCard& card, bool transfer);
    void ShowFields();
    void ShowValue();
    void ReadFields();
    void MemoButClick();

    core::Session& session_;
    core::ExitForm form_;
    EnterEscFilter* keys_ = nullptr;

    QLabel* Titlu;
    QLabel* GesText;
    QLabel* ProdText;
    QLabel* UmText;
    QLabel* PretText;
    QLabel* StocText;
    QLabel* ValStocText;
    QComboBox* DocJusBox;
    QLineEdit* NrDocEdit;
    QDateEdit* DataEdit;
    QLineEdit* CantEdit;
    QLabel* ValText;
    QLabel* BeneficiarLabel;
    QComboBox* BeneficiarBox;
    QPushButton* MemoBut;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
