// Wiring of the cash register book and the warranties list (ui/app): the main window's
// "Registrul de casa" opens the book and the report menu's "Garantii" the warranties. The
// book's "&Listeaza" writes the RegCasa workbook under the progress window and shows it; the
// warranties' "Exporta in Excel" writes the grid as shown to a workbook file the user names,
// through the result-set export.
#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/purchases/CashBookExport.h"
#include "core/reports/ShownGrid.h"
#include "core/sales/Warranties.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/common/Binding.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Progress.h"
#include "ui/purchases/TRegCasaF.h"
#include "ui/reports/TExportF.h"
#include "ui/sales/TGarantiiF.h"

namespace tvx::ui {

namespace {

// The grid's columns as the export titles them: the band of a title joined to it on one line.
std::vector<core::ShownColumn> ExportColumns(const std::vector<GridColumn>& columns) {
    std::vector<core::ShownColumn> shown;
    for (const GridColumn& column : columns)
        shown.push_back({column.field.toStdString(), column.title.simplified().toStdString()});
    return shown;
}

// The warranties grid as shown, to a workbook file the user names.
void ExportWarrantiesGrid(const tables::ResultSet& rows, const std::vector<GridColumn>& columns,
                          QWidget* parent) {
    tables::ResultSet shown;
    if (!Guarded([&] { shown = core::ShownGrid(rows, ExportColumns(columns)); })) return;
    core::ExportOptions options;
    options.header = core::kWarrantiesGridTitle;
    options.created = core::Today();
    TExportF::Run(shown, core::ExportFormat::Excel, true, options, parent);
}

// The book's "&Listeaza": the RegCasa workbook under the progress window.
void ExportCashBookWorkbook(core::Session& session, const core::CashBookPeriod& period,
                            QWidget* parent) {
    TContor& progress = TContor::instance();
    progress.setText(core::kCashBookExportProgress);
    progress.setMaximum(std::max<int>(static_cast<int>(period.days.size()), 1));
    progress.Arata(parent);
    core::WorkbookResult result;
    const bool done = Guarded([&] {
        try {
            result = core::ExportCashBook(period, session.programFolder(),
                                          !session.profile.officeOld, true,
                                          [&progress](int days) { progress.setPosition(days); });
        } catch (...) {
            progress.Distruge(parent);  // before the error is shown
            throw;
        }
    });
    if (!done) return;
    progress.Distruge(parent);
    if (!result.written) ShowError(QString::fromStdString(result.problem));
}

}  // namespace

void Application::WireCashBook() {
    cashBook_.define([this] { return std::make_unique<TRegCasaF>(session_, main_.get()); },
                     [this](TRegCasaF& book) {
                         book.setWorkbookExport(
                             [this](const core::CashBookPeriod& period, QWidget* parent) {
                                 ExportCashBookWorkbook(session_, period, parent);
                             });
                     });
    warranties_.define([this] { return std::make_unique<TGarantiiF>(session_, main_.get()); },
                       [](TGarantiiF& warranties) { warranties.setGridExport(ExportWarrantiesGrid); });
    main_->setOpener(core::MainCommand::CashBook, [this] { cashBook().OpenCashBook(); });
    main_->setReportHandler(core::ReportId::Warranties,
                            [this](const ReportRequest&) { warranties().OpenWarranties(); });
}

}  // namespace tvx::ui
