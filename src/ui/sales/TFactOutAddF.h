// The outgoing invoice editor window (ui/sales): one invoice or fiscal receipt bound to
// core::InvoiceEditor, opened by the invoice list in the modes new, modify and view. The
// window copies its controls into the editor, lets the core react (document type, buyer
// completion, the account's bank, lines and totals) and copies back what it computed; lines
// come from the product and service pickers set as hooks. A confirmed "&Memoreaza" hands the
// document to the list's posting and closes only when that succeeded.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/sales/InvoiceEditor.h"
#include "ui/common/GridModel.h"
#include "ui/sales/InvoiceEditing.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimeEdit;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TFactOutAddF : public QDialog, public InvoiceEditing {
    Q_OBJECT
  public:
    explicit TFactOutAddF(QWidget* parent = nullptr);

    // Binds the window to the session (again after the engine was replaced).
    void Bind(core::Session& session);
    void setProductPicker(ProductPicker picker) { productPicker_ = std::move(picker); }
    void setServicePicker(ServicePicker picker) { servicePicker_ = std::move(picker); }
    // The time norms window (OpenTimeNorms): for a car-service business "Adauga Serviciu"
    // rebuilds the labour lines from the operations it confirms.
    void setTimeNorms(std::function<bool()> open) { timeNorms_ = std::move(open); }
    // The editor's state; valid after Bind.
    core::InvoiceEditor& editor() { return *editor_; }

    bool newInvoice(const std::string& location, const std::optional<core::PreorderBuyer>& preorder,
                    const PostDocument& post) override;
    bool modifyInvoice(long long idFacto, const PostDocument& post) override;
    void viewInvoice(long long idFacto) override;

  private:
    // TFactOutAddFLayout.cpp
    void BuildControls();
    void BuildLayout();
    static std::vector<GridColumn> LineColumns();

    void ConnectReactions();
    bool Run();
    void ApplyMode();
    // Editor -> controls, without setting off reactions; `lists` refills the drop-downs.
    void ShowFields(bool lists);
    void ShowBuyer();
    void ShowTotals();
    // Reloads the grid, the line `nrCrt` current (the first when 0 or missing).
    void ShowLines(long long nrCrt);
    // Controls -> editor.
    void ReadFields();
    long long CurrentLine() const;

    void B11Click();
    // The VAT rate prices the line: one outside its range is shown at its field instead.
    bool RateRefused();
    void AddProdClick();
    void AddServClick();
    void AddWorkshopLines();
    void DelLinClick();
    void CumpaBoxChange();
    void ComboBox1Change();
    void Edit4Change();

    std::optional<core::InvoiceEditor> editor_;
    const core::Session* boundSession_ = nullptr;
    ProductPicker productPicker_;
    ServicePicker servicePicker_;
    std::function<bool()> timeNorms_;
    PostDocument post_;
    std::unique_ptr<tables::ResultSet> lines_;
    ResultSetModel* linesModel_ = nullptr;
    bool completing_ = false;  // buyer completion running
    bool pending_ = false;     // a buyer change arrived meanwhile

    QLabel* Titlu;
    QLabel* GestiuneLbl;
    QWidget* HeaderPanel;
    QWidget* BuyerPanel;
    QWidget* ShippingPanel;
    QWidget* LinesPanel;
    QComboBox* ComboBox1;
    QLineEdit* SeriaEd;
    QLineEdit* NrEd;
    QComboBox* IbanBox;
    QDateEdit* DinData;
    QDateEdit* TermenPl;
    QComboBox* CumpaBox;
    QCheckBox* AutoCompl;
    QLineEdit* RegComEd;
    QLineEdit* CuiEd;
    QLineEdit* TvaEd;
    QComboBox* JudBox;
    QLineEdit* LocEd;
    QPlainTextEdit* AdresaMemo;
    QLineEdit* BancaEd;
    QLineEdit* Edit4;
    QComboBox* ReprezBox;
    QLineEdit* ObsEd;
    QLineEdit* DelegEd;
    QLineEdit* MijtEd;
    QDateEdit* DataLiv;
    QTimeEdit* OraLiv;
    QLineEdit* OperatorEd;
    QTableView* LiniiGrid;
    QPushButton* AddProd;
    QPushButton* AddServ;
    QPushButton* DelLin;
    QLabel* TotalVal;
    QLabel* TotalTva;
    QLabel* TotalPlata;
    QPushButton* B11;
    QPushButton* Renunt;
};

}  // namespace tvx::ui
