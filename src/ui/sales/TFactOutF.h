// The sales window "Facturi de iesire - Vanzari" (ui/sales): the outgoing documents with their
// filters by location, buyer, unpaid state and fiscal code, the receipts of the current one,
// and the commands that start from them -- a new, modified, viewed or deleted document through
// the editor behind ui::InvoiceEditing and the postings of core/sales, and the receipts through
// TChitOutF, the printed invoice with or without its receipt, the receipt alone, and the work
// estimate with its service order, and the e-invoice XML of the current document. Opened after
// a pre-order's "&Factureaza", it starts a new document with that pre-order's buyer. Every rule,
// question and statement is core's; the window binds the grids and fields to it.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/sales/Receipts.h"
#include "core/workshop/ServiceOrders.h"
#include "printing/ReportOutput.h"
#include "ui/common/GridModel.h"
#include "ui/sales/InvoiceEditing.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tvx::core {
class Session;
}

namespace tvx::tables {
class ResultSet;
}

namespace tvx::ui {

class TChitOutF;

class TFactOutF : public QDialog {
    Q_OBJECT
  public:
    explicit TFactOutF(QWidget* parent = nullptr);
    ~TFactOutF() override;

    void Bind(core::Session& session);
    // The editor of documents (not owned); until set, the document commands do nothing.
    void setEditor(InvoiceEditing* editor);
    // "Da" to the receipt questions about the series or the free numbers opens the
    // administration window; until set, nothing opens.
    void setAdministrationOpener(std::function<void()> open);

    // Prints a report at once with its copies (without preview). May throw (EngineError): the
    // window shows the message and the document is not counted as printed. The default prints
    // on the system's default printer; an empty function puts it back.
    using PrintHook = std::function<void(printing::ReportJob& job, int copies)>;
    void setPrintHook(PrintHook hook);

    // "Listeaza deviz" asks for the service order of the invoice: the dialog shows it and
    // gives the saved order back, nullopt when cancelled. Until set, no estimate is printed.
    using ServiceOrderEditor = std::function<std::optional<core::ServiceOrder>(long long idFacto)>;
    void setServiceOrderEditor(ServiceOrderEditor edit);

    // Fills the filter and print fields from the settings file, lists the documents on the
    // last one, shows the window modally and, when it closes, keeps the chosen location and
    // print fields in the settings file. `fromPreorder` stays set for the whole visit.
    void OpenInvoiceList(bool fromPreorder);

    // The save dialog of "XML e-Factura"; tests replace it. Gets the proposed file name, gives
    // the chosen path, empty when cancelled. An empty function puts the default back.
    static void setXmlPathChooser(std::function<QString(QWidget*, const QString&)> choose);
    bool fromPreorder() const { return fromPreorder_; }
    // After a pre-order's "&Factureaza": the list opens marked as coming from it and, once
    // shown, starts a new document on the chosen location with the pre-order's buyer; every
    // new document of this visit starts with that buyer.
    void OpenFromPreorder(const core::PreorderBuyer& buyer);

  private:
    // Controls and layout (TFactOutFLayout.cpp).
    void BuildControls();
    void BuildLayout();
    void ConnectCommands();
    static std::vector<GridColumn> DocumentColumns();
    static std::vector<GridColumn> ReceiptColumns();

    // Lists: both reopened, the documents filtered and positioned on `idFacto` (the last row
    // when absent or filtered out), the receipts on `idChit` (the first when absent).
    void Reload(std::optional<long long> idFacto, std::optional<long long> idChit);
    void CloseLists();
    void FillBuyers();
    std::string FilterText() const;
    void GesBoxChange();
    void FxAfterScroll(std::optional<long long> idChit = std::nullopt);
    void SMDBGrid2TitleClick(int section);
    std::optional<long long> CurrentDocument() const;
    std::optional<core::Receipt> CurrentReceipt() const;
    void ReloadProfile();

    // Right after a visit from a pre-order is shown: "Adauga Factura".
    void Timer1Timer();

    // Documents.
    void AddSelClick();
    void EditSelClick();
    void DetOutClick();
    void DelSelClick();

    // Receipts.
    void AddIncClick();
    void DelIncClick();

    // Printing (TFactOutFPrint.cpp): "Factura" and "Fact.+chitanta" for the current document
    // or, without preview, for every selected one; one document with its copies.
    void ListFactClick(bool withReceipt);
    void PrintInvoice(long long idFacto, bool withReceipt, int copies);
    // "Chitanta": the current cash receipt on its page (three copies of it), one printout.
    void ListChitClick();
    // "Listeaza deviz": the work estimate of the current invoice with its service order, in
    // preview.
    void ComandaButClick();
    // "XML e-Factura" (TFactOutFXml.cpp): the e-invoice of the current document.
    void XMLButClick();

    core::Session* session_ = nullptr;
    InvoiceEditing* editor_ = nullptr;
    std::function<void()> administrationOpener_;
    PrintHook printHook_;
    ServiceOrderEditor orderEditor_;
    bool fromPreorder_ = false;
    std::optional<core::PreorderBuyer> preorder_;
    std::string sortField_;
    std::unique_ptr<tables::ResultSet> documents_;
    std::unique_ptr<tables::ResultSet> receipts_;
    bool reloading_ = false;
    core::ReceiptEntry receiptEntry_;
    TChitOutF* receiptDialog_;

    QLabel* Heading;
    QComboBox* GesBox;
    QComboBox* CumpBox;
    QLineEdit* CuiEd;
    QCheckBox* NeincCheck;
    QLineEdit* NrEx;
    QCheckBox* PreviewCheck;
    QCheckBox* StampCheck;
    QPushButton* DetOut;
    QPushButton* AddSel;
    QPushButton* EditSel;
    QPushButton* DelSel;
    QPushButton* ListFact;
    QPushButton* ListChit;
    QPushButton* ListFactChit;
    QPushButton* ComandaBut;
    QPushButton* XMLBut;
    QLabel* GridTitle;
    QTableView* SMDBGrid2;
    ResultSetModel* documentModel_;
    QLabel* ObsText;
    QTableView* GridChit;
    ResultSetModel* receiptModel_;
    QPushButton* AddInc;
    QPushButton* DelInc;
};

}  // namespace tvx::ui
