// The line dialog of a goods received note: start values, the ordered checks of
// "&Memoreaza" with their texts, the discount and currency adjustments, the unit conflict,
// the fills from the product name and the bar code, and reopening a stored line.
#include "StockTestSupport.h"
#include "core/stock/NirLine.h"
#include "core/stock/NirLineForm.h"

namespace tvx::core::stocktest {
namespace {

class NirLineFormTest : public StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        form_.setVat(D("19"), true);
        form_.resetForAdd(*settings_, {"DEPOZIT", "MAGAZIN"}, Day(29, 2, 2024));
    }
    // A stored line written straight into ProdNIR.
    void StoreLine(long long id, const std::string& product, const std::string& unit,
                   const char* pretu, const std::string& barCode = {}, const char* adaos = "0",
                   const char* pretat = "0", const std::string& location = "MAGAZIN",
                   const std::string& category = "MARFA") {
        db_->execute(
            "INSERT INTO ProdNIR (IDPROD, IDNIR, PRODUS, UM, PRETU, CODBARE, ADAOS, PRETAT, "
            "GESTIUNE, CATEG) VALUES (:id, 1, :p, :u, :pu, :c, :a, :s, :g, :k)",
            {{"id", id},
             {"p", product},
             {"u", unit},
             {"pu", D(pretu)},
             {"c", barCode},
             {"a", D(adaos)},
             {"s", D(pretat)},
             {"g", location},
             {"k", category}});
    }
    // Types a complete, valid line of the worked example.
    void TypeExample() {
        form_.product = " BEC  LED ";
        form_.unit = "BUC";
        form_.qf = D("3");
        form_.invoicedChanged();
        form_.p = D("10.00");
        form_.recalcLine();
        form_.a = D("25");
        form_.recalcLine();
    }
    std::string Failed() {
        const auto problem = form_.save(*db_, *settings_);
        return problem ? problem->field + ": " + problem->message : "saved";
    }

    NirLineForm form_;
};

TEST_F(NirLineFormTest, ResetGivesTheStartValues) {
    EXPECT_EQ(form_.title(), "Adaugare produs");
    EXPECT_EQ(form_.category, "MARFA");
    EXPECT_EQ(form_.location, "DEPOZIT");
    EXPECT_EQ(form_.warranty, Day(28, 2, 2025));
    EXPECT_EQ(form_.currency, "LEI");
    EXPECT_TRUE(form_.currencyEnabled);
    EXPECT_TRUE(form_.a.isZero());
    EXPECT_EQ(form_.salePriceCaption(), "Pret cu adaos si TVA");
    ASSERT_TRUE(NirLineForm::MissingLocations({}));
    EXPECT_EQ(NirLineForm::MissingLocations({})->text,
              "Nu ati definit gestiunile la capitolul Administrare!\rDoriti sa le definiti acum?");
    EXPECT_FALSE(NirLineForm::MissingLocations({"MAGAZIN"}));

    settings_->writeSetting("VAR", "ADAOSP", "30");
    settings_->writeSetting("CONSTANTE", "EUROVAL", "4.9750");
    form_.category = "AMBALAJ";
    form_.currency = "EURO";
    form_.resetForAdd(*settings_, {}, Day(10, 1, 2024));
    EXPECT_EQ(form_.a, D("30"));
    EXPECT_EQ(form_.euroRate, D("4.975"));
    EXPECT_EQ(form_.category, "AMBALAJ");  // kept from the previous use
    EXPECT_EQ(form_.currency, "LEI");      // no addition was saved in EURO
    EXPECT_EQ(form_.location, "");
}

TEST_F(NirLineFormTest, ChecksRunInOrderWithTheirFieldsAndTexts) {
    form_.location = "";
    EXPECT_EQ(Failed(), "ProdBox: Lipseste denumirea Produsului!");
    form_.product = "  ";
    EXPECT_EQ(Failed(), "ProdBox: Lipseste denumirea Produsului!");
    form_.product = "BEC";
    EXPECT_EQ(Failed(), "UmBox: Lipseste Unitatea de Masura!");
    form_.unit = "BUC";
    EXPECT_EQ(Failed(), "CantFEdit: Lipseste Cantitatea dupa factura!");
    form_.qf = D("2");
    EXPECT_EQ(Failed(), "CantREdit: Lipseste Cantitatea la receptie!");
    form_.q = D("-2");
    EXPECT_EQ(Failed(), "PretEdit: Lipseste Pretul furnizorului fara TVA!");
    form_.p = D("5");
    EXPECT_EQ(Failed(), "ValFEdit: Lipseste Valoarea marfii furnizor!");
    form_.vf = D("10");
    EXPECT_EQ(Failed(), "TotFEdit: Lipseste Total valoare facturata!");
    form_.tt = D("11.90");
    EXPECT_EQ(Failed(), "PretVEdit: Lipseste pretul final de vanzare!");
    form_.category = "CONSUMABIL";  // S is not asked outside MARFA
    EXPECT_EQ(Failed(), "GesBox: Lipseste Gestiunea!");
    form_.location = " MAGAZIN ";
    form_.p = D("-5");
    EXPECT_EQ(Failed(),
              "CantFEdit: Cantitatea si Pretul de intrare nu pot fi negative in acelasi "
              "timp!");
    form_.p = D("5");
    EXPECT_EQ(Failed(), "saved");
    EXPECT_EQ(form_.location, "MAGAZIN");
}

TEST_F(NirLineFormTest, AMarkupBelowMinusHundredIsRefusedAtItsField) {
    TypeExample();
    form_.a = D("-150");  // the sale price would be negative
    form_.s = D("1");
    EXPECT_EQ(Failed(), "AdaosEdit: Adaosul trebuie sa fie intre -100 si 999.99 %!");
    form_.category = "SERVICII";  // the mark-up counts only where it can be typed
    EXPECT_EQ(Failed(), "saved");
}

TEST_F(NirLineFormTest, WorkedExampleSavesTheRowOfTheRules) {
    TypeExample();
    EXPECT_EQ(form_.s, D("14.88"));
    form_.markupChanged();
    EXPECT_EQ(form_.s, D("14.87"));
    form_.recalcLine();
    ASSERT_EQ(Failed(), "saved");
    EXPECT_EQ(settings_->readSetting("VAR", "ADAOSP"), "25");
    const NirLineRow row = form_.toRow();
    EXPECT_EQ(row.produs, "BEC LED");
    EXPECT_EQ(row.cantf, D("3"));
    EXPECT_EQ(row.cantr, D("3"));
    EXPECT_EQ(row.pretu, D("10"));
    EXPECT_EQ(row.valoare, D("30"));
    EXPECT_EQ(row.valtva, D("5.70"));
    EXPECT_EQ(row.totalf, D("35.70"));
    EXPECT_EQ(row.preta, D("12.50"));
    EXPECT_EQ(row.vala, D("37.50"));
    EXPECT_EQ(row.pretat, D("14.88"));
    EXPECT_EQ(row.valat, D("44.64"));
    EXPECT_EQ(row.entryPrice, D("11.90"));
    EXPECT_EQ(row.gestiune, "DEPOZIT");
    EXPECT_EQ(row.garantie, Day(28, 2, 2025));
}

TEST_F(NirLineFormTest, CategoryOtherThanMarfaClearsTheMarkupAndItsSalePrice) {
    TypeExample();  // A = 25, S = 14.88
    form_.category = "AMBALAJ";
    form_.categoryChanged();
    EXPECT_TRUE(form_.a.isZero());
    EXPECT_FALSE(form_.markupEditable());
    // S = CutCents((0 / 100 + 1) x 10.00 x 1.19), not the 14.88 of the mark-up 25.
    EXPECT_EQ(form_.s, D("11.90"));
    ASSERT_EQ(Failed(), "saved");
    const NirLineRow row = form_.toRow();
    EXPECT_EQ(row.pretat, D("11.90"));
    EXPECT_EQ(row.valat, D("35.70"));
    EXPECT_EQ(row.preta, D("10"));
    form_.recalcLine();
    EXPECT_EQ(form_.s, D("11.90"));
}

TEST_F(NirLineFormTest, NonPayerCarriesTheVatInValueAndPrice) {
    form_.setVat(D("19"), false);
    form_.resetForAdd(*settings_, {"MAGAZIN"}, Day(1, 1, 2024));
    form_.product = "X";
    form_.unit = "BUC";
    form_.qf = D("3");
    form_.invoicedChanged();
    form_.p = D("10.00");
    form_.recalcLine();
    EXPECT_FALSE(form_.vatEditable());
    EXPECT_EQ(form_.salePriceCaption(), "Pret cu adaos");
    ASSERT_EQ(Failed(), "saved");
    EXPECT_EQ(settings_->readSetting("VAR", "ADAOSP"), "");  // A is "0": not written
    const NirLineRow row = form_.toRow();
    EXPECT_EQ(row.valoare, D("35.70"));
    EXPECT_TRUE(row.valtva.isZero());
    EXPECT_EQ(row.pretu, D("11.90"));
    EXPECT_EQ(row.preta, D("11.90"));
    EXPECT_EQ(row.vala, D("35.70"));
    EXPECT_EQ(row.pretat, D("11.90"));
}

TEST_F(NirLineFormTest, DiscountIsSavedWithPositiveQuantityAndNegativePrice) {
    form_.category = "DISCOUNT";
    form_.product = "REDUCERE";
    form_.unit = "BUC";
    form_.qf = D("-2");
    form_.invoicedChanged();
    form_.p = D("5");
    form_.recalcLine();
    ASSERT_EQ(Failed(), "saved");
    EXPECT_EQ(form_.qf, D("2"));
    EXPECT_EQ(form_.q, D("2"));
    EXPECT_EQ(form_.p, D("-5"));
    EXPECT_EQ(form_.vf, D("-10"));
    EXPECT_EQ(form_.tt, D("-11.90"));
}

TEST_F(NirLineFormTest, SameProductWithAnotherUnitIsRefused) {
    StoreLine(1, "BEC", "BUC", "2");
    TypeExample();
    form_.product = "BEC";
    form_.unit = "KG";
    EXPECT_EQ(Failed(),
              "UmBox: Produsul BEC exista deja in magazie, \ndar cu unitatea de masura BUC!");
    form_.unit = "BUC";
    EXPECT_EQ(Failed(), "saved");

    // Modifying the only line of that name to another unit is allowed; not with a second one.
    NirLineRow stored = *ReadNirLine(*db_, 1);
    form_.fillForEdit(stored, *settings_, {"MAGAZIN"}, Day(1, 1, 2024));
    form_.qf = form_.q = D("1");
    form_.recalcLine();
    form_.unit = "KG";
    EXPECT_EQ(Failed(), "saved");
    StoreLine(2, "BEC", "BUC", "2");
    EXPECT_EQ(Failed(),
              "UmBox: Produsul BEC exista deja in magazie, \ndar cu unitatea de masura BUC!");
}

TEST_F(NirLineFormTest, EuroLineIsConvertedWithARemark) {
    form_.euroRate = D("4.9");
    form_.currency = "EURO";
    TypeExample();
    form_.remarks = {"marfa urgenta", "10 EURO; curs 5 lei"};
    form_.s = D("15");
    form_.saleChanged();
    EXPECT_EQ(form_.a, D("26.05"));  // 3.10 / 11.90 x 100 = 26.0504...
    ASSERT_EQ(Failed(), "saved");
    EXPECT_EQ(form_.p, D("49"));
    EXPECT_EQ(form_.pt, D("58.31"));
    EXPECT_EQ(form_.vf, D("147"));
    EXPECT_EQ(form_.tf, D("27.93"));
    EXPECT_EQ(form_.s, D("73.50"));  // 15 euro x 4.9
    ASSERT_EQ(form_.remarks.size(), 2u);
    EXPECT_EQ(form_.remarks.back(), "10.00 EURO; curs 4.9 lei");
    EXPECT_EQ(form_.toRow().obs, "marfa urgenta10.00 EURO; curs 4.9 lei");

    // The next addition starts in EURO again; a rate of 0 is refused.
    form_.resetForAdd(*settings_, {"MAGAZIN"}, Day(1, 1, 2024));
    EXPECT_EQ(form_.currency, "EURO");
    TypeExample();
    form_.euroRate = D("0");
    EXPECT_EQ(Failed(), "EuroEdit: Curs valutar incorect!");
    EXPECT_EQ(form_.p, D("10"));
    form_.currency = "DOLARI";
    form_.dollarRate = D("1");
    EXPECT_EQ(Failed(), "saved");
    EXPECT_EQ(form_.p, D("10"));
    EXPECT_TRUE(form_.remarks.empty());
}

TEST_F(NirLineFormTest, StoredLineReopensInLeiWithPricesFromPretu) {
    NirLineRow line;
    line.idProd = 4;
    line.produs = "BEC";
    line.categ = "MARFA";
    line.um = "BUC";
    line.cantf = line.cantr = D("3");
    line.pretu = D("49.00");
    line.valoare = D("147");
    line.adaos = D("25");
    line.pretat = D("72.89");
    line.gestiune = "VECHE";
    line.obs = "nota";
    form_.currency = "EURO";
    form_.fillForEdit(line, *settings_, {"MAGAZIN"}, Day(1, 1, 2024));
    EXPECT_EQ(form_.title(), "Modificare produs");
    EXPECT_EQ(form_.currency, "LEI");
    EXPECT_FALSE(form_.currencyEnabled);
    EXPECT_EQ(form_.p, D("49"));
    EXPECT_EQ(form_.pt, D("58.31"));
    EXPECT_EQ(form_.location, "");  // not in the list
    EXPECT_EQ(form_.remarks, std::vector<std::string>{"nota"});
    EXPECT_EQ(form_.warranty, Day(1, 1, 2025));

    form_.setVat(D("19"), false);
    line.pretu = D("11.90");
    form_.fillForEdit(line, *settings_, {"MAGAZIN"}, Day(1, 1, 2024));
    EXPECT_EQ(form_.p, D("10"));
    EXPECT_EQ(form_.pt, D("11.90"));
}

TEST_F(NirLineFormTest, ProductNameAndBarCodeFillFromStoredLines) {
    StoreLine(5, "CABLU", "M", "3.50", "111");
    StoreLine(2, "CABLU", "M", "3.20", "222");
    StoreLine(3, "ZAR", "BUC", "1.00", "111", "10", "1.31", "DEPOZIT", "OBIECT DE INVENTAR");
    form_.a = D("0");
    form_.product = "CABLU";
    form_.q = D("2");
    form_.productChanged(*db_);
    EXPECT_EQ(form_.unit, "M");
    EXPECT_EQ(form_.p, D("3.20"));  // the first by PRODUS, IDPROD
    EXPECT_EQ(form_.barCode, "222");
    EXPECT_EQ(form_.vf, D("6.40"));
    form_.product = "NOU";
    form_.productChanged(*db_);
    EXPECT_EQ(form_.unit, "");
    EXPECT_TRUE(form_.p.isZero());
    EXPECT_EQ(form_.barCode, "");

    form_.barCode = "111";
    form_.barCodeEntered(*db_);
    EXPECT_EQ(form_.product, "ZAR");  // the last by PRODUS, IDPROD
    EXPECT_EQ(form_.category, "OBIECT DE INVENTAR");
    EXPECT_EQ(form_.unit, "BUC");
    EXPECT_EQ(form_.p, D("1"));
    EXPECT_EQ(form_.location, "DEPOZIT");
    EXPECT_EQ(form_.s, D("1.31"));
}

}  // namespace
}  // namespace tvx::core::stocktest
