// The journals' rules on hand-made documents: the purchase journal's spread of categories (goods,
// other categories, packaging, discount, a document without NIR), its printed codes and numbers
// and the refusal when its work table cannot be replaced; the receipts journal's counted
// receipts and carried lines; the representative matched exactly; the period line.
#include <gtest/gtest.h>

#include <fstream>

#include "../purchases/PurchasesTestSupport.h"
#include "core/reports/Journals.h"
#include "core/reports/PurchaseJournal.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

class JournalEdgeCases : public purchasestest::PurchasesTest {
  protected:
    void Incoming(int id, const char* number, const char* cui, const char* value,
                  const char* total) {
        db().execute("INSERT INTO " + table("FactIn") +
                         " (IDFACT, SERIANR, DATAIN, FURNIZOR, CUI, VALOARE, TOTAL, REST)"
                         " VALUES (:id, :nr, :d, 'FURNIZOR SRL', :cui, :v, :t, 0)",
                     {{"id", id},
                      {"nr", number},
                      {"d", day_},
                      {"cui", cui},
                      {"v", D(value)},
                      {"t", D(total)}});
    }
    void NirLine(int idFact, const char* category, const char* value, const char* vat) {
        ++line_;
        db().execute("INSERT INTO " + table("CapNIR") + " (IDNIR, IDFACT) VALUES (:n, :f)",
                     {{"n", 100 + line_}, {"f", idFact}});
        db().execute(
            "INSERT INTO " + table("ProdNIR") +
                " (IDPROD, IDNIR, CATEG, VALOARE, VALTVA) VALUES (:p, :n, :c, :v, :t)",
            {{"p", line_}, {"n", 100 + line_}, {"c", category}, {"v", D(value)}, {"t", D(vat)}});
    }
    void Receipt(int id, long long idFacto, const char* kind, Date date, const char* sum,
                 const char* vat) {
        db().execute(
            "INSERT INTO " + table("ChitOut") +
                " (IDCHIT, IDFACTO, DOCJUS, NR, DATAOUT, SUMA, INCLTVA)"
                " VALUES (:i, :f, :k, :i, :d, :s, :v)",
            {{"i", id}, {"f", idFacto}, {"k", kind}, {"d", date}, {"s", D(sum)}, {"v", D(vat)}});
    }
    const Date day_ = Date::fromYmd(2026, 3, 10);
    int line_ = 0;
};

TEST_F(JournalEdgeCases, PurchaseJournalSpreadsCategoriesAndCleansCodes) {
    Incoming(1, "FV 0045", "RO4567", "150", "178.50");
    NirLine(1, "MARFA", "100", "19");
    NirLine(1, "SERVICII", "50", "9.50");
    Incoming(2, "AB-77", "4568", "100", "119");  // no NIR
    Incoming(3, "FARA NUMAR", "RO1", "30", "35.70");
    NirLine(3, "AMBALAJ  ", "10", "1.90");
    NirLine(3, "DISCOUNT", "-5", "-0.95");
    ASSERT_EQ(BuildPurchaseWorkTable(db(), day_, day_), 5);
    const tables::ResultSet rows = QueryPurchaseJournal(db());
    ASSERT_EQ(rows.rowCount(), 3u);
    // SERIANR|CUI|ST|SA|SB1|ST1|SB2|ST2|DB1|DT1, ordered by number.
    const std::vector<std::vector<std::string>> expected = {
        {"", "1", "35.70", "10.00", "0.00", "0.00", "0.00", "0.00", "-5.00", "-0.95"},
        {"0045", "4567", "178.50", "0.00", "100.00", "19.00", "50.00", "9.50", "0.00", "0.00"},
        {"77", "4568", "119.00", "0.00", "0.00", "0.00", "100.00", "19.00", "0.00", "0.00"},
    };
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        std::vector<std::string> got = {rows.at(r, rows.fieldIndex("SERIANR")).toString(),
                                        rows.at(r, rows.fieldIndex("CUI")).toString()};
        for (const std::string& column : PurchaseJournalColumns())
            got.push_back(AmountText(rows.at(r, rows.fieldIndex(column)).number()));
        EXPECT_EQ(got, expected[r]);
    }
    EXPECT_EQ(AmountText(PurchaseJournalTotals(rows)[2]), "100.00");
    EXPECT_EQ(AmountText(PurchaseJournalTotals(rows)[0]), "333.20");
}

TEST_F(JournalEdgeCases, PurchaseWorkTableThatCannotBeReplacedStopsTheJournal) {
    // A folder in the work table's place cannot be deleted as a file.
    std::filesystem::create_directories(PurchaseWorkTable(db()) / "x");
    const auto problem = ClearPurchaseWorkTable(db());
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->title, "Jurnal cumparari");
    EXPECT_EQ(problem->text, "Nu pot rescrie " + PurchaseWorkTable(db()).string() +
                                 "!\rRestartati calculatorul si mai incercam odata!");
    EXPECT_EQ(problem->kind, MessageKind::Error);
    EXPECT_THROW(BuildPurchaseWorkTable(db(), day_, day_), tables::EngineError);
    EXPECT_TRUE(std::filesystem::is_directory(PurchaseWorkTable(db()) / "x"));
}

TEST_F(JournalEdgeCases, ReceiptsJournalCountsReceiptsAndCarriesTotals) {
    const Date march = Date::fromYmd(2026, 3, 1);
    Receipt(1, 5, "CHITANTA", Date::fromYmd(2026, 1, 20), "60", "10");
    Receipt(2, -1, "ORDIN DE PLATA", Date::fromYmd(2026, 2, 28), "40", "6");  // settles no invoice
    Receipt(3, 6, "BON FISCAL", Date::fromYmd(2026, 2, 1), "999", "99");      // tied: not counted
    Receipt(4, 7, "CHITANTA", march, "20", "3");
    Receipt(5, -1, "BON FISCAL", Date::fromYmd(2026, 3, 31), "30", "5");
    Receipt(6, 8, "CHITANTA", Date::fromYmd(2026, 4, 1), "7", "1");
    const CarriedReport report = QueryReceiptsJournal(db(), march, Date::fromYmd(2026, 3, 31));
    EXPECT_EQ(report.rows.rowCount(), 2u);
    const auto texts = [](const JournalTotals& t) {
        return AmountText(t.total) + "/" + AmountText(t.base) + "/" + AmountText(t.vat);
    };
    EXPECT_EQ(texts(report.carried), "100.00/84.00/16.00");
    EXPECT_EQ(texts(report.period), "50.00/42.00/8.00");
    EXPECT_EQ(texts(report.carriedForward()), "150.00/126.00/24.00");
    EXPECT_EQ(MonthLine(march), "Luna : Martie 2026");
}

TEST_F(JournalEdgeCases, RepresentativeIsMatchedExactly) {
    const char* agents[] = {"ION", "ION POP", "ion"};
    for (int i = 0; i < 3; ++i)
        db().execute("INSERT INTO " + table("FactOut") +
                         " (IDFACTO, NR, DATAOUT, SOC2, REPREZ, TOTAL, VALTOT, TVATOT, REST)"
                         " VALUES (:i, :i, :d, :s, :r, 119, 100, 19, 5)",
                     {{"i", i + 1},
                      {"d", day_},
                      {"s", i == 0 ? "ALFA SRL" : (i == 1 ? "ALFABET SA" : "BETA SRL")},
                      {"r", agents[i]}});
    const auto sales = QuerySalesByAgent(db(), "ION", day_, day_);
    ASSERT_EQ(sales.rowCount(), 1u);
    EXPECT_EQ(sales.at(0, sales.fieldIndex("DOCJUS")).toString(), "ALFA SRL");
}

TEST(JournalLines, PeriodLineOfOneDayOrMore) {
    const Date a = Date::fromYmd(2025, 12, 31), b = Date::fromYmd(2026, 1, 1);
    EXPECT_EQ(PeriodLine(a, a), "in data de 31.12.2025");
    EXPECT_EQ(PeriodLine(a, b), "in perioada 31.12.2025 - 01.01.2026");
    EXPECT_EQ(DateLine(b), "Data : 01.01.2026");
}

}  // namespace
}  // namespace tvx::core
