// The cash book's day blocks: three days give three blocks, each block's previous balance is
// the final balance of the block before, and the "Final" row still reads the period's
// receipts and payments; a single day keeps one block. Read back by xlrd and recalculated by
// LibreOffice.
#include <gtest/gtest.h>

#include "../CoreTestSupport.h"
#include "WorkbookCheck.h"
#include "core/common/Templates.h"
#include "core/reports/CashBookWorkbook.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::ResultSet;
using tables::Value;

ResultSet Documents(const std::vector<Value>& cells) {
    return ResultSet({{"DOCJUSNR", 'C'}, {"REPREZ", 'C'}, {"INCASAT", 'N'}, {"PLATIT", 'N'}},
                     cells);
}

// The book of `days` with an opening of 1000 received, 400 paid and a balance of 600.
std::map<std::string, testsupport::DumpedCell> Book(const testsupport::ScratchDir& dir,
                                                    const std::vector<CashBookDay>& days,
                                                    std::filesystem::path& file) {
    const auto model = dir.path() / "RegCasa0.xls";
    EXPECT_TRUE(ExtractTemplate("RegCasa", "MODEL", model));
    TExpXLSOLE book(dir.path());
    EXPECT_TRUE(book.OpenTemplate(model, false));
    book.ReplaceTag("[II]", Value(1000));
    book.ReplaceTag("[PI]", Value(400));
    book.ReplaceTag("[SP]", Value(600));
    FillCashBookDays(book, days);
    EXPECT_TRUE(book.FinishWorkbook(false)) << book.problem();
    file = book.outputPath();
    return testsupport::XlsDump(file);
}

TEST(CashBookWorkbook, ThreeDaysChainTheirBalancesAndTheFinalRowReadsThemAll) {
    testsupport::ScratchDir dir;
    std::filesystem::path file;
    auto cells = Book(dir,
                      {{Date::fromYmd(2024, 3, 4),
                        Documents({"CH 1", "Incasare", 100, 0, "CH 2", "Plata", 0, 30})},
                       {Date::fromYmd(2024, 3, 5), Documents({"CH 3", "Incasare", 50, 0})},
                       {Date::fromYmd(2024, 3, 7),
                        Documents({"CH 4", "Incasare", 20, 0, "CH 5", "Plata", 0, 5})}},
                      file);
    // Day 1 at rows 6-11 (two documents), day 2 at 13-17, day 3 at 19-24, "Final" at 26.
    EXPECT_EQ(cells["C14"].formula, "=C11");
    EXPECT_EQ(cells["C20"].formula, "=C17");
    EXPECT_EQ(cells["E26"].formula, "=E5+SUM(E8:E25)/2");
    const std::map<std::string, std::string> expected{
        {"B6", "2024-03-04"}, {"B13", "2024-03-05"}, {"B19", "2024-03-07"}, {"C11", "670"},
        {"C17", "720"},       {"C24", "735"},        {"E26", "1170"},       {"F26", "435"},
        {"B22", "CH 4"},      {"A23", "2"}};
    for (const auto& [ref, want] : expected) EXPECT_EQ(cells[ref].value, want) << ref;
    const auto recalculated = testsupport::LibreOfficeValues(file);
    if (!recalculated)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: no recalculation check";
    for (const char* ref : {"C11", "C17", "C24", "E26", "F26"})
        EXPECT_EQ(recalculated->count(ref) ? recalculated->at(ref) : "", expected.at(ref)) << ref;
}

TEST(CashBookWorkbook, OneDayKeepsOneBlock) {
    testsupport::ScratchDir dir;
    std::filesystem::path file;
    auto cells =
        Book(dir, {{Date::fromYmd(2024, 3, 4), Documents({"CH 1", "Incasare", 100, 0})}}, file);
    EXPECT_EQ(cells["C10"].value, "700");
    EXPECT_EQ(cells.count("A13"), 0u) << "the second block is gone";
    EXPECT_EQ(cells["D12"].value, "Final");
    EXPECT_EQ(cells["E12"].formula, "=E5+SUM(E8:E11)/2");
    EXPECT_EQ(cells["E12"].value, "1100");
}

}  // namespace
}  // namespace tvx::core
