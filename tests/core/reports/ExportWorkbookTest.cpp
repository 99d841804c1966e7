// The result-set export as a native workbook, read back by the independent checkers: xls-dump
// (typed cells: texts with Romanian letters and markup characters, numbers, a negative
// decimal, a date-formatted day number, an empty cell; the page texts) and LibreOffice; and a
// table too long for one sheet refused before anything is written.
#include <gtest/gtest.h>

#include "../CoreTestSupport.h"
#include "WorkbookCheck.h"
#include "core/reports/ExportWorkbook.h"
#include "tables/EngineError.h"
#include "workbook/Workbook.h"

namespace tvx::core {
namespace {

using tables::ColumnInfo;
using tables::Date;
using tables::Decimal;
using tables::ResultSet;
using tables::Value;

TEST(ExportWorkbook, NativeWorkbookHoldsTypedCellsAndPageTexts) {
    std::vector<ColumnInfo> columns{{"DENUMIRE", 'C', 40, 0},
                                    {"NR", 'N', 10, 0},
                                    {"REST", 'N', 12, 2},
                                    {"DATA", 'D', 8, 0},
                                    {"OBS", 'C', 10, 0}};
    const std::string name = "Ștefănescu & Fiii <ȚARĂ> \"Îți\"";
    std::vector<Value> cells{name, Value(Decimal(12)), *Decimal::parse("-1234.56"),
                             Date::fromYmd(2026, 2, 28), Value()};
    ExportOptions options;
    options.header = "VANZARI & INCASARI";
    options.created = Date::fromYmd(2026, 12, 9);
    testsupport::ScratchDir dir;
    const auto file = dir.path() / "Raport.xls";
    ExportToFile(ResultSet(columns, cells), ExportFormat::Excel, options, file);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    const auto dumped = testsupport::XlsDump(file);
    const std::map<std::string, std::string>
        expected = {{"A1", "DENUMIRE"},  {"B1", "NR"}, {"C1", "REST"}, {"D1", "DATA"},
                    {"E1", "OBS"},       {"A2", name}, {"B2", "12"},   {"C2", "-1234.56"},
                    {"D2", "2026-02-28"}};  // xls-dump shows a day number as a date only through a
                                            // date format
    ASSERT_EQ(dumped.size(), expected.size());
    for (const auto& [ref, value] : expected) EXPECT_EQ(dumped.at(ref).value, value) << ref;
    // The page texts, ampersands doubled, stored as written (ASCII: one byte a character).
    const std::string bytes = testsupport::FileBytes(file);
    EXPECT_NE(bytes.find("&CVANZARI && INCASARI"), std::string::npos);
    EXPECT_NE(bytes.find("&LCreat la 09.12.2026&RPagina &P"), std::string::npos);

    const auto calc = testsupport::LibreOfficeValues(file);
    if (!calc) GTEST_SKIP() << "soffice (LibreOffice) is not installed";
    EXPECT_EQ(calc->at("A2"), name);
    EXPECT_EQ(calc->at("C2"), "-1234.56");
    EXPECT_EQ(calc->at("D2"), "02/28/2026");  // a date (a plain number would print 46081)
    EXPECT_EQ(calc->count("E2"), 0u);
}

TEST(ExportWorkbook, TooManyRowsRefusedBeforeWriting) {
    std::vector<Value> cells(kMaxWorkbookRows + 1, Value(Decimal(1)));
    const ResultSet rows({{"NR", 'N', 10, 0}}, std::move(cells));
    testsupport::ScratchDir dir;
    const auto file = dir.path() / "Mare.xls";
    try {
        ExportToFile(rows, ExportFormat::Excel, {}, file);
        ADD_FAILURE() << "a table of 65536 rows was written";
    } catch (const tables::EngineError& error) {
        EXPECT_NE(std::string(error.what()).find("cel mult 65535"), std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    // The engine refuses a page text longer than a sheet holds.
    auto book = workbook::Workbook::Create("Export");
    EXPECT_THROW(book.setPageTexts(0, std::string(256, 'x'), ""), workbook::WorkbookError);
}

}  // namespace
}  // namespace tvx::core
