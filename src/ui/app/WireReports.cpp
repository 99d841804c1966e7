// The stock, activity, declaration 394 and client reports of the report menu: each handler
// reads its rows with the progress window up and shows the result in the preview.
#include <QApplication>

#include "core/admin/CompanyProfile.h"
#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/reports/Declaration394.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/common/Binding.h"
#include "ui/common/Progress.h"
#include "ui/printing/ActivityReports.h"
#include "ui/printing/Declaration394Export.h"
#include "ui/printing/TPreview.h"
#include "ui/sales/TFiseClF.h"

namespace tvx::ui {

namespace {

using Prepare = std::function<printing::LaidOutReport(const ReportProgress&)>;

// Lays the report out under the progress window, then previews it; an engine error is shown
// with its message once the progress window is down, and nothing is previewed.
void ProduceReport(QWidget* parent, const QString& text, const Prepare& prepare) {
    TContor& progress = TContor::instance();
    progress.Arata(parent);
    progress.setText(text);
    printing::LaidOutReport report;
    try {
        report = prepare([&progress](int done, int total) {
            progress.setMaximum(total > 0 ? total : 1);
            progress.setPosition(done);
        });
    } catch (const std::exception& error) {
        progress.Distruge(parent);
        ShowError(QString::fromStdString(error.what()));
        return;
    }
    progress.Distruge(parent);
    TPreview::ShowPreview(report, {}, parent);
}

core::StockPeriod PeriodOf(const ReportRequest& request) {
    return {request.from, request.to, request.location};
}

}  // namespace

void Application::WireReports() {
    clientStatements_.define([this] { return std::make_unique<TFiseClF>(session_, main_.get()); });
    unpaidSelection_.define([this] { return std::make_unique<TSelectFactF>(main_.get()); });
    using R = core::ReportId;
    const auto company = [this] { return session_.profile.denumire; };
    const std::pair<R, core::StockMoveKind> moves[] = {
        {R::GoodsReceived, core::StockMoveKind::GoodsIn},
        {R::GoodsIssued, core::StockMoveKind::GoodsOut},
        {R::Transfers, core::StockMoveKind::Transfers}};
    for (const auto& [id, kind] : moves)
        main_->setReportHandler(id, [this, company, kind](const ReportRequest& request) {
            ProduceReport(main_.get(), "Prelucrez...", [&](const ReportProgress&) {
                return PrepareStockMovesReport(session_.db(), company(), kind, PeriodOf(request));
            });
        });
    main_->setReportHandler(R::ConsumptionSummary, [this, company](const ReportRequest& request) {
        ProduceReport(main_.get(), "Prelucrez...", [&](const ReportProgress&) {
            return PrepareConsumptionReport(session_.db(), PeriodOf(request));
        });
    });
    main_->setReportHandler(R::SalesMarkupSummary, [this, company](const ReportRequest& request) {
        ProduceReport(main_.get(), "Calculez centralizatorul...", [&](const ReportProgress& step) {
            return PrepareMarkupReport(session_.db(), company(), session_.profile.vatPayer(),
                                       PeriodOf(request), step);
        });
    });
    main_->setReportHandler(R::ActivitySummary, [this, company](const ReportRequest& request) {
        ProduceReport(main_.get(), "Calculez rezumatul...", [&](const ReportProgress& step) {
            return PrepareActivityReport(session_.db(), company(), session_.profile.vatPayer(),
                                         PeriodOf(request), step);
        });
    });
    main_->setReportHandler(R::Declaration394Print, [this, company](const ReportRequest& request) {
        ProduceReport(main_.get(), "Prelucrez...", [&](const ReportProgress&) {
            const tables::ResultSet rows =
                core::QueryDeclaration394(session_.db(), PeriodOf(request));
            return PrepareDeclaration394Report(rows, company(), PeriodOf(request));
        });
    });
    main_->setReportHandler(R::Declaration394Export, [this](const ReportRequest& request) {
        tables::ResultSet rows;
        if (!Guarded([&] { rows = core::QueryDeclaration394(session_.db(), PeriodOf(request)); }))
            return;
        ExportDeclaration394(rows, core::Declaration394PeriodLine(PeriodOf(request)), main_.get());
    });
    main_->setReportHandler(R::ClientStatements, [this](const ReportRequest&) {
        clientStatements().OpenClientStatements();
    });
    main_->setReportHandler(R::UncollectedSelection, [this](const ReportRequest&) {
        std::vector<std::string> items;
        if (!Guarded([&] { items = core::SelectionBuyers(core::BuyerNames(session_.db())); }))
            return;
        if (!unpaidSelection().Selecteaza(items)) return;
        const core::UnpaidSelection selection = unpaidSelection().selection();
        ProduceReport(main_.get(), "Prelucrez...", [&](const ReportProgress&) {
            const tables::ResultSet rows =
                core::QueryUnpaidSelection(session_.db(), selection, items);
            return PrepareUnpaidSelectionReport(rows, selection.buyer, core::Today());
        });
    });
}

}  // namespace tvx::ui
