// Goods received notes (core/stock): reading a note, the list queries and filters, the
// totals, the cashier's lock, deleting a note and the print counter.
#include "core/stock/NirNotes.h"

#include "core/admin/Users.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "core/stock/NirLine.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Database;
using tables::Decimal;
using tables::EngineError;

namespace {

std::string Path(const Database& db, const char* table) {
    return QuotedPath(TableFile(db, table));
}

std::optional<Decimal> Optional(const tables::ResultSet& rows, const char* field) {
    const tables::Value v = rows.value(field);
    if (v.isNull()) return std::nullopt;
    return v.number();
}

std::string Amount(const std::optional<Decimal>& x) {
    return x ? x->rescaled(2).toString() : std::string();
}

}  // namespace

std::optional<NirNote> ReadNirNote(Database& db, long long idNir) {
    tables::ResultSet rows =
        db.query("SELECT * FROM " + Path(db, "CapNIR") + " WHERE IDNIR=:id", {{"id", idNir}});
    if (rows.empty()) return std::nullopt;
    NirNote n;
    n.idNir = idNir;
    n.nrNir = rows.asNumber("NRNIR").toLongLong();
    n.dataNir = rows.asDate("DATANIR").value_or(tables::Date());
    n.idFact = rows.asNumber("IDFACT").toLongLong();
    n.numeFact = rows.asText("NUMEFACT");
    n.serieNr = rows.asText("SERIENR");
    n.dataFact = rows.asDate("DATAFACT");
    n.furnizor = rows.asText("FURNIZOR");
    n.tvaProc = rows.asNumber("TVAPROC");
    n.delegat = rows.asText("DELEGAT");
    n.receptio = rows.asText("RECEPTIO");
    n.gestio = rows.asText("GESTIO");
    n.vmf = Optional(rows, "VMF");
    n.vaf = Optional(rows, "VAF");
    n.vac = Optional(rows, "VAC");
    n.vtn = Optional(rows, "VTN");
    n.total = Optional(rows, "TOTAL");
    n.listat = rows.asNumber("LISTAT").toLongLong();
    return n;
}

tables::ResultSet QueryNirNotes(Database& db) {
    return db.query("SELECT N.*, F.CUI FROM " + Path(db, "CapNIR") + " N INNER JOIN " +
                    Path(db, "FactIn") + " F ON N.IDFACT = F.IDFACT ORDER BY N.DATANIR, N.NRNIR");
}

tables::ResultSet QueryNirLines(Database& db) {
    return db.query("SELECT * FROM " + Path(db, "ProdNIR") + " ORDER BY IDPROD");
}

std::string NirNotesFilter(const std::string& supplier, long long number) {
    // Cleaned as the stored names were; each term written whole, whatever the text holds.
    const std::string cleaned = CleanText(supplier);
    std::vector<std::string> terms;
    if (!cleaned.empty()) terms.push_back(FilterPrefix("FURNIZOR", cleaned));
    if (number >= 1) terms.push_back("NRNIR=" + std::to_string(number));
    return JoinFilters(terms);
}

std::string NirLinesFilter(std::optional<long long> idNir) {
    return "(IDNIR=" + std::to_string(idNir.value_or(-1)) + ")";
}

bool NirNoteLocked(int grade, long long listat) {
    return grade == kGradeCasier && listat > 0;
}

void RecalcNirTotals(Database& db, long long idNir) {
    const std::string notes = Path(db, "CapNIR");
    const std::string lines = Path(db, "ProdNIR");
    auto sum = [&](const char* field, const char* category) {
        return "(SELECT SUM(P." + std::string(field) + ") FROM " + lines +
               " P WHERE P.IDNIR=:id AND P.CATEG='" + category + "')";
    };
    db.atomically([&] {
        db.execute("UPDATE " + notes + " SET VAF=" + sum("VALOARE", "AMBALAJ") + " WHERE IDNIR=:id",
                   {{"id", idNir}});
        db.execute("UPDATE " + notes + " SET VMF=" + sum("VALOARE", "MARFA") +
                       ", VAC=" + sum("VALA", "MARFA") + "-" + sum("VALOARE", "MARFA") +
                       ", VTN=" + sum("VALAT", "MARFA") + "-" + sum("VALA", "MARFA") +
                       ", TOTAL=" + sum("VALAT", "MARFA") + " WHERE IDNIR=:id",
                   {{"id", idNir}});
    });
}

std::optional<FieldProblem> DeleteNirNoteProblem(const std::optional<NirNote>& note) {
    if (!note) return FieldProblem{kNirListField, "Nu aveti ce sterge!"};
    return std::nullopt;
}

std::optional<Message> DeleteNirNoteRefusal(const NirNote& note, int grade) {
    if (!NirNoteLocked(grade, note.listat)) return std::nullopt;
    return Message{"Stergere N.I.R.", "Nu aveti dreptul sa stergeti Receptia!", MessageKind::Error};
}

Message DeleteNirNoteQuestion(const NirNote& note) {
    return Message{"Stergere N.I.R.",
                   "Chiar sterg N.I.R. nr." + std::to_string(note.nrNir) + " / " +
                       note.dataNir.toString() + "?",
                   MessageKind::Warning};
}

void DeleteNirNote(Database& db, long long idNir, int grade) {
    db.atomically([&] {
        const std::optional<NirNote> note = ReadNirNote(db, idNir);
        if (!note)
            throw EngineError("N.I.R. " + std::to_string(idNir) + " does not exist in " +
                                  TableFile(db, "CapNIR").string(),
                              "CapNIR");
        if (NirNoteLocked(grade, note->listat))
            throw EngineError("N.I.R. nr." + std::to_string(note->nrNir) +
                                  " is printed and may not be deleted by a cashier (" +
                                  TableFile(db, "CapNIR").string() + ")",
                              "CapNIR");
        db.execute("DELETE FROM " + Path(db, "CapNIR") + " WHERE IDNIR=:id", {{"id", idNir}});
        for (const NirLineRow& line : ReadNirLines(db, idNir)) ReverseNirLine(db, line);
        db.execute("DELETE FROM " + Path(db, "ProdNIR") + " WHERE IDNIR=:id", {{"id", idNir}});
        PurgeUnusedLots(db);
    });
}

std::optional<FieldProblem> PrintNirNoteProblem(const std::optional<NirNote>& note) {
    if (!note) return FieldProblem{kNirListField, "Nu aveti ce lista!"};
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> NirPrintPlaceholders(
    const NirNote& note, const std::string& companyName, const std::string& supplierCui) {
    const std::string factDate = note.dataFact ? note.dataFact->toString() : std::string();
    return {{"[SOC]", companyName},
            {"[NRNIR]", "Nr. " + std::to_string(note.nrNir) + " din " + note.dataNir.toString()},
            {"[FURNIZOR]", note.furnizor + ", CUI: " + supplierCui},
            {"[DELEGAT]", note.delegat},
            {"[FACTURA]", note.serieNr + " / " + factDate},
            {"[RECEPTIONER]", note.receptio},
            {"[GESTIONAR]", note.gestio},
            {"[NIRSUB1]", Amount(note.vmf)},
            {"[NIRSUB2]", Amount(note.vaf)},
            {"[NIRSUB3]", Amount(note.vac)},
            {"[NIRSUB4]", Amount(note.vtn)},
            {"[NIRSUB5]", Amount(note.total)}};
}

void MarkNirNotePrinted(Database& db, long long idNir) {
    db.atomically([&] {
        db.execute("UPDATE " + Path(db, "CapNIR") + " SET LISTAT=LISTAT+1 WHERE IDNIR=:id",
                   {{"id", idNir}});
    });
}

}  // namespace tvx::core
