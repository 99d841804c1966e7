// The printed stock, activity, declaration 394 and client reports (ui/printing): each report's
// rows from core laid out in its layout, with the company, location, title and period lines
// as report parameters. Each Prepare function throws EngineError (a statement or a layout
// that fails); `advanced` is told the progress of the long ones (done, total).
#pragma once

#include <functional>
#include <string>

#include "core/reports/StockReports.h"
#include "core/sales/ClientStatements.h"
#include "printing/ReportPaginator.h"

namespace tvx::ui {

using ReportProgress = std::function<void(int done, int total)>;

// "Intrari in gestiune", "Iesiri din gestiune", "Transferuri".
printing::LaidOutReport PrepareStockMovesReport(tables::Database& db, const std::string& company,
                                                core::StockMoveKind kind,
                                                const core::StockPeriod& period);
// "Centralizator Bonuri de consum".
printing::LaidOutReport PrepareConsumptionReport(tables::Database& db,
                                                 const core::StockPeriod& period);
// "Centralizator vanzari-adaos" of the month starting at period.from.
printing::LaidOutReport PrepareMarkupReport(tables::Database& db, const std::string& company,
                                            bool vatPayer, const core::StockPeriod& period,
                                            const ReportProgress& advanced = {});
// "Rezumat".
printing::LaidOutReport PrepareActivityReport(tables::Database& db, const std::string& company,
                                              bool vatPayer, const core::StockPeriod& period,
                                              const ReportProgress& advanced = {});
// "Declaratia 394" > "Listare", over the rows of QueryDeclaration394.
printing::LaidOutReport PrepareDeclaration394Report(const tables::ResultSet& rows,
                                                    const std::string& company,
                                                    const core::StockPeriod& period);
// "Fisa client" of `buyer` since `since`; `fiscalCode` is the company's.
printing::LaidOutReport PrepareClientStatementReport(tables::Database& db,
                                                     const std::string& company,
                                                     const std::string& fiscalCode,
                                                     const std::string& buyer, tables::Date since);
// The unpaid invoices of a selection: the buyer text and "Data : " + today as title lines.
printing::LaidOutReport PrepareUnpaidSelectionReport(const tables::ResultSet& rows,
                                                     const std::string& buyerText,
                                                     tables::Date today);

}  // namespace tvx::ui
