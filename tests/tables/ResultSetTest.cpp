// Result sets built straight from columns and cells: field access, the cursor, the row
// filter (terms, prefixes, NULL tests, date ranges, AND, malformed text), locate and the
// grid's stable sort.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/EngineError.h"
#include "tables/ResultSet.h"

using namespace tvx::tables;

namespace {

Decimal D(const char* s) {
    return *Decimal::parse(s);
}
Value date(const char* s) {
    return Value(*Date::parseDayFirst(s));
}

// A small invoice list: buyer, date, total, id, fiscal code.
ResultSet invoices() {
    std::vector<ColumnInfo> columns = {{"SOC2", 'C', 20, 0},
                                       {"DATAOUT", 'D', 8, 0},
                                       {"TOTAL", 'N', 10, 2},
                                       {"IDFACTO", 'N', 10, 0},
                                       {"CUI2", 'C', 12, 0}};
    std::vector<Value> cells = {
        "ABC SRL",   date("28.02.2024"),
        D("100.00"), 1,
        "RO123",  //
        "ABX",       date("29.02.2024"),
        D("50.50"),  2,
        "",  //
        "abc srl",   date("01.03.2024"),
        Value(),     3,
        "RO124",  //
        "AB",        date("31.03.2024"),
        D("0.00"),   4,
        "123",  //
        "XYZ",       date("01.04.2024"),
        D("75.25"),  5,
        "RO9",  //
        "AB CD",     Value(),
        D("10.00"),  6,
        "RO1",  //
    };
    return ResultSet(std::move(columns), std::move(cells));
}

// The IDFACTO of the visible rows, in order.
std::vector<int> ids(const ResultSet& rows) {
    std::vector<int> out;
    const int column = rows.fieldIndex("IDFACTO");
    for (size_t r = 0; r < rows.rowCount(); ++r)
        out.push_back(static_cast<int>(rows.at(r, column).number().toLongLong()));
    return out;
}

std::vector<int> filtered(const char* filter) {
    ResultSet rows = invoices();
    rows.setFilter(filter);
    return ids(rows);
}

std::string errorOf(ResultSet& rows, const char* filter) {
    try {
        rows.setFilter(filter);
    } catch (const EngineError& e) {
        return e.what();
    }
    return "(no error)";
}

using Ids = std::vector<int>;

}  // namespace

TEST(ResultSetShape, RejectsCellsThatDoNotFillRows) {
    std::vector<ColumnInfo> two = {{"A"}, {"B"}};
    EXPECT_THROW(ResultSet(two, {1, 2, 3}), EngineError);
    EXPECT_THROW(ResultSet({}, {1}), EngineError);
    EXPECT_EQ(ResultSet(two, {1, 2, 3, 4}).rowCount(), 2u);
    EXPECT_TRUE(ResultSet(two, std::vector<Value>{}).empty());
}

TEST(ResultSetShape, FindsFieldsIgnoringCase) {
    ResultSet rows({{"COD"}, {"Pret"}, {"cod"}}, std::vector<Value>{});
    EXPECT_EQ(rows.findField("pret"), 1);
    EXPECT_EQ(rows.findField("COD"), 0);  // the first of two equal names
    EXPECT_EQ(rows.findField("STOC"), -1);
    try {
        rows.fieldIndex("STOC");
        ADD_FAILURE() << "no error for an unknown field";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("STOC"), std::string::npos) << e.what();
    }
    EXPECT_THROW(rows.at(0, 0), EngineError);
}

TEST(ResultSetCursor, WalksRowsAndReadsTypedValues) {
    ResultSet rows = invoices();
    rows.first();
    EXPECT_EQ(rows.asText("soc2"), "ABC SRL");
    EXPECT_EQ(rows.asText("TOTAL"), "100.00");
    EXPECT_EQ(rows.asDate("DATAOUT")->toString(), "28.02.2024");
    rows.next();
    rows.next();
    EXPECT_EQ(rows.position(), 2u);
    EXPECT_TRUE(rows.value("TOTAL").isNull());
    EXPECT_EQ(rows.asNumber("TOTAL"), Decimal(0));  // NULL reads as 0
    EXPECT_EQ(rows.asText("TOTAL"), "");
    rows.last();
    EXPECT_FALSE(rows.asDate("DATAOUT").has_value());
    EXPECT_EQ(rows.value(0).text(), "AB CD");
    rows.next();
    EXPECT_TRUE(rows.eof());
    rows.next();  // stays at the end
    EXPECT_EQ(rows.position(), rows.rowCount());
    rows.moveTo(3);
    EXPECT_EQ(rows.asText("SOC2"), "AB");
    rows.moveTo(99);
    EXPECT_TRUE(rows.eof());
}

TEST(ResultSetCursor, ReportsReadsPastTheEndAndBadConversions) {
    ResultSet rows = invoices();
    rows.moveTo(rows.rowCount());
    try {
        rows.value("SOC2");
        ADD_FAILURE() << "no error at eof";
    } catch (const EngineError& e) {
        EXPECT_STREQ(e.what(), "No current row");
    }
    EXPECT_THROW(rows.value(0), EngineError);
    rows.first();
    EXPECT_THROW(rows.value(7), EngineError);
    EXPECT_THROW(rows.value("NOPE"), EngineError);
    EXPECT_THROW(rows.asNumber("SOC2"), EngineError);  // "ABC SRL" is no number
    EXPECT_THROW(rows.asNumber("DATAOUT"), EngineError);
    EXPECT_THROW(rows.asDate("SOC2"), EngineError);

    ResultSet texts({{"Q", 'C', 10, 0}, {"W", 'C', 10, 0}}, {" 12.50 ", "05.01.2024", "  ", ""});
    texts.first();
    EXPECT_EQ(texts.asNumber("Q").toString(), "12.50");
    EXPECT_EQ(texts.asDate("W")->toString(), "05.01.2024");
    texts.next();
    EXPECT_EQ(texts.asNumber("Q"), Decimal(0));  // blank text reads as 0
    EXPECT_FALSE(texts.asDate("W").has_value());
}

TEST(ResultSetFilter, ComparesTextNumbersAndDates) {
    EXPECT_EQ(filtered("SOC2='ABX'"), Ids({2}));
    EXPECT_EQ(filtered("SOC2=\"XYZ\""), Ids({5}));
    EXPECT_EQ(filtered("SOC2<>'ABX'"), Ids({1, 3, 4, 5, 6}));
    EXPECT_EQ(filtered("SOC2 < 'ABX'"), Ids({1, 4, 6}));  // bytewise: "AB CD" < "ABC SRL"
    EXPECT_EQ(filtered("TOTAL>50.5"), Ids({1, 5}));       // NULL total never passes
    EXPECT_EQ(filtered("TOTAL>=50.50"), Ids({1, 2, 5}));
    EXPECT_EQ(filtered("TOTAL<='10'"), Ids({4, 6}));  // quoted number on a number field
    EXPECT_EQ(filtered("IDFACTO=-2"), Ids({}));
    EXPECT_EQ(filtered("IDFACTO<>3"), Ids({1, 2, 4, 5, 6}));
    EXPECT_EQ(filtered("TOTAL=0"), Ids({4}));  // 0.00 equals 0
}

TEST(ResultSetFilter, ReadsTextAsANumberForANumericLiteral) {
    ResultSet codes({{"COD", 'C', 5, 0}}, {"12", " 7", "", "100", "9.5"});
    codes.setFilter("COD>9");
    ASSERT_EQ(codes.rowCount(), 3u);  // the blank code is not compared
    EXPECT_EQ(codes.at(0, 0).text(), "12");
    EXPECT_EQ(codes.at(1, 0).text(), "100");
    EXPECT_EQ(codes.at(2, 0).text(), "9.5");
    codes.setFilter("COD=7");
    ASSERT_EQ(codes.rowCount(), 1u);
    EXPECT_EQ(codes.at(0, 0).text(), " 7");
}

TEST(ResultSetFilter, DateRangesCrossMonthBoundaries) {
    EXPECT_EQ(filtered("(DATAOUT>='01.03.2024')"), Ids({3, 4, 5}));
    EXPECT_EQ(filtered("DATAOUT<'01.03.2024'"), Ids({1, 2}));  // 29.02 of a leap year
    EXPECT_EQ(filtered("(DATAOUT>='29.02.2024') AND (DATAOUT<='31.03.2024')"), Ids({2, 3, 4}));
    EXPECT_EQ(filtered("DATAOUT>'31.03.2024'"), Ids({5}));
    EXPECT_EQ(filtered("DATAOUT='1.4.2024'"), Ids({5}));  // day first, short form
    EXPECT_EQ(filtered("DATAOUT<>'01.04.2024'"), Ids({1, 2, 3, 4}));
}

TEST(ResultSetFilter, PrefixMatchIsCaseSensitiveAndPadsWithBlanks) {
    EXPECT_EQ(filtered("(SOC2='AB*')"), Ids({1, 2, 4, 6}));
    EXPECT_EQ(filtered("SOC2='abc*'"), Ids({3}));
    EXPECT_EQ(filtered("SOC2='ABC*'"), Ids({1}));
    EXPECT_EQ(filtered("SOC2='AB *'"), Ids({4, 6}));  // "AB" is "AB " in a CHAR field
    EXPECT_EQ(filtered("SOC2<>'AB*'"), Ids({3, 5}));
    EXPECT_EQ(filtered("SOC2='*'"), Ids({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(filtered("SOC2='A*C'"), Ids({}));  // only a final '*' is a wildcard
    EXPECT_EQ(filtered("CUI2='RO12*'"), Ids({1, 3}));
    EXPECT_EQ(filtered("DATAOUT='01.0*'"), Ids({3, 5}));       // on the date's display text
    EXPECT_EQ(filtered("DATAOUT='*'"), Ids({1, 2, 3, 4, 5}));  // NULL never matches
}

TEST(ResultSetFilter, NullTestsTreatBlankTextAsEmpty) {
    EXPECT_EQ(filtered("TOTAL=NULL"), Ids({3}));
    EXPECT_EQ(filtered("DATAOUT = null"), Ids({6}));
    EXPECT_EQ(filtered("CUI2=NULL"), Ids({2}));
    EXPECT_EQ(filtered("CUI2<>NULL"), Ids({1, 3, 4, 5, 6}));
    EXPECT_EQ(filtered("(TOTAL<>NULL) and (DATAOUT<>NULL)"), Ids({1, 2, 4, 5}));
}

TEST(ResultSetFilter, CombinesTermsAndReplacesEarlierFilters) {
    EXPECT_EQ(filtered("(SOC2='AB*') AND (DATAOUT>='01.03.2024')"), Ids({4}));
    EXPECT_EQ(filtered("((SOC2='AB*') AND (TOTAL>0)) AND IDFACTO<6"), Ids({1, 2}));
    EXPECT_EQ(filtered("  SOC2 = 'AB*'   AnD   TOTAL > 20  "), Ids({1, 2}));

    ResultSet rows = invoices();
    rows.setFilter("SOC2='AB*'");
    rows.setFilter("SOC2='XYZ'");  // not on top of the first one
    EXPECT_EQ(ids(rows), Ids({5}));
    EXPECT_EQ(rows.filter(), "SOC2='XYZ'");
    rows.setFilter("  ");
    EXPECT_EQ(rows.rowCount(), 6u);
    EXPECT_EQ(rows.filter(), "");
}

TEST(ResultSetFilter, RejectsMalformedText) {
    ResultSet rows = invoices();
    for (const char* bad :
         {"SOC2", "SOC2=", "SOC2 'AB'", "SOC2=='AB'", "SOC2='AB", "(SOC2='AB'", "SOC2='AB')",
          "(SOC2='A')(TOTAL>1)", "SOC2='A' OR TOTAL>1", "SOC2='A' AND", "AND SOC2='A'",
          "TOTAL>=NULL", "TOTAL>1.2.3", "TOTAL>-", "SOC2=ABX", "='A'"}) {
        const std::string message = errorOf(rows, bad);
        EXPECT_EQ(message.rfind("Bad filter: ", 0), 0u) << bad << " -> " << message;
    }
}

TEST(ResultSetFilter, RejectsUnknownFieldsAndIncomparableLiterals) {
    ResultSet rows = invoices();
    EXPECT_NE(errorOf(rows, "(SOC2='A*') AND (SOCX='B')").find("SOCX"), std::string::npos);
    for (const char* bad :
         {"DATAOUT>='abc'", "DATAOUT>=5", "DATAOUT>='31.02.2024'", "TOTAL>'abc'", "SOC2>5"}) {
        const std::string message = errorOf(rows, bad);
        EXPECT_EQ(message.rfind("Bad filter: ", 0), 0u) << bad << " -> " << message;
    }
    // Even without rows, a literal the column can never be compared with is an error.
    ResultSet none({{"DATAOUT", 'D', 8, 0}, {"STOC", 'N', 8, 2}}, std::vector<Value>{});
    EXPECT_THROW(none.setFilter("DATAOUT>='abc'"), EngineError);
    EXPECT_THROW(none.setFilter("STOC<'x'"), EngineError);
    EXPECT_NO_THROW(none.setFilter("DATAOUT>='01.03.2024'"));
}

TEST(ResultSetFilter, FailedFilterKeepsThePreviousOne) {
    ResultSet rows = invoices();
    rows.setFilter("SOC2='AB*'");
    rows.moveTo(2);
    EXPECT_THROW(rows.setFilter("SOC2=='X'"), EngineError);
    EXPECT_THROW(rows.setFilter("SOC2>5"), EngineError);  // fails on the rows themselves
    EXPECT_EQ(rows.filter(), "SOC2='AB*'");
    EXPECT_EQ(ids(rows), Ids({1, 2, 4, 6}));
    EXPECT_EQ(rows.position(), 2u);
}

TEST(ResultSetFilter, CursorWalksOnlyVisibleRows) {
    ResultSet rows = invoices();
    rows.moveTo(4);
    rows.setFilter("(SOC2='AB*') AND (TOTAL<>NULL)");
    EXPECT_EQ(rows.position(), 0u);  // a new filter starts at the first row
    Decimal sum;
    std::string names;
    for (rows.first(); !rows.eof(); rows.next()) {
        sum += rows.asNumber("TOTAL");
        names += rows.asText("SOC2") + ";";
    }
    EXPECT_EQ(sum.toString(), "160.50");
    EXPECT_EQ(names, "ABC SRL;ABX;AB;AB CD;");
    rows.last();
    EXPECT_EQ(rows.asText("SOC2"), "AB CD");

    rows.setFilter("IDFACTO=-2");
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(rows.eof());
    rows.last();
    EXPECT_TRUE(rows.eof());
    EXPECT_THROW(rows.value("SOC2"), EngineError);
}

TEST(ResultSetLocate, FindsExactValuesAmongVisibleRows) {
    ResultSet rows = invoices();
    EXPECT_TRUE(rows.locate("soc2", "AB"));
    EXPECT_EQ(rows.asText("IDFACTO"), "4");
    EXPECT_TRUE(rows.locate("TOTAL", Value(D("50.5"))));  // 50.50 whatever the scale
    EXPECT_EQ(rows.position(), 1u);
    EXPECT_TRUE(rows.locate("DATAOUT", date("01.04.2024")));
    EXPECT_EQ(rows.position(), 4u);
    EXPECT_TRUE(rows.locate("DATAOUT", "31.03.2024"));  // text read as a date
    EXPECT_EQ(rows.position(), 3u);
    EXPECT_TRUE(rows.locate("SOC2", "ABX  "));  // trailing blanks do not count
    EXPECT_EQ(rows.position(), 1u);

    EXPECT_FALSE(rows.locate("SOC2", "abx"));  // exact: case counts
    EXPECT_FALSE(rows.locate("SOC2", "AB*"));  // no wildcard in locate
    EXPECT_FALSE(rows.locate("CUI2", 999));    // non-numeric codes simply differ
    EXPECT_EQ(rows.position(), 1u);            // misses leave the cursor alone
    EXPECT_THROW(rows.locate("NOPE", 1), EngineError);
}

TEST(ResultSetLocate, MatchesNullOnlyWithNullAndHonoursTheFilter) {
    ResultSet rows = invoices();
    EXPECT_TRUE(rows.locate("TOTAL", 0));
    EXPECT_EQ(rows.position(), 3u);  // 0.00, not the NULL total before it
    EXPECT_TRUE(rows.locate("TOTAL", Value()));
    EXPECT_EQ(rows.position(), 2u);
    EXPECT_FALSE(rows.locate("CUI2", Value()));  // a blank CHAR is not NULL here

    rows.setFilter("SOC2<>'XYZ'");
    rows.last();
    EXPECT_FALSE(rows.locate("IDFACTO", 5));  // filtered out
    EXPECT_EQ(rows.asText("IDFACTO"), "6");
    EXPECT_TRUE(rows.locate("IDFACTO", 6));
    EXPECT_EQ(rows.position(), 4u);  // position among the visible rows
}

TEST(ResultSetSort, IsStableWithNullsFirstAndKeepsTheFilter) {
    ResultSet rows({{"K", 'C', 5, 0}, {"N", 'N', 5, 0}},
                   {"b", 2, "a", Value(), "c", 1, "d", 2, "e", Value(), "f", 1});
    rows.sortBy(1, false);
    std::string keys;
    for (size_t r = 0; r < rows.rowCount(); ++r) keys += rows.at(r, 0).text();
    EXPECT_EQ(keys, "aecfbd");
    rows.sortBy(1, true);
    keys.clear();
    for (size_t r = 0; r < rows.rowCount(); ++r) keys += rows.at(r, 0).text();
    EXPECT_EQ(keys, "bdcfae");  // equal keys keep their previous order

    rows.setFilter("N<>NULL");
    rows.moveTo(2);  // "c"
    rows.sortBy(0, false);
    keys.clear();
    for (size_t r = 0; r < rows.rowCount(); ++r) keys += rows.at(r, 0).text();
    EXPECT_EQ(keys, "bcdf");
    EXPECT_EQ(rows.asText("K"), "c");  // the current row stays current
    EXPECT_EQ(rows.filter(), "N<>NULL");
    EXPECT_THROW(rows.sortBy(2, false), EngineError);
}

TEST(ResultSetSort, SortsDatesAndNumbersByValue) {
    ResultSet rows = invoices();
    rows.sortBy(rows.fieldIndex("DATAOUT"), true);
    EXPECT_EQ(ids(rows), Ids({5, 4, 3, 2, 1, 6}));
    rows.sortBy(rows.fieldIndex("TOTAL"), false);
    EXPECT_EQ(ids(rows), Ids({3, 4, 6, 2, 5, 1}));  // 10.00 before 50.50 before 75.25
    rows.setFilter("DATAOUT>='01.03.2024'");
    EXPECT_EQ(ids(rows), Ids({3, 4, 5}));  // the filter follows the new order
}
