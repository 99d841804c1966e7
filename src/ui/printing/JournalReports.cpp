// The printed journals: parameters, layout, progress window and preview.
#include "ui/printing/JournalReports.h"

#include "core/admin/CompanyProfile.h"
#include "core/common/PeriodChoice.h"
#include "printing/LayoutFiles.h"
#include "tables/Database.h"
#include "ui/common/Binding.h"
#include "ui/common/Progress.h"
#include "ui/printing/TPreview.h"
#include "ui/printing/WorkTableGuard.h"

namespace tvx::ui {

using core::AmountText;
using core::JournalTotals;
using tables::Database;
using tables::Date;
using tables::ResultSet;

namespace {

printing::LaidOutReport Paginate(const char* layoutName, const ResultSet& rows,
                                 std::map<std::string, std::string> parameters) {
    printing::ReportInputs inputs;
    inputs.parameters = std::move(parameters);
    return printing::paginate(printing::LoadNamedLayout(layoutName), &rows, inputs);
}

// REPORT1..3 and TREP1..3: the carried lines above and under the rows.
void CarriedParameters(const core::CarriedReport& report,
                       std::map<std::string, std::string>& parameters) {
    const JournalTotals forward = report.carriedForward();
    parameters["REPORT1"] = AmountText(report.carried.total);
    parameters["REPORT2"] = AmountText(report.carried.base);
    parameters["REPORT3"] = AmountText(report.carried.vat);
    parameters["TREP1"] = AmountText(forward.total);
    parameters["TREP2"] = AmountText(forward.base);
    parameters["TREP3"] = AmountText(forward.vat);
}

// Runs `prepare` under the progress window ("Prelucrez...") and previews what it laid out;
// an error is shown instead.
template <typename Prepare>
void Preview(QWidget* parent, Prepare&& prepare) {
    printing::LaidOutReport report;
    TContor& progress = TContor::instance();
    progress.setText("Prelucrez...");
    progress.Arata(parent);
    const bool prepared = Guarded([&] {
        try {
            report = prepare();
        } catch (...) {
            progress.Distruge(parent);
            throw;
        }
    });
    if (!prepared) return;
    progress.Distruge(parent);
    TPreview::ShowPreview(report, {}, parent);
}

}  // namespace

printing::LaidOutReport PreparePayablesReport(Database& db, const core::CompanyProfile& company,
                                              Date today) {
    return Paginate(kPayablesLayout, core::QueryPayables(db),
                    {{"SOC", company.denumire}, {"DATA", core::DateLine(today)}});
}

printing::LaidOutReport PrepareReceivablesReport(const ResultSet& rows,
                                                 const std::string& firstLine, Date today) {
    return Paginate(kReceivablesLayout, rows,
                    {{"SOC", firstLine}, {"DATA", core::DateLine(today)}});
}

printing::LaidOutReport PrepareNirSummaryReport(Database& db, const core::CompanyProfile& company,
                                                Date from, Date to) {
    const core::CarriedReport report = core::QueryNirSummary(db, company.vatPayer(), from, to);
    std::map<std::string, std::string> parameters = {{"SOC", company.denumire},
                                                     {"PERIOADA", core::PeriodLine(from, to)}};
    CarriedParameters(report, parameters);
    return Paginate(kNirSummaryLayout, report.rows, std::move(parameters));
}

printing::LaidOutReport PrepareReceiptsJournalReport(Database& db,
                                                     const core::CompanyProfile& company,
                                                     Date first, Date last) {
    const core::CarriedReport report = core::QueryReceiptsJournal(db, first, last);
    std::map<std::string, std::string> parameters = {{"SOC", company.denumire},
                                                     {"LUNA", core::MonthLine(first)}};
    CarriedParameters(report, parameters);
    return Paginate(kReceiptsJournalLayout, report.rows, std::move(parameters));
}

printing::LaidOutReport PrepareSalesByAgentReport(Database& db, const std::string& name, Date from,
                                                  Date to) {
    return Paginate(
        kSalesByAgentLayout, core::QuerySalesByAgent(db, name, from, to),
        {{"REPREZ", "Reprezentant: " + name}, {"PERIOADA", core::PeriodLine(from, to)}});
}

printing::LaidOutReport PreparePurchaseJournalReport(Database& db,
                                                     const core::CompanyProfile& company, Date from,
                                                     Date to, const core::FillProgress& progress) {
    const WorkTableGuard guard([&db] { core::ClearPurchaseWorkTable(db); });
    core::BuildPurchaseWorkTable(db, from, to, progress);
    return Paginate(kPurchaseJournalLayout, core::QueryPurchaseJournal(db),
                    {{"SOC", company.denumire}, {"PERIOADA", core::PeriodLine(from, to)}});
}

void PrintPayables(Database& db, const core::CompanyProfile& company, QWidget* parent) {
    Preview(parent, [&] { return PreparePayablesReport(db, company, core::Today()); });
}

void ListReceivables(Database& db, const core::CompanyProfile& company, QWidget* parent) {
    Preview(parent, [&] {
        return PrepareReceivablesReport(core::QueryReceivables(db), company.denumire,
                                        core::Today());
    });
}

void PrintNirSummary(Database& db, const core::CompanyProfile& company, Date from, Date to,
                     QWidget* parent) {
    Preview(parent, [&] { return PrepareNirSummaryReport(db, company, from, to); });
}

void PrintPurchaseJournal(Database& db, const core::CompanyProfile& company, Date from, Date to,
                          QWidget* parent) {
    if (const auto problem = core::ClearPurchaseWorkTable(db)) {
        Mesaj(*problem);
        return;
    }
    TContor& progress = TContor::instance();
    Preview(parent, [&] {
        progress.setText("Creez Jurnal Cumparari...");
        return PreparePurchaseJournalReport(
            db, company, from, to,
            {[&progress](int rows) { progress.setMaximum(std::max(rows, 1)); },
             [&progress] { progress.step(); }});
    });
}

void PrintReceiptsJournal(Database& db, const core::CompanyProfile& company, Date first, Date last,
                          QWidget* parent) {
    Preview(parent, [&] { return PrepareReceiptsJournalReport(db, company, first, last); });
}

void PrintSalesByAgent(Database& db, const std::string& name, Date from, Date to, QWidget* parent) {
    Preview(parent, [&] { return PrepareSalesByAgentReport(db, name, from, to); });
}

}  // namespace tvx::ui
