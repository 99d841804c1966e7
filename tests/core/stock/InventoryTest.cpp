// The warehouse view: grouping by sale price or, for products out of stock, over all prices;
// the location, product and category conditions; the stock filter; the total shown; and the
// printout's refusal of an empty list.
#include <algorithm>

#include "StockTestSupport.h"
#include "core/stock/Inventory.h"
#include "core/stock/StockCards.h"

namespace tvx::core::stocktest {
namespace {

class InventoryTest : public StockTest {
  protected:
    // A lot in `location` receiving `in` and then losing `out`.
    void Lot(const std::string& location, const std::string& category, const std::string& product,
             const char* sale, const char* in, const char* out = "0") {
        const long long card =
            FindOrCreateLot(*db_, *settings_, location, category, product, "BUC", D("1"), D(sale));
        Movement m = EntryMovement(D(in), D(in) * D(sale));
        m.idFisa = settings_->nextNumber("IDFISA");
        m.tip = kMoveEntry;
        PostEntry(*db_, card, m);
        if (D(out).isZero()) return;
        Movement x = ExitMovement(D(out), D(out) * D(sale));
        x.idFisa = settings_->nextNumber("IDFISA");
        x.tip = kMoveExit;
        PostExit(*db_, card, x);
    }
    void SetUp() override {
        StockTest::SetUp();
        Lot("MAGAZIN", "MARFA", "ULEI", "10.00", "3");
        Lot("MAGAZIN", "MARFA", "ULEI", "12.50", "2", "2");  // a lot sold out
        Lot("DEPOZIT", "MARFA", "ULEI", "10.00", "4");       // same price elsewhere
        Lot("DEPOZIT", "MARFA", "ULEI", "11.00", "1");
        Lot("MAGAZIN", "MARFA", "FILTRU", "20.00", "1", "1");  // every lot at 0...
        Lot("DEPOZIT", "MARFA", "FILTRU", "25.00", "2", "2");
        Lot("MAGAZIN", "AMBALAJ", "CUTIE", "0.35", "10");
    }
    // "PRODUS@PRETOUT=STOCT/STOCV" of every row shown, in order.
    std::vector<std::string> Rows(const InventoryChoice& choice) {
        tables::ResultSet rows = QueryInventory(*db_, choice);
        std::vector<std::string> out;
        const bool priced = rows.findField("PRETOUT") >= 0;
        for (rows.first(); !rows.eof(); rows.next())
            out.push_back(rows.asText("PRODUS") +
                          (priced ? "@" + rows.asNumber("PRETOUT").toPlainString() : "") + "=" +
                          rows.asNumber("STOCT").toPlainString() + "/" +
                          rows.asNumber("STOCV").toPlainString());
        return out;
    }
};

TEST_F(InventoryTest, ChoicesGroupAndFilterTheCards) {
    struct Case {
        InventoryChoice choice;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        // Same product and price in two locations: one row; categories ordered first.
        {{},
         {"CUTIE@0.35=10/3.5", "FILTRU@20=0/0", "FILTRU@25=0/0", "ULEI@10=7/70", "ULEI@11=1/11",
          "ULEI@12.5=0/0"}},
        {{.location = "MAGAZIN"},
         {"CUTIE@0.35=10/3.5", "FILTRU@20=0/0", "ULEI@10=3/30", "ULEI@12.5=0/0"}},
        {{.location = "MAGAZIN", .product = "ULEI"}, {"ULEI@10=3/30", "ULEI@12.5=0/0"}},
        {{.category = "AMBALAJ"}, {"CUTIE@0.35=10/3.5"}},
        {{.location = "DEPOZIT", .category = "AMBALAJ"}, {}},
        // Each price with stock on its own row; the sold-out prices are left out.
        {{.stock = StockState::InStock}, {"CUTIE@0.35=10/3.5", "ULEI@10=7/70", "ULEI@11=1/11"}},
        // Out of stock only when every lot is at 0: FILTRU once, without price; ULEI not.
        {{.stock = StockState::Exhausted}, {"FILTRU=0/0"}},
        {{.location = "DEPOZIT", .stock = StockState::Exhausted}, {"FILTRU=0/0"}},
    };
    // The order is by category and product; the prices of one product may come in any order.
    const auto products = [](std::vector<std::string> rows) {
        for (std::string& r : rows) r = r.substr(0, r.find_first_of("@="));
        return rows;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice.location + "|" + c.choice.product + "|" + c.choice.category);
        std::vector<std::string> rows = Rows(c.choice), expected = c.rows;
        EXPECT_EQ(products(rows), products(expected));
        std::sort(rows.begin(), rows.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rows, expected);
    }
}

TEST_F(InventoryTest, TotalIsTheExactSumOfTheRowsShown) {
    tables::ResultSet all = QueryInventory(*db_, {});
    tables::ResultSet inStock = QueryInventory(*db_, {.stock = StockState::InStock});
    EXPECT_EQ(InventoryTotal(all), D("84.5"));
    // The rows left out are worth 0: the stock filter leaves the total as it is.
    EXPECT_EQ(InventoryTotal(inStock), InventoryTotal(all));
    EXPECT_EQ(InventoryTotalText(InventoryTotal(all)), "84.50 lei");
    EXPECT_EQ(InventoryTotal(QueryInventory(*db_, {.location = "DEPOZIT"})), D("51"));
    // A negative stock lowers the total; sums of many small lots stay exact.
    Lot("MAGAZIN", "MARFA", "SIGURANTA", "0.01", "3", "5");
    EXPECT_EQ(InventoryTotal(QueryInventory(*db_, {})), D("84.48"));
}

TEST_F(InventoryTest, ListsStartWithTheirAllItemAndMapToNoCondition) {
    EXPECT_EQ(InventoryProducts(*db_),
              (std::vector<std::string>{kAllProducts, "CUTIE", "FILTRU", "ULEI"}));
    const InventoryChoice all =
        InventoryChoice::FromLists(kAllLocations, kAllProducts, kAllCategories, kExhausted);
    EXPECT_EQ(all.location + all.product + all.category, "");
    EXPECT_EQ(all.stock, StockState::Exhausted);
    EXPECT_EQ(InventoryChoice::FromLists("MAGAZIN", "ULEI", "MARFA", kAnyStock).category, "MARFA");
}

TEST_F(InventoryTest, TypedValuesAreBoundNotSpliced) {
    const InventoryStatement s =
        BuildInventoryStatement("CapFise", {.location = "A\" OR 1=1 OR \"", .product = "P"});
    EXPECT_EQ(s.sql.find("OR 1=1"), std::string::npos);
    EXPECT_NE(s.sql.find("WHERE (GESTIUNE=:GESTIUNE) AND (PRODUS=:PRODUS)"), std::string::npos);
    EXPECT_TRUE(Rows({.location = "MAGAZIN\" OR GESTIUNE<>\""}).empty());
}

TEST_F(InventoryTest, PrintingNeedsAProductRow) {
    EXPECT_FALSE(PrintInventoryProblem(QueryInventory(*db_, {})));
    const auto none = PrintInventoryProblem(QueryInventory(*db_, {.location = "ALTA"}));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->message, "Nu aveti ce lista!");
    EXPECT_EQ(none->field, kInventoryPrintField);
    // A card without a product name alone is nothing to print either.
    db_->execute("DELETE FROM CapFise");
    Lot("MAGAZIN", "MARFA", "", "1.00", "1");
    EXPECT_TRUE(PrintInventoryProblem(QueryInventory(*db_, {})));
}

}  // namespace
}  // namespace tvx::core::stocktest
