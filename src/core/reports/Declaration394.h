// The supporting list of declaration 394 (core/reports): the invoices of a period summed per
// client name and tax code (SOC2, CUI2), with their count and total, printed or handed to the
// result-set export; and the comma-separated text that export writes for now.
#pragma once

#include <filesystem>
#include <string>

#include "core/reports/StockReports.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::core {

inline constexpr const char* kDeclaration394Layout = "LDecl394";

// SOC2, CUI2, COUNTF, TOT of the FactOut rows dated in the period (and of its location when
// one is chosen), one row per name and tax code, ordered by them. Every invoice counts,
// whatever its sign. Engine errors propagate.
tables::ResultSet QueryDeclaration394(tables::Database& db, const StockPeriod& period);

struct Declaration394Totals {
    long long invoices = 0;
    tables::Decimal total;
};
Declaration394Totals SumDeclaration394(const tables::ResultSet& rows);

// "in perioada " + first date + " - " + last date.
std::string Declaration394PeriodLine(const StockPeriod& period);

// A result set as comma-separated text: the column names, then one line per row; texts
// quoted when they hold a comma, a quote or a line end (quotes doubled), numbers with "."
// and their decimals, dates dd.MM.yyyy; lines end with CR LF.
std::string ResultSetCsv(const tables::ResultSet& rows);

// Writes ResultSetCsv(rows) to `file` through a temporary file and a rename: the file is
// either replaced whole or left as it was. Throws EngineError naming the file.
void WriteResultSetCsv(const std::filesystem::path& file, const tables::ResultSet& rows);

}  // namespace tvx::core
