// One incoming document of a supplier as the purchases module reads it (core/purchases): a
// FactIn row with its totals, plus the small pieces the purchase modules share -- the quoted
// table names, identifiers taken from the settings counters, and the kinds of document and
// payment that get special treatment.
#pragma once

#include <optional>
#include <string>

#include "core/common/TypedNumbers.h"  // TypedNumber, for the typed totals
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

constexpr const char* kFiscalReceipt = "BON FISCAL";
constexpr const char* kInvoiceKind = "FACTURA FISCALA";
constexpr const char* kImportedNoteKind = "AVIZ INSOT.MARFA";

struct IncomingDocument {
    long long idFact = 0;
    std::string numeFact;  // kind of document
    std::string seriaNr;
    tables::Date dataIn;
    std::string furnizor;
    std::string cui;
    std::string banca;
    std::string cont;
    tables::Date dataScad;
    tables::Decimal valoare;  // without VAT
    int tvaProc = 0;
    tables::Decimal total;  // with VAT
    tables::Decimal rest;   // left to pay
};

// The FactIn row of `idFact`; nullopt when there is none.
std::optional<IncomingDocument> ReadIncomingDocument(tables::Database& db, long long idFact);
// Writes `doc` as a new FactIn row, under its own idFact.
void InsertIncomingDocument(tables::Database& db, const IncomingDocument& doc);

// Quoted paths of the tables, for statement text.
std::string FactInTable(const tables::Database& db);
std::string ChitInTable(const tables::Database& db);
std::string CapNirTable(const tables::Database& db);
std::string ProdNirTable(const tables::Database& db);

}  // namespace tvx::core
