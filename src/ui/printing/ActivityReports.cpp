// The printed stock, activity, declaration 394 and client reports: the core rows handed to
// their layouts with the title texts as parameters.
#include "ui/printing/ActivityReports.h"

#include "core/common/Rounding.h"
#include "core/reports/ActivitySummary.h"
#include "core/reports/Declaration394.h"
#include "printing/LayoutFiles.h"
#include "tables/Database.h"

namespace tvx::ui {

using printing::LaidOutReport;
using printing::ReportInputs;

namespace {

LaidOutReport Lay(const char* layoutName, const tables::ResultSet* rows,
                  std::map<std::string, std::string> parameters, std::string documentName) {
    const printing::ReportLayout layout = printing::LoadNamedLayout(layoutName);
    ReportInputs inputs;
    inputs.parameters = std::move(parameters);
    LaidOutReport report = printing::paginate(layout, rows, inputs);
    report.documentName = std::move(documentName);
    return report;
}

}  // namespace

LaidOutReport PrepareStockMovesReport(tables::Database& db, const std::string& company,
                                      core::StockMoveKind kind, const core::StockPeriod& period) {
    const tables::ResultSet rows = core::QueryStockMoves(db, kind, period);
    return Lay(core::StockMovesLayout(kind), &rows,
               {{"SOC", company},
                {"GESTIUNE", core::LocationLine(period.location)},
                {"TITLU", core::StockMovesTitle(kind)},
                {"PERIOADA", core::PeriodText(period.from, period.to, "la data de ", "perioada ")}},
               core::StockMovesTitle(kind));
}

LaidOutReport PrepareConsumptionReport(tables::Database& db, const core::StockPeriod& period) {
    const tables::ResultSet rows = core::QueryConsumptionVouchers(db, period);
    return Lay(
        "BonConP", &rows,
        {{"PERIOADA", "in perioada " + period.from.toString() + " - " + period.to.toString()}},
        "Bonuri de consum");
}

LaidOutReport PrepareMarkupReport(tables::Database& db, const std::string& company, bool vatPayer,
                                  const core::StockPeriod& period, const ReportProgress& advanced) {
    const tables::ResultSet rows = core::ComputeMarkupSummary(
        db, vatPayer, period.from, period.to, [&advanced](size_t done, size_t total) {
            if (advanced) advanced(static_cast<int>(done), static_cast<int>(total));
        });
    return Lay("CentrAdaosL", &rows, {{"SOC", company}, {"TITLU", core::MarkupTitle(period.from)}},
               "Centralizator vanzari-adaos");
}

LaidOutReport PrepareActivityReport(tables::Database& db, const std::string& company, bool vatPayer,
                                    const core::StockPeriod& period,
                                    const ReportProgress& advanced) {
    const core::ActivitySummary summary =
        core::ComputeActivitySummary(db, period, [&advanced](int percent) {
            if (advanced) advanced(percent, 100);
        });
    return Lay("LRezumat", nullptr, core::ActivitySummaryTexts(summary, company, period, vatPayer),
               "Rezumat activitate");
}

LaidOutReport PrepareDeclaration394Report(const tables::ResultSet& rows, const std::string& company,
                                          const core::StockPeriod& period) {
    return Lay(core::kDeclaration394Layout, &rows,
               {{"SOC", company}, {"PERIOADA", core::Declaration394PeriodLine(period)}},
               "Declaratia 394");
}

LaidOutReport PrepareClientStatementReport(tables::Database& db, const std::string& company,
                                           const std::string& fiscalCode, const std::string& buyer,
                                           tables::Date since) {
    const tables::ResultSet rows = core::QueryClientStatement(db, buyer, since);
    const core::StatementTotals totals = core::SumStatement(rows);
    return Lay(core::kClientStatementLayout, &rows,
               {{"CLIENT", buyer},
                {"SOC", company},
                {"CUI", fiscalCode},
                {"TOTALF", core::RoundHalfAway(totals.invoiced, 2).toString()},
                {"TOTALR", core::RoundHalfAway(totals.left, 2).toString()}},
               "Fisa client " + buyer);
}

LaidOutReport PrepareUnpaidSelectionReport(const tables::ResultSet& rows,
                                           const std::string& buyerText, tables::Date today) {
    return Lay("LFactIncasare", &rows, {{"SOC", buyerText}, {"DATA", "Data : " + today.toString()}},
               "Facturi neincasate");
}

}  // namespace tvx::ui
