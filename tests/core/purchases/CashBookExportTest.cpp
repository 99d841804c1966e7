// The RegCasa workbook of a period starting mid-year: the placeholders carry the year's
// totals and the balance before the period, each day block's previous and final balance and
// the "Final" row equal the book's figures, as xlrd reads them back and LibreOffice
// recalculates them; a period without operations keeps one empty block.
#include <gtest/gtest.h>

#include "../reports/WorkbookCheck.h"
#include "PurchasesTestSupport.h"
#include "core/purchases/CashBookExport.h"
#include "core/purchases/CashEntry.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;

Date July(int day) {
    return Date::fromYmd(2024, 7, day);
}

// An amount as xlrd and LibreOffice print a number: no trailing zeros.
std::string Shortest(const Decimal& amount) {
    std::string text = CashAmountText(amount);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

// A date as xlrd prints it: yyyy-MM-dd.
std::string Iso(const Date& date) {
    const std::string ymd = date.toDbf();
    return ymd.substr(0, 4) + "-" + ymd.substr(4, 2) + "-" + ymd.substr(6, 2);
}

class CashBookExportTest : public purchasestest::PurchasesTest {
  protected:
    void SetUp() override {
        PurchasesTest::SetUp();
        book_ = std::make_unique<CashBook>(db(), settings(), dir_.path(), July(15));
        book_->build();
    }
    void Manual(CashEntryKind kind, Date day, const char* sum) {
        CashEntry entry;
        entry.open(kind, day, {"DISPOZITIE"});
        entry.sum = sum;
        entry.text = "operatie";
        ASSERT_FALSE(entry.check());
        book_->addEntry(entry);
    }
    std::unique_ptr<CashBook> book_;
};

TEST_F(CashBookExportTest, DayBlocksAndFinalRowEqualTheBook) {
    Manual(CashEntryKind::Collection, Date::fromYmd(2023, 12, 20), "1000");
    Manual(CashEntryKind::Payment, Date::fromYmd(2024, 2, 10), "100");
    Manual(CashEntryKind::Collection, Date::fromYmd(2024, 6, 30), "40");
    Manual(CashEntryKind::Payment, July(3), "5.50");
    Manual(CashEntryKind::Collection, July(3), "2.25");
    Manual(CashEntryKind::Collection, July(10), "50");
    Manual(CashEntryKind::Payment, July(31), "1");
    const CashBookPeriod period = book_->period(July(1), July(31), "FIRMA SRL");
    ASSERT_EQ(period.days.size(), 3u);

    int reported = 0;
    const WorkbookResult result =
        ExportCashBook(period, dir_.path(), true, false, [&](int days) { reported = days; });
    ASSERT_TRUE(result.written) << result.problem;
    EXPECT_EQ(reported, 3);
    auto cells = testsupport::XlsDump(result.file);
    EXPECT_EQ(cells["A1"].value, "FIRMA SRL");
    EXPECT_EQ(cells["A3"].value, "perioada 01.07.2024 - 31.07.2024");
    EXPECT_EQ(cells["E5"].value, "40");   // the year's receipts before July
    EXPECT_EQ(cells["F5"].value, "100");  // and payments (December's 1000 is last year's)

    // Each block: date, previous balance, titles, one row per operation, final balance, blank.
    std::map<std::string, std::string> expected;
    int row = 6;
    for (const CashDayBlock& day : period.days) {
        const int count = static_cast<int>(day.operations.size());
        expected["B" + std::to_string(row)] = Iso(day.date);
        expected["C" + std::to_string(row + 1)] = Shortest(day.previous);
        expected["C" + std::to_string(row + 3 + count)] = Shortest(day.final());
        row += 5 + count;
    }
    EXPECT_EQ(cells["D" + std::to_string(row)].value, "Final");
    const std::vector<std::string> sums{"E" + std::to_string(row), "F" + std::to_string(row)};
    expected[sums[0]] = Shortest(period.yearReceived + period.received);
    expected[sums[1]] = Shortest(period.yearPaid + period.paid);
    EXPECT_EQ(expected["C7"], "940");
    EXPECT_EQ(expected["C23"], "985.75");  // the last block's final balance
    for (const auto& [ref, want] : expected) EXPECT_EQ(cells[ref].value, want) << ref;

    const auto recalculated = testsupport::LibreOfficeValues(result.file);
    if (!recalculated)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: no recalculation check";
    for (const auto& [ref, want] : expected) {
        if (ref[0] == 'B') continue;  // dates: LibreOffice prints them as the cell's format
        EXPECT_EQ(recalculated->count(ref) ? recalculated->at(ref) : "", want) << ref;
    }
}

TEST_F(CashBookExportTest, PeriodWithoutOperationsKeepsOneEmptyBlock) {
    Manual(CashEntryKind::Collection, July(1), "12.5");
    const WorkbookResult result =
        ExportCashBook(book_->period(July(2), July(31), "FIRMA SRL"), dir_.path(), false, false);
    ASSERT_TRUE(result.written) << result.problem;
    auto cells = testsupport::XlsDump(result.file);
    EXPECT_EQ(cells["A9"].value, "1");
    EXPECT_EQ(cells["C7"].value, "12.5");
    EXPECT_EQ(cells["G9"].value, "") << "the row marker is emptied";
    EXPECT_EQ(cells.count("A13"), 0u) << "the second block is gone";
    EXPECT_EQ(cells["D12"].value, "Final");
}

}  // namespace
}  // namespace tvx::core
