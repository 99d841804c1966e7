// The lines of a goods received note (core/stock): a ProdNIR row, the reversal of its stock
// entry, and the three line operations of the notes window -- add, modify, delete -- with the
// checks that run before each. Every operation is one transaction with its counters: it
// writes the line, moves the stock card and recomputes the note's totals, or on any error
// leaves tables and counters as they were.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/stock/NirNotes.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

// A ProdNIR row, plus the entry price of its stock card (the supplier price with VAT, which
// the row itself does not keep).
struct NirLineRow {
    long long idProd = 0;
    long long idNir = 0;
    long long idCap = -1;
    long long idFisa = -1;
    std::string gestiune, categ, produs, um;
    tables::Decimal cantf, cantr, pretu, valoare, valtva, totalf, preta, vala, pretat, valat;
    std::string codbare, obs;
    std::optional<tables::Date> garantie;
    tables::Decimal adaos;
    tables::Decimal entryPrice;  // not stored: PT, the lot's PRETIN
};

// The line with that IDPROD, nullopt when there is none.
std::optional<NirLineRow> ReadNirLine(tables::Database& db, long long idProd);
// The lines of a note, ordered by IDPROD.
std::vector<NirLineRow> ReadNirLines(tables::Database& db, long long idNir);

// Undoes the stock entry of a stored line: nothing for a line without a card (IDCAP below
// 0); otherwise its movement is deleted and its card loses one reference and the quantity
// the movement brought. A movement that no longer exists changes nothing.
void ReverseNirLine(tables::Database& db, const NirLineRow& line);

// Checks run before the dialog opens. `note`: the current note; `line`: the current line.
std::optional<FieldProblem> AddNirLineProblem(const std::optional<NirNote>& note);
std::optional<FieldProblem> ModifyNirLineProblem(const std::optional<NirNote>& note,
                                                 const std::optional<NirLineRow>& line);
std::optional<FieldProblem> DeleteNirLineProblem(const std::optional<NirLineRow>& line);
Message DeleteNirLineQuestion(const NirLineRow& line);

// "Adauga Produs" after the dialog saved: takes IDPROD, finds or creates the lot, takes
// IDFISA for it, inserts `line` (its idProd, idCap, idFisa and idNir are set here), recomputes
// the note's totals and posts the entry. Returns the new IDPROD. A missing or locked note
// (for `grade`) or an engine error throws EngineError and leaves everything as it was.
long long AddNirLine(tables::Database& db, Settings& settings, long long idNir, NirLineRow line,
                     int grade);
// "M&odifica Produs" after the dialog saved: the stored line `idProd` gets the values of
// `line`, its old entry is reversed and the new one posted on the lot of the new values
// (with a new IDFISA), then unused cards are purged. Same errors as AddNirLine.
void ModifyNirLine(tables::Database& db, Settings& settings, long long idProd, NirLineRow line,
                   int grade);
// "S&terge Produs" after a confirmed question: reverses the entry, deletes the line, purges
// unused cards and recomputes the note's totals. Same errors as AddNirLine.
void DeleteNirLine(tables::Database& db, long long idProd, int grade);

}  // namespace tvx::core
