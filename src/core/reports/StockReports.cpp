// The stock reports: one statement each for the movements and the consumption vouchers, and
// the mark-up summary matching each sale line with the first purchase of its stock card.
#include "core/reports/StockReports.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "core/common/PeriodChoice.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Date;
using tables::Decimal;
using tables::ResultSet;
using tables::Value;

std::string PeriodText(Date from, Date to, const std::string& sameDay, const std::string& range) {
    if (from == to) return sameDay + from.toString();
    return range + from.toString() + " - " + to.toString();
}

std::string LocationLine(const std::string& location) {
    return location.empty() ? std::string() : "Gestiunea : " + location;
}

const char* StockMovesTitle(StockMoveKind kind) {
    switch (kind) {
        case StockMoveKind::GoodsIn:
            return "CENTRALIZATOR INTRARI MARFA";
        case StockMoveKind::GoodsOut:
            return "CENTRALIZATOR IESIRI MARFA";
        case StockMoveKind::Transfers:
            break;
    }
    return "CENTRALIZATOR TRANSFERURI MARFA";
}

const char* StockMovesLayout(StockMoveKind kind) {
    switch (kind) {
        case StockMoveKind::GoodsIn:
            return "RapIesiri";
        case StockMoveKind::GoodsOut:
            return "RapIesiri2";
        case StockMoveKind::Transfers:
            break;
    }
    return "LTransfer";
}

ResultSet QueryStockMoves(tables::Database& db, StockMoveKind kind, const StockPeriod& period) {
    std::string columns, condition;
    switch (kind) {
        case StockMoveKind::GoodsIn:
            columns = "F.CANTIN, F.VALIN, F.DOCJUS, F.NRDOC, F.DINDATA";
            condition = "F.TIP=\"INTRARE\"";
            break;
        case StockMoveKind::GoodsOut:
            columns = "F.CANTOUT, F.VALOUT, F.DOCJUS, F.NRDOC, F.DINDATA";
            condition = "(F.TIP=\"IESIRE\" OR F.TIP=\"VANZARE\")";
            break;
        case StockMoveKind::Transfers:
            columns = "F.CANTOUT, F.CANTIN, F.VALOUT, F.VALIN, F.DINDATA";
            condition = "F.TIP=\"TRANSFER\"";
            break;
    }
    tables::Params params = {{"F", period.from}, {"T", period.to}};
    std::string sql = "SELECT C.PRODUS, C.UM, C.PRETOUT, " + columns + " FROM " +
                      QuotedPath(TableFile(db, "Fise")) + " F JOIN " +
                      QuotedPath(TableFile(db, "CapFise")) + " C ON F.IDCAP=C.IDCAP WHERE " +
                      condition + " AND F.DINDATA>=:F AND F.DINDATA<=:T";
    if (!period.location.empty()) {
        sql += " AND C.GESTIUNE=:G";
        params["G"] = period.location;
    }
    sql += " AND C.CATEG=\"MARFA\" ORDER BY C.PRODUS";
    return db.query(sql, params);
}

ResultSet QueryConsumptionVouchers(tables::Database& db, const StockPeriod& period) {
    tables::Params params = {{"F", period.from}, {"T", period.to}};
    std::string sql =
        "SELECT DOCJUS, NRDOC, DINDATA, CANTOUT, VALOUT, C.GESTIUNE, C.PRODUS FROM " +
        QuotedPath(TableFile(db, "Fise")) + " LEFT JOIN " + QuotedPath(TableFile(db, "CapFise")) +
        " C ON IDCAP=C.IDCAP WHERE TIP=\"IESIRE\" AND DOCJUS LIKE \"BON%\" AND DINDATA>=:F AND "
        "DINDATA<=:T";
    if (!period.location.empty()) {
        sql += " AND C.GESTIUNE=:G";
        params["G"] = period.location;
    }
    sql += " ORDER BY C.GESTIUNE, DINDATA, DOCJUS, NRDOC, C.PRODUS";
    const ResultSet moves = db.query(sql, params);

    // The voucher header as one more column: the layout starts a group when it changes.
    std::vector<tables::ColumnInfo> columns = moves.columns();
    columns.push_back({"GRUPA", 'C', 120, 0});
    std::vector<Value> cells;
    cells.reserve(moves.rowCount() * columns.size());
    const int width = moves.columnCount();
    for (size_t r = 0; r < moves.rowCount(); ++r) {
        for (int c = 0; c < width; ++c) cells.push_back(moves.at(r, c));
        const auto text = [&](const char* field) {
            return Trimmed(moves.at(r, moves.fieldIndex(field)).toString());
        };
        cells.emplace_back(text("GESTIUNE") + " :  " + text("DOCJUS") + " Nr." + text("NRDOC") +
                           " / " + text("DINDATA"));
    }
    return ResultSet(std::move(columns), std::move(cells));
}

namespace {

struct Purchase {
    Decimal price;
    std::string document;
    std::string date;
};

// The first NIR line of each stock card, in the order of the cards.
std::unordered_map<long long, Purchase> FirstPurchases(tables::Database& db, bool vatPayer) {
    ResultSet rows = db.query(
        "SELECT P.IDCAP, P.PRETU, P.VALTVA, P.CANTR, C.NUMEFACT, C.SERIENR, C.DATAFACT FROM " +
        QuotedPath(TableFile(db, "ProdNIR")) + " P JOIN " + QuotedPath(TableFile(db, "CapNIR")) +
        " C ON P.IDNIR=C.IDNIR ORDER BY P.IDCAP");
    std::unordered_map<long long, Purchase> first;
    first.reserve(rows.rowCount());
    const int idCap = rows.fieldIndex("IDCAP"), pretu = rows.fieldIndex("PRETU"),
              valTva = rows.fieldIndex("VALTVA"), cantR = rows.fieldIndex("CANTR"),
              numeFact = rows.fieldIndex("NUMEFACT"), serieNr = rows.fieldIndex("SERIENR"),
              dataFact = rows.fieldIndex("DATAFACT");
    const auto number = [&rows](size_t r, int c) {
        const Value v = rows.at(r, c);
        return v.isNumber() ? v.number() : Decimal(0);
    };
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        const long long id = number(r, idCap).toLongLong();
        if (first.contains(id)) continue;
        Purchase p;
        p.price = number(r, pretu);
        // A company that deducts no VAT counts the VAT in its cost; a line without a received
        // quantity has no VAT per unit to add.
        const Decimal received = number(r, cantR);
        if (!vatPayer && !received.isZero()) p.price = p.price + number(r, valTva) / received;
        p.document = Trimmed(rows.at(r, numeFact).toString()) + " " +
                     Trimmed(rows.at(r, serieNr).toString());
        p.date = rows.at(r, dataFact).toString();
        first.emplace(id, std::move(p));
    }
    return first;
}

}  // namespace

ResultSet ComputeMarkupSummary(tables::Database& db, bool vatPayer, Date from, Date to,
                               const std::function<void(size_t, size_t)>& advanced) {
    const ResultSet sales =
        db.query("SELECT O.IDCAP, O.PRODUS, O.UM, O.CANT, O.PRETOUT, F.DATAOUT FROM " +
                     QuotedPath(TableFile(db, "ProdOut")) + " O JOIN " +
                     QuotedPath(TableFile(db, "FactOut")) +
                     " F ON O.IDFACTO=F.IDFACTO WHERE F.DATAOUT>=:F AND F.DATAOUT<=:T",
                 {{"F", from}, {"T", to}});
    const size_t total = sales.rowCount();
    if (advanced) advanced(0, total);
    const auto purchases = FirstPurchases(db, vatPayer);

    struct Line {
        std::string produs, um, ff, dataFact;
        Decimal cant, pretOut, pretIn, adaos;
    };
    std::vector<Line> lines;
    lines.reserve(total);
    const int idCap = sales.fieldIndex("IDCAP"), produs = sales.fieldIndex("PRODUS"),
              um = sales.fieldIndex("UM"), cant = sales.fieldIndex("CANT"),
              pretOut = sales.fieldIndex("PRETOUT");
    const auto number = [&sales](size_t r, int c) {
        const Value v = sales.at(r, c);
        return v.isNumber() ? v.number() : Decimal(0);
    };
    for (size_t r = 0; r < total; ++r) {
        Line line;
        line.produs = sales.at(r, produs).toString();
        line.um = sales.at(r, um).toString();
        line.cant = number(r, cant);
        line.pretOut = number(r, pretOut);
        line.pretIn = Decimal(0);
        line.ff = "-";
        line.dataFact = "-";
        const long long card = number(r, idCap).toLongLong();
        if (card >= 0) {
            if (auto it = purchases.find(card); it != purchases.end()) {
                line.pretIn = it->second.price;
                line.ff = it->second.document;
                line.dataFact = it->second.date;
            }
        }
        line.adaos = RoundHalfAway(RoundHalfAway((line.pretOut - line.pretIn) * line.cant, 4), 2);
        line.pretIn = RoundHalfAway(line.pretIn, 2);
        lines.push_back(std::move(line));
        if (advanced && (r + 1) % 256 == 0) advanced(r + 1, total);
    }
    if (advanced) advanced(total, total);
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.ff < b.ff; });

    std::vector<tables::ColumnInfo> columns = {{"PRODUS", 'C', 240, 0},  {"UM", 'C', 4, 0},
                                               {"CANT", 'N', 8, 2},      {"PRETOUT", 'N', 10, 2},
                                               {"PRETIN", 'N', 10, 2},   {"FF", 'C', 40, 0},
                                               {"DATAFACT", 'C', 10, 0}, {"ADAOS", 'N', 10, 2}};
    std::vector<Value> cells;
    cells.reserve(lines.size() * columns.size());
    for (Line& line : lines) {
        cells.emplace_back(std::move(line.produs));
        cells.emplace_back(std::move(line.um));
        cells.emplace_back(line.cant);
        cells.emplace_back(line.pretOut);
        cells.emplace_back(line.pretIn);
        cells.emplace_back(std::move(line.ff));
        cells.emplace_back(std::move(line.dataFact));
        cells.emplace_back(line.adaos);
    }
    return ResultSet(std::move(columns), std::move(cells));
}

std::string MarkupTitle(Date from) {
    return "CENTRALIZATOR " + UpperText(MonthChoice::monthNames()[from.month() - 1]) + " " +
           std::to_string(from.year());
}

}  // namespace tvx::core
