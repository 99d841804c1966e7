// Tests of the workbook exports over stored documents: the sales journal of a period, its
// invoices in date and number order with the totals before the period carried in, read back
// by xlrd and recalculated by LibreOffice.
#include <gtest/gtest.h>

#include "../purchases/PurchasesTestSupport.h"
#include "WorkbookCheck.h"
#include "core/reports/WorkbookExports.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using tables::Date;
using tables::Decimal;

class WorkbookExportsTest : public purchasestest::PurchasesTest {
  protected:
    void AddInvoice(int id, int nr, Date date, const char* buyer, const char* total,
                    const char* base) {
        const Decimal t = Decimal::parse(total).value(), b = Decimal::parse(base).value();
        db().execute(
            "INSERT INTO " + table("FactOut") +
                " (IDFACTO, SERIA, NR, DATAOUT, SOC2, TOTAL, VALTOT, TVATOT) VALUES"
                " (:id, 'TVX', :nr, :d, :s, :t, :b, :v)",
            {{"id", id}, {"nr", nr}, {"d", date}, {"s", buyer}, {"t", t}, {"b", b}, {"v", t - b}});
    }
};

TEST_F(WorkbookExportsTest, SalesJournalListsThePeriodAndCarriesTheTotalsBefore) {
    AddInvoice(1, 10, Date::fromYmd(2024, 2, 28), "VECHI SRL", "238.00", "200.00");
    AddInvoice(2, 12, Date::fromYmd(2024, 3, 4), "GAMA", "11.90", "10.00");
    AddInvoice(3, 11, Date::fromYmd(2024, 3, 4), "BETA SA", "119.00", "100.00");
    AddInvoice(4, 13, Date::fromYmd(2024, 3, 1), "ALFA", "59.50", "50.00");
    AddInvoice(5, 14, Date::fromYmd(2024, 4, 1), "DUPA", "1.19", "1.00");
    const WorkbookResult result =
        ExportSalesJournal(db(), dir_.path(), "FIRMA MEA SRL", Date::fromYmd(2024, 3, 1),
                           Date::fromYmd(2024, 3, 31), false);
    ASSERT_TRUE(result.written) << result.problem;
    EXPECT_EQ(result.file, dir_.path() / "XLSTmp0.xls");
    EXPECT_TRUE(fs::exists(dir_.path() / "JurnVFact0.xls"));
    EXPECT_EQ(PeriodText(Date::fromYmd(2024, 3, 5), Date::fromYmd(2024, 3, 5)),
              "in data de 05.03.2024");

    auto cells = testsupport::XlsDump(result.file);
    const std::map<std::string, std::string> expected{{"A1", "FIRMA MEA SRL"},
                                                      {"A3", "in perioada 01.03.2024 - 31.03.2024"},
                                                      {"F5", "238"},
                                                      {"G5", "200"},
                                                      {"H5", "38"},
                                                      {"C8", "ALFA"},
                                                      {"B8", "2024-03-01"},
                                                      {"C9", "BETA SA"},
                                                      {"E9", "11"},
                                                      {"C10", "GAMA"},
                                                      {"E10", "12"},
                                                      {"H10", "1.9"},
                                                      {"F11", "190.4"},
                                                      {"G11", "160"},
                                                      {"H11", "30.4"},
                                                      {"F13", "428.4"},
                                                      {"H13", "68.4"}};
    for (const auto& [ref, want] : expected) EXPECT_EQ(cells[ref].value, want) << ref;
    EXPECT_EQ(cells.count("C12"), 0u) << "the invoice after the period is left out";

    const auto recalculated = testsupport::LibreOfficeValues(result.file);
    if (!recalculated) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    for (const char* ref : {"F11", "G11", "H11", "H10", "F13", "G13", "H13"})
        EXPECT_EQ(recalculated->count(ref) ? recalculated->at(ref) : "",
                  expected.count(ref) ? expected.at(ref) : cells[ref].value)
            << ref;
}

}  // namespace
}  // namespace tvx::core
