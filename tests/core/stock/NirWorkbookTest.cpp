// "&Listeaza Receptia": a note with two lines printed into the NIR template, read back by
// xlrd and recalculated by LibreOffice; the print counter locks it for a cashier, and a missing
// template prints nothing and counts nothing.
#include "../reports/WorkbookCheck.h"
#include "NirTestSupport.h"
#include "core/admin/Users.h"
#include "core/common/Templates.h"
#include "core/stock/NirWorkbook.h"

namespace tvx::core::stocktest {
namespace {

class NirWorkbookTest : public NirTest {
  protected:
    void SetUp() override {
        NirTest::SetUp();
        note_ = NewNote(1, 15, Day(5, 4, 2024));
        AddNirLine(*db_, *settings_, note_, Line("BEC LED", "3", "10.00", "25"), kGradeAdmin);
        AddNirLine(*db_, *settings_, note_, Line("CABLU", "2", "4.50", "10"), kGradeAdmin);
        ASSERT_TRUE(ExtractTemplate("NIRTVA", "Model", data_ / "NIRTVA.xls"));
    }
    long long note_ = 0;
};

TEST_F(NirWorkbookTest, NoteWrittenIntoTheTemplateAndCountedAsPrinted) {
    const WorkbookResult result =
        PrintNirNote(*db_, data_, dir_.path(), "TARVIX SRL", note_, false);
    ASSERT_TRUE(result.written) << result.problem;
    const NirNote note = *ReadNirNote(*db_, note_);
    EXPECT_EQ(note.listat, 1);
    EXPECT_TRUE(NirNoteLocked(kGradeCasier, note.listat));

    auto cells = testsupport::XlsDump(result.file);
    const std::map<std::string, std::string> expected{{"A1", "TARVIX SRL"},
                                                      {"A2", "Nr. 15 din 05.04.2024"},
                                                      {"E4", "ALFA SRL, CUI: RO123"},
                                                      {"E5", "AB 100 / 01.04.2024"},
                                                      {"A10", "1"},
                                                      {"B10", "BEC LED"},
                                                      {"C10", "BUC"},
                                                      {"D10", "3"},
                                                      {"G10", "30"},
                                                      {"H10", "5.7"},
                                                      {"M10", "44.64"},
                                                      {"A11", "2"},
                                                      {"B11", "CABLU"},
                                                      {"G11", "9"},
                                                      {"H11", "1.71"},
                                                      {"I11", "10.71"},
                                                      {"G12", "TOTAL:"},
                                                      {"H12", "7.41"},
                                                      {"I12", "46.41"},
                                                      {"M12", note.total->toPlainString()},
                                                      {"B15", "Receptioner: " + note.receptio},
                                                      {"L15", "39"},
                                                      {"L19", note.total->toPlainString()}};
    for (const auto& [ref, want] : expected) EXPECT_EQ(cells[ref].value, want) << ref;
    EXPECT_EQ(cells["H12"].formula, "=SUM(H8:H11)");
    EXPECT_EQ(cells.count("L16"), 0u) << "no packaging line: an empty total";

    const auto recalculated = testsupport::LibreOfficeValues(result.file);
    if (!recalculated) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    for (const char* ref : {"H12", "I12", "M12"})
        EXPECT_EQ(recalculated->at(ref), expected.at(ref)) << ref;
}

TEST_F(NirWorkbookTest, MissingTemplatePrintsAndCountsNothing) {
    std::filesystem::remove(data_ / "NIRTVA.xls");
    const WorkbookResult result =
        PrintNirNote(*db_, data_, dir_.path(), "TARVIX SRL", note_, false);
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.problem.find("NIRTVA.xls"), std::string::npos) << result.problem;
    EXPECT_EQ(ReadNirNote(*db_, note_)->listat, 0);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "XLSTmp0.xls"));
}

}  // namespace
}  // namespace tvx::core::stocktest
