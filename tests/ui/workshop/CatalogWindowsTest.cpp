// "Catalog Servicii" and its service dialog bound to the workshop core: the controls and the
// buttons of an empty catalog, a service added through the dialog (its checks at their
// fields, Enter on the last field saving) becoming the current row, the lists narrowing the
// grid, a choice handed back, modifying and deleting, and Esc closing both windows without
// a choice or a save.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <memory>
#include <optional>

#include "../UiTestSupport.h"
#include "core/common/Schema.h"
#include "core/workshop/ServiceCatalog.h"
#include "core/workshop/ServiceEntry.h"
#include "tables/Database.h"
#include "ui/common/ShowProblem.h"
#include "ui/workshop/TCatalog.h"

namespace tvx::ui {
namespace {

using testing::Child;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModalNamed;

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

QStringList Titles(QTableView* grid) {
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return titles;
}

// The text of the grid's current row in column `column`.
QString Current(QTableView* grid, int column) {
    return grid->currentIndex().siblingAtColumn(column).data().toString();
}

class CatalogWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        form.Bind(fx.session);
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    tables::Database& Db() { return fx.session.db(); }
    long long Count() {
        auto rs = Db().query("SELECT COUNT(*) FROM " +
                             core::QuotedPath(core::TableFile(Db(), "Catalog")));
        return rs.at(0, 0).number().toLongLong();
    }
    // A service stored through the core, as an earlier use of the window leaves it.
    long long Seed(const char* group, const char* subgroup, const char* category,
                   const char* product) {
        core::ServiceCatalog catalog(Db(), fx.session.settings());
        core::ServiceEntry entry(Db());
        catalog.startAdd(entry);
        entry.group = group;
        entry.subgroup = subgroup;
        entry.category = category;
        entry.product = product;
        entry.unit = "ORA";
        entry.price = "80";
        EXPECT_FALSE(entry.check());
        return catalog.add(entry);
    }
    // Runs the window with `act`, closing it afterwards if `act` left it open.
    std::optional<core::CatalogService> Open(std::function<void(QWidget*)> act) {
        WhenModalNamed("TCatalog", [act](QWidget* w) {
            act(w);
            if (w->isVisible()) CloseModal(w);
        });
        return form.chooseService();
    }
    static void Click(QWidget* w, const char* name) { Child<QPushButton>(w, name)->click(); }
    static QTableView* Grid(QWidget* w) { return Child<QTableView>(w, "Servicii"); }

    testing::SessionFixture fx;
    TCatalog form;
};

TEST_F(CatalogWindowsTest, EmptyCatalogOffersOnlyAddingAndEscReturnsNothing) {
    bool seen = false;
    const auto chosen = Open([&](QWidget* w) {
        seen = true;
        EXPECT_EQ(w->windowTitle(), "Catalog Servicii");
        for (const char* list : {"Grupa", "Subgrupa", "Categ"}) {
            EXPECT_EQ(Child<QComboBox>(w, list)->count(), 0) << list;
            EXPECT_FALSE(Child<QComboBox>(w, list)->isEditable()) << list;
        }
        EXPECT_EQ(Titles(Grid(w)),
                  (QStringList{"idCat", "Denumire servicii", "UM", "Pret unitar", "Observatii"}));
        EXPECT_EQ(Grid(w)->model()->rowCount(), 0);
        EXPECT_TRUE(Child<QPushButton>(w, "AddB")->isEnabled());
        for (const char* button : {"EditB", "DelB", "AlesB"})
            EXPECT_FALSE(Child<QPushButton>(w, button)->isEnabled()) << button;
        EXPECT_EQ(w->focusWidget(), Child<QComboBox>(w, "Grupa"));
        PressKey(Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_TRUE(seen);
    EXPECT_FALSE(chosen);
}

TEST_F(CatalogWindowsTest, AddedServiceBecomesCurrentAndIsChosen) {
    Seed("ELECTRICA", "LUMINI", "FARURI", "BEC");
    QString balloon, balloonAt, dialogTitle;
    const auto chosen = Open([&](QWidget* w) {
        WhenModalNamed("TAddCat", [&](QWidget* d) {
            dialogTitle = d->windowTitle();
            EXPECT_EQ(Child<QComboBox>(d, "Grupa")->currentText(), "ELECTRICA");
            EXPECT_EQ(Child<QLineEdit>(d, "ValOut")->text(), "0");
            EXPECT_EQ(Items(Child<QComboBox>(d, "UM")), QStringList{"ORA"});
            Child<QComboBox>(d, "Grupa")->setEditText("  MECANICA ");
            Child<QComboBox>(d, "Produs")->setEditText("SCHIMB \"ULEI\"");
            Click(d, "Button1");
            balloon = ProblemBalloon::instance().message();
            balloonAt = ProblemBalloon::instance().control()->objectName();
            EXPECT_EQ(Child<QComboBox>(d, "Grupa")->currentText(), "MECANICA");
            Child<QComboBox>(d, "SubGrupa")->setEditText("MOTOR");
            Child<QComboBox>(d, "categ")->setEditText("REVIZIE");
            Child<QLineEdit>(d, "ValOut")->setText("150.5");
            QLineEdit* obs = Child<QLineEdit>(d, "Obs");
            obs->setFocus();
            PressKey(Qt::Key_Return, obs);  // Enter on the last field saves
            if (d->isVisible()) CloseModal(d);
        });
        Click(w, "AddB");
        EXPECT_EQ(Child<QComboBox>(w, "Grupa")->currentText(), "MECANICA");
        EXPECT_EQ(Child<QComboBox>(w, "Subgrupa")->currentText(), "MOTOR");
        EXPECT_EQ(Child<QComboBox>(w, "Categ")->currentText(), "REVIZIE");
        EXPECT_EQ(Current(Grid(w), 1), "SCHIMB `ULEI`");
        EXPECT_EQ(Current(Grid(w), 3), "150.50");
        EXPECT_TRUE(Child<QPushButton>(w, "AlesB")->isEnabled());
        Click(w, "AlesB");
    });
    EXPECT_EQ(dialogTitle, "Adaugare Serviciu");
    EXPECT_EQ(balloon, "Lipseste subgrupa!");
    EXPECT_EQ(balloonAt, "SubGrupa");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->product, "SCHIMB `ULEI`");
    EXPECT_EQ(chosen->price.toString(), "150.50");
    EXPECT_EQ(Count(), 2);
}

TEST_F(CatalogWindowsTest, ListsNarrowTheGridAndAmAlesReturnsTheCurrentRow) {
    Seed("ELECTRICA", "LUMINI", "FARURI", "BEC");
    Seed("MECANICA", "MOTOR", "REVIZIE", "SCHIMB ULEI");
    const long long filter = Seed("MECANICA", "MOTOR", "REVIZIE", "FILTRU AER");
    Seed("MECANICA", "FRANE", "DISCURI", "DISC");
    const auto chosen = Open([&](QWidget* w) {
        EXPECT_EQ(Items(Child<QComboBox>(w, "Grupa")), (QStringList{"ELECTRICA", "MECANICA"}));
        Child<QComboBox>(w, "Grupa")->setCurrentIndex(1);
        EXPECT_EQ(Items(Child<QComboBox>(w, "Subgrupa")), (QStringList{"FRANE", "MOTOR"}));
        EXPECT_EQ(Grid(w)->model()->rowCount(), 1);
        Child<QComboBox>(w, "Subgrupa")->setCurrentIndex(1);
        ASSERT_EQ(Grid(w)->model()->rowCount(), 2);
        Grid(w)->setCurrentIndex(Grid(w)->model()->index(0, 0));
        EXPECT_EQ(Current(Grid(w), 1), "FILTRU AER");
        Click(w, "AlesB");
        EXPECT_FALSE(w->isVisible());
    });
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->idCat, filter);
    EXPECT_EQ(chosen->unit, "ORA");
}

TEST_F(CatalogWindowsTest, ModifyingAndDeletingThroughTheButtons) {
    const long long id = Seed("MECANICA", "MOTOR", "REVIZIE", "SCHIMB ULEI");
    Seed("MECANICA", "MOTOR", "REVIZIE", "ZZ");
    QString editTitle, editName, question;
    Open([&](QWidget* w) {
        WhenModalNamed("TAddCat", [&](QWidget* d) {
            editTitle = d->windowTitle();
            editName = Child<QComboBox>(d, "Produs")->currentText();
            Child<QComboBox>(d, "Produs")->setEditText("SCHIMB ULEI 5W30");
            Click(d, "Button1");
            if (d->isVisible()) CloseModal(d);
        });
        Click(w, "EditB");
        EXPECT_EQ(Current(Grid(w), 0), QString::number(id));
        EXPECT_EQ(Current(Grid(w), 1), "SCHIMB ULEI 5W30");

        // Esc in the dialog saves nothing.
        WhenModalNamed("TAddCat", [](QWidget* d) {
            Child<QComboBox>(d, "Produs")->setEditText("ALTCEVA");
            PressKey(Qt::Key_Escape);
            if (d->isVisible()) CloseModal(d);
        });
        Click(w, "EditB");
        EXPECT_EQ(Current(Grid(w), 1), "SCHIMB ULEI 5W30");

        WhenModalNamed("TErori", [&](QWidget* m) {
            question = Child<QLabel>(m, "Titlu")->text();
            Child<QPushButton>(m, "BE1")->click();  // Da
        });
        Click(w, "DelB");
        EXPECT_EQ(Grid(w)->model()->rowCount(), 1);
        EXPECT_EQ(Current(Grid(w), 1), "ZZ");
    });
    EXPECT_EQ(editTitle, "Modificare Serviciu");
    EXPECT_EQ(editName, "SCHIMB ULEI");
    EXPECT_EQ(question, "Stergere Serviciu");
    EXPECT_EQ(Count(), 1);
}

}  // namespace
}  // namespace tvx::ui
