// Typed numbers: the one reading of the number fields, with a decimal comma or point and never
// two separators, and the range check of typed VAT rates and mark-ups with their message.
#include <gtest/gtest.h>

#include "core/common/TypedNumbers.h"

namespace tvx::core {
namespace {

using tables::Decimal;

TEST(ParseTypedNumber, ACommaOrAPointSeparatesTheDecimals) {
    const struct {
        const char* typed;
        const char* value;  // nullptr: refused
    } cases[] = {
        {"1020,50", "1020.50"}, {"1020.50", "1020.50"}, {" 1,5 ", "1.5"}, {"-3,25", "-3.25"},
        {",5", "0.5"},          {"19,", "19"},          {"7", "7"},       {"1.020,50", nullptr},
        {"1,020,50", nullptr},  {"1,2.3", nullptr},     {"", nullptr},    {"-", nullptr},
        {"12a", nullptr},       {"1 020", nullptr},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseTypedNumber(c.typed);
        if (!c.value) {
            EXPECT_FALSE(parsed) << c.typed;
            continue;
        }
        ASSERT_TRUE(parsed) << c.typed;
        EXPECT_EQ(*parsed, *Decimal::parse(c.value)) << c.typed;
    }
    EXPECT_EQ(TypedNumber("1020,50"), Decimal::fromUnits(102050, 2));
    EXPECT_EQ(TypedNumber("-"), Decimal(0));  // an unfinished entry reads as 0
}

TEST(RateProblem, VatRatesAndMarkupsOutsideTheirRangeAreRefusedWithTheirMessage) {
    const std::string vat = "Cota TVA trebuie sa fie intre 0 si 100 %!";
    const std::string markup = "Adaosul trebuie sa fie intre -100 si 999.99 %!";
    const struct {
        const char* typed;
        RateRange range;
        const std::string* message;  // nullptr: accepted
    } cases[] = {
        {"19", VatRateRange(), nullptr},    {"19,5", VatRateRange(), nullptr},
        {"0", VatRateRange(), nullptr},     {"100", VatRateRange(), nullptr},
        {"", VatRateRange(), nullptr},      {"195", VatRateRange(), &vat},
        {"100,01", VatRateRange(), &vat},   {"-1", VatRateRange(), &vat},
        {"1.9,5", VatRateRange(), &vat},    {"-100", MarkupRange(), nullptr},
        {"999,99", MarkupRange(), nullptr}, {"-100,5", MarkupRange(), &markup},
        {"1000", MarkupRange(), &markup},
    };
    for (const auto& c : cases) {
        const auto problem = RateProblem(c.typed, c.range);
        if (!c.message) {
            EXPECT_FALSE(problem) << c.typed;
            continue;
        }
        ASSERT_TRUE(problem) << c.typed;
        EXPECT_EQ(*problem, *c.message) << c.typed;
    }
}

}  // namespace
}  // namespace tvx::core
