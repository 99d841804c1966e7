// The printed journals and summaries (ui/printing): each report's rows and totals from core,
// its title texts and carried lines as report parameters, laid out with its layout (produced
// also without rows), and shown in the preview while the progress window covers the reading.
#pragma once

#include <string>

#include "core/reports/Journals.h"
#include "core/reports/PurchaseJournal.h"
#include "printing/ReportPaginator.h"

class QWidget;

namespace tvx::core {
class CompanyProfile;
}

namespace tvx::ui {

inline constexpr const char* kPayablesLayout = "LFactPlata";
inline constexpr const char* kReceivablesLayout = "LFactIncasare";
inline constexpr const char* kNirSummaryLayout = "LCentralizatorNIR";
inline constexpr const char* kPurchaseJournalLayout = "JurnalCumpF";
inline constexpr const char* kReceiptsJournalLayout = "LJurnalVanzari";
inline constexpr const char* kSalesByAgentLayout = "JurnalReprez";

// The layouts each throw EngineError (a damaged table, a faulty layout).
printing::LaidOutReport PreparePayablesReport(tables::Database& db,
                                              const core::CompanyProfile& company,
                                              tables::Date today);
// The unpaid invoices `rows` under `firstLine` (the company name; the selection of buyer and
// period puts the buyer choice there) and "Data : " + today.
printing::LaidOutReport PrepareReceivablesReport(const tables::ResultSet& rows,
                                                 const std::string& firstLine, tables::Date today);
printing::LaidOutReport PrepareNirSummaryReport(tables::Database& db,
                                                const core::CompanyProfile& company,
                                                tables::Date from, tables::Date to);
// The month of `first` (its first day) to `last`.
printing::LaidOutReport PrepareReceiptsJournalReport(tables::Database& db,
                                                     const core::CompanyProfile& company,
                                                     tables::Date first, tables::Date last);
printing::LaidOutReport PrepareSalesByAgentReport(tables::Database& db, const std::string& name,
                                                  tables::Date from, tables::Date to);
// Builds the work table (the caller has cleared it: ClearPurchaseWorkTable), lays the journal
// out and deletes the work table whatever happens.
printing::LaidOutReport PreparePurchaseJournalReport(tables::Database& db,
                                                     const core::CompanyProfile& company,
                                                     tables::Date from, tables::Date to,
                                                     const core::FillProgress& progress = {});

// The menu's reports: read under the progress window, then the preview; an engine error is
// shown in the message window and nothing is previewed.
void PrintPayables(tables::Database& db, const core::CompanyProfile& company, QWidget* parent);
void ListReceivables(tables::Database& db, const core::CompanyProfile& company, QWidget* parent);
void PrintNirSummary(tables::Database& db, const core::CompanyProfile& company, tables::Date from,
                     tables::Date to, QWidget* parent);
// Stops with its message when the old work table cannot be replaced.
void PrintPurchaseJournal(tables::Database& db, const core::CompanyProfile& company,
                          tables::Date from, tables::Date to, QWidget* parent);
void PrintReceiptsJournal(tables::Database& db, const core::CompanyProfile& company,
                          tables::Date first, tables::Date last, QWidget* parent);
void PrintSalesByAgent(tables::Database& db, const std::string& name, tables::Date from,
                       tables::Date to, QWidget* parent);

}  // namespace tvx::ui
