// The stock reports of the report menu (core/reports): goods received, issued and transferred
// in a period, the consumption vouchers of a period and the monthly sales with their
// commercial mark-up. Each gives the rows its printed layout shows, plus the title texts; the
// sums are the layout's, made exactly over these rows.
#pragma once

#include <functional>
#include <string>

#include "tables/Date.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

// A period with its optional stock location (empty: every location).
struct StockPeriod {
    tables::Date from;
    tables::Date to;
    std::string location = {};
};

// "<sameDay>" + from when both dates are the same day, otherwise "<range>" + from + " - " + to,
// dates dd.MM.yyyy ("la data de ", "perioada ").
std::string PeriodText(tables::Date from, tables::Date to, const std::string& sameDay,
                       const std::string& range);
// "Gestiunea : " + location, empty for every location.
std::string LocationLine(const std::string& location);

enum class StockMoveKind { GoodsIn, GoodsOut, Transfers };

// "CENTRALIZATOR INTRARI MARFA", "... IESIRI ...", "... TRANSFERURI ...".
const char* StockMovesTitle(StockMoveKind kind);
// The layout of each: RapIesiri, RapIesiri2, LTransfer.
const char* StockMovesLayout(StockMoveKind kind);

// The movements of goods (category MARFA) of the kind in the period, ordered by product:
// PRODUS, UM, PRETOUT and, by kind, CANTIN, VALIN, DOCJUS, NRDOC, DINDATA (goods in);
// CANTOUT, VALOUT, DOCJUS, NRDOC, DINDATA (goods out: exits and sales); CANTOUT, CANTIN,
// VALOUT, VALIN, DINDATA (transfers: each transfer as its two halves). Engine errors propagate.
tables::ResultSet QueryStockMoves(tables::Database& db, StockMoveKind kind,
                                  const StockPeriod& period);

// The exits on consumption vouchers (DOCJUS beginning with "BON") of the period, ordered by
// location, date, document, number and product: DOCJUS, NRDOC, DINDATA, CANTOUT, VALOUT,
// GESTIUNE, PRODUS and GRUPA, the header text of each voucher
// (GESTIUNE + " :  " + DOCJUS + " Nr." + NRDOC + " / " + DINDATA). Engine errors propagate.
tables::ResultSet QueryConsumptionVouchers(tables::Database& db, const StockPeriod& period);

// The sales lines of invoices and receipts dated in [from, to], each with the purchase price
// of its stock card (the first NIR line of that card: its unit price without VAT for a VAT
// payer, with VAT otherwise) and its commercial mark-up (sale price - purchase price) x
// quantity, to four decimals and kept with two. A service line, or a card no NIR line
// entered, gets purchase price 0 and "-" as purchase document and date. Rows ordered by the
// purchase document ("FF"): PRODUS, UM, CANT, PRETOUT, PRETIN, FF, DATAFACT, ADAOS.
// `advanced` is told the lines done and the lines in all. Engine errors propagate.
tables::ResultSet ComputeMarkupSummary(
    tables::Database& db, bool vatPayer, tables::Date from, tables::Date to,
    const std::function<void(size_t done, size_t total)>& advanced = {});
// "CENTRALIZATOR " + the month of `from` in upper case + " " + its year.
std::string MarkupTitle(tables::Date from);

}  // namespace tvx::core
