// The reading of typed numbers and the range check of typed rates (core/common).
#include "core/common/TypedNumbers.h"

#include <algorithm>

#include "core/common/TextRoutines.h"

namespace tvx::core {

using tables::Decimal;

std::optional<Decimal> ParseTypedNumber(std::string_view typed) {
    std::string text(typed);
    // Decimal::parse refuses a second ".", so "1.020,50" stays refused once the comma is a
    // point.
    std::replace(text.begin(), text.end(), ',', '.');
    return Decimal::parse(text);
}

Decimal TypedNumber(std::string_view typed) {
    return ParseTypedNumber(typed).value_or(Decimal(0));
}

RateRange VatRateRange() {
    return {"Cota TVA", Decimal(0), Decimal(100)};
}

RateRange MarkupRange() {
    return {"Adaosul", Decimal(-100), Decimal::fromUnits(99999, 2)};
}

namespace {

std::string RangeMessage(const RateRange& range) {
    return std::string(range.name) + " trebuie sa fie intre " + range.min.toPlainString() + " si " +
           range.max.toPlainString() + " %!";
}

}  // namespace

std::optional<std::string> RateProblem(const Decimal& rate, const RateRange& range) {
    if (rate >= range.min && rate <= range.max) return std::nullopt;
    return RangeMessage(range);
}

std::optional<std::string> RateProblem(std::string_view typed, const RateRange& range) {
    if (Trimmed(typed).empty()) return RateProblem(Decimal(0), range);
    const std::optional<Decimal> rate = ParseTypedNumber(typed);
    // Text that reads as no number gets the same message: it says what the field takes.
    if (!rate) return RangeMessage(range);
    return RateProblem(*rate, range);
}

}  // namespace tvx::core
