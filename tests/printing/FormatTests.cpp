// Tests of the report display formats and computed values.
#include <gtest/gtest.h>

#include "printing/ReportFormat.h"
#include "tables/EngineError.h"

namespace tvx::printing {
namespace {

using tables::Date;
using tables::Decimal;
using tables::EngineError;
using tables::Value;

Value num(const char* text) {
    return *Decimal::parse(text);
}

TEST(ReportFormat, NumbersRoundHalfAwayFromZero) {
    EXPECT_EQ(formatValue(num("2.345"), "0.00"), "2.35");
    EXPECT_EQ(formatValue(num("-2.345"), "0.00"), "-2.35");
    EXPECT_EQ(formatValue(num("-0.005"), "0.00"), "-0.01");
    EXPECT_EQ(formatValue(num("0.004"), "0.00"), "0.00");
    EXPECT_EQ(formatValue(num("-0.004"), "0.00"), "0.00");
    EXPECT_EQ(formatValue(num("7"), "0.00"), "7.00");
    EXPECT_EQ(formatValue(num("7.5"), "0"), "8");
}

TEST(ReportFormat, ThousandsAreGrouped) {
    EXPECT_EQ(formatValue(num("1234567.5"), "#,##0.00"), "1,234,567.50");
    EXPECT_EQ(formatValue(num("-1234567.5"), "#,##0.00"), "-1,234,567.50");
    EXPECT_EQ(formatValue(num("999.999"), "#,##0.00"), "1,000.00");
    EXPECT_EQ(formatValue(num("123.4"), "#,##0.00"), "123.40");
    EXPECT_EQ(formatValue(num("100000"), "#,##0"), "100,000");
}

TEST(ReportFormat, DatesAndTexts) {
    const Date d = Date::fromYmd(2024, 3, 5);
    EXPECT_EQ(formatValue(d, "dd.MM.yyyy"), "05.03.2024");
    EXPECT_EQ(formatValue(d, "yyyy-MM-dd"), "2024-03-05");
    EXPECT_EQ(formatValue(d, "dd/MM/yy"), "05/03/24");
    EXPECT_EQ(formatValue(Value("5.3.2024"), "dd.MM.yyyy"), "05.03.2024");
    EXPECT_EQ(formatValue(Value("12.5"), "0.00"), "12.50");
    EXPECT_EQ(formatValue(Value("n/a"), "0.00"), "n/a");
    EXPECT_EQ(formatValue(Value(), "0.00"), "");
    EXPECT_EQ(formatValue(num("3.10"), ""), "3.10");
}

TEST(ReportFormat, KnownFormats) {
    for (const char* f : {"", "0", "0.00", "#,##0.00", "#,##0", "dd.MM.yyyy", "MM/yyyy"})
        EXPECT_TRUE(isKnownFormat(f)) << f;
    for (const char* f : {"0.0x", "#,##", "abc", "0,00", "dd.MM.yyyy hh"})
        EXPECT_FALSE(isKnownFormat(f)) << f;
}

TEST(ReportExpression, EvaluatesExactly) {
    const tables::ResultSet rows(
        {{"CANT", 'N', 8, 3}, {"PU", 'N', 10, 2}, {"T", 'C', 10, 0}},
        {num("3"), num("0.10"), Value("2.5"), num("1.5"), Value(), Value("x")});
    const std::map<std::string, std::string> parameters{{"RATE", "19"}, {"NAME", "A B"}};
    EXPECT_EQ(evaluate(parseExpression("CANT * PU"), &rows, 0, parameters).toString(), "0.30");
    EXPECT_EQ(evaluate(parseExpression("PU+T"), &rows, 0, parameters).toString(), "2.60");
    EXPECT_EQ(evaluate(parseExpression("PU / 3"), &rows, 0, parameters).toString(), "0.0333333333");
    EXPECT_EQ(evaluate(parseExpression("CANT * $RATE"), &rows, 0, parameters).toString(), "57");
    EXPECT_EQ(evaluate(parseExpression("$NAME"), &rows, 0, parameters).toString(), "A B");
    EXPECT_EQ(evaluate(parseExpression("PU - 1"), &rows, 1, parameters).toString(), "-1");
    EXPECT_THROW(evaluate(parseExpression("T * 2"), &rows, 1, parameters), EngineError);
    EXPECT_THROW(evaluate(parseExpression("CANT / PU"), &rows, 1, parameters), EngineError);
    EXPECT_EQ(expressionText(parseExpression(" CANT*1.50 ")), "CANT * 1.50");
}

TEST(ReportExpression, RejectsMalformedText) {
    for (const char* text : {"", "CANT *", "* 2", "1.2.3", "$", "CA NT", "A + B + C"})
        EXPECT_THROW(parseExpression(text), EngineError) << text;
}

}  // namespace
}  // namespace tvx::printing
