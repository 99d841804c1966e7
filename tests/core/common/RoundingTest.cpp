// Tests of the rounding rule of amounts: halves away from zero on both sides, exact where
// binary floating point is not, and the scales of the results.
#include <gtest/gtest.h>

#include "core/common/Rounding.h"

namespace tvx::core {
namespace {

using tables::Decimal;

Decimal dec(const char* text) {
    return *Decimal::parse(text);
}

TEST(RoundAmount, HalvesAwayFromZeroExactlyAndWithTwoDecimals) {
    // 1.005 and 1.015 lie just below the half in binary floating point.
    const char* cases[][2] = {{"2.345", "2.35"},
                              {"-2.345", "-2.35"},
                              {"0.005", "0.01"},
                              {"-0.005", "-0.01"},
                              {"2.3449999", "2.34"},
                              {"-2.3449999", "-2.34"},
                              {"1.005", "1.01"},
                              {"1.015", "1.02"},
                              {"7", "7.00"},
                              {"-0.004", "0.00"},
                              {"123456789012.345", "123456789012.35"}};
    for (const auto& c : cases) EXPECT_EQ(RoundAmount(dec(c[0])).toString(), c[1]) << c[0];
}

TEST(RoundHalfAway, WholeNumbersAndOtherDecimalCounts) {
    const char* cases[][2] = {{"2.5", "3"},   {"-2.5", "-3"}, {"0.4999", "0"},
                              {"-0.5", "-1"}, {"0", "0"},     {"41", "41"}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfAway(dec(c[0])).toString(), c[1]) << c[0];
    EXPECT_EQ(RoundHalfAway(dec("-1.23455"), 4).toString(), "-1.2346");
    EXPECT_EQ(RoundHalfAway(dec("15"), 1).toString(), "15.0");
}

TEST(RoundHalfAway, InvoiceLineSplitOfAPriceWithVat) {
    // Three pieces at 10.00 with 19% VAT: net 25.21, unit price 8.40, VAT 4.79.
    const Decimal gross = Decimal(3) * dec("10.00");
    const Decimal net = RoundHalfAway(gross * 100 / dec("1.19")) / 100;
    EXPECT_EQ(net.toPlainString(), "25.21");
    EXPECT_EQ((RoundHalfAway(net * 100 / 3) / 100).toPlainString(), "8.4");
    EXPECT_EQ((gross - net).toPlainString(), "4.79");
}

}  // namespace
}  // namespace tvx::core
