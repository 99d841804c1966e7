// The activity summary: one statement per figure, each a sum of whole tables or of the
// period's rows; an empty sum counts as 0.
#include "core/reports/ActivitySummary.h"

#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Decimal;
using tables::ResultSet;
using tables::Value;

Decimal ActivitySummary::vatToPay(bool vatPayer) const {
    return vatPayer ? salesVat - purchasesVat : Decimal(0);
}

namespace {

Decimal At(const ResultSet& rows, size_t row, int column) {
    if (row >= rows.rowCount()) return Decimal(0);
    const Value v = rows.at(row, column);
    return v.isNumber() ? v.number() : Decimal(0);
}

}  // namespace

ActivitySummary ComputeActivitySummary(tables::Database& db, const StockPeriod& period,
                                       const std::function<void(int)>& advanced) {
    const auto step = [&advanced](int percent) {
        if (advanced) advanced(percent);
    };
    const auto table = [&db](const char* name) { return QuotedPath(TableFile(db, name)); };
    const tables::Params dates = {{"F", period.from}, {"T", period.to}};
    ActivitySummary s;

    ResultSet rows = db.query("SELECT SUM(VALOARE), SUM(TOTAL) FROM " + table("FactIn") +
                                  " WHERE DATAIN>=:F AND DATAIN<=:T",
                              dates);
    s.purchasesValue = At(rows, 0, 0);
    s.purchasesVat = At(rows, 0, 1) - s.purchasesValue;
    step(10);
    s.leftToPay = At(db.query("SELECT SUM(REST) FROM " + table("FactIn")), 0, 0);
    s.paid =
        At(db.query("SELECT SUM(PLATIT) FROM " + table("ChitIn") + " WHERE DATAC>=:F AND DATAC<=:T",
                    dates),
           0, 0);
    step(30);

    tables::Params located = dates;
    std::string sql = "SELECT P.CATEG, SUM(P.VALAT) AS T1 FROM " + table("ProdNIR") + " P, " +
                      table("CapNIR") +
                      " C WHERE P.IDNIR=C.IDNIR AND C.DATANIR>=:F AND C.DATANIR<=:T";
    if (!period.location.empty()) {
        sql += " AND P.GESTIUNE=:G";
        located["G"] = period.location;
    }
    rows = db.query(sql + " GROUP BY P.CATEG ORDER BY P.CATEG", located);
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        const std::string category = Trimmed(rows.at(r, 0).toString());
        size_t slot = kActivitySlots.size() - 1;
        for (size_t i = 0; i + 1 < kActivitySlots.size(); ++i)
            if (category == kActivitySlots[i]) slot = i;
        // Every category outside the first five is added to SERVICII, so the lines above
        // "Total intrat" always add up to it.
        s.entries[slot] += At(rows, r, 1);
        s.entriesTotal += At(rows, r, 1);
    }
    step(50);

    sql = "SELECT SUM(STOC*PRETOUT) FROM " + table("CapFise");
    tables::Params location;
    if (!period.location.empty()) {
        sql += " WHERE GESTIUNE=:G";
        location["G"] = period.location;
    }
    s.stockValue = At(db.query(sql, location), 0, 0);
    step(70);

    rows = db.query("SELECT SUM(VALTOT), SUM(TVATOT) FROM " + table("FactOut") +
                        " WHERE DATAOUT>=:F AND DATAOUT<=:T",
                    dates);
    s.salesValue = At(rows, 0, 0);
    s.salesVat = At(rows, 0, 1);
    s.leftToCollect = At(db.query("SELECT SUM(REST) FROM " + table("FactOut")), 0, 0);
    step(80);

    const std::string lines = "SELECT SUM(P.VALOUT), SUM(P.VALTVA) FROM " + table("ProdOut") +
                              " P, " + table("FactOut") +
                              " F WHERE P.IDFACTO=F.IDFACTO AND F.DATAOUT>=:F AND "
                              "F.DATAOUT<=:T AND ";
    rows = db.query(lines + "P.IDFISA>=0", dates);
    s.goodsValue = At(rows, 0, 0);
    s.goodsVat = At(rows, 0, 1);
    rows = db.query(lines + "P.IDFISA=-1", dates);
    s.servicesValue = At(rows, 0, 0);
    s.servicesVat = At(rows, 0, 1);
    step(90);

    s.collected = At(
        db.query("SELECT SUM(SUMA) FROM " + table("ChitOut") + " WHERE DATAOUT>=:F AND DATAOUT<=:T",
                 dates),
        0, 0);
    step(100);
    return s;
}

std::map<std::string, std::string> ActivitySummaryTexts(const ActivitySummary& s,
                                                        const std::string& company,
                                                        const StockPeriod& period, bool vatPayer) {
    const auto money = [](const Decimal& amount) { return RoundHalfAway(amount, 2).toString(); };
    std::map<std::string, std::string> texts = {
        {"SOC", company},
        {"GESTIUNE", LocationLine(period.location)},
        {"PERIOADA", PeriodText(period.from, period.to, "in ziua de ", "in perioada ")},
        {"CV", money(s.purchasesValue)},
        {"CT", money(s.purchasesVat)},
        {"CS", money(s.purchasesValue + s.purchasesVat)},
        {"INTRAT", money(s.entriesTotal)},
        {"PLATIT", money(s.paid)},
        {"RESTPLATA", money(s.leftToPay)},
        {"STOC", money(s.stockValue)},
        {"VV", money(s.salesValue)},
        {"VT", money(s.salesVat)},
        {"VS", money(s.salesValue + s.salesVat)},
        {"MV", money(s.goodsValue)},
        {"MT", money(s.goodsVat)},
        {"MS", money(s.goodsValue + s.goodsVat)},
        {"SV", money(s.servicesValue)},
        {"ST", money(s.servicesVat)},
        {"SS", money(s.servicesValue + s.servicesVat)},
        {"INCASAT", money(s.collected)},
        {"RESTINCASARE", money(s.leftToCollect)},
        {"TVAPLATA", money(s.vatToPay(vatPayer))},
    };
    for (size_t i = 0; i < kActivitySlots.size(); ++i)
        texts[kActivitySlots[i]] = money(s.entries[i]);
    return texts;
}

}  // namespace tvx::core
