// The delivery-note file and the printed lines of a delivery note.
#include "core/reports/DeliveryNoteFile.h"

#include "core/admin/BankAccounts.h"
#include "core/admin/CompanyProfile.h"
#include "core/common/AtomicFile.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TableLayouts.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "tables/Value.h"
#include "tables/dbf/Codepage.h"

namespace tvx::core {

using tables::Database;
using tables::Decimal;
using tables::ResultSet;

namespace {

// The note's movements with their cards, in stored order.
ResultSet NoteLines(Database& db, const char* columns, const DeliveryNoteKey& note) {
    return db.query(std::string("SELECT ") + columns + " FROM " +
                        QuotedPath(TableFile(db, "Fise")) + " F, " +
                        QuotedPath(TableFile(db, "CapFise")) +
                        " C WHERE F.IDCAP=C.IDCAP AND F.DOCJUS=:doc AND F.NRDOC=:nr"
                        " AND F.DINDATA=:data",
                    {{"doc", note.docJus}, {"nr", note.nrDoc}, {"data", note.dinData}});
}

// A price with VAT brought to the price without it.
Decimal WithoutVat(const Decimal& price, int vatRate) {
    return price * Decimal(100) / Decimal(100 + vatRate);
}

}  // namespace

std::string DeliveryNoteText(Database& db, const CompanyProfile& company, int vatRate,
                             const DeliveryNoteKey& note) {
    const bool payer = company.vatPayer();
    std::string text;
    const auto line = [&text](const std::string& value) { text += value + "\r\n"; };
    line(company.avizSeria + std::to_string(note.nrDoc));
    line(company.denumire);
    line(payer ? Decimal(vatRate).toPlainString() : "0");

    ResultSet rs = NoteLines(db, "F.CANTOUT, C.PRETOUT, C.PRODUS, C.UM", note);
    for (rs.first(); !rs.eof(); rs.next()) {
        const Decimal price = rs.asNumber("PRETOUT");
        line(rs.asText("PRODUS"));
        line(rs.asText("UM"));
        line((payer ? RoundHalfAway(WithoutVat(price, vatRate), 4) : price).toPlainString());
        line(rs.asNumber("CANTOUT").toPlainString());
    }
    return tables::dbf::utf8ToCp1250(text);
}

void ExportDeliveryNote(Database& db, const CompanyProfile& company, int vatRate,
                        const std::filesystem::path& file, const DeliveryNoteKey& note) {
    WriteFileAtomically(file, DeliveryNoteText(db, company, vatRate, note));
}

std::filesystem::path DeliveryNoteLinesFile(const Database& db) {
    return db.programDir() / "Aviz.dbf";
}

int BuildDeliveryNoteLines(Database& db, const CompanyProfile& company, int vatRate,
                           const DeliveryNoteKey& note) {
    DeleteDeliveryNoteLines(db);
    const auto file = DeliveryNoteLinesFile(db);
    db.execute(createTableStatement(tableLayout("Aviz"), file));
    const bool payer = company.vatPayer();
    ResultSet rs = NoteLines(db, "F.CANTOUT, C.PRETIN, C.PRETOUT, C.PRODUS, C.UM", note);
    int count = 0;
    for (rs.first(); !rs.eof(); rs.next(), ++count) {
        const Decimal entry = rs.asNumber("PRETIN");
        db.execute("INSERT INTO " + QuotedPath(file) +
                       " (CANTOUT, PRETIN, PRETOUT, PRODUS, UM) VALUES (:q, :pin, :pout, :p, :u)",
                   {{"q", rs.asNumber("CANTOUT")},
                    {"pin", payer ? RoundAmount(WithoutVat(entry, vatRate)) : entry},
                    {"pout", rs.asNumber("PRETOUT")},
                    {"p", rs.asText("PRODUS")},
                    {"u", rs.asText("UM")}});
    }
    return count;
}

DeliveryNoteLabels BindDeliveryNoteLabels(const CompanyProfile& company, const Settings& settings,
                                          const std::string& account, const DeliveryNoteKey& note) {
    DeliveryNoteLabels labels;
    labels.series = company.avizSeria;
    labels.number = std::to_string(note.nrDoc);
    labels.date = note.dinData.toString();
    labels.name = company.denumire;
    labels.regCom = company.regCom;
    labels.fiscalCode = company.codFisc;
    labels.address = Trimmed(company.localit + " " + company.adresa);
    labels.county = company.judet;
    labels.bank = BankNameOf(account);
    labels.account = account;
    labels.capital = company.capital;
    labels.operatorName = settings.readSetting("FACTURA", "OPERATOR");
    return labels;
}

void DeleteDeliveryNoteLines(Database& db) {
    const auto file = DeliveryNoteLinesFile(db);
    if (db.tableExists(file)) db.execute("DROP TABLE " + QuotedPath(file));
}

}  // namespace tvx::core
