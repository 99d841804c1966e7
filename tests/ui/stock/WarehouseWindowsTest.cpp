// The warehouse window and the exit dialog bound to a session: the inventory opened from the
// report menu with its lists, a list change rebuilding the grid and total, the refusal to print
// nothing and the printed inventory in the preview; the exit dialog driven by the keyboard
// (a name chosen, Enter through the fields, the value's colour, Enter on the quantity saving).
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include "../UiTestSupport.h"
#include "core/admin/Users.h"
#include "core/stock/Inventory.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/stock/TMagazieF.h"
#include "ui/stock/TOutProdusF.h"

namespace tvx::ui {
namespace {

using tables::Decimal;
using testing::Balloon;
using testing::Child;
using testing::ColumnText;
using testing::PressKey;
using testing::WhenModalNamed;

void TypeText(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

class WarehouseWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        fx.session.locations.setNames({"DEPOZIT", "MAGAZIN"});
        fx.session.profile.denumire = "FIRMA TEST SRL";
        Lot("MAGAZIN", "ULEI", "10.00", "3");
        Lot("MAGAZIN", "ULEI", "12.50", "0");
        Lot("DEPOZIT", "FILTRU", "20.00", "2");
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    void Lot(const char* location, const char* product, const char* price, const char* stock) {
        const long long card =
            core::FindOrCreateLot(fx.session.db(), fx.session.settings(), location, "MARFA",
                                  product, "BUC", Decimal(1), *Decimal::parse(price));
        core::Movement m = core::EntryMovement(*Decimal::parse(stock), Decimal(0));
        m.idFisa = fx.session.settings().nextNumber("IDFISA");
        core::PostEntry(fx.session.db(), card, m);
    }
    core::ExitCard Card() {
        return {0, "MAGAZIN", "ULEI", "BUC", Decimal(10), Decimal(3), Decimal(30)};
    }
    testing::SessionFixture fx;
};

TEST_F(WarehouseWindowsTest, InventoryFromTheMenuFiltersTotalsAndPrints) {
    fx.session.grade = core::kGradeAdmin;
    Application app(fx.session);
    QAction* item = nullptr;
    for (QAction* a : app.main().reportMenu()->actions())
        if (a->text() == "Inventar") item = a;
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());

    bool checked = false;
    WhenModalNamed("TMagazieF", [&](QWidget* w) {
        auto* grid = Child<QTableView>(w, "ListaProduse");
        auto* total = Child<QLabel>(w, "TotalText");
        auto* ges = Child<QComboBox>(w, "GesBox");
        auto* stoc = Child<QComboBox>(w, "StocBox");
        auto* prod = Child<QComboBox>(w, "ProdBox");
        EXPECT_EQ(ges->currentText(), core::kAllLocations);
        EXPECT_EQ(prod->count(), 3);  // " * toate produsele *", FILTRU, ULEI
        EXPECT_EQ(ColumnText(grid, "Produsul"), (QStringList{"FILTRU", "ULEI", "ULEI"}));
        EXPECT_EQ(total->text(), "70.00 lei");
        // The keyboard moves through the lists; a location changes the rows, not the title.
        ges->setFocus();
        PressKey(Qt::Key_Down, ges);
        EXPECT_EQ(ges->currentText(), "DEPOZIT");
        EXPECT_EQ(ColumnText(grid, "Produsul"), QStringList{"FILTRU"});
        EXPECT_EQ(total->text(), "40.00 lei");
        ges->setCurrentIndex(2);
        stoc->setCurrentIndex(2);  // "Produse epuizate": nothing in MAGAZIN is out of stock
        EXPECT_EQ(grid->model()->rowCount(), 0);
        Child<QPushButton>(w, "Listeaza")->click();
        EXPECT_EQ(Balloon(), std::make_pair(QString("Nu aveti ce lista!"), QString("Listeaza")));
        stoc->setCurrentIndex(1);
        EXPECT_EQ(grid->model()->rowCount(), 1);
        EXPECT_EQ(total->text(), "30.00 lei");
        // "Listeaza" shows the printed inventory in the preview.
        WhenModalNamed("TPreview", [&](QWidget* preview) {
            checked = true;
            testing::CloseModal(preview);
        });
        Child<QPushButton>(w, "Listeaza")->click();
        PressKey(Qt::Key_Escape, w);
    });
    item->trigger();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(app.warehouse().isVisible());
}

TEST_F(WarehouseWindowsTest, ExitDialogByKeyboard) {
    TOutProdusF dialog(fx.session);
    bool seen = false;
    WhenModalNamed("TOutProdusF", [&](QWidget* w) {
        seen = true;
        EXPECT_EQ(w->windowTitle(), "Iesire produs");
        EXPECT_FALSE(Child<QComboBox>(w, "BeneficiarBox")->isVisible());
        auto* doc = Child<QComboBox>(w, "DocJusBox");
        auto* nr = Child<QLineEdit>(w, "NrDocEdit");
        auto* cant = Child<QLineEdit>(w, "CantEdit");
        auto* value = Child<QLabel>(w, "ValText");
        EXPECT_EQ(nr->text(), "0");
        // Chosen from the list: the number of its counter.
        const int bon = doc->findText("BON DE CONSUM");
        ASSERT_GE(bon, 0);
        doc->setCurrentIndex(bon);
        emit doc->activated(bon);
        EXPECT_EQ(nr->text(), "1");
        // Enter moves on: number, date, quantity.
        PressKey(Qt::Key_Return, doc);
        EXPECT_EQ(w->focusWidget(), nr);
        PressKey(Qt::Key_Return, nr);
        PressKey(Qt::Key_Return);
        EXPECT_EQ(w->focusWidget(), cant);
        cant->selectAll();
        TypeText(cant, "4");
        EXPECT_EQ(value->text(), "40.0000");
        EXPECT_TRUE(value->styleSheet().contains("#ff0000"));
        PressKey(Qt::Key_Return, cant);  // Enter on the last field saves: over the stock
        EXPECT_EQ(Balloon(), std::make_pair(QString("Cantitatea iesita este mai mare decat "
                                                    "stocul!"),
                                            QString("CantEdit")));
        cant->selectAll();
        TypeText(cant, "2.5");
        EXPECT_EQ(value->text(), "25.0000");
        EXPECT_TRUE(value->styleSheet().contains("#00008b"));
        PressKey(Qt::Key_Return, cant);
    });
    ASSERT_TRUE(dialog.AskExit(Card()));
    EXPECT_TRUE(seen);
    const core::ExitDocument doc = dialog.document();
    EXPECT_EQ(doc.docJus, "BON DE CONSUM");
    EXPECT_EQ(doc.nrDoc, 1);
    EXPECT_EQ(doc.quantity, *Decimal::parse("2.5"));
    EXPECT_EQ(doc.value, Decimal(25));
    EXPECT_EQ(fx.session.settings().peekIndex("BON DE CONSUM"), "1");  // moves when posted
}

}  // namespace
}  // namespace tvx::ui
