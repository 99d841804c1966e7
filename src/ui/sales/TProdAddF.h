// The product picker "Adaugare produs" (ui/sales): the lots of the document's work table
// Stoc.dbf in a grid, bound to core::ProductPicker. Typing a name narrows the grid, a barcode
// finds its lot, the quantity gives the total with VAT, "Cautare a&vansata" finds a name in
// every location through TCAvans, and "&Adauga" hands the chosen lot back to the editor.
#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>

#include "core/sales/ProductPicker.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class ResultSetModel;
class TCAvans;

class TProdAddF : public QDialog {
    Q_OBJECT
  public:
    explicit TProdAddF(QWidget* parent = nullptr);

    // Binds the window (and its advanced search) to the session (again after the engine
    // was replaced).
    void Bind(core::Session& session);
    // The picker's state; valid after Bind.
    core::ProductPicker& picker() { return *picker_; }
    TCAvans& advancedSearch() { return *avans_; }

    // PickStockProduct: the lot chosen from `stockTable` with its quantity, warranty, remark
    // and section; nullopt when cancelled. The switch is stored whichever way it closes.
    std::optional<core::ProductPick> pickStockProduct(const std::filesystem::path& stockTable);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildLayout();
    void ConnectReactions();
    // Widgets -> picker; picker -> widgets (quietly); the grid over the picker's rows.
    void ReadFields();
    void ShowFields();
    void ShowRows();
    // Copies the widgets in, runs `reaction` on the picker and shows its outcome.
    template <typename Reaction>
    void React(Reaction&& reaction, bool rowsChanged = true);

    void ProdEdChange();
    void CodBareEdEnter();
    void RowChosen();
    void DoarMarfaClick();
    void CautareAvansataClick();
    void B11Click();

    core::Session* session_ = nullptr;
    const void* boundDb_ = nullptr;
    std::optional<core::ProductPicker> picker_;
    bool showingRows_ = false;

    QLineEdit* ProdEd;
    QLineEdit* CodBareEd;
    QLineEdit* CantEd;
    QLabel* UmLabel;
    QPlainTextEdit* ObsEd;
    QDateEdit* GarantieEd;
    QLabel* TotalL;
    QWidget* SectiaPanel;
    QLineEdit* SectiaEd;
    QCheckBox* DoarMarfa;
    QTableView* SMDBGrid3;
    ResultSetModel* model_;
    QPushButton* B11;
    QPushButton* Renunt;
    QPushButton* CautareAvansataB;
    TCAvans* avans_;
};

}  // namespace tvx::ui
