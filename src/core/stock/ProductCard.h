// The product card (core/stock): for one stock location and one product, its cards (one per
// sale price) and the movements of the chosen card, the stock texts shown under them, the
// bar code look-up, and the operations started from it: a stock exit, a transfer to another
// location and the deletion of one movement. Each operation is one transaction with the
// counters it takes; a deleted transfer half takes its other half with it, exactly once, by
// the routine the delivery notes list uses as well.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/stock/ExitDocument.h"
#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

// Control names the problems point at.
constexpr const char* kCardMovesField = "FiseGrid";
constexpr const char* kCardBarCodeField = "CodBare";

// The product names of `location` (distinct PRODUS of its cards), ordered by name.
tables::ResultSet QueryCardProducts(tables::Database& db, const std::string& location);
// The filter of the product names for a search text: names beginning with it; empty for an
// empty text.
std::string CardProductFilter(const std::string& searchText);
// The cards of `product` in `location` ordered by PRETOUT: IDCAP, GESTIUNE, CATEG, PRODUS, UM,
// PRETIN, PRETOUT, STOC, CODBARE.
tables::ResultSet QueryProductCards(tables::Database& db, const std::string& location,
                                    const std::string& product);
// The movements of card `idCap` ordered by DINDATA, IDFISA: IDCAP, IDFISA, TIP, DOCJUS, NRDOC,
// DINDATA, CANTIN, CANTOUT, VALIN, VALOUT, GESTIUNE, PRODUS, UM.
tables::ResultSet QueryCardMovements(tables::Database& db, long long idCap);

// Where a bar code leads: the first card the table returns with that CODBARE.
struct CardPosition {
    long long idCap = 0;
    std::string location;
    std::string product;
};
// The check of the text: "Introduceti un cod de bare!" for a blank one.
std::optional<FieldProblem> CheckBarCode(const std::string& text);
std::optional<CardPosition> FindBarCode(tables::Database& db, const std::string& text);
Message BarCodeNotFound();

// The stock texts of a card: STOC with two decimals, its unit, and PRETOUT x STOC with four.
struct StockTexts {
    std::string stock;
    std::string unit;
    std::string value;
};
StockTexts CardStockTexts(const tables::Decimal& stock, const std::string& unit,
                          const tables::Decimal& salePrice);
// The card as the exit and transfer dialog shows it.
ExitCard MakeExitCard(long long idCap, const std::string& location, const std::string& product,
                      const std::string& unit, const tables::Decimal& salePrice,
                      const tables::Decimal& stock);
// "Nu aveti nimic pe stoc!" at the movements grid when the card holds nothing worth anything
// (no card, STOC not above 0, or its value not above 0).
std::optional<FieldProblem> CheckStockLeaves(const std::optional<ExitCard>& card);

// The captions of the printed card (the report's parameters).
struct CardReportCaptions {
    std::string company;   // the company name
    std::string location;  // "Gestiunea : " + location
    std::string date;      // today, dd.MM.yyyy
    std::string product;
    std::string stock;     // "STOC FINAL : " + stock + " " + unit + "     = " + value + " lei."
    std::string category;  // "Categoria : " + CATEG
    std::string price;     // "Pret de vanzare : " + PRETOUT (two decimals) + " lei."
};
CardReportCaptions MakeCardReportCaptions(const std::string& company, const std::string& location,
                                          tables::Date today, const std::string& product,
                                          const StockTexts& texts, const std::string& category,
                                          const tables::Decimal& salePrice);
// "Listare fisa produs": "Alegeti mai intai un produs!" when no movement is shown.
Message ChooseProductFirst();

// Posts an exit (TIP "IESIRE") of the document's quantity from the card, valued at the card's
// PRETOUT; returns its IDFISA. One transaction with the IDFISA counter. Throws
// std::invalid_argument (Romanian text) for a document the dialog should have refused and
// EngineError for a missing card or an engine failure; nothing is then written.
long long PostStockExit(tables::Database& db, Settings& settings, const ExitCard& card,
                        const ExitDocument& document);
// Posts a transfer of the document's quantity to its destination location (both halves, the
// destination card found or created); returns the source half's IDFISA. Same failures.
long long PostStockTransfer(tables::Database& db, Settings& settings, const ExitCard& card,
                            const ExitDocument& document);

// One movement of a card as the grid shows it.
struct CardMovement {
    long long idFisa = 0;
    long long idCap = 0;
    std::string tip;
    std::string docJus;
    long long nrDoc = 0;
    tables::Date dinData;
    tables::Decimal cantIn, cantOut;
};
std::optional<CardMovement> ReadCardMovement(tables::Database& db, long long idFisa);
// "Nu aveti ce sterge!" without a movement, "Nu puteti sterge o Nota de Receptie de aici!"
// for one of a goods received note; both at the movements grid.
std::optional<FieldProblem> CheckDeleteOperation(const std::optional<CardMovement>& movement);
// "Stergere operatiune": "Doriti sa stergeti " + DOCJUS + " nr." + NRDOC + "?".
Message DeleteOperationQuestion(const CardMovement& movement);
// Deletes the movement (its card gives back or takes back its quantity), the other half when
// it is a transfer half, and then the cards left without movements; one transaction. Returns
// the refusal of CheckDeleteOperation instead when there is one; a movement already gone gives
// nothing back.
std::optional<FieldProblem> DeleteOperation(tables::Database& db, long long idFisa);

// Deletes each movement of `ids` with RemoveMovement and, for a transfer half, the other half
// of its transfer: TIP "TRANSFER", the same DOCJUS, NRDOC and DINDATA and the opposite quantity
// (of the same lot in another location, the nearest IDFISA first, when several qualify). Every
// movement is reversed at most once: one already deleted (here or elsewhere) is skipped, and a
// half whose counterpart is gone only reverses itself. Does not purge; joins the caller's
// transaction.
void RemoveMovementsWithCounterparts(tables::Database& db, const std::vector<long long>& ids);

}  // namespace tvx::core
