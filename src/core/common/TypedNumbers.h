// Numbers as the user types them in the number fields of every window (core/common): the one
// reading of a typed number, which takes "," as well as "." for the decimal separator
// (Romanian users type a comma; the program itself writes "."), and the range check of a
// percentage typed in a rate field, with its message for the balloon at the field.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tables/Decimal.h"

namespace tvx::core {

// A typed number: blanks around ignored, an optional sign, digits and at most one decimal
// separator, "," or ".". nullopt for anything else: blank text, letters, "1.020,50".
std::optional<tables::Decimal> ParseTypedNumber(std::string_view typed);

// The value of a number field: what it reads as; 0 for a blank or unfinished entry ("", "-").
tables::Decimal TypedNumber(std::string_view typed);

// The range a percentage field takes, and the name its message gives it.
struct RateRange {
    const char* name;
    tables::Decimal min;
    tables::Decimal max;
};
// A VAT rate: 0 to 100 %, the range the settings file keeps as the default rate.
RateRange VatRateRange();
// A mark-up: above -100 % the sale price would turn negative; 999.99 is what the field holds.
RateRange MarkupRange();

// The balloon's text for a rate outside its range ("Cota TVA trebuie sa fie intre 0 si
// 100 %!"); nullopt when it fits.
std::optional<std::string> RateProblem(const tables::Decimal& rate, const RateRange& range);
// The same for a typed rate; blank text reads as 0, text that is no number is refused.
std::optional<std::string> RateProblem(std::string_view typed, const RateRange& range);

}  // namespace tvx::core
