// The header dialog of a goods received note (core/stock): start values, the documents grid,
// the checks of "Memoreaza" and saving a new or changed header.
#include "core/stock/NirHeader.h"

#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/stock/NirNotes.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Database;
using tables::EngineError;

namespace {

std::string Path(const Database& db, const char* table) {
    return QuotedPath(TableFile(db, table));
}

}  // namespace

void NirHeaderForm::startNew(Database& db, const Settings& settings, tables::Date today) {
    adding = true;
    idNir = 0;
    number = tables::Decimal::parse(settings.peekIndex("NRNIR")).value_or(1).toLongLong();
    date = today;
    suppliers = FillDistinct(db, TableFile(db, "FactIn").string(), "", "FURNIZOR");
    supplier = suppliers.empty() ? std::string() : suppliers.front();
    delegate = settings.readSetting("NIR", "DELEGAT");
    receiver = settings.readSetting("NIR", "RECEPTIONER");
    storekeeper = settings.readSetting("NIR", "GESTIONAR");
}

void NirHeaderForm::startEdit(Database& db, const NirNote& note) {
    adding = false;
    idNir = note.idNir;
    number = oldNumber_ = note.nrNir;
    date = oldDate_ = note.dataNir;
    suppliers = FillDistinct(db, TableFile(db, "FactIn").string(), "", "FURNIZOR");
    supplier = note.furnizor;
    delegate = note.delegat;
    receiver = note.receptio;
    storekeeper = note.gestio;
}

std::optional<FieldProblem> NirHeaderForm::ModifyProblem(const std::optional<NirNote>& note) {
    if (!note) return FieldProblem{kNirListField, "Nu aveti ce modifica!"};
    return std::nullopt;
}

tables::ResultSet NirHeaderForm::QueryDocuments(Database& db) {
    return db.query("SELECT F.IDFACT, F.FURNIZOR, F.NUMEFACT, F.SERIANR, N.IDNIR FROM " +
                    Path(db, "FactIn") + " F LEFT JOIN " + Path(db, "CapNIR") +
                    " N ON N.IDFACT = F.IDFACT ORDER BY F.FURNIZOR, F.NUMEFACT, F.SERIANR");
}

std::string NirHeaderForm::documentsFilter() const {
    if (!adding) return {};
    // A quote would end the filter's text; stored supplier names never hold one.
    std::string name = supplier;
    for (char& c : name)
        if (c == '\'') c = '`';
    return "(IDNIR=NULL) AND (FURNIZOR='" + name + "')";
}

std::optional<FieldProblem> NirHeaderForm::check(Database& db, std::optional<long long> document) {
    if (!document) return FieldProblem{kDocumentsField, "Nu ati ales nici o factura!"};
    if (number < 1) return FieldProblem{kNumberField, "Nu ati scris numarul receptiei!"};
    delegate = Trimmed(delegate);
    receiver = Trimmed(receiver);
    storekeeper = Trimmed(storekeeper);
    std::string sql = "SELECT IDNIR FROM " + Path(db, "CapNIR") + " WHERE NRNIR=:n AND DATANIR=:d";
    tables::Params params{{"n", number}, {"d", date}};
    if (!adding) {
        sql += " AND IDNIR<>:id";
        params["id"] = idNir;
    }
    if (!db.query(sql, params).empty())
        return FieldProblem{kNumberField, "Nota de Receptie exista deja!"};
    return std::nullopt;
}

long long NirHeaderForm::save(Database& db, Settings& settings, long long document) {
    return db.atomically([&]() -> long long {
        const tables::Params names{
            {"delegat", delegate}, {"receptio", receiver}, {"gestio", storekeeper}};
        long long id = idNir;
        if (adding) {
            tables::ResultSet fact =
                db.query("SELECT NUMEFACT, SERIANR, DATAIN, FURNIZOR, TVAPROC FROM " +
                             Path(db, "FactIn") + " WHERE IDFACT=:id",
                         {{"id", document}});
            if (fact.empty())
                throw EngineError("Incoming document " + std::to_string(document) +
                                      " does not exist in " + TableFile(db, "FactIn").string(),
                                  "FactIn");
            settings.setIndex("NRNIR", std::to_string(number + 1));
            id = settings.nextNumber("IDNIR");
            tables::Params row = names;
            row["idnir"] = id;
            row["nrnir"] = number;
            row["datanir"] = date;
            row["idfact"] = document;
            row["numefact"] = fact.value("NUMEFACT");
            row["serienr"] = fact.value("SERIANR");
            row["datafact"] = fact.value("DATAIN");
            row["furnizor"] = fact.value("FURNIZOR");
            row["tvaproc"] = fact.value("TVAPROC");
            db.execute("INSERT INTO " + Path(db, "CapNIR") +
                           " (IDNIR, NRNIR, DATANIR, IDFACT, NUMEFACT, SERIENR, DATAFACT, FURNIZOR,"
                           " TVAPROC, DELEGAT, RECEPTIO, GESTIO, VMF, VAF, VAC, VTN, TOTAL, LISTAT)"
                           " VALUES (:idnir, :nrnir, :datanir, :idfact, :numefact, :serienr,"
                           " :datafact, :furnizor, :tvaproc, :delegat, :receptio, :gestio,"
                           " 0, 0, 0, 0, 0, 0)",
                       row);
        } else {
            tables::Params row = names;
            row["id"] = idNir;
            row["nrnir"] = number;
            row["datanir"] = date;
            if (db.execute("UPDATE " + Path(db, "CapNIR") +
                               " SET NRNIR=:nrnir, DATANIR=:datanir, DELEGAT=:delegat,"
                               " RECEPTIO=:receptio, GESTIO=:gestio WHERE IDNIR=:id",
                           row) == 0)
                throw EngineError("N.I.R. " + std::to_string(idNir) + " does not exist in " +
                                      TableFile(db, "CapNIR").string(),
                                  "CapNIR");
            db.execute("UPDATE " + Path(db, "Fise") +
                           " SET NRDOC=:nrnir, DINDATA=:datanir WHERE DOCJUS=:doc"
                           " AND NRDOC=:oldnr AND DINDATA=:olddate",
                       {{"nrnir", number},
                        {"datanir", date},
                        {"doc", kNirDocument},
                        {"oldnr", oldNumber_},
                        {"olddate", oldDate_}});
        }
        settings.writeSetting("NIR", "DELEGAT", delegate);
        settings.writeSetting("NIR", "RECEPTIONER", receiver);
        settings.writeSetting("NIR", "GESTIONAR", storekeeper);
        if (!adding) {
            oldNumber_ = number;
            oldDate_ = date;
        }
        return id;
    });
}

}  // namespace tvx::core
