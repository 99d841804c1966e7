// Stock cards and their movements (core/stock): a CapFise row is one lot of one product in
// one stock location (key GESTIUNE, PRODUS, UM, PRETIN, PRETOUT); a Fise row is one movement
// of it through one document (DOCJUS, NRDOC, DINDATA). Every document that moves stock goes
// through these operations, which keep STOC equal to the sum of the movements' CANTIN minus
// CANTOUT and NRREC equal to their count. They join the caller's open transaction (a
// document posts whole or not at all); outside one, each operation is its own.
#pragma once

#include <string>

#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

// Movement kinds (Fise.TIP) and the document name reserved for goods received notes.
constexpr const char* kMoveEntry = "INTRARE";
constexpr const char* kMoveExit = "IESIRE";
constexpr const char* kMoveSale = "VANZARE";
constexpr const char* kMoveTransfer = "TRANSFER";
constexpr const char* kNirDocument = "N.I.R.";

// One movement row as posted: quantities and values already split by sign, each >= 0 and at
// most one quantity non-zero. The card's STOC changes by cantIn - cantOut.
struct Movement {
    long long idFisa = 0;  // taken beforehand with NextIndex("IDFISA")
    std::string tip;
    std::string docJus;
    long long nrDoc = 0;
    tables::Date dinData;
    tables::Decimal cantIn, cantOut, valIn, valOut;
};

// The splits of each document kind.
// Goods received note line: received quantity Q, value V = sale price with VAT x Q; the value
// is an entry when the line's invoiced total is above zero.
Movement NirEntryMovement(tables::Decimal quantity, tables::Decimal value,
                          tables::Decimal invoicedTotal);
// Outgoing document goods line: quantity CANT, value with VAT; a negative line is a return.
Movement SaleMovement(tables::Decimal quantity, tables::Decimal valueWithVat);
// Stock exit or transfer half: quantity out (or in) and its value.
Movement ExitMovement(tables::Decimal quantity, tables::Decimal value);
Movement EntryMovement(tables::Decimal quantity, tables::Decimal value);

// The card of a lot, created (STOC 0, NRREC 0, empty bar code, a new IDCAP) when missing.
// Returns -1 and writes nothing for the categories "SERVICII" and "DISCOUNT".
long long FindOrCreateLot(tables::Database& db, Settings& settings, const std::string& location,
                          const std::string& category, const std::string& product,
                          const std::string& unit, tables::Decimal entryPrice,
                          tables::Decimal salePrice);

// Adds the movement to the card (STOC += cantIn - cantOut, NRREC + 1; CODBARE = barCode when
// it is not blank) and inserts the Fise row.
void PostEntry(tables::Database& db, long long idCap, const Movement& movement,
               const std::string& barCode = {});
// Inserts the Fise row and takes it off the card (STOC += cantIn - cantOut, NRREC + 1).
void PostExit(tables::Database& db, long long idCap, const Movement& movement);
// Deletes the movement and undoes it on its card (NRREC - 1, STOC -= cantIn - cantOut).
// A movement that does not exist changes nothing.
void RemoveMovement(tables::Database& db, long long idFisa);
// Deletes every card whose NRREC is 0.
void PurgeUnusedLots(tables::Database& db);

// Moves `quantity` of card `source` to `location` under the document named: an exit half on
// the source valued at its PRETOUT, and an entry half on the lot of the same category and
// prices in `location` (created when missing). Returns the destination card.
long long TransferLot(tables::Database& db, Settings& settings, long long source,
                      const std::string& location, tables::Decimal quantity,
                      const std::string& docJus, long long nrDoc, tables::Date date);

}  // namespace tvx::core
