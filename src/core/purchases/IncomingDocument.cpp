// Reading an incoming document and the helpers shared by the purchase modules.
#include "core/purchases/IncomingDocument.h"

#include <algorithm>
#include <filesystem>

#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Decimal;
using tables::EngineError;

std::string FactInTable(const tables::Database& db) {
    return QuotedPath(TableFile(db, "FactIn"));
}
std::string ChitInTable(const tables::Database& db) {
    return QuotedPath(TableFile(db, "ChitIn"));
}
std::string CapNirTable(const tables::Database& db) {
    return QuotedPath(TableFile(db, "CapNIR"));
}
std::string ProdNirTable(const tables::Database& db) {
    return QuotedPath(TableFile(db, "ProdNIR"));
}

std::optional<IncomingDocument> ReadIncomingDocument(tables::Database& db, long long idFact) {
    auto rs = db.query("SELECT * FROM " + FactInTable(db) + " WHERE IDFACT=:id", {{"id", idFact}});
    if (rs.empty()) return std::nullopt;
    rs.first();
    IncomingDocument d;
    d.idFact = rs.asNumber("IDFACT").toLongLong();
    d.numeFact = rs.asText("NUMEFACT");
    d.seriaNr = rs.asText("SERIANR");
    d.dataIn = rs.asDate("DATAIN").value_or(tables::Date());
    d.furnizor = rs.asText("FURNIZOR");
    d.cui = rs.asText("CUI");
    d.banca = rs.asText("BANCA");
    d.cont = rs.asText("CONT");
    d.dataScad = rs.asDate("DATASCAD").value_or(tables::Date());
    d.valoare = rs.asNumber("VALOARE");
    d.tvaProc = static_cast<int>(rs.asNumber("TVAPROC").toLongLong());
    d.total = rs.asNumber("TOTAL");
    d.rest = rs.asNumber("REST");
    return d;
}

void InsertIncomingDocument(tables::Database& db, const IncomingDocument& doc) {
    db.execute("INSERT INTO " + FactInTable(db) +
                   " (IDFACT, NUMEFACT, SERIANR, DATAIN, FURNIZOR, BANCA, CONT, TVAPROC,"
                   " DATASCAD, VALOARE, TOTAL, REST, CUI) VALUES (:id, :numefact, :serianr,"
                   " :datain, :furnizor, :banca, :cont, :tvaproc, :datascad, :valoare,"
                   " :total, :rest, :cui)",
               {{"id", doc.idFact},
                {"numefact", doc.numeFact},
                {"serianr", doc.seriaNr},
                {"datain", doc.dataIn},
                {"furnizor", doc.furnizor},
                {"banca", doc.banca},
                {"cont", doc.cont},
                {"tvaproc", doc.tvaProc},
                {"datascad", doc.dataScad},
                {"valoare", doc.valoare},
                {"total", doc.total},
                {"rest", doc.rest},
                {"cui", doc.cui}});
}

}  // namespace tvx::core
