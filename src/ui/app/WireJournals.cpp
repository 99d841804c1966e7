// The financial journals and summaries of the report menu, and the result-set export window
// the list of invoices to collect is exported through.
#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/common/Binding.h"
#include "ui/printing/JournalReports.h"
#include "ui/reports/TExportF.h"

namespace tvx::ui {

void Application::WireJournals() {
    using R = core::ReportId;
    exportWindow_.define([this] { return std::make_unique<TExportF>(main_.get()); });
    QWidget* parent = main_.get();
    main_->setReportHandler(R::UnpaidIncoming, [this, parent](const ReportRequest&) {
        PrintPayables(session_.db(), session_.profile, parent);
    });
    main_->setReportHandler(R::UncollectedPrint, [this, parent](const ReportRequest&) {
        ListReceivables(session_.db(), session_.profile, parent);
    });
    main_->setReportHandler(R::UncollectedExport, [this](const ReportRequest&) {
        tables::ResultSet rows;
        if (!Guarded([&] { rows = core::QueryReceivablesForExport(session_.db()); })) return;
        core::ExportOptions options;
        options.header = "RAPORT FACTURI NEINCASATE";
        options.created = core::Today();
        exportWindow().Exporta(rows, options);
    });
    main_->setReportHandler(R::NirSummary, [this, parent](const ReportRequest& request) {
        PrintNirSummary(session_.db(), session_.profile, request.from, request.to, parent);
    });
    main_->setReportHandler(R::PurchaseJournal, [this, parent](const ReportRequest& request) {
        PrintPurchaseJournal(session_.db(), session_.profile, request.from, request.to, parent);
    });
    main_->setReportHandler(R::ReceiptsJournal, [this, parent](const ReportRequest& request) {
        PrintReceiptsJournal(session_.db(), session_.profile, request.from, request.to, parent);
    });
    main_->setReportHandler(R::SalesByRepresentative, [this, parent](const ReportRequest& request) {
        PrintSalesByAgent(session_.db(), request.representative, request.from, request.to, parent);
    });
}

}  // namespace tvx::ui
