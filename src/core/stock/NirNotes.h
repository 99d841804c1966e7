// Goods received notes (core/stock): the note header as the window and the line operations
// read it, the notes list with its search filter and the lines grid's filter, the totals of
// a note, the lock of printed notes for cashiers, deleting a note with the reversal of every
// line's stock entry, and the print counter. Deleting is one transaction: it happens whole
// or not at all.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

// Control names of the notes window used in its problems.
constexpr const char* kNirListField = "NirGrid";
constexpr const char* kNirLinesField = "ProdGrid";

// A CapNIR row.
struct NirNote {
    long long idNir = 0;
    long long nrNir = 0;
    tables::Date dataNir;
    long long idFact = 0;
    std::string numeFact, serieNr;
    std::optional<tables::Date> dataFact;
    std::string furnizor;
    tables::Decimal tvaProc;
    std::string delegat, receptio, gestio;
    // Totals; nullopt when the note has no line of their category.
    std::optional<tables::Decimal> vmf, vaf, vac, vtn, total;
    long long listat = 0;
};

// The note with that IDNIR, nullopt when there is none.
std::optional<NirNote> ReadNirNote(tables::Database& db, long long idNir);

// The notes list: CapNIR inner-joined with FactIn on IDFACT (the document's CUI added),
// ordered by DATANIR, NRNIR.
tables::ResultSet QueryNirNotes(tables::Database& db);
// The lines query: every ProdNIR row, ordered by IDPROD.
tables::ResultSet QueryNirLines(tables::Database& db);
// The notes list's search filter: "Furnizor" keeps suppliers beginning with the cleaned text,
// "Numar" (when 1 or more) the note of that number; empty when neither applies.
std::string NirNotesFilter(const std::string& supplier, long long number);
// The lines grid's filter on the current note (IDNIR = -1 when the list is empty).
std::string NirLinesFilter(std::optional<long long> idNir);

// A printed note (LISTAT above 0) is locked for a user of grade CASIER: no deletion, no line
// added, changed or deleted.
bool NirNoteLocked(int grade, long long listat);

// VAF, then VMF, VAC, VTN and TOTAL of the note from its ProdNIR rows (a sum over no line is
// empty). Joins an open transaction.
void RecalcNirTotals(tables::Database& db, long long idNir);

// "&Sterge Receptia": the problem of an empty list, then the refusal of a locked note (a
// message window), then the question to confirm. `note` is the current note (nullopt: none).
std::optional<FieldProblem> DeleteNirNoteProblem(const std::optional<NirNote>& note);
std::optional<Message> DeleteNirNoteRefusal(const NirNote& note, int grade);
Message DeleteNirNoteQuestion(const NirNote& note);
// After a confirmed question: deletes the note, reverses the stock entry of each of its lines,
// deletes its lines and purges the cards left without movements, as one transaction. The
// incoming document is not touched. A locked note (for `grade`) or an engine error throws
// EngineError and leaves everything as it was.
void DeleteNirNote(tables::Database& db, long long idNir, int grade);

// "&Listeaza Receptia": the problem of an empty list; the template placeholders of the note
// ([SOC], [NRNIR], ... [NIRSUB5]) with their texts; the print counter LISTAT + 1.
std::optional<FieldProblem> PrintNirNoteProblem(const std::optional<NirNote>& note);
std::vector<std::pair<std::string, std::string>> NirPrintPlaceholders(
    const NirNote& note, const std::string& companyName, const std::string& supplierCui);
void MarkNirNotePrinted(tables::Database& db, long long idNir);

}  // namespace tvx::core
