// Posting of outgoing documents (core/sales): the FactOut header with the supplier block
// copied from the current company profile, the ProdOut lines, the sale movements through
// the stock-card operations and the receipt of a fiscal receipt. Everything, the counters of
// the settings file included, runs in one transaction of the engine.
#include "core/sales/InvoicePosting.h"

#include <algorithm>

#include "core/admin/CompanyProfile.h"
#include "core/admin/Users.h"
#include "core/common/Checks.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::core {

using tables::Database;
using tables::Decimal;
using tables::EngineError;
using tables::Params;

namespace {

std::string Table(const Database& db, const char* name) {
    return QuotedPath(TableFile(db, name));
}

// An optional date as a parameter: a blank date field when there is none.
tables::Value DateOrBlank(const std::optional<tables::Date>& date) {
    return date ? tables::Value(*date) : tables::Value();
}

Decimal Cents(const Decimal& x) {
    return RoundHalfAway(x, 2);
}

// VAT contained in an amount with VAT at `rate` percent, rounded to cents.
Decimal IncludedVat(const Decimal& amount, const Decimal& rate) {
    return Cents(amount * rate / (Decimal(100) + rate));
}

// The columns shared by insert and update of FactOut: the document's own fields and the
// supplier block copied from the current company profile.
Params HeaderParams(const Settings& settings, const InvoiceDocument& doc, const Decimal& rest) {
    CompanyProfile profile;
    profile.load(settings);
    std::string iban = doc.iban, bank;
    CheckIBAN(iban, bank);  // normalises; the bank name is empty when none is known
    return Params{{"dataout", doc.date},
                  {"tvaproc", doc.vatRate.toLongLong()},
                  {"soc", profile.denumire},
                  {"rj", profile.regCom},
                  {"cui", profile.codFisc},
                  {"adresa", Trimmed(profile.localit + " " + profile.adresa)},
                  {"jud", profile.judet},
                  {"banca", bank},
                  {"cont", iban},
                  {"capital", Decimal::parse(Trimmed(profile.capital)).value_or(Decimal(0))},
                  {"soc2", doc.buyerName},
                  {"rj2", doc.buyerRegCom},
                  {"cui2", doc.buyerCui},
                  {"adresa2", doc.buyerAddress},
                  {"jud2", doc.buyerCounty},
                  {"loc2", doc.buyerLocality},
                  {"banca2", doc.buyerBank},
                  {"cont2", doc.buyerAccount},
                  {"deleg", doc.delegate},
                  {"reprez", doc.representative},
                  {"mijt", doc.transport},
                  {"dataliv", RoundHalfAway(doc.deliveryTime, 6)},
                  {"operat", doc.operatorName},
                  {"tvatot", Cents(doc.vatTotal)},
                  {"valtot", Cents(doc.netTotal)},
                  {"total", Cents(doc.total)},
                  {"rest", Cents(rest)},
                  {"datascad", DateOrBlank(doc.dueDate)},
                  {"obs", doc.obs},
                  {"gestiune", doc.location}};
}

bool VatPayer(const Settings& settings) {
    CompanyProfile profile;
    profile.load(settings);
    return profile.vatPayer();
}

// Stores the lines in NRCRT order: the ProdOut row of each and, for a goods line, its sale
// movement taken off the stock card. A failing line aborts the whole posting (the caller's
// transaction rolls back) with the product named; the lines are not posted one by one with
// an error window per line, so a document is never left half posted.
void PostLines(Database& db, Settings& settings, long long idFacto, const std::string& series,
               long long number, tables::Date date, std::vector<InvoiceLine> lines,
               const PostingProgress& progress) {
    std::stable_sort(lines.begin(), lines.end(),
                     [](const InvoiceLine& a, const InvoiceLine& b) { return a.nrCrt < b.nrCrt; });
    const std::string prodOut = Table(db, "ProdOut");
    const int total = static_cast<int>(lines.size());
    int done = 0;
    for (const InvoiceLine& line : lines) {
        if (progress) progress(PostingLineText(line.product), done++, total);
        try {
            const long long idFisa = line.idCap < 0 ? -1 : settings.nextNumber("IDFISA");
            const Decimal quantity = Cents(line.quantity);
            db.execute("INSERT INTO " + prodOut +
                           " (IDFACTO, IDFISA, IDCAP, NRCRT, PRODUS, UM, CANT, PRETOUT, VALOUT,"
                           " VALTVA, OBS, GARANTIE, IDCAT) VALUES (:idfacto, :idfisa, :idcap,"
                           " :nrcrt, :produs, :um, :cant, :pretout, :valout, :valtva, :obs,"
                           " :garantie, :idcat)",
                       {{"idfacto", idFacto},
                        {"idfisa", idFisa},
                        {"idcap", line.idCap},
                        {"nrcrt", line.nrCrt},
                        {"produs", line.product},
                        {"um", line.unit},
                        {"cant", quantity},
                        {"pretout", Cents(line.price)},
                        {"valout", Cents(line.value)},
                        {"valtva", Cents(line.vat)},
                        {"obs", line.obs},
                        {"garantie", DateOrBlank(line.warranty)},
                        {"idcat", line.idCat}});
            if (line.idCap > 0) {
                Movement m = SaleMovement(quantity, Cents(line.value + line.vat));
                m.idFisa = idFisa;
                m.docJus = "FACTURA " + series;
                m.nrDoc = number;
                m.dinData = date;
                PostExit(db, line.idCap, m);
            }
        } catch (const std::exception& e) {
            throw EngineError("Produsul " + line.product + " nu a fost operat! " + e.what());
        }
    }
}

void Tell(const PostingProgress& progress, const char* text, const InvoiceDocument& doc) {
    if (progress) progress(text, 0, static_cast<int>(doc.lines.size()));
}

}  // namespace

std::string PostingLineText(const std::string& product) {
    return "Operez " + product + "...";
}

long long SaveNewInvoice(Database& db, Settings& settings, const InvoiceDocument& doc,
                         const PostingProgress& progress) {
    return db.atomically([&]() -> long long {
        const long long idFacto = settings.nextNumber("IDFACTO");
        const long long rate = doc.vatRate.toLongLong();
        settings.writeVatRate(static_cast<int>(rate));
        std::string series = doc.series;
        const bool receipt = doc.fiscalReceipt();
        if (receipt) {
            series = kFiscalReceiptSeries;
            settings.setIndex("NRBON", std::to_string(doc.number + 1));
        } else if (settings.peekNumber("FACTNR") == doc.number) {
            settings.nextNumber("FACTNR");  // the proposed number was kept
        }

        Params row = HeaderParams(settings, doc, receipt ? Decimal(0) : doc.total);
        row["idfacto"] = idFacto;
        row["seria"] = series;
        row["nr"] = doc.number;
        db.execute("INSERT INTO " + Table(db, "FactOut") +
                       " (IDFACTO, SERIA, NR, DATAOUT, TVAPROC, SOC, RJ, CUI, ADRESA, JUD, BANCA,"
                       " CONT, CAPITAL, SOC2, RJ2, CUI2, ADRESA2, JUD2, LOC2, BANCA2, CONT2,"
                       " DELEG, REPREZ, MIJT, DATALIV, OPERAT, TVATOT, VALTOT, TOTAL, REST,"
                       " DATASCAD, OBS, GESTIUNE, LISTARI) VALUES (:idfacto, :seria, :nr,"
                       " :dataout, :tvaproc, :soc, :rj, :cui, :adresa, :jud, :banca, :cont,"
                       " :capital, :soc2, :rj2, :cui2, :adresa2, :jud2, :loc2, :banca2, :cont2,"
                       " :deleg, :reprez, :mijt, :dataliv, :operat, :tvatot, :valtot, :total,"
                       " :rest, :datascad, :obs, :gestiune, 0)",
                   row);

        Tell(progress, kArrangeStockText, doc);
        PostLines(db, settings, idFacto, series, doc.number, doc.date, doc.lines, progress);

        if (receipt) {
            const Decimal total = Cents(doc.total);
            db.execute(
                "INSERT INTO " + Table(db, "ChitOut") +
                    " (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA, INCLTVA, REPREZ)"
                    " VALUES (:idchit, :idfacto, :docjus, '', :nr, :dataout, :suma,"
                    " :incltva, '')",
                {{"idchit", settings.nextNumber("IDCHIT")},
                 {"idfacto", idFacto},
                 {"docjus", kFiscalReceiptDocument},
                 {"nr", doc.number},
                 {"dataout", doc.date},
                 {"suma", total},
                 {"incltva", VatPayer(settings) ? IncludedVat(total, Decimal(rate)) : Decimal(0)}});
        }
        return idFacto;
    });
}

std::optional<Message> ModifyRefusal(Database& db, long long idFacto, int grade) {
    const tables::ResultSet row = StoredInvoiceHeader(db, idFacto);
    if (grade == kGradeCasier && row.asNumber("LISTARI") > Decimal(0))
        return Message{"Modificare Factura", "Nu aveti dreptul sa mai modificati Factura!",
                       MessageKind::Error};
    return std::nullopt;
}

Decimal PaidAmount(Database& db, long long idFacto) {
    tables::ResultSet rows = db.query(
        "SELECT SUMA FROM " + Table(db, "ChitOut") + " WHERE IDFACTO=:id", {{"id", idFacto}});
    Decimal paid;
    for (rows.first(); !rows.eof(); rows.next()) paid += rows.asNumber("SUMA");
    return paid;
}

std::optional<Message> SaveModifiedInvoice(Database& db, Settings& settings, long long idFacto,
                                           const InvoiceDocument& doc, int grade,
                                           const PostingProgress& progress) {
    if (auto refusal = ModifyRefusal(db, idFacto, grade)) return refusal;
    db.atomically([&] {
        const tables::ResultSet stored = StoredInvoiceHeader(db, idFacto);
        const std::string series = stored.asText("SERIA");
        const long long number = stored.asNumber("NR").toLongLong();
        // The document type follows the stored series, as the editor sets it from there.
        const bool receipt = series == kFiscalReceiptSeries;

        Params row =
            HeaderParams(settings, doc, receipt ? Decimal(0) : doc.total - PaidAmount(db, idFacto));
        row["idfacto"] = idFacto;
        db.execute("UPDATE " + Table(db, "FactOut") +
                       " SET DATAOUT=:dataout, TVAPROC=:tvaproc, SOC=:soc, RJ=:rj, CUI=:cui,"
                       " ADRESA=:adresa, JUD=:jud, BANCA=:banca, CONT=:cont, CAPITAL=:capital,"
                       " SOC2=:soc2, RJ2=:rj2, CUI2=:cui2, ADRESA2=:adresa2, JUD2=:jud2,"
                       " LOC2=:loc2, BANCA2=:banca2, CONT2=:cont2, DELEG=:deleg, REPREZ=:reprez,"
                       " MIJT=:mijt, DATALIV=:dataliv, OPERAT=:operat, TVATOT=:tvatot,"
                       " VALTOT=:valtot, TOTAL=:total, REST=:rest, DATASCAD=:datascad, OBS=:obs,"
                       " GESTIUNE=:gestiune WHERE IDFACTO=:idfacto",
                   row);

        // Undo the old lines: each goods movement is removed and given back to its card.
        Tell(progress, kUndoLinesText, doc);
        const std::string prodOut = Table(db, "ProdOut");
        tables::ResultSet old =
            db.query("SELECT IDFISA, IDCAP FROM " + prodOut + " WHERE IDFACTO=:id AND IDCAP<>-1",
                     {{"id", idFacto}});
        for (old.first(); !old.eof(); old.next())
            RemoveMovement(db, old.asNumber("IDFISA").toLongLong());
        db.execute("DELETE FROM " + prodOut + " WHERE IDFACTO=:id", {{"id", idFacto}});

        Tell(progress, kNewLinesText, doc);
        PostLines(db, settings, idFacto, series, number, doc.date, doc.lines, progress);

        if (receipt) {
            const std::string chitOut = Table(db, "ChitOut");
            const tables::ResultSet receipts =
                db.query("SELECT IDCHIT FROM " + chitOut + " WHERE IDFACTO=:id", {{"id", idFacto}});
            if (receipts.rowCount() == 1) {
                const Decimal total = Cents(doc.total);
                db.execute(
                    "UPDATE " + chitOut + " SET SUMA=:suma, INCLTVA=:incltva WHERE IDFACTO=:id",
                    {{"suma", total},
                     {"incltva", VatPayer(settings) ? IncludedVat(total, doc.vatRate) : Decimal(0)},
                     {"id", idFacto}});
            }
        }
    });
    return std::nullopt;
}

tables::ResultSet StoredInvoiceHeader(Database& db, long long idFacto) {
    tables::ResultSet row =
        db.query("SELECT SERIA, NR, LISTARI FROM " + Table(db, "FactOut") + " WHERE IDFACTO=:id",
                 {{"id", idFacto}});
    if (row.empty())
        throw EngineError("Invoice " + std::to_string(idFacto) + " does not exist in " +
                              TableFile(db, "FactOut").string(),
                          "FactOut");
    return row;
}

}  // namespace tvx::core
