// The stock, activity, declaration 394 and client reports over a small generated shop: each
// report's rows and sums against the same figures made here straight from the whole tables
// (read with plain SELECT *), for a one-day period, an empty one, a month and a period across
// a year boundary, with and without a location.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "../CoreTestSupport.h"
#include "ShopGenerator.h"
#include "core/reports/ActivitySummary.h"
#include "core/reports/Declaration394.h"
#include "core/reports/StockReports.h"
#include "core/sales/ClientStatements.h"
#include "tables/Database.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;
using tables::ResultSet;

Decimal Sum(const ResultSet& rows, const char* field) {
    Decimal sum;
    const int c = rows.fieldIndex(field);
    for (size_t r = 0; r < rows.rowCount(); ++r)
        if (rows.at(r, c).isNumber()) sum += rows.at(r, c).number();
    return sum;
}

// One table read whole, row by row.
struct Table {
    ResultSet rows;
    Table(tables::Database& db, const char* name)
        : rows(db.query(std::string("SELECT * FROM ") + name)) {}
    size_t size() const { return rows.rowCount(); }
    Decimal n(size_t r, const char* f) const {
        const auto v = rows.at(r, rows.fieldIndex(f));
        return v.isNumber() ? v.number() : Decimal(0);
    }
    std::string s(size_t r, const char* f) const {
        return rows.at(r, rows.fieldIndex(f)).toString();
    }
    Date d(size_t r, const char* f) const { return rows.at(r, rows.fieldIndex(f)).date(); }
};

bool Within(Date d, const StockPeriod& p) {
    return !(d < p.from) && !(p.to < d);
}

class ReportsOverShop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new testsupport::ScratchDir();
        gen::GeneratorOptions options;
        options.scale = *Decimal::parse("0.01");
        options.seed = 11;
        gen::generateShop(dir_->path() / "Data", options);
        db_ = new tables::Database(dir_->path() / "Data", dir_->path());
    }
    static void TearDownTestSuite() {
        delete db_;
        delete dir_;
    }
    // The periods every report is checked over; the one-day period is a day with a sale.
    static std::vector<StockPeriod> Periods(const std::string& location) {
        Table sales(*db_, "FactOut");
        const Date day = sales.d(sales.size() / 2, "DATAOUT");
        return {{day, day, location},
                {Date::fromYmd(2010, 1, 1), Date::fromYmd(2010, 12, 31), location},
                {Date::fromYmd(2021, 3, 1), Date::fromYmd(2021, 3, 31), location},
                {Date::fromYmd(2019, 11, 15), Date::fromYmd(2020, 2, 10), location}};
    }
    static std::vector<StockPeriod> AllPeriods() {
        auto periods = Periods("");
        for (const auto& p : Periods("DEPOZIT")) periods.push_back(p);
        return periods;
    }
    static testsupport::ScratchDir* dir_;
    static tables::Database* db_;
};

testsupport::ScratchDir* ReportsOverShop::dir_ = nullptr;
tables::Database* ReportsOverShop::db_ = nullptr;

TEST_F(ReportsOverShop, StockMovesAreTheGoodsMovementsOfThePeriod) {
    Table cards(*db_, "CapFise"), moves(*db_, "Fise");
    std::map<std::string, size_t> card;
    for (size_t r = 0; r < cards.size(); ++r) card[cards.s(r, "IDCAP")] = r;
    struct Case {
        StockMoveKind kind;
        std::set<std::string> tips;
    };
    const std::vector<Case> cases = {{StockMoveKind::GoodsIn, {"INTRARE"}},
                                     {StockMoveKind::GoodsOut, {"IESIRE", "VANZARE"}},
                                     {StockMoveKind::Transfers, {"TRANSFER"}}};
    int nonEmpty = 0;
    for (const Case& c : cases)
        for (const StockPeriod& p : AllPeriods()) {
            size_t count = 0;
            Decimal in, out;
            for (size_t r = 0; r < moves.size(); ++r) {
                const size_t k = card.at(moves.s(r, "IDCAP"));
                if (!c.tips.contains(moves.s(r, "TIP")) || !Within(moves.d(r, "DINDATA"), p) ||
                    cards.s(k, "CATEG") != "MARFA" ||
                    (!p.location.empty() && cards.s(k, "GESTIUNE") != p.location))
                    continue;
                ++count;
                in += moves.n(r, "VALIN");
                out += moves.n(r, "VALOUT");
            }
            const ResultSet rows = QueryStockMoves(*db_, c.kind, p);
            const std::string where = std::string(StockMovesTitle(c.kind)) + " " +
                                      p.from.toString() + "-" + p.to.toString() + " " + p.location;
            ASSERT_EQ(rows.rowCount(), count) << where;
            if (c.kind != StockMoveKind::GoodsOut) EXPECT_EQ(Sum(rows, "VALIN"), in) << where;
            if (c.kind != StockMoveKind::GoodsIn) EXPECT_EQ(Sum(rows, "VALOUT"), out) << where;
            for (size_t r = 1; r < rows.rowCount(); ++r)
                EXPECT_LE(rows.at(r - 1, 0).toString(), rows.at(r, 0).toString()) << where;
            nonEmpty += count > 0;
        }
    EXPECT_GE(nonEmpty, 8);  // the cases are not all empty
}

TEST_F(ReportsOverShop, ConsumptionVouchersGroupByVoucher) {
    Table cards(*db_, "CapFise"), moves(*db_, "Fise");
    std::map<std::string, size_t> card;
    for (size_t r = 0; r < cards.size(); ++r) card[cards.s(r, "IDCAP")] = r;
    int nonEmpty = 0;
    for (const StockPeriod& p : AllPeriods()) {
        size_t count = 0;
        Decimal value;
        std::set<std::string> vouchers;
        for (size_t r = 0; r < moves.size(); ++r) {
            const size_t k = card.at(moves.s(r, "IDCAP"));
            if (moves.s(r, "TIP") != "IESIRE" || moves.s(r, "DOCJUS").rfind("BON", 0) != 0 ||
                !Within(moves.d(r, "DINDATA"), p) ||
                (!p.location.empty() && cards.s(k, "GESTIUNE") != p.location))
                continue;
            ++count;
            value += moves.n(r, "VALOUT");
            vouchers.insert(cards.s(k, "GESTIUNE") + " :  " + moves.s(r, "DOCJUS") + " Nr." +
                            moves.s(r, "NRDOC") + " / " + moves.s(r, "DINDATA"));
        }
        const ResultSet rows = QueryConsumptionVouchers(*db_, p);
        ASSERT_EQ(rows.rowCount(), count);
        EXPECT_EQ(Sum(rows, "VALOUT"), value);
        // Each voucher is one run of rows: its header text starts a group exactly once.
        std::set<std::string> seen;
        for (size_t r = 0; r < rows.rowCount(); ++r) {
            const std::string g = rows.at(r, rows.fieldIndex("GRUPA")).toString();
            if (r == 0 || g != rows.at(r - 1, rows.fieldIndex("GRUPA")).toString())
                EXPECT_TRUE(seen.insert(g).second) << g;
        }
        EXPECT_EQ(seen, vouchers);
        nonEmpty += count > 0;
    }
    EXPECT_GE(nonEmpty, 2);
}

TEST_F(ReportsOverShop, MarkupIsSalePriceLessFirstPurchasePrice) {
    Table sales(*db_, "FactOut"), lines(*db_, "ProdOut"), nir(*db_, "ProdNIR");
    std::map<std::string, Decimal> bought;  // IDCAP -> PRETU of its NIR line
    for (size_t r = 0; r < nir.size(); ++r) bought.emplace(nir.s(r, "IDCAP"), nir.n(r, "PRETU"));
    std::map<std::string, Date> dated;
    for (size_t r = 0; r < sales.size(); ++r) dated[sales.s(r, "IDFACTO")] = sales.d(r, "DATAOUT");
    for (const StockPeriod& p : Periods("")) {
        size_t count = 0;
        Decimal markup;
        for (size_t r = 0; r < lines.size(); ++r) {
            if (!Within(dated.at(lines.s(r, "IDFACTO")), p)) continue;
            ++count;
            const auto it = bought.find(lines.s(r, "IDCAP"));
            const Decimal in = it == bought.end() ? Decimal(0) : it->second;
            markup += ((lines.n(r, "PRETOUT") - in) * lines.n(r, "CANT")).rounded(2);
        }
        const ResultSet rows = ComputeMarkupSummary(*db_, true, p.from, p.to);
        ASSERT_EQ(rows.rowCount(), count);
        EXPECT_EQ(Sum(rows, "ADAOS"), markup) << p.from.toString();
        for (size_t r = 1; r < rows.rowCount(); ++r)
            EXPECT_LE(rows.at(r - 1, rows.fieldIndex("FF")).toString(),
                      rows.at(r, rows.fieldIndex("FF")).toString());
    }
}

TEST_F(ReportsOverShop, ActivitySummaryAddsUpTheTables) {
    Table in(*db_, "FactIn"), paid(*db_, "ChitIn"), nirs(*db_, "CapNIR"), nir(*db_, "ProdNIR"),
        cards(*db_, "CapFise"), out(*db_, "FactOut"), lines(*db_, "ProdOut"), got(*db_, "ChitOut");
    for (const StockPeriod& p : AllPeriods()) {
        ActivitySummary e;
        for (size_t r = 0; r < in.size(); ++r) {
            e.leftToPay += in.n(r, "REST");
            if (!Within(in.d(r, "DATAIN"), p)) continue;
            e.purchasesValue += in.n(r, "VALOARE");
            e.purchasesVat += in.n(r, "TOTAL") - in.n(r, "VALOARE");
        }
        for (size_t r = 0; r < paid.size(); ++r)
            if (Within(paid.d(r, "DATAC"), p)) e.paid += paid.n(r, "PLATIT");
        std::set<std::string> periodNirs;
        for (size_t r = 0; r < nirs.size(); ++r)
            if (Within(nirs.d(r, "DATANIR"), p)) periodNirs.insert(nirs.s(r, "IDNIR"));
        std::map<std::string, Decimal> byCategory;
        for (size_t r = 0; r < nir.size(); ++r)
            if (periodNirs.contains(nir.s(r, "IDNIR")) &&
                (p.location.empty() || nir.s(r, "GESTIUNE") == p.location))
                byCategory[nir.s(r, "CATEG")] += nir.n(r, "VALAT");
        for (size_t r = 0; r < cards.size(); ++r)
            if (p.location.empty() || cards.s(r, "GESTIUNE") == p.location)
                e.stockValue += cards.n(r, "STOC") * cards.n(r, "PRETOUT");
        std::set<std::string> periodSales;
        for (size_t r = 0; r < out.size(); ++r) {
            e.leftToCollect += out.n(r, "REST");
            if (!Within(out.d(r, "DATAOUT"), p)) continue;
            periodSales.insert(out.s(r, "IDFACTO"));
            e.salesValue += out.n(r, "VALTOT");
            e.salesVat += out.n(r, "TVATOT");
        }
        for (size_t r = 0; r < lines.size(); ++r) {
            if (!periodSales.contains(lines.s(r, "IDFACTO"))) continue;
            const bool goods = !lines.n(r, "IDFISA").isNegative();
            (goods ? e.goodsValue : e.servicesValue) += lines.n(r, "VALOUT");
            (goods ? e.goodsVat : e.servicesVat) += lines.n(r, "VALTVA");
        }
        for (size_t r = 0; r < got.size(); ++r)
            if (Within(got.d(r, "DATAOUT"), p)) e.collected += got.n(r, "SUMA");

        const ActivitySummary s = ComputeActivitySummary(*db_, p);
        const std::string where = p.from.toString() + "-" + p.to.toString() + " " + p.location;
        const std::vector<std::pair<Decimal, Decimal>> pairs = {
            {s.purchasesValue, e.purchasesValue},
            {s.purchasesVat, e.purchasesVat},
            {s.leftToPay, e.leftToPay},
            {s.paid, e.paid},
            {s.stockValue, e.stockValue},
            {s.salesValue, e.salesValue},
            {s.salesVat, e.salesVat},
            {s.leftToCollect, e.leftToCollect},
            {s.goodsValue, e.goodsValue},
            {s.goodsVat, e.goodsVat},
            {s.servicesValue, e.servicesValue},
            {s.servicesVat, e.servicesVat},
            {s.collected, e.collected}};
        for (size_t i = 0; i < pairs.size(); ++i)
            EXPECT_EQ(pairs[i].first, pairs[i].second) << where << " figure " << i;
        Decimal total;
        for (size_t i = 0; i < kActivitySlots.size(); ++i) {
            const auto it = byCategory.find(kActivitySlots[i]);
            if (i + 1 < kActivitySlots.size())
                EXPECT_EQ(s.entries[i], it == byCategory.end() ? Decimal(0) : it->second)
                    << where << " " << kActivitySlots[i];
        }
        for (const auto& [category, value] : byCategory) total += value;
        EXPECT_EQ(s.entriesTotal, total) << where;
        Decimal slots;
        for (const Decimal& v : s.entries) slots += v;
        EXPECT_EQ(slots, total) << where;
        EXPECT_EQ(s.vatToPay(true), e.salesVat - e.purchasesVat);
        EXPECT_EQ(s.vatToPay(false), Decimal(0));
    }
}

TEST_F(ReportsOverShop, Declaration394AgreesClientByClientWithTheInvoices) {
    Table out(*db_, "FactOut");
    for (const StockPeriod& p : AllPeriods()) {
        std::map<std::pair<std::string, std::string>, std::pair<long long, Decimal>> expected;
        for (size_t r = 0; r < out.size(); ++r) {
            if (!Within(out.d(r, "DATAOUT"), p) ||
                (!p.location.empty() && out.s(r, "GESTIUNE") != p.location))
                continue;
            auto& e = expected[{out.s(r, "SOC2"), out.s(r, "CUI2")}];
            ++e.first;
            e.second += out.n(r, "TOTAL");
        }
        const ResultSet rows = QueryDeclaration394(*db_, p);
        ASSERT_EQ(rows.rowCount(), expected.size());
        long long invoices = 0;
        Decimal total;
        for (size_t r = 0; r < rows.rowCount(); ++r) {
            const auto& e = expected.at({rows.at(r, 0).toString(), rows.at(r, 1).toString()});
            EXPECT_EQ(rows.at(r, 2).number(), Decimal(e.first));
            EXPECT_EQ(rows.at(r, 3).number(), e.second);
            invoices += e.first;
            total += e.second;
        }
        const Declaration394Totals sums = SumDeclaration394(rows);
        EXPECT_EQ(sums.invoices, invoices);
        EXPECT_EQ(sums.total, total);
    }
}

TEST_F(ReportsOverShop, ClientStatementCountsEachInvoiceOnceWithAllItsReceipts) {
    Table out(*db_, "FactOut"), got(*db_, "ChitOut");
    std::map<std::string, int> receipts;  // IDFACTO -> receipts
    for (size_t r = 0; r < got.size(); ++r) ++receipts[got.s(r, "IDFACTO")];
    const std::vector<std::string> buyers = BuyerNames(*db_);
    ASSERT_GE(buyers.size(), 3u);
    for (const std::string& buyer : {buyers[0], buyers[buyers.size() / 2]})
        for (const Date since :
             {Date::fromYmd(2010, 1, 1), Date::fromYmd(2020, 6, 1), Date::fromYmd(2030, 1, 1)}) {
            StatementTotals e;
            size_t rows = 0;
            for (size_t r = 0; r < out.size(); ++r) {
                if (out.s(r, "SOC2") != buyer || out.d(r, "DATAOUT") < since) continue;
                e.invoiced += out.n(r, "TOTAL");
                e.left += out.n(r, "REST");
                rows += std::max(1, receipts[out.s(r, "IDFACTO")]);
            }
            const ResultSet printed = QueryClientStatement(*db_, buyer, since);
            EXPECT_EQ(printed.rowCount(), rows);
            const StatementTotals s = SumStatement(printed);
            EXPECT_EQ(s.invoiced, e.invoiced) << buyer;
            EXPECT_EQ(s.left, e.left) << buyer;
            // The window's filtered list gives the same totals.
            ResultSet listed = QueryStatementInvoices(*db_);
            listed.setFilter(StatementFilter(buyer, since));
            const StatementTotals w = SumStatement(listed);
            EXPECT_EQ(w.invoiced, e.invoiced);
            EXPECT_EQ(w.left, e.left);
        }
}

TEST_F(ReportsOverShop, UnpaidSelectionByItemByBeginningOrAll) {
    Table out(*db_, "FactOut");
    const std::vector<std::string> items = SelectionBuyers(BuyerNames(*db_));
    const std::string item = items[1];
    const std::string start = item.substr(0, 3);
    const StockPeriod p{Date::fromYmd(2016, 1, 1), Date::fromYmd(2025, 12, 31)};
    for (const std::string& buyer : {std::string(), std::string(kAllBuyers), item, start}) {
        size_t count = 0;
        for (size_t r = 0; r < out.size(); ++r) {
            const std::string soc = out.s(r, "SOC2");
            const bool chosen = buyer.empty() || buyer == kAllBuyers ||
                                (buyer == item ? soc == item : soc.rfind(buyer, 0) == 0);
            count += chosen && out.n(r, "REST") > Decimal(0) && Within(out.d(r, "DATAOUT"), p);
        }
        const ResultSet rows = QueryUnpaidSelection(*db_, {buyer, p.from, p.to}, items);
        EXPECT_EQ(rows.rowCount(), count) << "'" << buyer << "'";
        EXPECT_GT(count, 0u);
    }
}

}  // namespace
}  // namespace tvx::core
