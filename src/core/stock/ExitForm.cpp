// The stock exit and transfer dialog (core/stock): the names offered, the counters behind
// them, the value leaving and the checks of "Memoreaza".
#include "core/stock/ExitForm.h"

#include <array>

#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TableLayouts.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"

namespace tvx::core {

using tables::Decimal;

namespace {

const FieldSpec& FiseField(const char* name) {
    const TableLayout& layout = tableLayout("Fise");
    return layout.fields[static_cast<size_t>(layout.fieldIndex(name))];
}

// Digits a DECIMAL(width, decimals) field holds before its decimal point.
int WholeDigits(const FieldSpec& field) {
    return field.decimals > 0 ? field.width - field.decimals - 1 : field.width;
}

// Digits of the whole part of `x` ("0" counts one).
int WholeDigitsOf(const Decimal& x) {
    std::string whole = x.rescaled(0, tables::Rounding::Truncate).toString();
    if (!whole.empty() && whole.front() == '-') whole.erase(0, 1);
    return static_cast<int>(whole.size());
}

int DecimalsOf(const Decimal& x) {
    return x.normalized().scale();
}

// The program's own counters and keys of section INDEX: a document name equal to one of them
// would renumber identifiers, so it is refused.
bool ReservedCounter(const std::string& name) {
    static const std::array<const char*, 21> reserved{
        "IDFACT",  "IDCHIT", "IDNIR",  "NRNIR",     "IDPROD",    "IDCAP", "IDFISA",
        "IDFACTO", "FACTNR", "CHITNR", "NRBON",     "COMANDANR", "IDCAT", "IDTIMP",
        "IDCOM",   "NRCOM",  "IDCONT", "OFFICEOLD", "CUSTAMP",   "CONT",  "BANCA"};
    const std::string upper = UpperText(name);
    for (const char* key : reserved)
        if (upper == key) return true;
    return false;
}

// A name the settings file cannot hold as a key.
bool UnusableKey(const std::string& name) {
    return name.find_first_of("=[]") != std::string::npos || name.front() == ';' ||
           name.front() == '#';
}

void AddWhenMissing(std::vector<std::string>& names, const char* name) {
    for (const std::string& n : names)
        if (n == name) return;
    names.emplace_back(name);
}

}  // namespace

int ExitForm::NumberDigits() {
    return WholeDigits(FiseField("NRDOC"));
}

int ExitForm::QuantityDigits() {
    return WholeDigits(FiseField("CANTOUT"));
}

int ExitForm::QuantityDecimals() {
    return FiseField("CANTOUT").decimals;
}

std::vector<std::string> ExitForm::DocumentNames(tables::Database& db, bool transfer) {
    tables::ResultSet rows =
        db.query("SELECT DOCJUS, SUM(CANTIN) AS INTRAT FROM " + QuotedPath(TableFile(db, "Fise")) +
                     " WHERE DOCJUS<>:NIR GROUP BY DOCJUS ORDER BY DOCJUS",
                 {{"NIR", tables::Value(std::string(kNirDocument))}});
    std::vector<std::string> names;
    for (rows.first(); !rows.eof(); rows.next()) {
        const std::string name = rows.asText("DOCJUS");
        if (Trimmed(name).empty()) continue;
        const bool bringsIn = !rows.asNumber("INTRAT").isZero();
        if (bringsIn == transfer) names.push_back(name);
    }
    if (!transfer) AddWhenMissing(names, kConsumptionVoucher);
    AddWhenMissing(names, kDeliveryNote);
    return names;
}

void ExitForm::reset(tables::Database& db, const ExitCard& exitCard, bool isTransfer,
                     const std::vector<std::string>& locations, tables::Date today) {
    transfer = isTransfer;
    card = exitCard;
    documentList = DocumentNames(db, transfer);
    destinationList.clear();
    for (const std::string& location : locations)
        if (location != card.location) destinationList.push_back(location);
    docJus.clear();
    number = "0";
    date = today;
    quantity = "0";
    destination.clear();
    saved_ = {};
    quantityChanged();
}

void ExitForm::documentChosen(const Settings& settings) {
    const std::string name = Trimmed(docJus);
    if (name.empty() || ReservedCounter(name) || UnusableKey(name)) return;
    number = settings.peekIndex(name);
}

void ExitForm::quantityChanged() {
    const Decimal q = ParseTypedNumber(quantity).value_or(Decimal(0));
    value = (q * card.salePrice).rescaled(4);
    overStock = q > card.stock;
}

std::optional<FieldProblem> ExitForm::nameProblem() const {
    if (docJus.empty()) return FieldProblem{kDocumentField, "Nu ati scris documentul!"};
    if (docJus == kNirDocument)
        return FieldProblem{kDocumentField, "Numele documentului nu poate fi N.I.R.!"};
    if (CharCount(docJus) > kNameLength)
        return FieldProblem{kDocumentField, "Numele documentului are cel mult 24 de caractere!"};
    if (ReservedCounter(docJus) || UnusableKey(docJus))
        return FieldProblem{kDocumentField, "Acest nume de document nu poate fi folosit!"};
    return std::nullopt;
}

std::optional<FieldProblem> ExitForm::numberProblem(long long& parsed) const {
    const std::optional<Decimal> n = ParseTypedNumber(number);
    if (!n || DecimalsOf(*n) > 0)
        return FieldProblem{kNumberField, "Numarul documentului poate contine doar cifre!"};
    if (WholeDigitsOf(*n) > NumberDigits())
        return FieldProblem{kNumberField, "Numarul documentului are cel mult " +
                                              std::to_string(NumberDigits()) + " cifre!"};
    if (n->sign() <= 0) return FieldProblem{kNumberField, "Nu ati scris numarul documentului!"};
    parsed = n->toLongLong();
    return std::nullopt;
}

std::optional<FieldProblem> ExitForm::quantityProblem(Decimal& parsed) const {
    const std::optional<Decimal> q = ParseTypedNumber(quantity);
    if (!q) return FieldProblem{kQuantityField, "Cantitatea iesita este incorecta!"};
    if (WholeDigitsOf(*q) > QuantityDigits() || DecimalsOf(*q) > QuantityDecimals())
        return FieldProblem{kQuantityField, "Cantitatea iesita are cel mult " +
                                                std::to_string(QuantityDigits()) + " cifre si " +
                                                std::to_string(QuantityDecimals()) + " zecimale!"};
    if (q->sign() <= 0) return FieldProblem{kQuantityField, "Cantitatea iesita este incorecta!"};
    if (*q > card.stock)
        return FieldProblem{kQuantityField, "Cantitatea iesita este mai mare decat stocul!"};
    // The value is stored in Fise.VALOUT: one too large for it is refused, never cut.
    if (WholeDigitsOf((*q * card.salePrice).rescaled(2)) > WholeDigits(FiseField("VALOUT")))
        return FieldProblem{kQuantityField, "Valoarea iesita este prea mare!"};
    parsed = *q;
    return std::nullopt;
}

std::optional<FieldProblem> ExitForm::save() {
    docJus = CleanText(docJus);
    if (auto problem = nameProblem()) return problem;
    long long nr = 0;
    if (auto problem = numberProblem(nr)) return problem;
    Decimal q;
    if (auto problem = quantityProblem(q)) return problem;
    // Only a location of the list is a destination: not the card's own, not an unknown one.
    if (transfer && SelectListItem(destinationList, Trimmed(destination)) < 0)
        return FieldProblem{kDestinationField, "Nu ati ales Beneficiarul!"};
    saved_.docJus = docJus;
    saved_.nrDoc = nr;
    saved_.date = date;
    saved_.quantity = q;
    saved_.value = (q * card.salePrice).rescaled(4);
    saved_.destination = transfer ? Trimmed(destination) : std::string();
    return std::nullopt;
}

ExitDocument ExitForm::document() const {
    return saved_;
}

void RecordExitNumber(Settings& settings, const ExitDocument& document) {
    settings.setIndex(CleanText(document.docJus), std::to_string(document.nrDoc + 1));
}

}  // namespace tvx::core
