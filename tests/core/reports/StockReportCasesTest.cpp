// The edge cases of the stock, activity, 394 and client reports on hand-made rows: the
// mark-up of a VAT payer and of a company that deducts no VAT, a service line, the goods-only
// movement reports, the consumption vouchers by name, the clients told apart by name and code,
// a receipt older than the statement's start, and the period and title texts.
#include <gtest/gtest.h>

#include "../purchases/PurchasesTestSupport.h"
#include "core/reports/ActivitySummary.h"
#include "core/reports/Declaration394.h"
#include "core/reports/StockReports.h"
#include "core/sales/ClientStatements.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

const Date kDay = Date::fromYmd(2024, 3, 5);

class StockReportCases : public purchasestest::PurchasesTest {
  protected:
    void Card(int id, const char* location, const char* categ, const char* product) {
        db().execute("INSERT INTO " + table("CapFise") +
                         " (IDCAP, GESTIUNE, CATEG, PRODUS, UM, PRETOUT) VALUES (:i, :g, :c, :p, "
                         "'BUC', 150)",
                     {{"i", id}, {"g", location}, {"c", categ}, {"p", product}});
    }
    void Move(int card, const char* tip, const char* docjus, int nr, const char* in,
              const char* out) {
        db().execute("INSERT INTO " + table("Fise") +
                         " (IDCAP, TIP, DOCJUS, NRDOC, DINDATA, CANTIN, CANTOUT, VALIN, VALOUT)"
                         " VALUES (:c, :t, :j, :n, :d, 1, 1, :i, :o)",
                     {{"c", card},
                      {"t", tip},
                      {"j", docjus},
                      {"n", nr},
                      {"d", kDay},
                      {"i", D(in)},
                      {"o", D(out)}});
    }
    void Invoice(int id, const char* soc2, const char* cui2, const char* total, Date date) {
        db().execute("INSERT INTO " + table("FactOut") +
                         " (IDFACTO, SERIA, NR, DATAOUT, SOC2, CUI2, TOTAL, REST, GESTIUNE)"
                         " VALUES (:i, 'TVX', :i, :d, :s, :c, :t, :t, 'DEPOZIT')",
                     {{"i", id}, {"d", date}, {"s", soc2}, {"c", cui2}, {"t", D(total)}});
    }
};

TEST_F(StockReportCases, MarkupOfAVatPayerAndOfACompanyThatDeductsNoVat) {
    db().execute("INSERT INTO " + table("CapNIR") +
                 " (IDNIR, NUMEFACT, SERIENR, DATAFACT, DATANIR) VALUES (1, 'FACTURA', 'AB 12', "
                 "'01.03.2024', '01.03.2024')");
    db().execute("INSERT INTO " + table("ProdNIR") +
                 " (IDNIR, IDCAP, CANTR, PRETU, VALTVA) VALUES (1, 4, 3, 100, 57)");
    Invoice(1, "CLIENT", "RO1", "0", kDay);
    db().execute("INSERT INTO " + table("ProdOut") +
                 " (IDFACTO, IDCAP, IDFISA, PRODUS, UM, CANT, PRETOUT) VALUES (1, 4, 1, 'A', "
                 "'BUC', 3, 150), (1, -1, -1, 'MANOPERA', 'ORE', 2, 80)");
    for (const auto& [vatPayer, markup, price] :
         {std::tuple{true, "150.00", "100.00"}, std::tuple{false, "93.00", "119.00"}}) {
        auto rows = ComputeMarkupSummary(db(), vatPayer, kDay, kDay);
        ASSERT_EQ(rows.rowCount(), 2u);
        // The service line sorts first under "-" and counts whole.
        EXPECT_EQ(rows.at(0, rows.fieldIndex("FF")).toString(), "-");
        EXPECT_EQ(rows.at(0, rows.fieldIndex("ADAOS")).number(), D("160"));
        EXPECT_EQ(rows.at(1, rows.fieldIndex("FF")).toString(), "FACTURA AB 12");
        EXPECT_EQ(rows.at(1, rows.fieldIndex("DATAFACT")).toString(), "01.03.2024");
        EXPECT_EQ(rows.at(1, rows.fieldIndex("PRETIN")).toString(), price);
        EXPECT_EQ(rows.at(1, rows.fieldIndex("ADAOS")).toString(), markup);
    }
    EXPECT_EQ(MarkupTitle(kDay), "CENTRALIZATOR MARTIE 2024");
}

TEST_F(StockReportCases, MovementReportsListGoodsOnlyAndVouchersByName) {
    Card(1, "DEPOZIT", "MARFA", "FILTRU");
    Card(2, "DEPOZIT", "SERVICII", "MONTAJ");
    Card(3, "MAGAZIN", "MARFA", "BEC");
    Move(1, "INTRARE", "NIR", 1, "10", "0");
    Move(2, "INTRARE", "NIR", 1, "20", "0");
    Move(1, "TRANSFER", "BON DE TRANSFER", 1, "0", "5");
    Move(3, "TRANSFER", "BON DE TRANSFER", 1, "5", "0");
    Move(1, "IESIRE", "BON DE CONSUM", 2, "0", "3");
    Move(3, "IESIRE", "AVIZ DE INSOTIRE MARFA", 3, "0", "4");
    Move(3, "VANZARE", "FACTURA", 4, "0", "6");
    const StockPeriod all{kDay, kDay}, depozit{kDay, kDay, "DEPOZIT"};
    EXPECT_EQ(QueryStockMoves(db(), StockMoveKind::GoodsIn, all).rowCount(), 1u);
    EXPECT_EQ(QueryStockMoves(db(), StockMoveKind::Transfers, all).rowCount(), 2u);
    EXPECT_EQ(QueryStockMoves(db(), StockMoveKind::GoodsOut, all).rowCount(), 3u);
    EXPECT_EQ(QueryStockMoves(db(), StockMoveKind::GoodsOut, depozit).rowCount(), 1u);
    const auto vouchers = QueryConsumptionVouchers(db(), all);
    ASSERT_EQ(vouchers.rowCount(), 1u);
    EXPECT_EQ(vouchers.at(0, vouchers.fieldIndex("GRUPA")).toString(),
              "DEPOZIT :  BON DE CONSUM Nr.2 / 05.03.2024");
    EXPECT_EQ(QueryConsumptionVouchers(db(), {kDay, kDay, "MAGAZIN"}).rowCount(), 0u);
}

TEST_F(StockReportCases, PeriodAndTitleTexts) {
    const Date next = kDay.addDays(1);
    EXPECT_EQ(PeriodText(kDay, kDay, "la data de ", "perioada "), "la data de 05.03.2024");
    EXPECT_EQ(PeriodText(kDay, next, "la data de ", "perioada "),
              "perioada 05.03.2024 - 06.03.2024");
    EXPECT_EQ(Declaration394PeriodLine({kDay, kDay}), "in perioada 05.03.2024 - 05.03.2024");
    EXPECT_EQ(LocationLine(""), "");
    EXPECT_EQ(LocationLine("DEPOZIT"), "Gestiunea : DEPOZIT");
    const auto texts = ActivitySummaryTexts(ActivitySummary{}, "FIRMA", {kDay, kDay, ""}, false);
    EXPECT_EQ(texts.at("PERIOADA"), "in ziua de 05.03.2024");
    EXPECT_EQ(texts.at("TVAPLATA"), "0.00");
    EXPECT_EQ(texts.at("GESTIUNE"), "");
}

TEST_F(StockReportCases, ActivityEntriesOfOtherCategoriesCountAsServices) {
    db().execute("INSERT INTO " + table("CapNIR") + " (IDNIR, DATANIR) VALUES (1, '05.03.2024')");
    db().execute("INSERT INTO " + table("ProdNIR") +
                 " (IDNIR, CATEG, GESTIUNE, VALAT) VALUES (1, 'MARFA', 'A', 10), (1, 'ALTELE', "
                 "'A', 1), (1, 'SERVICII', 'A', 2), (1, 'MARFA', 'B', 100)");
    const ActivitySummary s = ComputeActivitySummary(db(), {kDay, kDay, "A"});
    EXPECT_EQ(s.entries[3], D("10"));
    EXPECT_EQ(s.entries[5], D("3"));
    EXPECT_EQ(s.entriesTotal, D("13"));
}

TEST_F(StockReportCases, Declaration394TellsClientsApartByNameAndCode) {
    Invoice(1, "ALFA SRL", "RO123", "100.10", kDay);
    Invoice(2, "ALFA SRL", "123", "10", kDay);
    Invoice(3, "ALFA  SRL", "RO123", "-5.05", kDay);
    Invoice(4, "ALFA SRL", "RO123", "1", kDay.addDays(1));
    const auto rows = QueryDeclaration394(db(), {kDay, kDay});
    ASSERT_EQ(rows.rowCount(), 3u);
    const auto totals = SumDeclaration394(rows);
    EXPECT_EQ(totals.invoices, 3);
    EXPECT_EQ(totals.total, D("105.05"));
    EXPECT_EQ(SumDeclaration394(QueryDeclaration394(db(), {kDay, kDay, "ALT"})).invoices, 0);
}

TEST_F(StockReportCases, StatementPrintsAReceiptOlderThanItsStart) {
    Invoice(1, "BETA", "1", "300", kDay);
    db().execute("UPDATE " + table("FactOut") + " SET REST=100 WHERE IDFACTO=1");
    db().execute("INSERT INTO " + table("ChitOut") +
                 " (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA) VALUES "
                 "(1, 1, 'CHITANTA', 'C', 1, '01.03.2024', 50), (2, 1, 'CHITANTA', 'C', 2, "
                 "'06.03.2024', 100), (3, 1, 'OP', 'X', 3, '07.03.2024', 50)");
    auto receipts = QueryStatementReceipts(db());
    receipts.setFilter(StatementFilter("BETA", kDay));
    EXPECT_EQ(receipts.rowCount(), 2u);
    const auto printed = QueryClientStatement(db(), "BETA", kDay);
    ASSERT_EQ(printed.rowCount(), 3u);
    EXPECT_EQ(printed.at(0, printed.fieldIndex("CDATA")).toString(), "01.03.2024");
    const StatementTotals totals = SumStatement(printed);
    EXPECT_EQ(totals.invoiced, D("300"));
    EXPECT_EQ(totals.left, D("100"));
}

}  // namespace
}  // namespace tvx::core
