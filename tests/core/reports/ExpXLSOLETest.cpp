// Tests of the template workbook engine: the embedded templates filled, written and read
// back by xlrd (xls-dump) and recalculated by LibreOffice (xls-lo-csv): repeated rows with
// their running number and values, formulas that follow inserted, copied and deleted rows,
// totals that grow, placeholders in any case, output names, and templates that are missing or
// not workbooks.
#include <gtest/gtest.h>

#include <fstream>

#include "../CoreTestSupport.h"
#include "WorkbookCheck.h"
#include "core/common/Templates.h"
#include "core/reports/ExpXLSOLE.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using tables::Date;
using tables::Decimal;
using tables::ResultSet;
using tables::Value;
using testsupport::ScratchDir;
using testsupport::XlsDump;

fs::path Template(const ScratchDir& dir, const char* name) {
    const fs::path file = dir.path() / (std::string(name) + ".xls");
    EXPECT_TRUE(ExtractTemplate(name, "MODEL", file)) << name << " is not embedded";
    return file;
}

// Invoices as the sales journal selects them: buyer, series, number, date, total, base.
ResultSet Invoices(
    const std::vector<std::tuple<std::string, int, std::string, std::string>>& rows) {
    std::vector<tables::ColumnInfo> columns{{"SOC2", 'C'},    {"SERIA", 'C'}, {"NR", 'N'},
                                            {"DATAOUT", 'D'}, {"TOTAL", 'N'}, {"VALTOT", 'N'}};
    std::vector<Value> cells;
    for (const auto& [buyer, day, total, base] : rows) {
        for (Value v :
             {Value(buyer), Value("TVX"), Value(100 + day), Value(Date::fromYmd(2024, 3, day)),
              Value(Decimal::parse(total).value()), Value(Decimal::parse(base).value())})
            cells.push_back(v);
    }
    return ResultSet(columns, cells);
}

TEST(TExpXLSOLE, RepeatedRowFilledFormulasFollowAndTotalsGrow) {
    ScratchDir dir;
    TExpXLSOLE engine(dir.path());
    ASSERT_TRUE(engine.OpenTemplate(Template(dir, "JurnVFact"), false)) << engine.problem();
    EXPECT_EQ(engine.outputPath(), dir.path() / "XLSTmp0.xls");
    engine.ReplaceTag("[SOC]", Value("ALFA SRL"));
    engine.ReplaceTag("[PERIOADA]", Value("in perioada 01.03.2024 - 31.03.2024"));  // "[Perioada]"
    engine.ReplaceTag("[RSUMA]", Value(Decimal::parse("1000.50").value()));
    engine.ReplaceTag("[RBAZA]", Value(Decimal::parse("840.76").value()));
    engine.ReplaceTag("[RTVA]", Value(Decimal::parse("159.74").value()));
    engine.FillFromDataSet(Invoices({{"BETA SA", 1, "119.00", "100.00"},
                                     {"0", 2, "59.50", "0"},  // a text "0", a base of 0
                                     {"GAMA", 5, "23.80", "20.00"}}));
    ASSERT_TRUE(engine.FinishWorkbook(false)) << engine.problem();
    EXPECT_FALSE(fs::exists(dir.path() / "XLSTmp0.xls.tmp"));

    auto cells = XlsDump(engine.outputPath());
    auto value = [&](const char* ref) { return cells[ref].value; };
    EXPECT_EQ(value("A1"), "ALFA SRL");
    EXPECT_EQ(value("A3"), "in perioada 01.03.2024 - 31.03.2024");
    EXPECT_EQ(value("F5"), "1000.5");
    for (const auto& [ref, expected] :
         std::map<std::string, std::string>{{"A8", "1"},
                                            {"B8", "2024-03-01"},
                                            {"C8", "BETA SA"},
                                            {"D8", "TVX"},
                                            {"E8", "101"},
                                            {"F8", "119"},
                                            {"G8", "100"},
                                            {"H8", "19"},
                                            {"A9", "2"},
                                            {"C9", "0"},
                                            {"H9", "59.5"},
                                            {"A10", "3"},
                                            {"B10", "2024-03-05"},
                                            {"H10", "3.8"},
                                            {"E11", "TOTAL"},
                                            {"F11", "202.3"},
                                            {"G11", "120"},
                                            {"H11", "82.3"},
                                            {"D13", "Total de reportat:"},
                                            {"F13", "1202.8"},
                                            {"H13", "242.04"},
                                            {"B15", "Compartiment financiar contabil,"}})
        EXPECT_EQ(cells[ref].value, expected) << ref;
    EXPECT_EQ(cells.count("G9"), 0u) << "a numeric 0 leaves the cell empty";
    EXPECT_EQ(cells.count("I8"), 0u) << "the #DBF marker is emptied";
    EXPECT_EQ(cells["H9"].formula, "=F9-G9");
    EXPECT_EQ(cells["F11"].formula, "=SUM(F6:F10)");
    EXPECT_EQ(cells["H13"].formula, "=H5+H11");

    const auto recalculated = testsupport::LibreOfficeValues(engine.outputPath());
    if (!recalculated)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: no recalculation check";
    for (const char* ref : {"F11", "G11", "H11", "H8", "H9", "H10", "F13", "G13", "H13", "C9"})
        EXPECT_EQ(recalculated->count(ref) ? recalculated->at(ref) : "", value(ref)) << ref;
}

TEST(TExpXLSOLE, NoRowsOrOneRowInsertNothing) {
    struct Case {
        size_t rows;
        std::string a8, b8;
    };
    for (const Case& c : {Case{0, "%NRCRT", "#DATAOUT"}, Case{1, "1", "2024-03-01"}}) {
        ScratchDir dir;
        TExpXLSOLE engine(dir.path());
        ASSERT_TRUE(engine.OpenTemplate(Template(dir, "JurnVFact"), false));
        ResultSet rows = Invoices({{"BETA SA", 1, "119.00", "100.00"}});
        engine.FillFromDataSet(c.rows ? rows : Invoices({}));
        ASSERT_TRUE(engine.FinishWorkbook(false));
        auto cells = XlsDump(engine.outputPath());
        EXPECT_EQ(cells["A8"].value, c.a8) << c.rows;
        EXPECT_EQ(cells["B8"].value, c.b8) << c.rows;
        EXPECT_EQ(cells.count("I8"), 0u) << c.rows;
        EXPECT_EQ(cells["E9"].value, "TOTAL") << c.rows;
        EXPECT_EQ(cells["F9"].formula, "=SUM(F6:F8)") << c.rows;
    }
}

TEST(TExpXLSOLE, DeletedRowsPullFormulasUp) {
    ScratchDir dir;
    TExpXLSOLE engine(dir.path());
    ASSERT_TRUE(engine.OpenTemplate(Template(dir, "JurnVFact"), false));
    engine.FillFromDataSet(
        Invoices({{"A", 1, "10", "5"}, {"B", 2, "20", "10"}, {"C", 3, "40", "20"}}));
    engine.DeleteRows(9, 1);  // the second invoice
    engine.SetCell(1, 1, Value("Jurnal"));
    ASSERT_TRUE(engine.FinishWorkbook(false));
    auto cells = XlsDump(engine.outputPath());
    EXPECT_EQ(cells["A1"].value, "Jurnal");
    EXPECT_EQ(cells["C9"].value, "C");
    EXPECT_EQ(cells["H9"].formula, "=F9-G9");
    EXPECT_EQ(cells["F10"].formula, "=SUM(F6:F9)");
    EXPECT_EQ(cells["F10"].value, "50");
    EXPECT_EQ(cells["F12"].formula, "=F5+F10");
}

TEST(TExpXLSOLE, OutputStillOpenInTheOfficeProgramGetsTheNextNumber) {
    ScratchDir dir;
    const fs::path model = Template(dir, "JurnVFact");
    TExpXLSOLE engine(dir.path());
    ASSERT_TRUE(engine.OpenTemplate(model, false));
    ASSERT_TRUE(engine.FinishWorkbook(false));
    EXPECT_EQ(engine.outputPath(), dir.path() / "XLSTmp0.xls");
    ASSERT_TRUE(engine.OpenTemplate(model, false));  // closed in the meantime: reused
    EXPECT_EQ(engine.outputPath(), dir.path() / "XLSTmp0.xls");
    ASSERT_TRUE(engine.FinishWorkbook(false));
    std::ofstream(dir.path() / ".~lock.XLSTmp0.xls#") << "open";
    ASSERT_TRUE(engine.OpenTemplate(model, false));
    EXPECT_EQ(engine.outputPath(), dir.path() / "XLSTmp1.xls");
}

TEST(TExpXLSOLE, MissingOrDamagedTemplateOpensNothing) {
    ScratchDir dir;
    const std::string workbook = testsupport::FileBytes(Template(dir, "JurnVFact"));
    const std::map<std::string, std::string> files{
        {"text.xls", "this is not a workbook"},
        {"cut.xls", workbook.substr(0, workbook.size() / 2)},
        {"empty.xls", ""}};
    for (const auto& [name, bytes] : files)
        std::ofstream(dir.path() / name, std::ios::binary) << bytes;
    for (const char* name : {"missing.xls", "text.xls", "cut.xls", "empty.xls"}) {
        TExpXLSOLE engine(dir.path());
        EXPECT_FALSE(engine.OpenTemplate(dir.path() / name, false)) << name;
        EXPECT_NE(engine.problem().find(name), std::string::npos) << engine.problem();
        engine.ReplaceTag("[SOC]", Value("X"));
        EXPECT_FALSE(engine.FinishWorkbook(true)) << name;
        EXPECT_FALSE(fs::exists(dir.path() / "XLSTmp0.xls")) << name;
    }
}

// The template's print area grows with the inserted rows and shrinks with the deleted ones.
TEST(TExpXLSOLE, PrintAreaFollowsTheRows) {
    ScratchDir dir;
    TExpXLSOLE engine(dir.path());
    ASSERT_TRUE(engine.OpenTemplate(Template(dir, "NIRTVA"), true));
    engine.FillFromDataSet(ResultSet({{"PRODUS", 'C'}}, {Value("A"), Value("B"), Value("C")}));
    engine.DeleteRows(4, 1);
    ASSERT_TRUE(engine.FinishWorkbook(false));
    EXPECT_EQ(workbook::Workbook::Load(engine.outputPath()).printArea(0),
              (workbook::Range{0, 18, 0, 13}));
    auto cells = XlsDump(engine.outputPath());
    EXPECT_EQ(cells["B11"].value, "C");
    EXPECT_EQ(cells["H12"].formula, "=SUM(H7:H11)");
}

// More rows than a .xls sheet holds: refused with a message, nothing half-written.
TEST(TExpXLSOLE, MoreRowsThanASheetHoldsWritesNothing) {
    ScratchDir dir;
    TExpXLSOLE engine(dir.path());
    ASSERT_TRUE(engine.OpenTemplate(Template(dir, "JurnVFact"), false));
    std::vector<Value> cells(65530 * 6, Value("X"));
    engine.FillFromDataSet(ResultSet({{"SOC2", 'C'},
                                      {"SERIA", 'C'},
                                      {"NR", 'C'},
                                      {"DATAOUT", 'C'},
                                      {"TOTAL", 'C'},
                                      {"VALTOT", 'C'}},
                                     cells));
    EXPECT_FALSE(engine.FinishWorkbook(false));
    EXPECT_NE(engine.problem().find("65536"), std::string::npos) << engine.problem();
    EXPECT_FALSE(fs::exists(engine.outputPath()));
}

// A template saved again by LibreOffice Calc (its own records, shared strings, cell
// indexes) still fills.
TEST(TExpXLSOLE, TemplateSavedByLibreOfficeStillWorks) {
    int status = 0;
    testsupport::RunTool("command -v soffice >/dev/null 2>&1", status);
    if (status != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    ScratchDir dir;
    const fs::path model = Template(dir, "JurnVFact");
    fs::create_directories(dir.path() / "lo");
    testsupport::RunTool(
        "soffice -env:UserInstallation=file://" + (dir.path() / "profile").string() +
            " --headless --convert-to xls --outdir " + (dir.path() / "lo").string() + " " +
            model.string() + " >/dev/null 2>&1",
        status);
    ASSERT_EQ(status, 0);
    TExpXLSOLE engine(dir.path());
    ASSERT_TRUE(engine.OpenTemplate(dir.path() / "lo" / "JurnVFact.xls", false))
        << engine.problem();
    engine.ReplaceTag("[soc]", Value("ALFA SRL"));
    engine.FillFromDataSet(
        Invoices({{"BETA SA", 1, "119.00", "100.00"}, {"GAMA", 2, "11.90", "10.00"}}));
    ASSERT_TRUE(engine.FinishWorkbook(false)) << engine.problem();
    auto cells = XlsDump(engine.outputPath());
    EXPECT_EQ(cells["A1"].value, "ALFA SRL");
    EXPECT_EQ(cells["B9"].value, "2024-03-02");
    EXPECT_EQ(cells["H9"].formula, "=F9-G9");
    EXPECT_EQ(cells["F10"].formula, "=SUM(F6:F9)");
    EXPECT_EQ(cells["F10"].value, "130.9");
    EXPECT_EQ(cells["H10"].value, "20.9");
}

}  // namespace
}  // namespace tvx::core
