// The payment dialog and the statements of one payment of an incoming document.
#include "core/purchases/PaymentEntry.h"

#include "core/common/Rounding.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/purchases/IncomingDocument.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Decimal;
using tables::EngineError;

namespace {

std::string Lei(const Decimal& amount) {
    return amount.rescaled(2).toString() + " lei.";
}

// What "Suma de" takes: seven integer digits and two decimals, either sign. (A function, not a
// namespace constant: the engine's own constants may not be set up yet at static start-up.)
Decimal LargestSum() {
    return Decimal::fromUnits(999999999, 2);
}

IncomingDocument DocumentOrThrow(tables::Database& db, long long idFact) {
    auto document = ReadIncomingDocument(db, idFact);
    if (!document)
        throw EngineError("Incoming document " + std::to_string(idFact) + " does not exist",
                          "FactIn");
    return *document;
}

}  // namespace

std::optional<IncomingPayment> ReadPayment(tables::Database& db, long long idChit) {
    auto rs = db.query("SELECT * FROM " + ChitInTable(db) + " WHERE IDCHIT=:id", {{"id", idChit}});
    if (rs.empty()) return std::nullopt;
    rs.first();
    IncomingPayment p;
    p.idChit = rs.asNumber("IDCHIT").toLongLong();
    p.idFact = rs.asNumber("IDFACT").toLongLong();
    p.docJus = rs.asText("DOCJUS");
    p.seriaNr = rs.asText("SERIANR");
    p.dataC = rs.asDate("DATAC").value_or(tables::Date());
    p.furnizor = rs.asText("FURNIZOR");
    p.platit = rs.asNumber("PLATIT");
    p.inclTva = rs.asNumber("INCLTVA");
    p.reprez = rs.asText("REPREZ");
    return p;
}

Decimal VatIncluded(const Decimal& paid, int rate) {
    return RoundHalfAway(paid * Decimal(rate) / Decimal(100 + rate), 4);
}

const std::vector<std::string>& PaymentEntry::Kinds() {
    static const std::vector<std::string> kinds = {"CHITANTA", "BON FISCAL", "ORDIN DE PLATA",
                                                   "C.E.C.", "BILET LA ORDIN"};
    return kinds;
}

void PaymentEntry::showDocument(const IncomingDocument& document) {
    supplier = document.furnizor;
    documentText =
        document.numeFact + " nr." + document.seriaNr + " / " + document.dataIn.toString();
    totalText = Lei(document.total);
    restText = Lei(document.rest);
}

void PaymentEntry::startNew(const IncomingDocument& document) {
    adding_ = true;
    showDocument(document);
    docJus = "CHITANTA";
    seriaNr.clear();
    dataC = document.dataIn;
    suma = document.rest.rescaled(2).toString();
}

void PaymentEntry::startEdit(const IncomingDocument& document, const IncomingPayment& payment) {
    adding_ = false;
    showDocument(document);
    docJus = payment.docJus;
    seriaNr = payment.seriaNr;
    dataC = payment.dataC;
    suma = payment.platit.rescaled(2).toString();
}

std::optional<FieldProblem> PaymentEntry::check() {
    seriaNr = tables::toUpperAscii(CleanText(seriaNr));
    docJus = tables::toUpperAscii(CleanText(docJus));
    // A negative sum is a refund: the proposed sum is REST, below 0 once a document was paid
    // more than it owes. Only 0 (or what is no number) and sums wider than the field are refused.
    const Decimal sum = TypedNumber(suma);
    if (sum.isZero() || sum > LargestSum() || sum < -LargestSum())
        return FieldProblem{kSumField, "Suma incorecta!"};
    return std::nullopt;
}

Decimal PaymentEntry::amount() const {
    return RoundAmount(TypedNumber(suma));
}

long long AddPayment(tables::Database& db, Settings& settings, long long idFact,
                     const PaymentEntry& entry) {
    return db.atomically([&] {
        const IncomingDocument document = DocumentOrThrow(db, idFact);
        const Decimal sum = entry.amount();
        const long long idChit = settings.nextNumber("IDCHIT");
        const std::string reprez =
            FirstChars("achitat " + document.furnizor + " cvf." + document.seriaNr + "/" +
                           document.dataIn.toString(),
                       80);
        db.execute("INSERT INTO " + ChitInTable(db) +
                       " (IDCHIT, IDFACT, SERIANR, DATAC, FURNIZOR, PLATIT, INCLTVA, DOCJUS,"
                       " REPREZ) VALUES (:idchit, :idfact, :serianr, :datac, :furnizor, :platit,"
                       " :incltva, :docjus, :reprez)",
                   {{"idchit", idChit},
                    {"idfact", idFact},
                    {"serianr", entry.seriaNr},
                    {"datac", entry.dataC},
                    {"furnizor", document.furnizor},
                    {"platit", sum},
                    {"incltva", VatIncluded(sum, document.tvaProc)},
                    {"docjus", entry.docJus},
                    {"reprez", reprez}});
        db.execute("UPDATE " + FactInTable(db) + " SET REST=REST-:sum WHERE IDFACT=:id",
                   {{"sum", sum}, {"id", idFact}});
        return idChit;
    });
}

void UpdatePayment(tables::Database& db, long long idChit, const PaymentEntry& entry) {
    db.atomically([&] {
        const auto old = ReadPayment(db, idChit);
        if (!old)
            throw EngineError("Payment " + std::to_string(idChit) + " does not exist", "ChitIn");
        const IncomingDocument document = DocumentOrThrow(db, old->idFact);
        const Decimal sum = entry.amount();
        db.execute("UPDATE " + ChitInTable(db) +
                       " SET SERIANR=:serianr, DATAC=:datac, PLATIT=:platit, INCLTVA=:incltva,"
                       " DOCJUS=:docjus WHERE IDCHIT=:id",
                   {{"serianr", entry.seriaNr},
                    {"datac", entry.dataC},
                    {"platit", sum},
                    {"incltva", VatIncluded(sum, document.tvaProc)},
                    {"docjus", entry.docJus},
                    {"id", idChit}});
        db.execute("UPDATE " + FactInTable(db) + " SET REST=REST+:change WHERE IDFACT=:id",
                   {{"change", old->platit - sum}, {"id", old->idFact}});
    });
}

void RemovePayment(tables::Database& db, long long idChit) {
    db.atomically([&] {
        const auto old = ReadPayment(db, idChit);
        if (!old) return;
        db.execute("DELETE FROM " + ChitInTable(db) + " WHERE IDCHIT=:id", {{"id", idChit}});
        db.execute("UPDATE " + FactInTable(db) + " SET REST=REST+:sum WHERE IDFACT=:id",
                   {{"sum", old->platit}, {"id", old->idFact}});
    });
}

}  // namespace tvx::core
