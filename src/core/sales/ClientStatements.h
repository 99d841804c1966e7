// Buyers and their statements (core/sales): the buyer names of the invoices, the statement
// window's invoice and receipt lists of one buyer since a date with their totals, the rows
// of the printed statement "Fisa client", and the selection "Selectie" of unpaid invoices by
// buyer and period. Nothing is written.
#pragma once

#include <string>
#include <vector>

#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

inline constexpr const char* kClientStatementLayout = "LFisaClient";
inline constexpr const char* kAllBuyers = "* toate *";

// The distinct buyer names (SOC2) of FactOut, sorted. Engine errors propagate.
std::vector<std::string> BuyerNames(tables::Database& db);
// "De la data" when the window is first made: today minus 60 months.
tables::Date DefaultStatementStart(tables::Date today);

// Every invoice (SOC2, SERIA, NR, DATAOUT, TOTAL, REST, IDFACTO) ordered by SOC2, DATAOUT, and
// every receipt with its invoice's buyer (SOC2, SERIA, NR, DATAOUT, SUMA) ordered by SOC2 and
// receipt date. The window filters them with StatementFilter.
tables::ResultSet QueryStatementInvoices(tables::Database& db);
tables::ResultSet QueryStatementReceipts(tables::Database& db);
// Rows of `buyer` dated on or after `since`.
std::string StatementFilter(const std::string& buyer, tables::Date since);

struct StatementTotals {
    tables::Decimal invoiced;  // "Total facturat"
    tables::Decimal left;      // "Rest de incasat"
};
// TOTAL and REST of the visible rows, each invoice (IDFACTO) counted once.
StatementTotals SumStatement(const tables::ResultSet& rows);

// The printed statement of `buyer` since `since`: each invoice with all its receipts (one row
// per receipt, a single row with empty receipt columns for an invoice without any), invoices
// by date and number, receipts by date: IDFACTO, DATAOUT, SERIA, NR, TOTAL, REST, CSERIA, CNR,
// CDATA, SUMA, DOCJUS. Engine errors propagate.
tables::ResultSet QueryClientStatement(tables::Database& db, const std::string& buyer,
                                       tables::Date since);

// The selection dialog: the buyer text (an item of the list, a typed beginning, or
// "* toate *" / nothing) and the invoice dates, both included.
struct UnpaidSelection {
    std::string buyer;
    tables::Date from;
    tables::Date to;

    // Today minus one month up to yesterday.
    static UnpaidSelection Defaults(tables::Date today);
};
// "* toate *" followed by the buyer names.
std::vector<std::string> SelectionBuyers(const std::vector<std::string>& names);
// The invoices with REST above 0 of the selection, ordered by DATAOUT, SOC2: SERIA, NR,
// DATAOUT, SOC2, TOTAL, REST, DATASCAD. A buyer text that is an item of `items` (other than
// "* toate *") picks that buyer; another non-empty text the buyers whose name begins with it.
// The text passes CleanText first.
tables::ResultSet QueryUnpaidSelection(tables::Database& db, const UnpaidSelection& selection,
                                       const std::vector<std::string>& items);

}  // namespace tvx::core
