// Declaration 394: one grouped statement over the invoices, and its comma-separated export.
#include "core/reports/Declaration394.h"

#include "core/common/Schema.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Decimal;
using tables::ResultSet;
using tables::Value;

ResultSet QueryDeclaration394(tables::Database& db, const StockPeriod& period) {
    tables::Params params = {{"F", period.from}, {"T", period.to}};
    std::string sql = "SELECT SOC2, CUI2, COUNT(*) AS COUNTF, SUM(TOTAL) AS TOT FROM " +
                      QuotedPath(TableFile(db, "FactOut")) + " WHERE DATAOUT>=:F AND DATAOUT<=:T";
    if (!period.location.empty()) {
        sql += " AND GESTIUNE=:G";
        params["G"] = period.location;
    }
    return db.query(sql + " GROUP BY SOC2, CUI2 ORDER BY SOC2, CUI2", params);
}

Declaration394Totals SumDeclaration394(const ResultSet& rows) {
    Declaration394Totals totals;
    const int count = rows.fieldIndex("COUNTF"), total = rows.fieldIndex("TOT");
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        const Value n = rows.at(r, count), t = rows.at(r, total);
        if (n.isNumber()) totals.invoices += n.number().toLongLong();
        if (t.isNumber()) totals.total += t.number();
    }
    return totals;
}

std::string Declaration394PeriodLine(const StockPeriod& period) {
    return "in perioada " + period.from.toString() + " - " + period.to.toString();
}

}  // namespace tvx::core
