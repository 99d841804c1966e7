// The product card's queries, texts, checks and operations (core/stock). The operations run
// as one transaction each (Database::atomically), the IDFISA and IDCAP counters inside it, and
// change stock only through the stock card operations.
#include "core/stock/ProductCard.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/stock/ExitForm.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::core {

using tables::Database;
using tables::Decimal;

namespace {

std::string Cards(const Database& db) {
    return QuotedPath(TableFile(db, "CapFise"));
}

std::string Moves(const Database& db) {
    return QuotedPath(TableFile(db, "Fise"));
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The card as it is now, inside the operation's transaction.
struct StoredCard {
    Decimal salePrice;
};

StoredCard ReadCard(Database& db, long long idCap) {
    tables::ResultSet row =
        db.query("SELECT PRETOUT FROM " + Cards(db) + " WHERE IDCAP=:id", {{"id", idCap}});
    if (row.empty())
        throw tables::EngineError("Stock card " + std::to_string(idCap) + " does not exist in " +
                                      TableFile(db, "CapFise").string(),
                                  "CapFise");
    return {row.asNumber("PRETOUT")};
}

// The checks the exit dialog makes before saving, made again here so that no caller can post
// what the dialog would refuse.
void CheckDocument(const ExitDocument& document, bool transfer) {
    const std::string name = CleanText(document.docJus);
    if (name.empty()) throw std::invalid_argument("Nu ati scris documentul!");
    if (name == kNirDocument)
        throw std::invalid_argument("Numele documentului nu poate fi N.I.R.!");
    if (document.nrDoc <= 0) throw std::invalid_argument("Nu ati scris numarul documentului!");
    if (!(document.quantity > Decimal(0)))
        throw std::invalid_argument("Cantitatea iesita este incorecta!");
    if (transfer && CleanText(document.destination).empty())
        throw std::invalid_argument("Nu ati ales Beneficiarul!");
}

}  // namespace

tables::ResultSet QueryCardProducts(Database& db, const std::string& location) {
    return db.query(
        "SELECT DISTINCT PRODUS FROM " + Cards(db) + " WHERE GESTIUNE=:g ORDER BY PRODUS",
        {{"g", location}});
}

std::string CardProductFilter(const std::string& searchText) {
    return searchText.empty() ? std::string() : FilterPrefix("PRODUS", searchText);
}

tables::ResultSet QueryProductCards(Database& db, const std::string& location,
                                    const std::string& product) {
    return db.query(
        "SELECT IDCAP, GESTIUNE, CATEG, PRODUS, UM, PRETIN, PRETOUT, STOC, CODBARE"
        " FROM " +
            Cards(db) + " WHERE GESTIUNE=:g AND PRODUS=:p ORDER BY PRETOUT, IDCAP",
        {{"g", location}, {"p", product}});
}

tables::ResultSet QueryCardMovements(Database& db, long long idCap) {
    return db.query(
        "SELECT F.IDCAP, F.IDFISA, F.TIP, F.DOCJUS, F.NRDOC, F.DINDATA, F.CANTIN,"
        " F.CANTOUT, F.VALIN, F.VALOUT, C.GESTIUNE, C.PRODUS, C.UM FROM " +
            Moves(db) + " F JOIN " + Cards(db) +
            " C ON F.IDCAP=C.IDCAP WHERE F.IDCAP=:id AND C.IDCAP=:id"
            " ORDER BY F.DINDATA, F.IDFISA",
        {{"id", idCap}});
}

std::optional<FieldProblem> CheckBarCode(const std::string& text) {
    if (Trimmed(text).empty())
        return FieldProblem{kCardBarCodeField, "Introduceti un cod de bare!"};
    return std::nullopt;
}

std::optional<CardPosition> FindBarCode(Database& db, const std::string& text) {
    tables::ResultSet row =
        db.query("SELECT IDCAP, GESTIUNE, PRODUS FROM " + Cards(db) + " WHERE CODBARE=:c",
                 {{"c", Trimmed(text)}});
    if (row.empty()) return std::nullopt;
    return CardPosition{row.asNumber("IDCAP").toLongLong(), row.asText("GESTIUNE"),
                        row.asText("PRODUS")};
}

Message BarCodeNotFound() {
    return {"Cautare dupa cod de bare", "Nu exista nici un produs cu acest cod de bare!",
            MessageKind::Error};
}

StockTexts CardStockTexts(const Decimal& stock, const std::string& unit, const Decimal& salePrice) {
    return {stock.rounded(2).toString(), unit, (salePrice * stock).rounded(4).toString()};
}

ExitCard MakeExitCard(long long idCap, const std::string& location, const std::string& product,
                      const std::string& unit, const Decimal& salePrice, const Decimal& stock) {
    ExitCard card;
    card.idCap = idCap;
    card.location = location;
    card.product = product;
    card.unit = unit;
    card.salePrice = salePrice;
    card.stock = stock;
    card.stockValue = RoundHalfAway(salePrice * stock, 4);
    return card;
}

std::optional<FieldProblem> CheckStockLeaves(const std::optional<ExitCard>& card) {
    if (!card || !(card->stock.rounded(2) > Decimal(0)) || !(card->stockValue > Decimal(0)))
        return FieldProblem{kCardMovesField, "Nu aveti nimic pe stoc!"};
    return std::nullopt;
}

CardReportCaptions MakeCardReportCaptions(const std::string& company, const std::string& location,
                                          tables::Date today, const std::string& product,
                                          const StockTexts& texts, const std::string& category,
                                          const Decimal& salePrice) {
    CardReportCaptions c;
    c.company = company;
    c.location = "Gestiunea : " + location;
    c.date = today.toString();
    c.product = product;
    c.stock = std::string("STOC FINAL :") + " " + texts.stock + " " + texts.unit + "     = " +
              texts.value + " lei.";
    c.category = "Categoria : " + category;
    c.price = "Pret de vanzare : " + salePrice.rounded(2).toString() + " lei.";
    return c;
}

Message ChooseProductFirst() {
    return {"Listare fisa produs", "Alegeti mai intai un produs!", MessageKind::Error};
}

long long PostStockExit(Database& db, Settings& settings, const ExitCard& card,
                        const ExitDocument& document) {
    CheckDocument(document, false);
    return db.atomically([&]() -> long long {
        const StoredCard stored = ReadCard(db, card.idCap);
        Movement out =
            ExitMovement(document.quantity, RoundHalfAway(document.quantity * stored.salePrice, 4));
        out.docJus = CleanText(document.docJus);
        out.nrDoc = document.nrDoc;
        out.dinData = document.date;
        out.idFisa = settings.nextNumber("IDFISA");
        PostExit(db, card.idCap, out);
        RecordExitNumber(settings, document);
        return out.idFisa;
    });
}

long long PostStockTransfer(Database& db, Settings& settings, const ExitCard& card,
                            const ExitDocument& document) {
    CheckDocument(document, true);
    if (CleanText(document.destination) == card.location)
        throw std::invalid_argument("Nu ati ales Beneficiarul!");
    return db.atomically([&]() -> long long {
        // TransferLot takes the source half's IDFISA first.
        const long long first = settings.peekNumber("IDFISA");
        TransferLot(db, settings, card.idCap, CleanText(document.destination), document.quantity,
                    CleanText(document.docJus), document.nrDoc, document.date);
        RecordExitNumber(settings, document);
        return first;
    });
}

std::optional<CardMovement> ReadCardMovement(Database& db, long long idFisa) {
    tables::ResultSet row =
        db.query("SELECT IDFISA, IDCAP, TIP, DOCJUS, NRDOC, DINDATA, CANTIN, CANTOUT FROM " +
                     Moves(db) + " WHERE IDFISA=:id",
                 {{"id", idFisa}});
    if (row.empty()) return std::nullopt;
    CardMovement m;
    m.idFisa = idFisa;
    m.idCap = row.asNumber("IDCAP").toLongLong();
    m.tip = row.asText("TIP");
    m.docJus = row.asText("DOCJUS");
    m.nrDoc = row.asNumber("NRDOC").toLongLong();
    m.dinData = row.asDate("DINDATA").value_or(tables::Date());
    m.cantIn = row.asNumber("CANTIN");
    m.cantOut = row.asNumber("CANTOUT");
    return m;
}

std::optional<FieldProblem> CheckDeleteOperation(const std::optional<CardMovement>& movement) {
    if (!movement) return FieldProblem{kCardMovesField, "Nu aveti ce sterge!"};
    if (movement->docJus == kNirDocument)
        return FieldProblem{kCardMovesField, "Nu puteti sterge o Nota de Receptie de aici!"};
    return std::nullopt;
}

Message DeleteOperationQuestion(const CardMovement& movement) {
    return {"Stergere operatiune",
            "Doriti sa stergeti " + movement.docJus + " nr." + std::to_string(movement.nrDoc) + "?",
            MessageKind::Confirmation};
}

std::optional<FieldProblem> DeleteOperation(Database& db, long long idFisa) {
    return db.atomically([&]() -> std::optional<FieldProblem> {
        if (auto refusal = CheckDeleteOperation(ReadCardMovement(db, idFisa))) return refusal;
        RemoveMovementsWithCounterparts(db, {idFisa});
        PurgeUnusedLots(db);
        return std::nullopt;
    });
}

namespace {

// The lot of a card without its location, to tell the halves of one transfer from those of
// another product moved by the same document.
std::string LotOf(tables::ResultSet& row) {
    return row.asText("PRODUS") + "|" + row.asText("UM") + "|" +
           row.asNumber("PRETIN").toPlainString() + "|" + row.asNumber("PRETOUT").toPlainString();
}

// The other half of the transfer half `idFisa` (still stored), or nullopt when it is gone.
std::optional<long long> Counterpart(Database& db, long long idFisa) {
    const std::string cards = Cards(db);
    tables::ResultSet half = db.query(
        "SELECT F.DOCJUS, F.NRDOC, F.DINDATA, F.CANTIN, F.CANTOUT, C.GESTIUNE, C.PRODUS, C.UM,"
        " C.PRETIN, C.PRETOUT FROM " +
            Moves(db) + " F LEFT JOIN " + cards + " C ON F.IDCAP=C.IDCAP WHERE F.IDFISA=:id",
        {{"id", idFisa}});
    if (half.empty()) return std::nullopt;
    const Decimal delta = half.asNumber("CANTIN") - half.asNumber("CANTOUT");
    const std::string lot = LotOf(half);
    const std::string location = half.asText("GESTIUNE");
    tables::ResultSet others = db.query(
        "SELECT F.IDFISA, F.CANTIN, F.CANTOUT, C.GESTIUNE, C.PRODUS, C.UM, C.PRETIN, C.PRETOUT"
        " FROM " +
            Moves(db) + " F LEFT JOIN " + cards +
            " C ON F.IDCAP=C.IDCAP WHERE F.TIP=:tip AND F.DOCJUS=:doc AND F.NRDOC=:nr"
            " AND F.DINDATA=:date AND F.IDFISA<>:id",
        {{"tip", std::string(kMoveTransfer)},
         {"doc", half.asText("DOCJUS")},
         {"nr", half.value("NRDOC")},
         {"date", half.value("DINDATA")},
         {"id", idFisa}});
    // Best: the same lot elsewhere, then the nearest id (the halves are taken one after the
    // other).
    std::optional<std::pair<std::pair<int, long long>, long long>> best;
    for (others.first(); !others.eof(); others.next()) {
        if (others.asNumber("CANTIN") - others.asNumber("CANTOUT") != -delta) continue;
        const long long id = others.asNumber("IDFISA").toLongLong();
        const bool sameLot = LotOf(others) == lot && others.asText("GESTIUNE") != location;
        const std::pair<int, long long> rank{sameLot ? 0 : 1,
                                             id > idFisa ? id - idFisa : idFisa - id};
        if (!best || rank < best->first) best.emplace(rank, id);
    }
    if (!best) return std::nullopt;
    return best->second;
}

}  // namespace

void RemoveMovementsWithCounterparts(Database& db, const std::vector<long long>& ids) {
    db.atomically([&] {
        for (const long long idFisa : ids) {
            const std::optional<CardMovement> movement = ReadCardMovement(db, idFisa);
            if (!movement) continue;  // deleted already: nothing to give back
            std::optional<long long> other;
            if (movement->tip == kMoveTransfer) other = Counterpart(db, idFisa);
            RemoveMovement(db, idFisa);
            if (other) RemoveMovement(db, *other);
        }
    });
}

}  // namespace tvx::core
