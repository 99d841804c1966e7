// "Comanda Service" bound to the core's service orders: controls, labels and lists of a new
// order, Esc closing without a row, Enter walking the fields and saving on the last one, a
// missing plate reported at its field with the dialog left open, an existing order saved.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "../UiTestSupport.h"
#include "core/common/Schema.h"
#include "core/workshop/ServiceOrders.h"
#include "tables/Database.h"
#include "ui/common/ShowProblem.h"
#include "ui/workshop/TAddComanda.h"

namespace tvx::ui {
namespace {

using testing::Balloon;
using testing::Child;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModalNamed;

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

// The named control that has the focus (a box's inner editor counts as the box).
QString Focused(QWidget* window) {
    QWidget* w = window->focusWidget();
    while (w && (w->objectName().isEmpty() || w->objectName().startsWith("qt_")))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

class ServiceOrderDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        fx.session.settings().setIndex(core::kOrderCounter, "5");
        dialog.Bind(fx.session);
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    tables::Database& Db() { return fx.session.db(); }
    std::string Counter() { return fx.session.settings().peekIndex(core::kOrderCounter); }
    long long Count() {
        auto rs = Db().query("SELECT COUNT(*) FROM " +
                             core::QuotedPath(core::TableFile(Db(), "Comenzi")));
        return rs.at(0, 0).number().toLongLong();
    }
    // Runs the dialog for `idFacto` with `act`, closing it afterwards if `act` left it open.
    bool Edit(const char* idFacto, std::function<void(QWidget*)> act) {
        bool seen = false;
        WhenModalNamed("TAddComanda", [&seen, act](QWidget* w) {
            seen = true;
            act(w);
            if (w->isVisible()) CloseModal(w);
        });
        const bool saved = dialog.EditServiceOrder(idFacto);
        EXPECT_TRUE(seen);
        return saved;
    }
    // An order stored through the core, as an earlier use of the dialog leaves it.
    void Seed(long long idFacto, const char* car, const char* plate, const char* state) {
        core::ServiceOrder order = core::OpenServiceOrder(Db(), fx.session.settings(), idFacto,
                                                          tables::Date::fromYmd(2026, 1, 20));
        order.carType = car, order.plate = plate, order.state = state;
        EXPECT_FALSE(core::SaveServiceOrder(Db(), fx.session.settings(), order));
    }

    testing::SessionFixture fx;
    TAddComanda dialog;
};

TEST_F(ServiceOrderDialogTest, NewOrderControlsListsAndEsc) {
    Seed(1, "VW", "B 1 AAA", "BUNA");
    Seed(2, "DACIA", "B 2 AAA", "BUNA");
    dialog.FillOrderLists();
    const std::string counter = Counter();
    const bool saved = Edit("30", [&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Comanda Service");
        EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
        QStringList labels;
        for (QLabel* label : w->findChildren<QLabel*>()) labels << label->text();
        for (const char* text :
             {"Comanda Nr.", "din data", "AUTO Tip", "Numar circ.", "Starea tehnica"})
            EXPECT_TRUE(labels.contains(text)) << text;
        EXPECT_EQ(Child<QPushButton>(w, "MemoBut")->text().remove('&'), "Memoreaza");
        EXPECT_EQ(Child<QPushButton>(w, "Renunt")->text().remove('&'), "Renunt");

        EXPECT_EQ(Child<QLineEdit>(w, "ComandaNr")->text().toStdString(), counter);
        EXPECT_EQ(Child<QDateEdit>(w, "DinData")->date(), QDate::currentDate());
        auto* car = Child<QComboBox>(w, "AutoTip");
        auto* state = Child<QComboBox>(w, "StareTehnica");
        EXPECT_TRUE(car->isEditable());
        EXPECT_EQ(Items(car), (QStringList{"DACIA", "VW"}));
        EXPECT_EQ(Items(state), QStringList{"BUNA"});
        EXPECT_EQ(car->currentText(), "");
        EXPECT_EQ(car->lineEdit()->maxLength(), 32);
        EXPECT_EQ(Child<QLineEdit>(w, "NrCirc")->maxLength(), 12);
        EXPECT_EQ(state->lineEdit()->maxLength(), 24);
        EXPECT_EQ(Focused(w), "ComandaNr");
        car->setEditText("FORD");
        PressKey(Qt::Key_Escape);  // closes without saving
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(Counter(), std::to_string(std::stoi(counter) + 1));  // the number stays spent
}

TEST_F(ServiceOrderDialogTest, EnterWalksTheFieldsAndTheLastEnterSaves) {
    QStringList walk;
    const bool saved = Edit("31", [&](QWidget* w) {
        walk << Focused(w);
        for (int i = 0; i < 4; ++i) {
            PressKey(Qt::Key_Return);
            walk << Focused(w);
        }
        Child<QComboBox>(w, "AutoTip")->setEditText("DACIA  LOGAN");
        Child<QLineEdit>(w, "NrCirc")->setText("B 77 TVX");
        Child<QComboBox>(w, "StareTehnica")->setEditText("buna");  // typed past the validator
        PressKey(Qt::Key_Return);
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_EQ(walk, (QStringList{"ComandaNr", "DinData", "AutoTip", "NrCirc", "StareTehnica"}));
    ASSERT_TRUE(saved);
    const core::ServiceOrder& o = dialog.order();  // what the estimate reads
    EXPECT_EQ(o.idFacto, 31);
    EXPECT_EQ(o.number + "|" + o.carType + "|" + o.plate + "|" + o.state,
              "5|DACIA LOGAN|B 77 TVX|BUNA");
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(Counter(), "7");
}

TEST_F(ServiceOrderDialogTest, MissingPlateIsShownAtItsFieldAndTheDialogStaysOpen) {
    std::pair<QString, QString> problem;
    bool stillOpen = false;
    const bool saved = Edit("33", [&](QWidget* w) {
        Child<QComboBox>(w, "AutoTip")->setEditText("FORD");
        Child<QLineEdit>(w, "NrCirc")->setText("   ");
        Child<QComboBox>(w, "StareTehnica")->setEditText("BUNA");
        Child<QPushButton>(w, "MemoBut")->click();
        problem = Balloon();
        stillOpen = w->isVisible();
        EXPECT_EQ(Focused(w), "NrCirc");
        EXPECT_EQ(Child<QComboBox>(w, "AutoTip")->currentText(), "FORD");
    });
    EXPECT_EQ(problem, std::make_pair(QString("Lipseste Numar circulatie!"), QString("NrCirc")));
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(saved);
    EXPECT_EQ(Count(), 0);
}

TEST_F(ServiceOrderDialogTest, ExistingOrderIsShownAndSavedInPlace) {
    Seed(40, "SKODA", "CJ 10 ABC", "BUNA");
    dialog.FillOrderLists();
    const std::string counter = Counter();
    const bool saved = Edit("40", [](QWidget* w) {
        EXPECT_EQ(Child<QLineEdit>(w, "ComandaNr")->text(), "5");
        EXPECT_EQ(Child<QDateEdit>(w, "DinData")->date(), QDate(2026, 1, 20));
        EXPECT_EQ(Child<QComboBox>(w, "AutoTip")->currentIndex(), 0);
        EXPECT_EQ(Child<QComboBox>(w, "AutoTip")->currentText(), "SKODA");
        EXPECT_EQ(Child<QLineEdit>(w, "NrCirc")->text(), "CJ 10 ABC");
        EXPECT_EQ(Child<QComboBox>(w, "StareTehnica")->currentText(), "BUNA");
        Child<QLineEdit>(w, "ComandaNr")->clear();
        Child<QComboBox>(w, "StareTehnica")->setEditText("REPARATA");
        Child<QPushButton>(w, "MemoBut")->click();
    });
    ASSERT_TRUE(saved);
    EXPECT_EQ(dialog.order().number + "|" + dialog.order().state, "0|REPARATA");
    EXPECT_EQ(Counter(), counter);
    EXPECT_EQ(Count(), 1);
}

}  // namespace
}  // namespace tvx::ui
