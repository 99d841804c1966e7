// The purchase journal (core/reports): the work table Cumparari.dbf of the program folder,
// filled with one row per incoming document and category of its NIR lines and spread over the
// journal's columns (goods, packaging, other categories, discount), then read back grouped
// per document for the printed journal and deleted.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/reports/Journals.h"

namespace tvx::core {

// Cumparari.dbf in the program folder of `db`.
std::filesystem::path PurchaseWorkTable(const tables::Database& db);

// The work table is removed; when an old one exists and cannot be removed, the message of
// the journal ("Nu pot rescrie " + path + "!" ...) is returned and nothing else is done.
std::optional<Message> ClearPurchaseWorkTable(tables::Database& db);

// Progress of the fill: the number of rows once known, then one call per row spread.
struct FillProgress {
    std::function<void(int rows)> started;
    std::function<void()> step;
};

// Creates Cumparari.dbf and fills it with the incoming documents dated within the period:
// per document and NIR category the category's VALOARE and VALTVA sums, VALT the document's
// value without VAT; then per row by the trimmed category MARFA -> BAZA1/TVA1, AMBALAJ ->
// AMBALAJ, DISCOUNT -> DISCBAZA/DISCTVA, another -> BAZA2/TVA2, none -> BAZA2 = VALT and
// TVA2 = TOTAL - VALT; CUI loses a leading "RO", SERIANR everything before its first digit.
// Returns the number of rows. Engine errors propagate (the table may then be left behind;
// ClearPurchaseWorkTable removes it).
int BuildPurchaseWorkTable(tables::Database& db, tables::Date from, tables::Date to,
                           const FillProgress& progress = {});

// The journal's rows from the work table: DATAIN, SERIANR, FURNIZOR, CUI, ST (TOTAL) and the
// sums SA, SB1, ST1, SB2, ST2, DB1, DT1 per document, ordered by DATAIN, SERIANR, FURNIZOR.
tables::ResultSet QueryPurchaseJournal(tables::Database& db);

// The eight column totals of the journal, in the order ST, SA, SB1, ST1, SB2, ST2, DB1, DT1.
std::vector<tables::Decimal> PurchaseJournalTotals(const tables::ResultSet& rows);
// The names of those columns.
const std::vector<std::string>& PurchaseJournalColumns();

// The printed document number: everything before the first digit removed (all of it when
// it holds no digit).
std::string DocumentNumberFromFirstDigit(const std::string& number);
// A fiscal code without a leading "RO".
std::string FiscalCodeWithoutRo(const std::string& code);

}  // namespace tvx::core
