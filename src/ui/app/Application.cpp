// Creating the windows and wiring them together.
#include "ui/app/Application.h"

#include "core/admin/Users.h"
#include "core/app/Session.h"
#include "ui/admin/TForm21.h"
#include "ui/admin/TForm4.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"
#include "ui/purchases/TFactInF.h"
#include "ui/reports/TExportF.h"
#include "ui/sales/TFAvize.h"
#include "ui/sales/TFactOutAddF.h"
#include "ui/sales/TFactOutF.h"
#include "ui/sales/TFiseClF.h"
#include "ui/purchases/TRegCasaF.h"
#include "ui/sales/TFAvize.h"
#include "ui/sales/TFactOutAddF.h"
#include "ui/sales/TFactOutF.h"
#include "ui/sales/TGarantiiF.h"
#include "ui/sales/TProdAddF.h"
#include "ui/sales/TServAddF.h"
#include "ui/stock/TFisaProdF.h"
#include "ui/stock/TMagazieF.h"
#include "ui/stock/TNIRF.h"
#include "ui/stock/TOutProdusF.h"
#include "ui/workshop/TAddComanda.h"
#include "ui/workshop/TCatalog.h"
#include "ui/workshop/TServAuto.h"
#include "ui/workshop/TFPrecomanda.h"

namespace tvx::ui {

Application::Application(core::Session& session, QObject* parent)
    : QObject(parent), session_(session) {
    TForm1::Steps steps;
    steps.setMainTitle = [this] { main_->setWindowTitle(core::kVersionText); };
    steps.loadProfile = [this] {
        admin_->LoadProfile();
        // The order lists are read once per start: a value typed later is offered next time.
        serviceOrder_->Bind(session_);
        serviceOrder_->FillOrderLists();
    };
    steps.showMain = [this] { main_->ShowLoggedOut(); };
    steps.startFailed = [this] { emit finished(1); };
    splash_ = std::make_unique<TForm1>(session_, std::move(steps));
    main_ = std::make_unique<TForm3>(session_);
    admin_ = std::make_unique<TForm4>(session_, main_.get());
    backup_ = std::make_unique<TForm21>(session_, main_.get());
    incoming_ = std::make_unique<TFactInF>(session_, main_.get());
    notes_ = std::make_unique<TNIRF>(session_, main_.get());
    notes_->setAdministrationOpener([this] { admin_->Open(); });
    productCard_ = std::make_unique<TFisaProdF>(session_, main_.get());
    productCard_->setAdministrationOpener([this] { admin_->Open(); });
    exitDialog_ = std::make_unique<TOutProdusF>(session_, productCard_.get());
    productCard_->askExit = [this](const core::ExitCard& card,
                                   bool transfer) -> std::optional<core::ExitDocument> {
        const bool saved = transfer ? exitDialog_->AskTransfer(card) : exitDialog_->AskExit(card);
        if (!saved) return std::nullopt;
        return exitDialog_->document();
    };
    deliveryNotes_ = std::make_unique<TFAvize>(session_, main_.get());
    warehouse_ = std::make_unique<TMagazieF>(session_, main_.get());
    main_->setReportHandler(core::ReportId::Inventory,
                            [this](const ReportRequest&) { warehouse_->OpenWarehouse(); });
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
    main_->setOpener(C::Backup, [this] { backup_->Open(session_.grade); });
    main_->setOpener(C::IncomingInvoices, [this] { incoming_->Open(); });
    main_->setOpener(C::ReceivedNotes, [this] { notes_->OpenNirList(); });
    main_->setOpener(C::ProductCard, [this] { productCard_->OpenProductCard(); });
    main_->setReportHandler(core::ReportId::DeliveryNotes,
                            [this](const ReportRequest&) { deliveryNotes_->OpenDeliveryNotes(); });
    main_->setOpener(C::OutgoingInvoices, [this] {
        sales_->Bind(session_);
        invoiceEditor_->Bind(session_);
        sales_->OpenInvoiceList(false);
    });
    connect(admin_.get(), &TForm4::profileLoaded, this, [this] {
        main_->setCompany(QString::fromStdString(session_.profile.denumire),
                          session_.profile.workshop());
    });
    connect(main_.get(), &TForm3::loggedIn, this, [this](int grade) { admin_->SetAccess(grade); });
    connect(main_.get(), &TForm3::closed, this, [this] { emit finished(0); });
    connect(backup_.get(), &TForm21::restartNeeded, this, [this] { emit finished(0); });
}

// The list drives the editor, the editor asks the pickers for lines, the service picker asks
// the catalog, and the estimate asks the service order dialog. Each window is bound to the session
// when it opens (the engine is open by then).
void Application::WireSales() {
    sales_ = std::make_unique<TFactOutF>(main_.get());
    invoiceEditor_ = std::make_unique<TFactOutAddF>(sales_.get());
    productPicker_ = std::make_unique<TProdAddF>(invoiceEditor_.get());
    servicePicker_ = std::make_unique<TServAddF>(invoiceEditor_.get());
    catalog_ = std::make_unique<TCatalog>(servicePicker_.get());
    serviceOrder_ = std::make_unique<TAddComanda>(sales_.get());
    sales_->setEditor(invoiceEditor_.get());
    sales_->setAdministrationOpener([this] { admin_->Open(); });
    invoiceEditor_->setProductPicker([this](const std::filesystem::path& stockTable) {
        productPicker_->Bind(session_);
        return productPicker_->pickStockProduct(stockTable);
    });
    invoiceEditor_->setServicePicker([this] {
        servicePicker_->Bind(session_);
        return servicePicker_->pickService();
    });
    sales_->setServiceOrderEditor([this](long long idFacto) -> std::optional<core::ServiceOrder> {
        serviceOrder_->Bind(session_);
        if (!serviceOrder_->EditServiceOrder(QString::number(idFacto))) return std::nullopt;
        return serviceOrder_->order();
    });
    servicePicker_->setCatalogChooser([this] {
        catalog_->Bind(session_);
        return catalog_->chooseService();
    });
}

// The dialogs are deleted before the main window they belong to (reverse member order).
Application::~Application() = default;

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
