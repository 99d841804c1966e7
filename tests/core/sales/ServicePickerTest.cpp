// Tests of the service picker over real ProdOut lines: the name list, the unit and price an
// earlier service line proposes (the newest invoice's, cut to cents), names without such a
// line, the catalog taken over, the total, and the checks of "Adauga" in their order.
#include "../stock/StockTestSupport.h"
#include "core/sales/ServicePicker.h"

namespace tvx::core {
namespace {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

class ServicePickerTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        picker_.emplace(*db_);
    }

    // A stored invoice line; IDFISA -1 marks a service line.
    void Line(int idFacto, int idFisa, const char* product, const char* unit, const char* cant,
              const char* pretOut, const char* valTva) {
        db_->execute(
            "INSERT INTO ProdOut (IDFACTO, IDFISA, IDCAP, NRCRT, PRODUS, UM, CANT, PRETOUT, "
            "VALOUT, VALTVA, IDCAT) VALUES (:f, :fisa, :cap, 1, :p, :u, :q, :pr, :v, :t, 0)",
            {{"f", idFacto},
             {"fisa", idFisa},
             {"cap", idFisa == -1 ? -1 : 9},
             {"p", product},
             {"u", unit},
             {"q", D(cant)},
             {"pr", D(pretOut)},
             {"v", D(cant) * D(pretOut)},
             {"t", D(valTva)}});
    }

    ServicePicker& Open() {
        picker_->open(Day(9, 12, 2026));
        return *picker_;
    }

    std::optional<ServicePicker> picker_;
};

TEST_F(ServicePickerTest, OpenListsEveryInvoicedNameAndResets) {
    Line(1, -1, "SPALARE", "BUC", "1", "20", "3.80");
    Line(2, 5, "FILTRU ULEI", "BUC", "2", "10", "3.80");
    Line(3, -1, "SPALARE", "BUC", "1", "25", "4.75");
    Line(3, -1, "", "BUC", "1", "1", "0");
    Line(3, -1, "ALINIERE", "ORA", "1", "50", "9.50");
    ServicePicker& p = Open();
    EXPECT_EQ(p.names(), (std::vector<std::string>{"ALINIERE", "FILTRU ULEI", "SPALARE"}));
    EXPECT_EQ(p.history().rowCount(), 4u);
    p.name = "X";
    p.unit = "KG";
    p.quantity = "3";
    p.price = "9";
    p.total = "27.00";
    p.remark = "r";
    p.idCat = 4;
    p.open(Day(2, 1, 2027));
    EXPECT_EQ(p.name, "");
    EXPECT_EQ(p.unit, "BUC");
    EXPECT_EQ(p.quantity, "1");
    EXPECT_EQ(p.price, "0");
    EXPECT_EQ(p.total, "0");
    EXPECT_EQ(p.remark, "");
    EXPECT_EQ(p.warranty, Day(2, 1, 2027));
    EXPECT_EQ(p.idCat, 0);
}

TEST_F(ServicePickerTest, ChosenNameTakesTheNewestServiceLinesUnitAndPrice) {
    Line(3, -1, "REGLAJ", "ORA", "1", "20", "3.80");
    Line(8, -1, "REGLAJ", "H", "1", "25.21", "4.79");  // the newest invoice
    Line(5, -1, "REGLAJ", "BUC", "1", "30", "5.70");
    ServicePicker& p = Open();
    p.quantity = "2";
    p.name = "REGLAJ";
    p.nameChosen();
    EXPECT_EQ(p.unit, "H");
    EXPECT_EQ(p.price, "30");
    EXPECT_EQ(p.total, "60.00");
}

TEST_F(ServicePickerTest, PriceOfALineOfSeveralUnitsIsCutToCents) {
    // Three units at 8.40 net with 4.79 VAT in all: (8.40 + 4.79) / 3 = 4.3966...
    Line(1, -1, "MANOPERA", "ORA", "3", "8.40", "4.79");
    ServicePicker& p = Open();
    p.name = "MANOPERA";
    p.nameChosen();
    EXPECT_EQ(p.unit, "ORA");
    EXPECT_EQ(p.price, "4.39");
}

TEST_F(ServicePickerTest, NameWithoutServiceLineLeavesUnitAndPriceUnchanged) {
    Line(1, 7, "FILTRU ULEI", "BUC", "1", "10", "1.90");
    Line(2, -1, "SPALARE", "BUC", "1", "20", "3.80");
    ServicePicker& p = Open();
    p.unit = "KG";
    p.price = "12.5";
    p.name = "FILTRU ULEI";  // offered, but only ever sold as goods
    p.nameChosen();
    EXPECT_EQ(p.unit, "KG");
    EXPECT_EQ(p.price, "12.5");
    p.name = "SPALA";  // typed, not chosen from the list
    p.nameChosen();
    EXPECT_EQ(p.price, "12.5");
}

TEST_F(ServicePickerTest, LineOfQuantityZeroGivesItsUnitOnly) {
    Line(1, -1, "DIAGNOZA", "BUC", "0", "50", "9.50");
    ServicePicker& p = Open();
    p.price = "7";
    p.name = "DIAGNOZA";
    EXPECT_NO_THROW(p.nameChosen());
    EXPECT_EQ(p.price, "7");
}

TEST(UnitPriceWithVatTest, CutsTowardZeroWithoutRoundingFirst) {
    EXPECT_EQ(UnitPriceWithVat(D("8.40"), D("4.79"), D("3")), D("4.39"));
    EXPECT_EQ(UnitPriceWithVat(D("0.01"), D("0"), D("0.03")), D("0.33"));
    EXPECT_EQ(UnitPriceWithVat(D("9.99"), D("0.00"), D("9.99")), D("1"));
    // A returned service: the cut goes toward zero as well.
    EXPECT_EQ(UnitPriceWithVat(D("-8.40"), D("-4.79"), D("3")), D("-4.39"));
    EXPECT_EQ(UnitPriceWithVat(D("1"), D("1"), D("0")), std::nullopt);
}

TEST_F(ServicePickerTest, CatalogServiceFillsTheLine) {
    ServicePicker& p = Open();
    p.quantity = "4";
    CatalogService service;
    service.idCat = 12;
    service.product = "SCHIMB ULEI";
    service.unit = "OP";
    service.price = D("75.50");
    p.catalogChosen(service);
    EXPECT_EQ(p.idCat, 12);
    EXPECT_EQ(p.name, "SCHIMB ULEI");
    EXPECT_EQ(p.unit, "OP");
    EXPECT_EQ(p.quantity, "1");
    EXPECT_EQ(p.price, "75.5");
    EXPECT_EQ(p.total, "75.50");
    service.idCat = 0;
    service.product = "ALTCEVA";
    p.catalogChosen(service);
    EXPECT_EQ(p.name, "SCHIMB ULEI");
    EXPECT_EQ(p.idCat, 12);
}

TEST_F(ServicePickerTest, TotalRoundsHalfAwayToTwoDecimals) {
    ServicePicker& p = Open();
    p.quantity = "1.5";
    p.price = "3.33";
    p.priceChanged();
    EXPECT_EQ(p.total, "5.00");
    p.quantity = "-1.5";
    p.priceChanged();
    EXPECT_EQ(p.total, "-5.00");
    p.price = "";
    p.priceChanged();
    EXPECT_EQ(p.total, "0.00");
}

TEST_F(ServicePickerTest, AddChecksInOrderThenHandsBackTheLine) {
    ServicePicker& p = Open();
    p.name = "   ";
    p.unit = "";
    p.quantity = "0";
    p.price = "0";
    const std::vector<std::pair<std::string, std::string>> expected = {
        {ServicePicker::kNameField, "Lipseste denumirea serviciului!"},
        {ServicePicker::kUnitField, "Lipseste Unitatea de masura!"},
        {ServicePicker::kQuantityField, "Lipseste Cantitatea!"},
        {ServicePicker::kPriceField, "Lipseste Pretul cu TVA!"},
    };
    for (const auto& [field, message] : expected) {
        auto problem = p.add();
        ASSERT_TRUE(problem) << field;
        EXPECT_EQ(problem->field, field);
        EXPECT_EQ(problem->message, message);
        EXPECT_FALSE(p.result());
        if (field == ServicePicker::kNameField) p.name = " VOPSIT ";
        if (field == ServicePicker::kUnitField) p.unit = "BUC";
        if (field == ServicePicker::kQuantityField) p.quantity = "-2";
        if (field == ServicePicker::kPriceField) p.price = "150.5";
    }
    p.remark = "usa stanga\nfata";
    p.warranty = Day(1, 3, 2027);
    p.idCat = 3;
    ASSERT_FALSE(p.add());
    const ServicePick& pick = *p.result();
    EXPECT_EQ(pick.name, "VOPSIT");
    EXPECT_EQ(pick.unit, "BUC");
    EXPECT_EQ(pick.quantity, D("-2"));
    EXPECT_EQ(pick.price, D("150.5"));
    EXPECT_EQ(pick.remark, "usa stangafata");
    EXPECT_EQ(pick.warranty, Day(1, 3, 2027));
    EXPECT_EQ(pick.idCat, 3);
}

}  // namespace
}  // namespace tvx::core
