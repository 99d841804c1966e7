// The supporting list of declaration 394 (core/reports): the invoices of a period summed per
// client name and tax code (SOC2, CUI2), with their count and total, printed or handed to the
// result-set export.
#pragma once

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

}  // namespace tvx::core
