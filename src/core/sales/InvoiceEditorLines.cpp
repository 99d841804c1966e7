// The outgoing invoice editor's lines: goods lines taken from the document's stock (Stoc.dbf,
// whose REST follows what the lines take), service lines, deleting a line with renumbering,
// and the three totals. Amounts are exact decimals, rounded half away from zero to cents
// where a line value is formed; the VAT of a goods line keeps three decimals.
#include <algorithm>

#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/sales/InvoiceEditor.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Decimal;
using tables::Value;

namespace {

constexpr size_t kObsLength = 200;

Value DateOrBlank(const std::optional<tables::Date>& date) {
    return date ? Value(*date) : Value();
}

// The line values of gross amount `gross` (with VAT) for quantity `quantity` at `rate`
// percent: net rounded to cents, the unit price the net gives, the VAT as the rest.
struct LineValues {
    Decimal net, unit, vat;
};

LineValues Split(const Decimal& gross, const Decimal& quantity, const Decimal& rate) {
    LineValues v;
    const Decimal factor = Decimal(1) + rate / Decimal(100);
    v.net = (RoundHalfAway(gross * Decimal(100) / factor) / Decimal(100)).rescaled(2);
    v.unit = quantity.isZero()
                 ? Decimal(0).rescaled(2)
                 : (RoundHalfAway(v.net * Decimal(100) / quantity) / Decimal(100)).rescaled(2);
    v.vat = gross - v.net;
    return v;
}

}  // namespace

tables::ResultSet InvoiceEditor::lines() const {
    if (mode_ == Mode::View)
        return db_.query("SELECT * FROM " + QuotedPath(TableFile(db_, "ProdOut")) +
                             " WHERE IDFACTO=:id ORDER BY NRCRT",
                         {{"id", viewId_}});
    return db_.query("SELECT * FROM " + linesName() + " ORDER BY NRCRT");
}

long long InvoiceEditor::insertProduct(const ProductPick& pick) {
    const tables::ResultSet lot = db_.query(
        "SELECT PRODUS, UM FROM " + stockName() + " WHERE IDCAP=:id", {{"id", pick.idCap}});
    if (lot.empty())
        throw tables::EngineError(
            "The lot " + std::to_string(pick.idCap) + " is not in " + stockTable().string(),
            "Stoc");
    const Decimal q = pick.quantity;
    db_.execute("UPDATE " + stockName() + " SET REST=REST-:q WHERE IDCAP=:id",
                {{"q", q}, {"id", pick.idCap}});

    const LineValues v = Split(q * pick.price, q, rate());
    const Decimal vat = RoundHalfAway(v.vat, 3);
    const std::string remark = FirstChars(workshop() ? pick.section : pick.remark, kObsLength);

    const tables::ResultSet existing =
        db_.query("SELECT NRCRT FROM " + linesName() + " WHERE IDCAP=:id", {{"id", pick.idCap}});
    if (!existing.empty()) {
        db_.execute("UPDATE " + linesName() +
                        " SET CANT=CANT+:q, VALOUT=VALOUT+:net, VALTVA=VALTVA+:vat, OBS=:obs,"
                        " GARANTIE=:g, IDCAT=0 WHERE IDCAP=:id",
                    {{"q", q},
                     {"net", v.net},
                     {"vat", vat},
                     {"obs", remark},
                     {"g", DateOrBlank(pick.warranty)},
                     {"id", pick.idCap}});
        return existing.at(0, 0).number().toLongLong();
    }
    const long long nrCrt = static_cast<long long>(lines().rowCount()) + 1;
    db_.execute("INSERT INTO " + linesName() +
                    " (IDCAP, NRCRT, PRODUS, UM, CANT, PRETOUT, VALOUT, VALTVA, OBS, GARANTIE,"
                    " IDCAT) VALUES (:id, :nr, :p, :um, :q, :pu, :net, :vat, :obs, :g, 0)",
                {{"id", pick.idCap},
                 {"nr", nrCrt},
                 {"p", lot.at(0, 0)},
                 {"um", lot.at(0, 1)},
                 {"q", q},
                 {"pu", v.unit},
                 {"net", v.net},
                 {"vat", vat},
                 {"obs", remark},
                 {"g", DateOrBlank(pick.warranty)}});
    return nrCrt;
}

long long InvoiceEditor::insertService(const ServicePick& pick) {
    const Decimal q = pick.quantity;
    const Decimal gross = (RoundHalfAway(pick.price * q * Decimal(100)) / Decimal(100)).rescaled(2);
    const LineValues v = Split(gross, q, rate());

    tables::ResultSet same = db_.query(
        "SELECT NRCRT, UM, PRETOUT, OBS FROM " + linesName() + " WHERE PRODUS=:p ORDER BY NRCRT",
        {{"p", pick.name}});
    if (!same.empty()) {
        same.first();
        if (same.asText("UM") == pick.unit && same.asNumber("PRETOUT") == v.unit) {
            const long long nrCrt = same.asNumber("NRCRT").toLongLong();
            db_.execute("UPDATE " + linesName() +
                            " SET CANT=CANT+:q, VALOUT=VALOUT+:net, VALTVA=VALTVA+:vat,"
                            " OBS=:obs, GARANTIE=:g, IDCAT=:cat WHERE NRCRT=:nr",
                        {{"q", q},
                         {"net", v.net},
                         {"vat", v.vat},
                         {"obs", FirstChars(same.asText("OBS") + pick.remark, kObsLength)},
                         {"g", DateOrBlank(pick.warranty)},
                         {"cat", pick.idCat},
                         {"nr", nrCrt}});
            return nrCrt;
        }
    }
    const long long nrCrt = static_cast<long long>(lines().rowCount()) + 1;
    db_.execute("INSERT INTO " + linesName() +
                    " (IDFISA, IDCAP, NRCRT, PRODUS, UM, CANT, PRETOUT, VALOUT, VALTVA, OBS,"
                    " GARANTIE, IDCAT) VALUES (-1, -1, :nr, :p, :um, :q, :pu, :net, :vat, :obs,"
                    " :g, :cat)",
                {{"nr", nrCrt},
                 {"p", pick.name},
                 {"um", pick.unit},
                 {"q", q},
                 {"pu", v.unit},
                 {"net", v.net},
                 {"vat", v.vat},
                 {"obs", FirstChars(pick.remark, kObsLength)},
                 {"g", DateOrBlank(pick.warranty)},
                 {"cat", pick.idCat}});
    return nrCrt;
}

// Each change of the lines is whole (the stock's REST moves with its line) and is followed by
// the totals.
long long InvoiceEditor::addProduct(const ProductPick& pick) {
    const long long nrCrt = db_.atomically([&] { return insertProduct(pick); });
    recalcTotals();
    return nrCrt;
}

long long InvoiceEditor::addService(const ServicePick& pick) {
    const long long nrCrt = db_.atomically([&] { return insertService(pick); });
    recalcTotals();
    return nrCrt;
}

void InvoiceEditor::deleteLine(long long nrCrt) {
    if (mode_ == Mode::View) return;
    db_.atomically([&] { removeLine(nrCrt); });
    recalcTotals();
}

std::optional<FieldProblem> InvoiceEditor::deleteRefusal() const {
    if (mode_ == Mode::View || lines().empty())
        return FieldProblem{kGridField, "Nu aveti ce sterge!"};
    return std::nullopt;
}

Message InvoiceEditor::deleteQuestion(long long nrCrt) {
    return Message{"Stergere linie", "Vreti sa stergeti linia " + std::to_string(nrCrt) + "?",
                   MessageKind::Confirmation};
}

void InvoiceEditor::removeLine(long long nrCrt) {
    const tables::ResultSet line =
        db_.query("SELECT IDCAP, CANT FROM " + linesName() + " WHERE NRCRT=:nr", {{"nr", nrCrt}});
    if (line.empty()) return;
    const long long idCap = line.at(0, 0).number().toLongLong();
    if (idCap != -1)
        db_.execute("UPDATE " + stockName() + " SET REST=REST+:q WHERE IDCAP=:id",
                    {{"q", line.at(0, 1)}, {"id", idCap}});
    db_.execute("DELETE FROM " + linesName() + " WHERE NRCRT=:nr", {{"nr", nrCrt}});
    db_.execute("UPDATE " + linesName() + " SET NRCRT=NRCRT-1 WHERE NRCRT>:nr", {{"nr", nrCrt}});
}

void InvoiceEditor::recalcTotals() {
    if (mode_ == Mode::View) return;  // the stored totals stay
    tables::ResultSet rows = lines();
    Decimal net, vat;
    for (rows.first(); !rows.eof(); rows.next()) {
        net += rows.asNumber("VALOUT");
        vat += rows.asNumber("VALTVA");
    }
    // Each label is rounded from the exact sums; the total is not the sum of the labels.
    totalValue = RoundHalfAway(net, 2).toString();
    totalVat = RoundHalfAway(vat, 2).toString();
    totalPay = RoundHalfAway(net + vat, 2).toString();
}

}  // namespace tvx::core
