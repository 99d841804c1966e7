// Tests of the product picker over a real Stoc.dbf work table and of the advanced search over
// CapFise: the switch and its setting, prefix filtering (quotes in names included), the
// barcode lookup, the total, the checks of "&Adauga" and what it hands back, and the search by
// a word across stock locations with its title-click order.
#include "../stock/StockTestSupport.h"
#include "core/common/TableLayouts.h"
#include "core/sales/ProductPicker.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

class ProductPickerTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        picker_.emplace(*db_);
        stock_ = dir_.path() / "Stoc.dbf";
        db_->execute(createTableStatement(tableLayout("Stoc"), stock_));
        Lot(1, "MARFA", "FILTRU ULEI", "BUC", "12.35", "5", "5941", "5");
        Lot(2, "MARFA", "FILTRU AER", "BUC", "40", "2", "5942", "0");  // taken by this document
        Lot(3, "PIESE", "FILTRU POLEN", "BUC", "30", "4", "5943", "4");
        Lot(4, "MARFA", "BEC H4", "BUC", "10", "8", "", "8");
        Lot(5, "MARFA", "FILTRU ULEI", "BUC", "13", "1", "5944", "1");  // a second lot
    }

    void Lot(int id, const char* categ, const char* product, const char* unit, const char* price,
             const char* stock, const char* barcode, const char* rest) {
        db_->execute("INSERT INTO " + QuotedPath(stock_) +
                         " (IDCAP, CATEG, PRODUS, UM, PRETOUT, STOC, CODBARE, REST) VALUES "
                         "(:id, :c, :p, :u, :pr, :s, :b, :r)",
                     {{"id", id},
                      {"c", categ},
                      {"p", product},
                      {"u", unit},
                      {"pr", D(price)},
                      {"s", D(stock)},
                      {"b", barcode},
                      {"r", D(rest)}});
    }

    // The picker opened as the editor opens it, with the switch as stored.
    ProductPicker& Open(const char* onlyGoods = "NU") {
        settings_->writeSetting("CONST", "DOARMARFA", onlyGoods);
        picker_->open(stock_, *settings_, Day(9, 12, 2026));
        return *picker_;
    }

    std::vector<long long> ShownIds() {
        std::vector<long long> ids;
        tables::ResultSet& rows = picker_->rows();
        const int col = rows.fieldIndex("IDCAP");
        for (size_t r = 0; r < rows.rowCount(); ++r)
            ids.push_back(rows.at(r, col).number().toLongLong());
        return ids;
    }

    long long CurrentId() { return picker_->rows().asNumber("IDCAP").toLongLong(); }

    std::filesystem::path stock_;
    std::optional<ProductPicker> picker_;
};

// ---- opening and the switch ----

TEST_F(ProductPickerTest, OpenResetsEveryFieldAndShowsAllLotsByName) {
    ProductPicker& p = Open();
    p.name = "X";
    p.quantity = "7";
    p.remark = "r";
    p.section = "s";
    p.barcode = "1";
    p.total = "9";
    p.open(stock_, *settings_, Day(1, 2, 2027));
    EXPECT_EQ(p.name, "");
    EXPECT_EQ(p.quantity, "1");
    EXPECT_EQ(p.barcode, "");
    EXPECT_EQ(p.remark, "");
    EXPECT_EQ(p.section, "");
    EXPECT_EQ(p.total, "0");
    EXPECT_EQ(p.warranty, Day(1, 2, 2027));
    EXPECT_FALSE(p.result());
    EXPECT_EQ(p.rows().filter(), "");
    EXPECT_EQ(ShownIds(), (std::vector<long long>{4, 2, 3, 1, 5}));
}

TEST_F(ProductPickerTest, SwitchHidesOtherCategoriesAndExhaustedLots) {
    ProductPicker& p = Open("DA");
    EXPECT_TRUE(p.onlyGoods);
    EXPECT_EQ(ShownIds(), (std::vector<long long>{4, 1, 5}));
    p.onlyGoods = false;
    p.switchChanged();
    EXPECT_EQ(ShownIds().size(), 5u);
}

TEST_F(ProductPickerTest, SwitchKeepsTheTypedNameFilterAndIsStoredOnClose) {
    ProductPicker& p = Open();
    EXPECT_FALSE(p.onlyGoods);
    p.name = "FILTRU";
    p.nameChanged();
    EXPECT_EQ(ShownIds(), (std::vector<long long>{2, 3, 1, 5}));
    p.onlyGoods = true;
    p.switchChanged();
    EXPECT_EQ(ShownIds(), (std::vector<long long>{1, 5}));
    p.close(*settings_);
    EXPECT_EQ(settings_->readSetting("CONST", "DOARMARFA"), "DA");
    Open("DA").onlyGoods = false;
    picker_->close(*settings_);
    EXPECT_EQ(settings_->readSetting("CONST", "DOARMARFA"), "NU");
}

TEST_F(ProductPickerTest, MissingWorkTableIsAnEngineError) {
    std::filesystem::remove(stock_);
    EXPECT_THROW(Open(), tables::EngineError);
}

// ---- typing a name, barcodes, choosing a row ----

TEST_F(ProductPickerTest, PrefixFiltersButAddRefusesUntilTheExactName) {
    ProductPicker& p = Open();
    p.name = "FILTRU U";
    p.nameChanged();
    EXPECT_EQ(ShownIds(), (std::vector<long long>{1, 5}));
    EXPECT_EQ(p.barcode, "");
    auto problem = p.add();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, ProductPicker::kNameField);
    EXPECT_EQ(problem->message, "Produsul nu exista pe stoc!");
    EXPECT_FALSE(p.result());

    p.name = "FILTRU ULEI";
    p.nameChanged();
    EXPECT_EQ(CurrentId(), 1);
    EXPECT_EQ(p.barcode, "5941");
    EXPECT_FALSE(p.add());
    ASSERT_TRUE(p.result());
    EXPECT_EQ(p.result()->idCap, 1);
}

TEST_F(ProductPickerTest, EmptyNameClearsTheFilterAndNoMatchShowsNothing) {
    ProductPicker& p = Open();
    p.name = "ZZZ";
    p.nameChanged();
    EXPECT_FALSE(p.hasRows());
    EXPECT_EQ(p.total, "0");
    EXPECT_EQ(p.add()->message, ProductPicker::kNotInStock);
    p.name = "";
    p.nameChanged();
    EXPECT_EQ(ShownIds().size(), 5u);
}

TEST_F(ProductPickerTest, NamesWithQuotesFilterSafely) {
    Lot(6, "MARFA", "CAPAC 3/4\" ALB", "BUC", "2", "1", "", "1");
    Lot(7, "MARFA", "BEC 'H7'", "BUC", "3", "1", "", "1");
    ProductPicker& p = Open();
    p.name = "CAPAC 3/4\"";
    p.nameChanged();
    EXPECT_EQ(ShownIds(), (std::vector<long long>{6}));
    p.name = "BEC 'H";
    p.nameChanged();
    EXPECT_EQ(ShownIds(), (std::vector<long long>{7}));
    p.name = "BEC 'H7'";
    p.nameChanged();
    EXPECT_FALSE(p.add());
    EXPECT_EQ(p.result()->idCap, 7);
}

TEST_F(ProductPickerTest, BarcodeFindsItsLotAmongSeveralOfOneName) {
    ProductPicker& p = Open();
    p.quantity = "2";
    p.barcode = "5944";
    p.barcodeEntered();
    EXPECT_EQ(p.name, "FILTRU ULEI");
    EXPECT_EQ(CurrentId(), 5);
    EXPECT_EQ(p.total, "26");
    EXPECT_FALSE(p.add());
    EXPECT_EQ(p.result()->idCap, 5);
    EXPECT_EQ(p.result()->price, D("13"));
}

TEST_F(ProductPickerTest, UnknownBarcodeEmptiesTheNameAndLeavesTheGridUnfiltered) {
    ProductPicker& p = Open();
    p.name = "FILTRU";
    p.nameChanged();
    ASSERT_EQ(ShownIds().size(), 4u);
    p.barcode = "0000";
    p.barcodeEntered();
    EXPECT_EQ(p.name, "");
    EXPECT_EQ(ShownIds().size(), 5u);
    EXPECT_EQ(p.total, "0");
}

TEST_F(ProductPickerTest, BlankBarcodeDoesNotPickALotWithoutBarcode) {
    ProductPicker& p = Open();
    p.name = "FILTRU";
    p.barcode = "  ";
    p.barcodeEntered();
    EXPECT_EQ(p.name, "FILTRU");
}

TEST_F(ProductPickerTest, ChoosingARowAndEnterInTheNameCompleteTheName) {
    ProductPicker& p = Open();
    p.rows().moveTo(2);  // FILTRU POLEN
    p.rowChosen();
    EXPECT_EQ(p.name, "FILTRU POLEN");
    EXPECT_EQ(p.barcode, "5943");
    EXPECT_EQ(p.total, "30");
    EXPECT_EQ(p.currentUnit(), "BUC");

    p.name = "BE";
    p.nameChanged();
    p.nameEntered();
    EXPECT_EQ(p.name, "BEC H4");
    EXPECT_EQ(CurrentId(), 4);
}

// ---- total and "&Adauga" ----

TEST_F(ProductPickerTest, TotalIsQuantityTimesTheCurrentLotsPrice) {
    ProductPicker& p = Open();
    p.name = "FILTRU ULEI";
    p.nameChanged();
    EXPECT_EQ(p.total, "12.35");
    p.quantity = "3";
    p.quantityChanged();
    EXPECT_EQ(p.total, "37.05");
    p.quantity = "0.5";
    p.quantityChanged();
    EXPECT_EQ(p.total, "6.175");
    p.quantity = "-";
    p.quantityChanged();
    EXPECT_EQ(p.total, "0");
}

TEST_F(ProductPickerTest, NegativeQuantityIsAcceptedAndZeroRefused) {
    ProductPicker& p = Open();
    p.name = "BEC H4";
    p.nameChanged();
    for (const char* zero : {"0", "", "0.00"}) {
        p.quantity = zero;
        auto problem = p.add();
        ASSERT_TRUE(problem) << zero;
        EXPECT_EQ(problem->field, ProductPicker::kQuantityField);
        EXPECT_EQ(problem->message, "Nu ati scris Cantitatea!");
    }
    p.quantity = "-2";
    EXPECT_FALSE(p.add());
    EXPECT_EQ(p.result()->quantity, D("-2"));
    // More than the lot still holds is taken too.
    p.quantity = "100";
    EXPECT_FALSE(p.add());
    EXPECT_EQ(p.result()->quantity, D("100"));
}

TEST_F(ProductPickerTest, AddHandsBackTheLotWithCleanedSectionAndJoinedRemark) {
    ProductPicker& p = Open();
    p.name = "FILTRU AER";
    p.nameChanged();
    p.quantity = "1.5";
    p.section = "  TINICHIGERIE   'A'  ";
    p.remark = "prima\r\na doua";
    p.warranty = Day(1, 6, 2027);
    EXPECT_FALSE(p.add());
    EXPECT_EQ(p.section, "TINICHIGERIE `A`");
    const ProductPick& pick = *p.result();
    EXPECT_EQ(pick.idCap, 2);
    EXPECT_EQ(pick.quantity, D("1.5"));
    EXPECT_EQ(pick.price, D("40"));
    EXPECT_EQ(pick.warranty, Day(1, 6, 2027));
    EXPECT_EQ(pick.remark, "primaa doua");
    EXPECT_EQ(pick.section, "TINICHIGERIE `A`");
}

// ---- advanced search ----

class ProductSearchTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        search_.emplace(*db_);
    }
    void Card(int id, const char* location, const char* categ, const char* product,
              const char* stock) {
        db_->execute(
            "INSERT INTO CapFise (IDCAP, GESTIUNE, CATEG, PRODUS, UM, PRETIN, PRETOUT, STOC) "
            "VALUES (:id, :g, :c, :p, 'BUC', :in, :out, :s)",
            {{"id", id},
             {"g", location},
             {"c", categ},
             {"p", product},
             {"in", D("1") + Decimal(id)},
             {"out", D("20") - Decimal(id)},
             {"s", D(stock)}});
    }
    std::vector<std::string> Names() {
        std::vector<std::string> out;
        auto& rows = search_->rows();
        for (size_t r = 0; r < rows.rowCount(); ++r)
            out.push_back(rows.at(r, rows.fieldIndex("PRODUS")).toString());
        return out;
    }
    std::optional<ProductSearch> search_;
};

TEST_F(ProductSearchTest, WordFindsGoodsInEveryLocationWithOrWithoutStock) {
    Card(1, "MAGAZIN", "MARFA", "ULEI MOTOR 5W30", "3");
    Card(2, "DEPOZIT", "MARFA", "FILTRU ULEI", "0");
    Card(3, "MAGAZIN", "PIESE", "ULEI CUTIE", "2");
    Card(4, "DEPOZIT", "MARFA", "ANTIGEL", "5");
    search_->open();
    EXPECT_EQ(Names(), (std::vector<std::string>{"ANTIGEL", "FILTRU ULEI", "ULEI MOTOR 5W30"}));
    search_->word = "ULEI";
    search_->wordChanged();
    EXPECT_EQ(Names(), (std::vector<std::string>{"FILTRU ULEI", "ULEI MOTOR 5W30"}));
    EXPECT_EQ(search_->choose(), "FILTRU ULEI");
    search_->word = "NIMIC";
    search_->wordChanged();
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(search_->choose(), "");
    // A quote in the word is a value, not statement text.
    search_->word = "O'";
    EXPECT_NO_THROW(search_->wordChanged());
    EXPECT_TRUE(Names().empty());
}

TEST_F(ProductSearchTest, OpenClearsTheWordAndTheOrder) {
    Card(1, "MAGAZIN", "MARFA", "B", "1");
    Card(2, "MAGAZIN", "MARFA", "A", "1");
    search_->open();
    search_->word = "A";
    search_->sortBy("STOC");
    search_->open();
    EXPECT_EQ(search_->word, "");
    EXPECT_EQ(search_->orderField(), "PRODUS");
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(ProductSearchTest, TitleClickOrdersByThatColumnKeepingTheCurrentCard) {
    Card(1, "MAGAZIN", "MARFA", "C", "1");
    Card(2, "MAGAZIN", "MARFA", "A", "1");
    Card(3, "MAGAZIN", "MARFA", "B", "1");
    search_->open();
    search_->rows().moveTo(1);  // B, IDCAP 3
    search_->sortBy("pretin");
    EXPECT_EQ(Names(), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(search_->rows().asNumber("IDCAP"), Decimal(3));
    search_->sortBy("PRETOUT");
    EXPECT_EQ(Names(), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(search_->choose(), "B");
    EXPECT_THROW(search_->sortBy("IDCAP; DROP"), tables::EngineError);
    EXPECT_EQ(search_->orderField(), "PRETOUT");
}

}  // namespace
}  // namespace tvx::core
