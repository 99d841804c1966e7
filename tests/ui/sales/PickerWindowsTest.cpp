// The invoice line pickers bound to their core: a lot picked by barcode and handed back with
// the switch stored, a refused prefix at its control, rows chosen from the grid, the advanced
// search feeding the name, the service picker with a fake catalog and its checks, the quantity
// dialog, and Esc closing each with no result.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include "../UiTestSupport.h"
#include "core/common/Schema.h"
#include "core/common/TableLayouts.h"
#include "tables/Database.h"
#include "ui/common/ShowProblem.h"
#include "ui/sales/TCAvans.h"
#include "ui/sales/TProdAddF.h"
#include "ui/sales/TServAddF.h"
#include "ui/sales/TStabCant.h"

namespace tvx::ui {
namespace {

using tables::Decimal;
using testing::Balloon;
using testing::Child;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModalNamed;

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

using Problem = std::pair<QString, QString>;

QStringList Names(QTableView* grid) {
    QStringList names;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        names << grid->model()->index(row, 0).data().toString();
    return names;
}

class PickerWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        stock_ = fx.session.programFolder() / "Stoc.dbf";
        Db().execute(core::createTableStatement(core::tableLayout("Stoc"), stock_));
        Lot(1, "MARFA", "FILTRU ULEI", "12.35", "5941", "5");
        Lot(2, "MARFA", "FILTRU AER", "40", "5942", "0");
        Lot(3, "PIESE", "BEC H4", "10", "", "8");
        prod.Bind(fx.session);
        serv.Bind(fx.session);
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    tables::Database& Db() { return fx.session.db(); }
    void Lot(int id, const char* categ, const char* product, const char* price, const char* barcode,
             const char* rest) {
        Db().execute("INSERT INTO " + core::QuotedPath(stock_) +
                         " (IDCAP, CATEG, PRODUS, UM, PRETOUT, STOC, CODBARE, REST) VALUES "
                         "(:id, :c, :p, 'BUC', :pr, 5, :b, :r)",
                     {{"id", id},
                      {"c", categ},
                      {"p", product},
                      {"pr", D(price)},
                      {"b", barcode},
                      {"r", D(rest)}});
    }
    // The product picker run with `act`, closed afterwards if `act` left it open.
    std::optional<core::ProductPick> Pick(std::function<void(QWidget*)> act) {
        WhenModalNamed("TProdAddF", [act](QWidget* w) {
            act(w);
            if (w->isVisible()) CloseModal(w);
        });
        return prod.pickStockProduct(stock_);
    }
    static QLineEdit* Box(QWidget* w, const char* name) { return Child<QLineEdit>(w, name); }

    testing::SessionFixture fx;
    std::filesystem::path stock_;
    TProdAddF prod;
    TServAddF serv;
};

// ---- product picker ----

TEST_F(PickerWindowsTest, BarcodeEnterPicksTheLotAndTheWarrantyDateAdds) {
    fx.session.settings().writeSetting("CONST", "DOARMARFA", "NU");
    bool closedByEnter = false;
    const auto pick = Pick([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Adaugare produs");
        EXPECT_FALSE(Child<QWidget>(w, "SectiaPanel")->isVisible());
        EXPECT_FALSE(Child<QCheckBox>(w, "DoarMarfa")->isChecked());
        EXPECT_EQ(Box(w, "CantEd")->text(), "1");
        auto* barcode = Box(w, "CodBareEd");
        EXPECT_EQ(w->focusWidget(), barcode);
        barcode->setText("5941");
        PressKey(Qt::Key_Return, barcode);
        EXPECT_EQ(Box(w, "ProdEd")->text(), "FILTRU ULEI");
        EXPECT_EQ(w->focusWidget(), Box(w, "ProdEd"));
        PressKey(Qt::Key_Return);  // the name moves on to the quantity
        EXPECT_EQ(w->focusWidget(), Box(w, "CantEd"));
        Box(w, "CantEd")->setText("-2");
        EXPECT_EQ(Child<QLabel>(w, "TotalL")->text(), "-24.7");
        EXPECT_EQ(Child<QLabel>(w, "UmLabel")->text(), "BUC");
        Child<QPlainTextEdit>(w, "ObsEd")->setPlainText("retur");
        auto* warranty = Child<QDateEdit>(w, "GarantieEd");
        warranty->setDate(QDate(2027, 5, 1));
        warranty->setFocus();
        PressKey(Qt::Key_Return, warranty);
        closedByEnter = !w->isVisible();
    });
    EXPECT_TRUE(closedByEnter);
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->idCap, 1);
    EXPECT_EQ(pick->quantity, D("-2"));
    EXPECT_EQ(pick->price, D("12.35"));
    EXPECT_EQ(pick->warranty, tables::Date::fromYmd(2027, 5, 1));
    EXPECT_EQ(pick->remark, "retur");
}

TEST_F(PickerWindowsTest, EscReturnsNothingAndTheSwitchIsStored) {
    fx.session.settings().writeSetting("CONST", "DOARMARFA", "DA");
    const auto pick = Pick([](QWidget* w) {
        auto* grid = Child<QTableView>(w, "SMDBGrid3");
        EXPECT_EQ(Names(grid), (QStringList{"FILTRU ULEI"}));
        auto* onlyGoods = Child<QCheckBox>(w, "DoarMarfa");
        EXPECT_TRUE(onlyGoods->isChecked());
        onlyGoods->click();
        EXPECT_EQ(Names(grid), (QStringList{"BEC H4", "FILTRU AER", "FILTRU ULEI"}));
        Box(w, "ProdEd")->setText("FILTRU ULEI");
        PressKey(Qt::Key_Escape, Box(w, "ProdEd"));
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_FALSE(pick);
    EXPECT_EQ(fx.session.settings().readSetting("CONST", "DOARMARFA"), "NU");
}

TEST_F(PickerWindowsTest, PrefixIsRefusedAtTheNameAndAGridRowCompletesIt) {
    fx.session.profile.domeniu = core::CompanyProfile::kServiceAuto;
    const auto pick = Pick([](QWidget* w) {
        EXPECT_TRUE(Child<QWidget>(w, "SectiaPanel")->isVisible());
        Box(w, "SectiaEd")->setText("  MECANICA   GENERALA ");
        auto* grid = Child<QTableView>(w, "SMDBGrid3");
        EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), "Pret");
        Box(w, "ProdEd")->setText("FILTRU");
        EXPECT_EQ(Names(grid), (QStringList{"FILTRU AER", "FILTRU ULEI"}));
        Child<QPushButton>(w, "B11")->click();
        EXPECT_EQ(Balloon(), Problem("Produsul nu exista pe stoc!", "ProdEd"));
        EXPECT_TRUE(w->isVisible());
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(1, 0));
        PressKey(Qt::Key_Return, grid);
        EXPECT_EQ(Box(w, "ProdEd")->text(), "FILTRU ULEI");
        EXPECT_EQ(Box(w, "CodBareEd")->text(), "5941");
        EXPECT_EQ(w->focusWidget(), Box(w, "CantEd"));
        Box(w, "CantEd")->setText("0");
        Child<QPushButton>(w, "B11")->click();
        EXPECT_EQ(Balloon(), Problem("Nu ati scris Cantitatea!", "CantEd"));
        Box(w, "CantEd")->setText("3");
        Child<QPushButton>(w, "B11")->click();
    });
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->idCap, 1);
    EXPECT_EQ(pick->quantity, D("3"));
    EXPECT_EQ(pick->section, "MECANICA GENERALA");
}

TEST_F(PickerWindowsTest, ARowMadeCurrentByAClickIsTheChosenLot) {
    fx.session.settings().writeSetting("CONST", "DOARMARFA", "NU");
    const auto pick = Pick([](QWidget* w) {
        auto* grid = Child<QTableView>(w, "SMDBGrid3");
        grid->setCurrentIndex(grid->model()->index(2, 0));  // what a single click does
        EXPECT_EQ(Box(w, "ProdEd")->text(), "FILTRU ULEI");
        EXPECT_EQ(Names(grid).size(), 3);  // choosing does not narrow the grid
        Child<QPushButton>(w, "B11")->click();
    });
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->idCap, 1);
}

TEST_F(PickerWindowsTest, AdvancedSearchFindsANameInAnyLocation) {
    const std::string card =
        "INSERT INTO CapFise (IDCAP, GESTIUNE, CATEG, PRODUS, UM, PRETIN, PRETOUT, STOC) VALUES ";
    Db().execute(card + "(7, 'DEPOZIT', 'MARFA', 'FILTRU AER', 'BUC', 30, 40, 0)");
    Db().execute(card + "(8, 'MAGAZIN', 'MARFA', 'ANTIGEL', 'L', 5, 9, 3)");
    std::string chosen;
    Pick([&](QWidget* w) {
        WhenModalNamed("TCAvans", [&](QWidget* s) {
            EXPECT_EQ(s->windowTitle(), "Cautare Avansata");
            auto* grid = Child<QTableView>(s, "SMDBGrid3");
            EXPECT_EQ(Names(grid), (QStringList{"ANTIGEL", "FILTRU AER"}));
            // A title click orders by that column and keeps the current card.
            grid->horizontalHeader()->sectionClicked(3);  // "Pret vanzare"
            EXPECT_EQ(Names(grid), (QStringList{"ANTIGEL", "FILTRU AER"}));
            grid->horizontalHeader()->sectionClicked(1);  // "U.M."
            EXPECT_EQ(Names(grid), (QStringList{"FILTRU AER", "ANTIGEL"}));
            EXPECT_EQ(grid->currentIndex().data().toString(), "ANTIGEL");
            auto* word = Child<QLineEdit>(s, "Edit1");
            word->setText("AER");
            EXPECT_EQ(Names(grid), (QStringList{"FILTRU AER"}));
            PressKey(Qt::Key_Return, word);
            EXPECT_FALSE(s->isVisible());
        });
        Child<QPushButton>(w, "CautareAvansataB")->click();
        EXPECT_EQ(Box(w, "ProdEd")->text(), "FILTRU AER");
        EXPECT_EQ(w->focusWidget(), Box(w, "CantEd"));
        chosen = Names(Child<QTableView>(w, "SMDBGrid3")).join(",").toStdString();
    });
    EXPECT_EQ(chosen, "FILTRU AER");
}

TEST_F(PickerWindowsTest, AdvancedSearchEscapeLeavesTheNameAlone) {
    TCAvans search;
    search.Bind(fx.session);
    WhenModalNamed("TCAvans", [](QWidget* s) { PressKey(Qt::Key_Escape, s); });
    EXPECT_EQ(search.searchProduct(), "");
}

// ---- service picker ----

TEST_F(PickerWindowsTest, ServicePickerTakesTheCatalogAndAddsOnTheWarrantyDate) {
    int asked = 0;
    serv.setCatalogChooser([&asked]() -> std::optional<core::CatalogService> {
        ++asked;
        core::CatalogService service;
        service.idCat = 21;
        service.product = "SCHIMB ULEI";
        service.unit = "OP";
        service.price = D("80.50");
        return service;
    });
    WhenModalNamed("TServAddF", [](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Adaugare serviciu");
        EXPECT_EQ(Box(w, "UmEd")->text(), "BUC");
        EXPECT_EQ(Box(w, "PretFEd")->text(), "0");
        Child<QPushButton>(w, "B11")->click();
        EXPECT_EQ(Balloon(), Problem("Lipseste denumirea serviciului!", "ComboBox1"));
        Box(w, "CantEd")->setText("3");
        Child<QPushButton>(w, "BitBtn3")->click();
        EXPECT_EQ(Child<QComboBox>(w, "ComboBox1")->currentText(), "SCHIMB ULEI");
        EXPECT_EQ(Box(w, "UmEd")->text(), "OP");
        EXPECT_EQ(Box(w, "CantEd")->text(), "1");
        EXPECT_EQ(Box(w, "PretFEd")->text(), "80.5");
        EXPECT_EQ(Child<QLabel>(w, "TotalL")->text(), "80.50");
        Box(w, "CantEd")->setText("2");
        EXPECT_EQ(Child<QLabel>(w, "TotalL")->text(), "161.00");
        auto* warranty = Child<QDateEdit>(w, "GarantieEd");
        warranty->setFocus();
        PressKey(Qt::Key_Return, warranty);
        if (w->isVisible()) CloseModal(w);
    });
    const auto pick = serv.pickService();
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->name, "SCHIMB ULEI");
    EXPECT_EQ(pick->unit, "OP");
    EXPECT_EQ(pick->quantity, D("2"));
    EXPECT_EQ(pick->price, D("80.5"));
    EXPECT_EQ(pick->idCat, 21);
}

TEST_F(PickerWindowsTest, ServiceNameFromTheListProposesItsLastPriceAndEscCancels) {
    Db().execute(
        "INSERT INTO ProdOut (IDFACTO, IDFISA, IDCAP, NRCRT, PRODUS, UM, CANT, PRETOUT, VALOUT, "
        "VALTVA) VALUES (4, -1, -1, 1, 'ALINIERE', 'ORA', 1, 42.02, 42.02, 7.98)");
    WhenModalNamed("TServAddF", [](QWidget* w) {
        auto* name = Child<QComboBox>(w, "ComboBox1");
        ASSERT_EQ(name->count(), 1);
        name->setCurrentIndex(0);
        name->activated(0);
        EXPECT_EQ(Box(w, "UmEd")->text(), "ORA");
        EXPECT_EQ(Box(w, "PretFEd")->text(), "50");
        EXPECT_EQ(Child<QLabel>(w, "TotalL")->text(), "50.00");
        PressKey(Qt::Key_Escape, name);
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_FALSE(serv.pickService());
}

// ---- quantity dialog ----

TEST_F(PickerWindowsTest, QuantityDialogKeepsValuesOnlyAfterMemoreaza) {
    TStabCant dialog;
    Decimal quantity = D("1"), hours = D("1.5");
    WhenModalNamed("TStabCant", [](QWidget* w) {
        EXPECT_EQ(Box(w, "TimpEd")->text(), "1.5");
        Box(w, "CantEd")->setText("3");
        PressKey(Qt::Key_Return, Box(w, "CantEd"));
        EXPECT_EQ(w->focusWidget(), Box(w, "TimpEd"));
        Box(w, "TimpEd")->setText("2.25");
        PressKey(Qt::Key_Return, Box(w, "TimpEd"));
        if (w->isVisible()) CloseModal(w);
    });
    ASSERT_TRUE(dialog.askQuantity(quantity, hours));
    EXPECT_EQ(quantity, D("3"));
    EXPECT_EQ(hours, D("2.25"));

    WhenModalNamed("TStabCant", [](QWidget* w) {
        Box(w, "CantEd")->setText("9");
        PressKey(Qt::Key_Escape, w);
    });
    EXPECT_FALSE(dialog.askQuantity(quantity, hours));
    EXPECT_EQ(quantity, D("3"));
}

}  // namespace
}  // namespace tvx::ui
