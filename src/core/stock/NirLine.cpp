// The lines of a goods received note (core/stock): reading and writing ProdNIR rows, the
// reversal of a line's stock entry and the add / modify / delete operations.
#include "core/stock/NirLine.h"

#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Database;
using tables::Decimal;
using tables::EngineError;

namespace {

std::string Lines(const Database& db) {
    return QuotedPath(TableFile(db, "ProdNIR"));
}

NirLineRow RowAt(const tables::ResultSet& rows) {
    NirLineRow r;
    r.idProd = rows.asNumber("IDPROD").toLongLong();
    r.idNir = rows.asNumber("IDNIR").toLongLong();
    r.idCap = rows.value("IDCAP").isNull() ? -1 : rows.asNumber("IDCAP").toLongLong();
    r.idFisa = rows.value("IDFISA").isNull() ? -1 : rows.asNumber("IDFISA").toLongLong();
    r.gestiune = rows.asText("GESTIUNE");
    r.categ = rows.asText("CATEG");
    r.produs = rows.asText("PRODUS");
    r.um = rows.asText("UM");
    r.cantf = rows.asNumber("CANTF");
    r.cantr = rows.asNumber("CANTR");
    r.pretu = rows.asNumber("PRETU");
    r.valoare = rows.asNumber("VALOARE");
    r.valtva = rows.asNumber("VALTVA");
    r.totalf = rows.asNumber("TOTALF");
    r.preta = rows.asNumber("PRETA");
    r.vala = rows.asNumber("VALA");
    r.pretat = rows.asNumber("PRETAT");
    r.valat = rows.asNumber("VALAT");
    r.codbare = rows.asText("CODBARE");
    r.obs = rows.asText("OBS");
    r.garantie = rows.asDate("GARANTIE");
    r.adaos = rows.asNumber("ADAOS");
    return r;
}

tables::Params RowParams(const NirLineRow& r) {
    tables::Params p{{"idprod", r.idProd},     {"idnir", r.idNir},
                     {"idcap", r.idCap},       {"idfisa", r.idFisa},
                     {"gestiune", r.gestiune}, {"categ", r.categ},
                     {"produs", r.produs},     {"um", r.um},
                     {"cantf", r.cantf},       {"cantr", r.cantr},
                     {"pretu", r.pretu},       {"valoare", r.valoare},
                     {"valtva", r.valtva},     {"totalf", r.totalf},
                     {"preta", r.preta},       {"vala", r.vala},
                     {"pretat", r.pretat},     {"valat", r.valat},
                     {"codbare", r.codbare},   {"obs", r.obs},
                     {"adaos", r.adaos}};
    p["garantie"] = r.garantie ? tables::Value(*r.garantie) : tables::Value();
    return p;
}

constexpr const char* kFieldList =
    "IDPROD, IDNIR, IDCAP, IDFISA, GESTIUNE, CATEG, PRODUS, UM, CANTF, CANTR, PRETU, VALOARE, "
    "VALTVA, TOTALF, PRETA, VALA, PRETAT, VALAT, CODBARE, OBS, GARANTIE, ADAOS";

// The note of a line operation, refused when missing or locked for the grade.
NirNote WritableNote(Database& db, long long idNir, int grade) {
    const std::optional<NirNote> note = ReadNirNote(db, idNir);
    const std::string file = TableFile(db, "CapNIR").string();
    if (!note)
        throw EngineError("N.I.R. " + std::to_string(idNir) + " does not exist in " + file,
                          "CapNIR");
    if (NirNoteLocked(grade, note->listat))
        throw EngineError("N.I.R. nr." + std::to_string(note->nrNir) +
                              " is printed and its lines may not be changed by a cashier (" + file +
                              ")",
                          "CapNIR");
    return *note;
}

NirLineRow StoredLine(Database& db, long long idProd) {
    std::optional<NirLineRow> line = ReadNirLine(db, idProd);
    if (!line)
        throw EngineError("N.I.R. line " + std::to_string(idProd) + " does not exist in " +
                              TableFile(db, "ProdNIR").string(),
                          "ProdNIR");
    return *line;
}

long long Counter(Settings& settings, const char* name) {
    return settings.nextNumber(name);
}

// Finds or creates the lot of the line and takes the id of its entry movement.
void TakeLot(Database& db, Settings& settings, NirLineRow& line) {
    line.idCap = FindOrCreateLot(db, settings, line.gestiune, line.categ, line.produs, line.um,
                                 line.entryPrice, line.pretat);
    line.idFisa = line.idCap != -1 ? Counter(settings, "IDFISA") : -1;
}

void PostLineEntry(Database& db, const NirNote& note, const NirLineRow& line) {
    if (line.idCap == -1) return;
    Movement m = NirEntryMovement(line.cantr, line.pretat * line.cantr, line.totalf);
    m.idFisa = line.idFisa;
    m.nrDoc = note.nrNir;
    m.dinData = note.dataNir;
    PostEntry(db, line.idCap, m, line.codbare);
}

}  // namespace

std::optional<NirLineRow> ReadNirLine(Database& db, long long idProd) {
    tables::ResultSet rows =
        db.query("SELECT * FROM " + Lines(db) + " WHERE IDPROD=:id", {{"id", idProd}});
    if (rows.empty()) return std::nullopt;
    return RowAt(rows);
}

std::vector<NirLineRow> ReadNirLines(Database& db, long long idNir) {
    tables::ResultSet rows = db.query(
        "SELECT * FROM " + Lines(db) + " WHERE IDNIR=:id ORDER BY IDPROD", {{"id", idNir}});
    std::vector<NirLineRow> out;
    for (rows.first(); !rows.eof(); rows.next()) out.push_back(RowAt(rows));
    return out;
}

void ReverseNirLine(Database& db, const NirLineRow& line) {
    if (line.idCap < 0) return;
    db.atomically([&] {
        // Only a movement actually removed is undone on the card, so that a line whose
        // movement is gone cannot take the card's count below its movements.
        if (db.execute("DELETE FROM " + QuotedPath(TableFile(db, "Fise")) + " WHERE IDFISA=:id",
                       {{"id", line.idFisa}}) == 0)
            return;
        db.execute("UPDATE " + QuotedPath(TableFile(db, "CapFise")) +
                       " SET NRREC=NRREC-1, STOC=STOC-:q WHERE IDCAP=:id",
                   {{"q", line.cantr}, {"id", line.idCap}});
    });
}

std::optional<FieldProblem> AddNirLineProblem(const std::optional<NirNote>& note) {
    if (!note) return FieldProblem{kNirListField, "Alegeti mai intai o nota de receptie!"};
    return std::nullopt;
}

std::optional<FieldProblem> ModifyNirLineProblem(const std::optional<NirNote>& note,
                                                 const std::optional<NirLineRow>& line) {
    if (!note) return FieldProblem{kNirListField, "Alegeti mai intai o nota de receptie!"};
    if (!line) return FieldProblem{kNirLinesField, "Nu exista nici un produs!"};
    return std::nullopt;
}

std::optional<FieldProblem> DeleteNirLineProblem(const std::optional<NirLineRow>& line) {
    if (!line) return FieldProblem{kNirLinesField, "Nu aveti ce sterge!"};
    return std::nullopt;
}

Message DeleteNirLineQuestion(const NirLineRow& line) {
    return Message{"Stergere produs", "Sigur vreti sa sterg produsul " + line.produs + "?",
                   MessageKind::Warning};
}

long long AddNirLine(Database& db, Settings& settings, long long idNir, NirLineRow line,
                     int grade) {
    return db.atomically([&]() -> long long {
        const NirNote note = WritableNote(db, idNir, grade);
        line.idNir = idNir;
        line.idProd = Counter(settings, "IDPROD");
        TakeLot(db, settings, line);
        db.execute("INSERT INTO " + Lines(db) + " (" + kFieldList +
                       ") VALUES (:idprod, :idnir, :idcap, :idfisa, :gestiune, :categ, :produs,"
                       " :um, :cantf, :cantr, :pretu, :valoare, :valtva, :totalf, :preta, :vala,"
                       " :pretat, :valat, :codbare, :obs, :garantie, :adaos)",
                   RowParams(line));
        RecalcNirTotals(db, idNir);
        PostLineEntry(db, note, line);
        return line.idProd;
    });
}

void ModifyNirLine(Database& db, Settings& settings, long long idProd, NirLineRow line, int grade) {
    db.atomically([&] {
        const NirLineRow old = StoredLine(db, idProd);
        const NirNote note = WritableNote(db, old.idNir, grade);
        line.idProd = idProd;
        line.idNir = old.idNir;
        TakeLot(db, settings, line);
        db.execute("UPDATE " + Lines(db) +
                       " SET IDCAP=:idcap, IDFISA=:idfisa, GESTIUNE=:gestiune, CATEG=:categ,"
                       " PRODUS=:produs, UM=:um, CANTF=:cantf, CANTR=:cantr, PRETU=:pretu,"
                       " VALOARE=:valoare, VALTVA=:valtva, TOTALF=:totalf, PRETA=:preta,"
                       " VALA=:vala, PRETAT=:pretat, VALAT=:valat, CODBARE=:codbare, OBS=:obs,"
                       " GARANTIE=:garantie, ADAOS=:adaos WHERE IDPROD=:idprod",
                   RowParams(line));
        RecalcNirTotals(db, line.idNir);
        ReverseNirLine(db, old);
        PostLineEntry(db, note, line);
        PurgeUnusedLots(db);
    });
}

void DeleteNirLine(Database& db, long long idProd, int grade) {
    db.atomically([&] {
        const NirLineRow old = StoredLine(db, idProd);
        WritableNote(db, old.idNir, grade);
        ReverseNirLine(db, old);
        db.execute("DELETE FROM " + Lines(db) + " WHERE IDPROD=:id", {{"id", idProd}});
        PurgeUnusedLots(db);
        RecalcNirTotals(db, old.idNir);
    });
}

}  // namespace tvx::core
