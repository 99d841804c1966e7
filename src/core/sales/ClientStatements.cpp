// Buyers and their statements: the lists of the statement window, the rows of the printed
// statement and the unpaid invoices of a selection.
#include "core/sales/ClientStatements.h"

#include <algorithm>
#include <set>

#include "core/common/Lists.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Date;
using tables::Decimal;
using tables::ResultSet;
using tables::Value;

std::vector<std::string> BuyerNames(tables::Database& db) {
    return FillDistinct(db, TableFile(db, "FactOut").string(), "", "SOC2");
}

Date DefaultStatementStart(Date today) {
    return AddMonths(today, -60);
}

ResultSet QueryStatementInvoices(tables::Database& db) {
    return db.query("SELECT SOC2, SERIA, NR, DATAOUT, TOTAL, REST, IDFACTO FROM " +
                    QuotedPath(TableFile(db, "FactOut")) + " ORDER BY SOC2, DATAOUT");
}

ResultSet QueryStatementReceipts(tables::Database& db) {
    return db.query("SELECT F.SOC2, C.SERIA, C.NR, C.DATAOUT, C.SUMA FROM " +
                    QuotedPath(TableFile(db, "ChitOut")) + " C JOIN " +
                    QuotedPath(TableFile(db, "FactOut")) +
                    " F ON C.IDFACTO=F.IDFACTO ORDER BY F.SOC2, C.DATAOUT");
}

std::string StatementFilter(const std::string& buyer, Date since) {
    return JoinFilters({FilterEquals("SOC2", buyer), "DATAOUT>='" + since.toString() + "'"});
}

StatementTotals SumStatement(const ResultSet& rows) {
    StatementTotals totals;
    const int id = rows.findField("IDFACTO"), total = rows.fieldIndex("TOTAL"),
              rest = rows.fieldIndex("REST");
    std::set<std::string> seen;
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        if (id >= 0 && !seen.insert(rows.at(r, id).toString()).second) continue;
        const Value t = rows.at(r, total), left = rows.at(r, rest);
        if (t.isNumber()) totals.invoiced += t.number();
        if (left.isNumber()) totals.left += left.number();
    }
    return totals;
}

ResultSet QueryClientStatement(tables::Database& db, const std::string& buyer, Date since) {
    return db.query(
        "SELECT F.IDFACTO, F.DATAOUT, F.SERIA, F.NR, F.TOTAL, F.REST, C.SERIA AS "
        "CSERIA, C.NR AS CNR, C.DATAOUT AS CDATA, C.SUMA, C.DOCJUS FROM " +
            QuotedPath(TableFile(db, "FactOut")) + " F LEFT JOIN " +
            QuotedPath(TableFile(db, "ChitOut")) +
            " C ON C.IDFACTO=F.IDFACTO WHERE F.SOC2=:B AND F.DATAOUT>=:D ORDER BY "
            "F.DATAOUT, F.IDFACTO, C.DATAOUT",
        {{"B", buyer}, {"D", since}});
}

UnpaidSelection UnpaidSelection::Defaults(Date today) {
    return {"", AddMonths(today, -1), today.addDays(-1)};
}

std::vector<std::string> SelectionBuyers(const std::vector<std::string>& names) {
    std::vector<std::string> items = {kAllBuyers};
    items.insert(items.end(), names.begin(), names.end());
    return items;
}

ResultSet QueryUnpaidSelection(tables::Database& db, const UnpaidSelection& selection,
                               const std::vector<std::string>& items) {
    tables::Params params = {{"F", selection.from}, {"T", selection.to}};
    std::string sql = "SELECT SERIA, NR, DATAOUT, SOC2, TOTAL, REST, DATASCAD FROM " +
                      QuotedPath(TableFile(db, "FactOut")) + " WHERE REST>0";
    // Typed text is cleaned as it was when the names were stored.
    const std::string buyer = CleanText(selection.buyer);
    if (!buyer.empty() && buyer != kAllBuyers) {
        if (std::find(items.begin(), items.end(), buyer) != items.end()) {
            sql += " AND SOC2=:B";
            params["B"] = buyer;
        } else {
            sql += " AND SOC2 LIKE :B";
            params["B"] = buyer + "%";
        }
    }
    return db.query(sql + " AND DATAOUT>=:F AND DATAOUT<=:T ORDER BY DATAOUT, SOC2", params);
}

}  // namespace tvx::core
