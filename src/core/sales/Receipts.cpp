// The receipt window of outgoing documents and the statements of one ChitOut receipt. REST of
// the document moves by the receipt's sum inside the same transaction as the row and the
// counters, so a failure anywhere leaves the tables and the settings file as they were.
#include "core/sales/Receipts.h"

#include "core/admin/CompanyProfile.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "core/sales/InvoicePosting.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::core {

using tables::Database;
using tables::Decimal;
using tables::EngineError;

namespace {

constexpr const char* kAddTitle = "Adaugare chitanta";

std::string Table(const Database& db, const char* name) {
    return QuotedPath(TableFile(db, name));
}

// A profile number as typed in the administration window; 0 when it is no number.
long long ProfileNumber(const std::string& text) {
    const auto number = ParseTypedNumber(text);
    return number ? number->rescaled(0, tables::Rounding::Truncate).toLongLong() : 0;
}

long long WholePart(const Decimal& x) {
    return x.rescaled(0, tables::Rounding::Truncate).toLongLong();
}

std::string DocumentText(const ReceiptDocument& doc) {
    return "seria " + doc.series + " nr." + std::to_string(doc.number);
}

Receipt ReceiptAt(const tables::ResultSet& rs) {
    Receipt r;
    r.idChit = rs.asNumber("IDCHIT").toLongLong();
    r.idFacto = rs.asNumber("IDFACTO").toLongLong();
    r.docJus = rs.asText("DOCJUS");
    r.series = rs.asText("SERIA");
    r.number = rs.asNumber("NR").toLongLong();
    r.date = rs.asDate("DATAOUT").value_or(tables::Date());
    r.sum = rs.asNumber("SUMA");
    r.vatIncluded = rs.asNumber("INCLTVA");
    r.text = rs.asText("REPREZ");
    return r;
}

}  // namespace

std::optional<ReceiptDocument> ReadReceiptDocument(Database& db, long long idFacto) {
    tables::ResultSet rs =
        db.query("SELECT IDFACTO, SERIA, NR, GESTIUNE, SOC2, TVAPROC, TOTAL, REST FROM " +
                     Table(db, "FactOut") + " WHERE IDFACTO=:id",
                 {{"id", idFacto}});
    if (rs.empty()) return std::nullopt;
    rs.first();
    ReceiptDocument doc;
    doc.idFacto = rs.asNumber("IDFACTO").toLongLong();
    doc.series = rs.asText("SERIA");
    doc.number = rs.asNumber("NR").toLongLong();
    doc.location = rs.asText("GESTIUNE");
    doc.buyer = rs.asText("SOC2");
    doc.vatRate = rs.asNumber("TVAPROC").toLongLong();
    doc.total = rs.asNumber("TOTAL");
    doc.rest = rs.asNumber("REST");
    return doc;
}

std::optional<Receipt> ReadReceipt(Database& db, long long idChit) {
    tables::ResultSet rs =
        db.query("SELECT * FROM " + Table(db, "ChitOut") + " WHERE IDCHIT=:id", {{"id", idChit}});
    if (rs.empty()) return std::nullopt;
    rs.first();
    return ReceiptAt(rs);
}

std::vector<Receipt> ReceiptsOf(Database& db, long long idFacto) {
    tables::ResultSet rs =
        db.query("SELECT * FROM " + Table(db, "ChitOut") + " WHERE IDFACTO=:id ORDER BY IDCHIT",
                 {{"id", idFacto}});
    std::vector<Receipt> out;
    for (rs.first(); !rs.eof(); rs.next()) out.push_back(ReceiptAt(rs));
    return out;
}

Decimal ReceiptVat(const Decimal& sum, long long rate, bool vatPayer) {
    if (!vatPayer) return Decimal(0).rescaled(2);
    return RoundHalfAway(sum * Decimal(rate) / Decimal(rate + 100), 2);
}

std::optional<ReceiptStop> CheckAddReceipt(size_t selectedDocuments,
                                           const std::optional<Receipt>& currentReceipt,
                                           const CompanyProfile& profile) {
    if (selectedDocuments >= 2)
        return ReceiptStop{std::nullopt,
                           Message{kAddTitle, "Nu puteti taia o chitanta la mai multe facturi!",
                                   MessageKind::Error},
                           false};
    if (currentReceipt && currentReceipt->docJus == kFiscalReceiptDocument)
        return ReceiptStop{
            FieldProblem{kReceiptsGrid, "Bonul fiscal nu poate fi achitat cu altceva!"},
            std::nullopt, false};
    if (Trimmed(profile.chitSeria).empty())
        return ReceiptStop{std::nullopt,
                           Message{kAddTitle,
                                   "Nu ati trecut seria la chitante la Administrare!\r\n"
                                   "Vreti s-o faceti acum?",
                                   MessageKind::Error},
                           true};
    if (ProfileNumber(profile.chitNrMax) < ProfileNumber(profile.chitNr))
        return ReceiptStop{std::nullopt,
                           Message{kAddTitle,
                                   "Nu mai aveti numere de chitanta libere!\r\n"
                                   "Vreti sa puneti acum alte numere de chitante?",
                                   MessageKind::Error},
                           true};
    return std::nullopt;
}

const std::vector<std::string>& ReceiptEntry::InstrumentNames() {
    static const std::vector<std::string> names = {"ORDIN DE PLATA", "CEC", "BILET LA ORDIN",
                                                   "COMPENSARE"};
    return names;
}

void ReceiptEntry::open(const ReceiptDocument& doc, const CompanyProfile& profile,
                        const Settings& settings, tables::Date today) {
    // ResetReceipt: every opening starts from the same state.
    caption = kNewCaption;
    mode = ReceiptMode::CashReceipt;
    instrumentName = InstrumentNames().front();
    instrumentNumber = Decimal(0);
    date = today;
    // The document and the defaults of a new receipt.
    location = doc.location;
    buyer = doc.buyer;
    documentText = DocumentText(doc);
    rest = doc.rest;
    restText = doc.rest.rescaled(2).toString();
    cashCaption = "cu Chitanta " + Trimmed(profile.chitSeria) + " nr." + Trimmed(profile.chitNr);
    fiscalNumber = Decimal(ProfileNumber(settings.peekIndex("NRBON")));
    sum = doc.rest;
    text = "achitat F.F. " + DocumentText(doc);
}

std::optional<FieldProblem> ReceiptEntry::check() {
    instrumentNumber = Decimal(WholePart(instrumentNumber));
    fiscalNumber = Decimal(WholePart(fiscalNumber));
    sum = RoundAmount(sum);
    if (sum.isNegative() && mode != ReceiptMode::Transfer)
        return FieldProblem{kSumField, "Nu puteti face aceasta operatiune cu minus!"};
    if (sum == Decimal(0)) return FieldProblem{kSumField, "Lipseste suma!"};
    return std::nullopt;
}

std::optional<Message> ReceiptEntry::overRestQuestion() const {
    if (sum <= rest) return std::nullopt;
    return Message{kTitle, "Suma e mai mare decat restul de incasat!\r\nDoriti sa o corectati ?",
                   MessageKind::Warning};
}

long long AddReceipt(Database& db, Settings& settings, long long idFacto,
                     const ReceiptEntry& entry) {
    return db.atomically([&]() -> long long {
        const auto doc = ReadReceiptDocument(db, idFacto);
        if (!doc)
            throw EngineError("Invoice " + std::to_string(idFacto) + " does not exist in " +
                                  TableFile(db, "FactOut").string(),
                              "FactOut");
        if (doc->series == kFiscalReceiptSeries)
            throw EngineError("Fiscal receipt " + std::to_string(doc->number) +
                                  " takes no other receipt than its own",
                              "ChitOut");
        CompanyProfile profile;
        profile.load(settings);
        const Decimal sum = RoundAmount(entry.sum);

        const long long idChit = settings.peekNumber("IDCHIT");
        settings.nextIndex("IDCHIT");
        db.execute("UPDATE " + Table(db, "FactOut") + " SET REST=:rest WHERE IDFACTO=:id",
                   {{"rest", RoundAmount(doc->rest - sum)}, {"id", idFacto}});

        std::string docJus, series;
        long long number = 0;
        switch (entry.mode) {
            case ReceiptMode::CashReceipt:
                docJus = kCashReceiptDocument;
                series = Trimmed(profile.chitSeria);
                number = settings.peekNumber("CHITNR");
                break;
            case ReceiptMode::Transfer:
                docJus = entry.instrumentName;
                number = WholePart(entry.instrumentNumber);
                break;
            case ReceiptMode::FiscalReceipt:
                docJus = kFiscalReceiptDocument;
                number = WholePart(entry.fiscalNumber);
                settings.setIndex("NRBON", std::to_string(number + 1));
                break;
        }
        db.execute("INSERT INTO " + Table(db, "ChitOut") +
                       " (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA, INCLTVA, REPREZ)"
                       " VALUES (:idchit, :idfacto, :docjus, :seria, :nr, :dataout, :suma,"
                       " :incltva, :reprez)",
                   {{"idchit", idChit},
                    {"idfacto", idFacto},
                    {"docjus", docJus},
                    {"seria", series},
                    {"nr", number},
                    {"dataout", entry.date},
                    {"suma", sum},
                    {"incltva", ReceiptVat(sum, doc->vatRate, profile.vatPayer())},
                    {"reprez", FirstChars(JoinLines(std::string_view(entry.text)), 80)}});
        if (entry.mode == ReceiptMode::CashReceipt) settings.nextIndex("CHITNR");
        return idChit;
    });
}

std::optional<ReceiptStop> CheckDeleteReceipt(const std::optional<Receipt>& receipt) {
    if (!receipt)
        return ReceiptStop{FieldProblem{kDeleteReceiptButton, "Nu aveti ce sterge!"}, std::nullopt,
                           false};
    if (receipt->docJus == kFiscalReceiptDocument)
        return ReceiptStop{FieldProblem{kReceiptsGrid, "Bonul fiscal il puteti sterge de mai sus!"},
                           std::nullopt, false};
    return std::nullopt;
}

Message DeleteReceiptQuestion(const Receipt& receipt) {
    return Message{
        "Stergere incasare",
        "Doriti sa stergeti " + receipt.docJus + "  nr." + std::to_string(receipt.number) + "?",
        MessageKind::Confirmation};
}

void DeleteReceipt(Database& db, Settings& settings, long long idChit) {
    db.atomically([&] {
        const auto receipt = ReadReceipt(db, idChit);
        if (!receipt)
            throw EngineError("Receipt " + std::to_string(idChit) + " does not exist in " +
                                  TableFile(db, "ChitOut").string(),
                              "ChitOut");
        if (receipt->docJus == kFiscalReceiptDocument)
            throw EngineError("Receipt " + std::to_string(idChit) +
                                  " is a fiscal receipt; it is deleted with its document",
                              "ChitOut");
        db.execute("UPDATE " + Table(db, "FactOut") + " SET REST=REST+:sum WHERE IDFACTO=:id",
                   {{"sum", receipt->sum}, {"id", receipt->idFacto}});
        // The newest cash receipt gives its number back.
        if (receipt->docJus == kCashReceiptDocument &&
            receipt->number == settings.peekNumber("CHITNR") - 1)
            settings.setIndex("CHITNR", std::to_string(receipt->number));
        db.execute("DELETE FROM " + Table(db, "ChitOut") + " WHERE IDCHIT=:id", {{"id", idChit}});
    });
}

}  // namespace tvx::core
