// Stock cards and their movements (core/stock): the five operations on CapFise and Fise
// through which every document moves stock, and the splits of each document kind. Every
// operation runs inside the caller's transaction or as one of its own, and changes STOC and
// NRREC by relative updates in the same step as the movement row it inserts or deletes.
#include "core/stock/StockCards.h"

#include "core/admin/AdminCommon.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::core {

using tables::Database;
using tables::Decimal;
using tables::EngineError;

namespace {

std::string Cards(const Database& db) {
    return QuotedPath(TableFile(db, "CapFise"));
}

std::string Moves(const Database& db) {
    return QuotedPath(TableFile(db, "Fise"));
}

// A key text as the CHAR field will hold it: cut to the field's width and read back
// without trailing blanks, so that the lookup finds what the insert stored.
std::string AsStored(const std::string& text, size_t width) {
    return tables::rtrim(FirstChars(text, width));
}

// A price as the N(10,2) field holds it, so that a lookup with more decimals finds the card
// its own insert created.
Decimal StoredPrice(const Decimal& price) {
    return RoundHalfAway(price, 2);
}

// Quantities and values go to the engine with at most four decimals.
Decimal Four(const Decimal& x) {
    return x.scale() > 4 ? RoundHalfAway(x, 4) : x;
}

void InsertMovement(Database& db, long long idCap, const Movement& m) {
    db.execute("INSERT INTO " + Moves(db) +
                   " (IDFISA, IDCAP, TIP, DOCJUS, NRDOC, DINDATA, CANTIN, CANTOUT, VALIN, VALOUT)"
                   " VALUES (:idfisa, :idcap, :tip, :docjus, :nrdoc, :dindata, :cantin, :cantout,"
                   " :valin, :valout)",
               {{"idfisa", m.idFisa},
                {"idcap", idCap},
                {"tip", m.tip},
                {"docjus", m.docJus},
                {"nrdoc", m.nrDoc},
                {"dindata", m.dinData},
                {"cantin", Four(m.cantIn)},
                {"cantout", Four(m.cantOut)},
                {"valin", Four(m.valIn)},
                {"valout", Four(m.valOut)}});
}

// Adds `delta` to STOC and `count` to NRREC of the card; a card that does not exist is an
// error, as a movement must never point at nothing.
void ChangeCard(Database& db, long long idCap, const Decimal& delta, int count,
                const std::string& barCode = {}) {
    std::string sql = "UPDATE " + Cards(db) + " SET STOC=STOC+:delta, NRREC=NRREC+:count";
    tables::Params params{{"delta", Four(delta)}, {"count", count}, {"id", idCap}};
    if (!barCode.empty()) {
        sql += ", CODBARE=:bar";
        params["bar"] = barCode;
    }
    if (db.execute(sql + " WHERE IDCAP=:id", params) == 0)
        throw EngineError("Stock card " + std::to_string(idCap) + " does not exist in " +
                              TableFile(db, "CapFise").string(),
                          "CapFise");
}

// Splits a signed amount into its (in, out) pair, both >= 0.
std::pair<Decimal, Decimal> SplitIn(const Decimal& x) {
    return x.isNegative() ? std::pair<Decimal, Decimal>{Decimal(0), -x}
                          : std::pair<Decimal, Decimal>{x, Decimal(0)};
}

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

Movement NirEntryMovement(Decimal quantity, Decimal value, Decimal invoicedTotal) {
    Movement m;
    m.tip = kMoveEntry;
    m.docJus = kNirDocument;
    if (quantity > Decimal(0))
        m.cantIn = quantity;
    else
        m.cantOut = -quantity;
    if (invoicedTotal > Decimal(0))
        m.valIn = value;
    else
        m.valOut = -value;
    return m;
}

Movement SaleMovement(Decimal quantity, Decimal valueWithVat) {
    Movement m;
    m.tip = kMoveSale;
    std::tie(m.cantOut, m.cantIn) = SplitIn(quantity);
    std::tie(m.valOut, m.valIn) = SplitIn(valueWithVat);
    return m;
}

Movement ExitMovement(Decimal quantity, Decimal value) {
    Movement m;
    m.tip = kMoveExit;
    std::tie(m.cantOut, m.cantIn) = SplitIn(quantity);
    std::tie(m.valOut, m.valIn) = SplitIn(value);
    return m;
}

Movement EntryMovement(Decimal quantity, Decimal value) {
    Movement m;
    m.tip = kMoveEntry;
    std::tie(m.cantIn, m.cantOut) = SplitIn(quantity);
    std::tie(m.valIn, m.valOut) = SplitIn(value);
    return m;
}

long long FindOrCreateLot(Database& db, Settings& settings, const std::string& location,
                          const std::string& category, const std::string& product,
                          const std::string& unit, Decimal entryPrice, Decimal salePrice) {
    if (category == "SERVICII" || category == "DISCOUNT") return -1;
    return db.atomically([&]() -> long long {
        const tables::Params key{{"g", AsStored(location, 24)},
                                 {"p", AsStored(product, 240)},
                                 {"u", AsStored(unit, 4)},
                                 {"pin", StoredPrice(entryPrice)},
                                 {"pout", StoredPrice(salePrice)}};
        tables::ResultSet found = db.query("SELECT IDCAP FROM " + Cards(db) +
                                               " WHERE GESTIUNE=:g AND PRODUS=:p AND UM=:u"
                                               " AND PRETIN=:pin AND PRETOUT=:pout",
                                           key);
        if (!found.empty()) return found.asNumber("IDCAP").toLongLong();
        tables::Params row = key;
        row["id"] = settings.nextNumber("IDCAP");
        row["c"] = category;
        db.execute(
            "INSERT INTO " + Cards(db) +
                " (IDCAP, GESTIUNE, CATEG, PRODUS, UM, PRETIN, PRETOUT, STOC, CODBARE, NRREC)"
                " VALUES (:id, :g, :c, :p, :u, :pin, :pout, 0, '', 0)",
            row);
        return row["id"].number().toLongLong();
    });
}

void PostEntry(Database& db, long long idCap, const Movement& movement,
               const std::string& barCode) {
    db.atomically([&] {
        ChangeCard(db, idCap, movement.cantIn - movement.cantOut, 1,
                   IsBlank(barCode) ? std::string() : barCode);
        InsertMovement(db, idCap, movement);
    });
}

void PostExit(Database& db, long long idCap, const Movement& movement) {
    db.atomically([&] {
        InsertMovement(db, idCap, movement);
        ChangeCard(db, idCap, movement.cantIn - movement.cantOut, 1);
    });
}

void RemoveMovement(Database& db, long long idFisa) {
    db.atomically([&] {
        tables::ResultSet row =
            db.query("SELECT IDCAP, CANTIN, CANTOUT FROM " + Moves(db) + " WHERE IDFISA=:id",
                     {{"id", idFisa}});
        if (row.empty()) return;
        const long long idCap = row.asNumber("IDCAP").toLongLong();
        const Decimal delta = row.asNumber("CANTIN") - row.asNumber("CANTOUT");
        db.execute("DELETE FROM " + Moves(db) + " WHERE IDFISA=:id", {{"id", idFisa}});
        ChangeCard(db, idCap, -delta, -1);
    });
}

void PurgeUnusedLots(Database& db) {
    db.atomically([&] { db.execute("DELETE FROM " + Cards(db) + " WHERE NRREC=0"); });
}

long long TransferLot(Database& db, Settings& settings, long long source,
                      const std::string& location, Decimal quantity, const std::string& docJus,
                      long long nrDoc, tables::Date date) {
    return db.atomically([&]() -> long long {
        tables::ResultSet card = db.query(
            "SELECT CATEG, PRODUS, UM, PRETIN, PRETOUT FROM " + Cards(db) + " WHERE IDCAP=:id",
            {{"id", source}});
        if (card.empty())
            throw EngineError("Stock card " + std::to_string(source) + " does not exist in " +
                                  TableFile(db, "CapFise").string(),
                              "CapFise");
        const Decimal value = quantity * card.asNumber("PRETOUT");
        Movement out = ExitMovement(quantity, value);
        out.tip = kMoveTransfer;
        out.docJus = docJus;
        out.nrDoc = nrDoc;
        out.dinData = date;
        out.idFisa = settings.nextNumber("IDFISA");
        PostExit(db, source, out);
        const long long destination =
            FindOrCreateLot(db, settings, location, card.asText("CATEG"), card.asText("PRODUS"),
                            card.asText("UM"), card.asNumber("PRETIN"), card.asNumber("PRETOUT"));
        if (destination < 0)
            throw EngineError("Stock card " + std::to_string(source) + " of " +
                                  TableFile(db, "CapFise").string() +
                                  " has a category that holds no stock",
                              "CapFise");
        Movement in = EntryMovement(quantity, value);
        in.tip = kMoveTransfer;
        in.docJus = docJus;
        in.nrDoc = nrDoc;
        in.dinData = date;
        in.idFisa = settings.nextNumber("IDFISA");
        PostEntry(db, destination, in);
        return destination;
    });
}

}  // namespace tvx::core
