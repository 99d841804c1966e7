// Creating the windows and wiring them together. The splash, the main window and the
// administration (which loads the company profile at the start) are built at once; every
// other window is defined here and built, then wired, the first time it is asked for.
#include "ui/app/Application.h"

#include "core/admin/Users.h"
#include "core/app/Session.h"
#include "ui/admin/TForm21.h"
#include "ui/admin/TForm4.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"
#include "ui/purchases/TFactInF.h"
#include "ui/purchases/TRegCasaF.h"
#include "ui/reports/TExportF.h"
#include "ui/sales/InvoiceEditing.h"
#include "ui/sales/TFAvize.h"
#include "ui/sales/TFactOutAddF.h"
#include "ui/sales/TFactOutF.h"
#include "ui/sales/TFiseClF.h"
#include "ui/sales/TGarantiiF.h"
#include "ui/sales/TProdAddF.h"
#include "ui/sales/TServAddF.h"
#include "ui/stock/TFisaProdF.h"
#include "ui/stock/TMagazieF.h"
#include "ui/stock/TNIRF.h"
#include "ui/stock/TOutProdusF.h"
#include "ui/workshop/TAddComanda.h"
#include "ui/workshop/TCatalog.h"
#include "ui/workshop/TFPrecomanda.h"
#include "ui/workshop/TServAuto.h"

namespace tvx::ui {

namespace {

// The editor as the invoice list sees it, built and bound to the session at its first use.
class EditorOnDemand : public InvoiceEditing {
  public:
    explicit EditorOnDemand(std::function<InvoiceEditing&()> editor) : editor_(std::move(editor)) {}
    bool newInvoice(const std::string& location,
                    const std::optional<core::PreorderBuyer>& preorder,
                    const PostDocument& post) override {
        return editor_().newInvoice(location, preorder, post);
    }
    bool modifyInvoice(long long idFacto, const PostDocument& post) override {
        return editor_().modifyInvoice(idFacto, post);
    }
    void viewInvoice(long long idFacto) override { editor_().viewInvoice(idFacto); }

  private:
    std::function<InvoiceEditing&()> editor_;
};

}  // namespace

Application::Application(core::Session& session, QObject* parent)
    : QObject(parent), session_(session) {
    TForm1::Steps steps;
    steps.setMainTitle = [this] { main_->setWindowTitle(core::kVersionText); };
    steps.loadProfile = [this] { admin_->LoadProfile(); };
    steps.showMain = [this] { main_->ShowLoggedOut(); };
    steps.startFailed = [this] { emit finished(1); };
    splash_ = std::make_unique<TForm1>(session_, std::move(steps));
    main_ = std::make_unique<TForm3>(session_);
    admin_ = std::make_unique<TForm4>(session_, main_.get());

    backup_.define([this] { return std::make_unique<TForm21>(session_, main_.get()); },
                   [this](TForm21& backup) {
                       connect(&backup, &TForm21::restartNeeded, this, [this] { emit finished(0); });
                   });
    incoming_.define([this] { return std::make_unique<TFactInF>(session_, main_.get()); });
    notes_.define([this] { return std::make_unique<TNIRF>(session_, main_.get()); },
                  [this](TNIRF& notes) { notes.setAdministrationOpener([this] { admin_->Open(); }); });
    productCard_.define(
        [this] { return std::make_unique<TFisaProdF>(session_, main_.get()); },
        [this](TFisaProdF& card) {
            card.setAdministrationOpener([this] { admin_->Open(); });
            card.askExit = [this](const core::ExitCard& exit,
                                  bool transfer) -> std::optional<core::ExitDocument> {
                TOutProdusF& dialog = exitDialog();
                const bool saved = transfer ? dialog.AskTransfer(exit) : dialog.AskExit(exit);
                if (!saved) return std::nullopt;
                return dialog.document();
            };
        });
    exitDialog_.define([this] { return std::make_unique<TOutProdusF>(session_, &productCard()); });
    deliveryNotes_.define([this] { return std::make_unique<TFAvize>(session_, main_.get()); });
    warehouse_.define([this] { return std::make_unique<TMagazieF>(session_, main_.get()); });
    main_->setReportHandler(core::ReportId::Inventory,
                            [this](const ReportRequest&) { warehouse().OpenWarehouse(); });
    WireSales();
    WireWorkshop();
    WireSaga();
    WireReports();
    WireJournals();
    WirePreOrders();
    WireCashBook();
    WireWorkbooks();

    using C = core::MainCommand;
    main_->setOpener(C::Administration, [this] { admin_->Open(); });
    main_->setOpener(C::Backup, [this] { backup().Open(session_.grade); });
    main_->setOpener(C::IncomingInvoices, [this] { incoming().Open(); });
    main_->setOpener(C::ReceivedNotes, [this] { notes().OpenNirList(); });
    main_->setOpener(C::ProductCard, [this] { productCard().OpenProductCard(); });
    main_->setReportHandler(core::ReportId::DeliveryNotes,
                            [this](const ReportRequest&) { deliveryNotes().OpenDeliveryNotes(); });
    main_->setOpener(C::OutgoingInvoices, [this] {
        sales().Bind(session_);
        sales().OpenInvoiceList(false);
    });
    connect(admin_.get(), &TForm4::profileLoaded, this, [this] {
        main_->setCompany(QString::fromStdString(session_.profile.denumire),
                          session_.profile.workshop());
    });
    connect(main_.get(), &TForm3::loggedIn, this, [this](int grade) { admin_->SetAccess(grade); });
    connect(main_.get(), &TForm3::closed, this, [this] { emit finished(0); });
}

// The list drives the editor, the editor asks the pickers for lines, the service picker asks
// the catalog, and the estimate asks the service order dialog. Each window is bound to the
// session when it is used (the engine is open by then).
void Application::WireSales() {
    editorOnDemand_ = std::make_unique<EditorOnDemand>([this]() -> InvoiceEditing& {
        invoiceEditor().Bind(session_);
        return invoiceEditor();
    });
    sales_.define([this] { return std::make_unique<TFactOutF>(main_.get()); },
                  [this](TFactOutF& sales) {
                      sales.setEditor(editorOnDemand_.get());
                      sales.setAdministrationOpener([this] { admin_->Open(); });
                      sales.setServiceOrderEditor(
                          [this](long long idFacto) -> std::optional<core::ServiceOrder> {
                              TAddComanda& dialog = serviceOrder();
                              if (!dialog.EditServiceOrder(QString::number(idFacto)))
                                  return std::nullopt;
                              return dialog.order();
                          });
                  });
    invoiceEditor_.define(
        [this] { return std::make_unique<TFactOutAddF>(&sales()); },
        [this](TFactOutAddF& editor) {
            editor.setProductPicker([this](const std::filesystem::path& stockTable) {
                productPicker().Bind(session_);
                return productPicker().pickStockProduct(stockTable);
            });
            editor.setServicePicker([this] {
                servicePicker().Bind(session_);
                return servicePicker().pickService();
            });
            editor.setTimeNorms([this] {
                timeNorms().Bind(session_);
                return timeNorms().OpenTimeNorms();
            });
        });
    productPicker_.define([this] { return std::make_unique<TProdAddF>(&invoiceEditor()); });
    servicePicker_.define([this] { return std::make_unique<TServAddF>(&invoiceEditor()); },
                          [this](TServAddF& picker) {
                              picker.setCatalogChooser([this] {
                                  catalog().Bind(session_);
                                  return catalog().chooseService();
                              });
                          });
    catalog_.define([this] { return std::make_unique<TCatalog>(&servicePicker()); });
    // The order lists are read once per run, when the dialog is first needed: a value typed
    // later is offered from the next run on.
    serviceOrder_.define([this] { return std::make_unique<TAddComanda>(&sales()); },
                         [this](TAddComanda& dialog) {
                             dialog.Bind(session_);
                             dialog.FillOrderLists();
                         });
}

// The dialogs are deleted before the main window they belong to (reverse member order).
Application::~Application() = default;

TForm21& Application::backup() const {
    return backup_.get();
}

TFactInF& Application::incoming() const {
    return incoming_.get();
}

TNIRF& Application::notes() const {
    return notes_.get();
}

TMagazieF& Application::warehouse() const {
    return warehouse_.get();
}

TFactOutF& Application::sales() const {
    return sales_.get();
}

TFactOutAddF& Application::invoiceEditor() const {
    return invoiceEditor_.get();
}

TProdAddF& Application::productPicker() const {
    return productPicker_.get();
}

TServAddF& Application::servicePicker() const {
    return servicePicker_.get();
}

TCatalog& Application::catalog() const {
    return catalog_.get();
}

TAddComanda& Application::serviceOrder() const {
    return serviceOrder_.get();
}

TFisaProdF& Application::productCard() const {
    return productCard_.get();
}

TOutProdusF& Application::exitDialog() const {
    return exitDialog_.get();
}

TFAvize& Application::deliveryNotes() const {
    return deliveryNotes_.get();
}

TServAuto& Application::timeNorms() const {
    return timeNorms_.get();
}

TFiseClF& Application::clientStatements() const {
    return clientStatements_.get();
}

TSelectFactF& Application::unpaidSelection() const {
    return unpaidSelection_.get();
}

TExportF& Application::exportWindow() const {
    return exportWindow_.get();
}

TFPrecomanda& Application::preOrders() const {
    return preOrders_.get();
}

TRegCasaF& Application::cashBook() const {
    return cashBook_.get();
}

TGarantiiF& Application::warranties() const {
    return warranties_.get();
}

void Application::start() {
    splash_->show();
}

void Application::comeForward() {
    QWidget* front = main_->isVisible() ? static_cast<QWidget*>(main_.get()) : splash_.get();
    if (front->isMinimized()) front->showNormal();
    front->raise();
    front->activateWindow();
}

}  // namespace tvx::ui
