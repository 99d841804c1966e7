// Exact decimals and dates: parsing, arithmetic scales, rounding at the extremes.
#include <gtest/gtest.h>

#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

using namespace tvx::tables;

namespace {
Decimal D(const char* s) {
    return *Decimal::parse(s);
}
// Built during static initialization, possibly before the engine's own constants.
const std::optional<Decimal> kStaticQuarter = Decimal::parse("0.25");
}  // namespace

TEST(Decimal, ConstantsBuiltBeforeMainAreExact) {
    ASSERT_TRUE(kStaticQuarter.has_value());
    EXPECT_EQ(kStaticQuarter->toString(), "0.25");
    EXPECT_EQ((*kStaticQuarter + D("0.75")).toString(), "1.00");
}

TEST(Decimal, ParsesPlainDecimalsAndRejectsTheRest) {
    EXPECT_EQ(D("12.50").toString(), "12.50");
    EXPECT_EQ(D(" -0.05 ").toString(), "-0.05");
    EXPECT_EQ(D(".5").toString(), "0.5");
    EXPECT_EQ(D("5.").toString(), "5");
    EXPECT_EQ(D("+7").toString(), "7");
    for (const char* bad : {"", " ", "-", ".", "1.2.3", "1,5", "12a", "1e5", "--1"})
        EXPECT_FALSE(Decimal::parse(bad).has_value()) << bad;
    EXPECT_FALSE(Decimal::parse("1.1234567890123456789").has_value());  // 19 decimals
    EXPECT_FALSE(Decimal::parse("1000000000000000000000000000000000000").has_value());
}

TEST(Decimal, RoundsHalfAwayFromZeroAndTruncatesTowardZero) {
    EXPECT_EQ(D("2.345").rounded(2).toString(), "2.35");
    EXPECT_EQ(D("-2.345").rounded(2).toString(), "-2.35");
    EXPECT_EQ(D("2.3449").rounded(2).toString(), "2.34");
    EXPECT_EQ(D("0.005").rounded(2).toString(), "0.01");
    EXPECT_EQ(D("-0.005").rounded(2).toString(), "-0.01");
    EXPECT_EQ(D("2.349").rounded(2, Rounding::Truncate).toString(), "2.34");
    EXPECT_EQ(D("-2.349").rounded(2, Rounding::Truncate).toString(), "-2.34");
    EXPECT_EQ(D("9.995").rounded(2).toString(), "10.00");
    EXPECT_EQ(D("1.5").rounded(0).toString(), "2");
    EXPECT_EQ(D("3").rescaled(2).toString(), "3.00");
}

TEST(Decimal, ArithmeticKeepsExactScales) {
    EXPECT_EQ((D("0.1") + D("0.2")).toString(), "0.3");
    EXPECT_EQ((D("10.00") - D("0.015")).toString(), "9.985");
    EXPECT_EQ((D("1.25") * D("3.10")).toString(), "3.8750");
    EXPECT_EQ((D("10.00") / D("4")).toString(), "2.50");
    EXPECT_EQ((D("10") / D("3")).toString(), "3.3333333333");
    EXPECT_EQ((D("-2") / D("3")).toString(), "-0.6666666667");
    EXPECT_EQ((D("119") / D("1.19")).toString(), "100.00");
    EXPECT_THROW(D("1") / D("0.00"), EngineError);
    EXPECT_THROW(D("999999999999999999") * D("999999999999999999") * D("1000"), EngineError);
}

TEST(Decimal, ComparesAcrossScalesAndHashesByValue) {
    EXPECT_EQ(D("1.50"), D("1.5"));
    EXPECT_LT(D("-1.5"), D("-1.25"));
    EXPECT_LT(D("-0.5"), D("0.3"));
    EXPECT_GT(D("2"), D("1.999"));
    EXPECT_EQ(D("1.50").hash(), D("1.5").hash());
    EXPECT_EQ(D("-3").toLongLong(), -3);
    EXPECT_EQ(D("-3.9").toLongLong(), -3);
}

TEST(Date, ParsesDayFirstAndChecksTheCalendar) {
    EXPECT_EQ(Date::parseDayFirst("15.03.2023")->toString(), "15.03.2023");
    EXPECT_EQ(Date::parseDayFirst("1.2.2024")->toDbf(), "20240201");
    EXPECT_EQ(Date::parseDayFirst("29.02.2024")->toString(), "29.02.2024");
    for (const char* bad : {"29.02.2023", "31.04.2024", "00.01.2024", "15.13.2024", "15.03.23",
                            "15.03", "a.b.c", "", "15..2024", "2024.03.15"})
        EXPECT_FALSE(Date::parseDayFirst(bad).has_value()) << bad;
    EXPECT_EQ(Date::parseDbf("20231231")->toString(), "31.12.2023");
    EXPECT_FALSE(Date::parseDbf("2023123").has_value());
    EXPECT_FALSE(Date::parseDbf("20230230").has_value());
    EXPECT_THROW(Date::fromYmd(2023, 2, 29), EngineError);
}

TEST(Date, SerialDayNumbersCountFromTheEndOf1899) {
    EXPECT_EQ(Date::fromSerial(45000).toString(), "15.03.2023");
    EXPECT_EQ(Date::fromYmd(1899, 12, 31).toSerial(), 1);
    EXPECT_EQ(Date::fromYmd(2024, 1, 1).addDays(-1).toString(), "31.12.2023");
    EXPECT_LT(*Date::parseDayFirst("31.01.2024"), *Date::parseDayFirst("01.02.2024"));
}

TEST(Value, ComparesTextWithoutTrailingBlanksAndConvertsLiterals) {
    EXPECT_EQ(compareValues(Value("ABC  "), Value("ABC")), 0);
    EXPECT_LT(compareValues(Value(" ABC"), Value("ABC")), 0);
    EXPECT_LT(compareValues(Value("AB"), Value("ABC")), 0);
    EXPECT_EQ(compareValues(Value(*Date::parseDayFirst("01.02.2024")), Value("01.02.2024")), 0);
    EXPECT_GT(compareValues(Value(*Date::parseDayFirst("01.02.2024")), Value("31.01.2024")), 0);
    EXPECT_EQ(compareValues(Value(D("5.00")), Value("5")), 0);
    EXPECT_THROW(compareValues(Value(D("5")), Value("five")), EngineError);
    EXPECT_LT(compareValues(Value(), Value("")), 0);
    EXPECT_TRUE(sameKey(Value(), Value()));
    EXPECT_FALSE(sameKey(Value(), Value("")));
    EXPECT_EQ(hashValue(Value("X  ")), hashValue(Value("X")));
}
