// The windows of one run and how they meet (ui/app): the splash first, then the main window,
// the administration and backup windows, the purchase, stock and sales windows; the buttons,
// hooks and signals wired between them. The
// program's entry and the window tests build the whole application through this class.
#pragma once

#include <QObject>
#include <memory>

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TForm1;
class TForm3;
class TForm4;
class TForm21;
class TFactInF;
class TNIRF;
class TMagazieF;
class TFactOutF;
class TFactOutAddF;
class TProdAddF;
class TServAddF;
class TAddComanda;
class TCatalog;
class TFisaProdF;
class TFAvize;
class TOutProdusF;
class TServAuto;
class TFiseClF;
class TSelectFactF;
class TExportF;
class TFPrecomanda;
class TRegCasaF;
class TGarantiiF;

class Application : public QObject {
    Q_OBJECT
  public:
    explicit Application(core::Session& session, QObject* parent = nullptr);
    ~Application() override;

    // Shows the splash, whose timer runs the start-up.
    void start();
    // Brings the running program forward (a second copy was started).
    void comeForward();

    core::Session& session() const { return session_; }
    TForm1& splash() const { return *splash_; }
    TForm3& main() const { return *main_; }
    TForm4& admin() const { return *admin_; }
    TForm21& backup() const { return *backup_; }
    TFactInF& incoming() const { return *incoming_; }
    TNIRF& notes() const { return *notes_; }
    TMagazieF& warehouse() const { return *warehouse_; }
    TFactOutF& sales() const { return *sales_; }
    TFactOutAddF& invoiceEditor() const { return *invoiceEditor_; }
    TProdAddF& productPicker() const { return *productPicker_; }
    TServAddF& servicePicker() const { return *servicePicker_; }
    TCatalog& catalog() const { return *catalog_; }
    TAddComanda& serviceOrder() const { return *serviceOrder_; }
    TFisaProdF& productCard() const { return *productCard_; }
    TOutProdusF& exitDialog() const { return *exitDialog_; }
    TFAvize& deliveryNotes() const { return *deliveryNotes_; }
    TServAuto& timeNorms() const { return *timeNorms_; }
    TFiseClF& clientStatements() const { return *clientStatements_; }
    TSelectFactF& unpaidSelection() const { return *unpaidSelection_; }
    TExportF& exportWindow() const { return *exportWindow_; }
    TFPrecomanda& preOrders() const { return *preOrders_; }
    TRegCasaF& cashBook() const { return *cashBook_; }
    TGarantiiF& warranties() const { return *warranties_; }

  signals:
    // The program ends with this exit code (main window closed, restore done, start failed).
    void finished(int exitCode);

  private:
    void WireSales();
    void WireWorkshop();
    void WireSaga();
    // The stock, activity, declaration 394 and client reports of the report menu.
    void WireReports();
    void WireJournals();
    void WirePreOrders();
    void WireCashBook();
    void WireWorkbooks();

    core::Session& session_;
    std::unique_ptr<TForm1> splash_;
    std::unique_ptr<TForm3> main_;
    std::unique_ptr<TForm4> admin_;
    std::unique_ptr<TForm21> backup_;
    std::unique_ptr<TFactInF> incoming_;
    std::unique_ptr<TNIRF> notes_;
    std::unique_ptr<TMagazieF> warehouse_;
    // Each sales dialog belongs to the one it is opened from, which is declared first.
    std::unique_ptr<TFactOutF> sales_;
    std::unique_ptr<TFactOutAddF> invoiceEditor_;
    std::unique_ptr<TProdAddF> productPicker_;
    std::unique_ptr<TServAddF> servicePicker_;
    std::unique_ptr<TCatalog> catalog_;
    std::unique_ptr<TAddComanda> serviceOrder_;
    std::unique_ptr<TFisaProdF> productCard_;
    std::unique_ptr<TOutProdusF> exitDialog_;
    std::unique_ptr<TFAvize> deliveryNotes_;
    std::unique_ptr<TServAuto> timeNorms_;
    std::unique_ptr<TFiseClF> clientStatements_;
    std::unique_ptr<TSelectFactF> unpaidSelection_;
    std::unique_ptr<TExportF> exportWindow_;
    std::unique_ptr<TFPrecomanda> preOrders_;
    std::unique_ptr<TRegCasaF> cashBook_;
    std::unique_ptr<TGarantiiF> warranties_;
};

}  // namespace tvx::ui
