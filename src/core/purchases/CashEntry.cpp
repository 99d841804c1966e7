// The manual cash entry dialog: defaults, cleaning and checks of what the user typed.
#include "core/purchases/CashEntry.h"

#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Decimal;

namespace {

// A whole number of at most `digits` digits, no sign; nullopt otherwise.
std::optional<long long> WholeNumber(const std::string& typed, int digits) {
    const std::string text = Trimmed(typed);
    if (text.empty() || text.size() > static_cast<size_t>(digits)) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    return std::stoll(text);
}

// Whether a positive amount fits `digits` integer digits and `decimals` decimals exactly.
bool FitsAmount(const Decimal& amount, int digits, int decimals) {
    if (amount.rescaled(decimals, tables::Rounding::Truncate) != amount) return false;
    Decimal limit(1);
    for (int i = 0; i < digits; ++i) limit = limit * Decimal(10);
    return amount < limit;
}

}  // namespace

const char* CashEntry::title() const {
    return kind == CashEntryKind::Payment ? "Adaugare plata" : "Adaugare incasare";
}

void CashEntry::open(CashEntryKind entryKind, tables::Date day,
                     std::vector<std::string> documentList) {
    kind = entryKind;
    documents = std::move(documentList);
    document = documents.empty() ? std::string() : documents.front();
    series.clear();
    number = "0";
    date = day;
    sum = "0";
    text.clear();
}

std::optional<FieldProblem> CashEntry::check() {
    document = UpperText(CleanText(document));
    series = UpperText(CleanText(series));
    text = CleanText(text);
    if (CharCount(document) > kDocumentWidth)
        return FieldProblem{kDocumentField, "Documentul are cel mult 20 de caractere!"};
    if (CharCount(series) > kSeriesWidth)
        return FieldProblem{kSeriesField, "Seria are cel mult 6 caractere!"};
    if (!WholeNumber(number, kNumberDigits)) return FieldProblem{kNumberField, "Numar incorect!"};
    number = std::to_string(*WholeNumber(number, kNumberDigits));
    if (!date.inRange()) return FieldProblem{kDateField, "Data incorecta!"};
    const auto typed = ParseTypedNumber(sum);
    if (!typed || typed->isNegative() || typed->isZero() ||
        !FitsAmount(*typed, kSumDigits, kSumDecimals))
        return FieldProblem{kSumField, "Suma incorecta!"};
    if (CharCount(text) > kTextWidth)
        return FieldProblem{kTextField, "Textul are cel mult 80 de caractere!"};
    if (text.empty()) return FieldProblem{kTextField, "Nu ati scris ce reprezinta!"};
    return std::nullopt;
}

Decimal CashEntry::amount() const {
    return TypedNumber(sum).rescaled(kSumDecimals);
}

long long CashEntry::numberValue() const {
    return WholeNumber(number, kNumberDigits).value_or(0);
}

std::string CashEntry::seriesAndNumber() const {
    return series + " " + std::to_string(numberValue());
}

std::vector<std::string> CashEntryDocuments(tables::Database& db, CashEntryKind kind) {
    const char* table = kind == CashEntryKind::Payment ? "ChitIn" : "ChitOut";
    return FillDistinct(db, TableFile(db, table).string(), "", "DOCJUS");
}

}  // namespace tvx::core
