// The small shared dialogs bound to their core objects: the pickers, the unit chooser, the
// user dialog and the IBAN dialog — their keys, their checks shown at the right control and
// what they hand back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "UiTestSupport.h"
#include "core/common/Settings.h"
#include "ui/common/Pickers.h"
#include "ui/common/ShowProblem.h"
#include "ui/common/SmallDialogs.h"

namespace tvx::ui {
namespace {

using testing::Child;

using testing::CloseModal;
using testing::PressKey;
using testing::WhenModal;

QWidget* Focused(QWidget* window) {
    QWidget* focus = window->focusWidget();
    // Date and number boxes hand their focus to an inner editor.
    while (focus && focus->parentWidget() && focus->parentWidget() != window &&
           focus->parentWidget()->focusProxy() == focus)
        focus = focus->parentWidget();
    return focus;
}

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ProblemBalloon::setLifetime(60000); }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    // The balloon's message and control name, empty when it is not shown.
    static std::pair<QString, QString> Balloon() {
        const auto& b = ProblemBalloon::instance();
        if (!b.isVisible() || !b.control()) return {};
        return {b.message(), b.control()->objectName()};
    }
};

TEST_F(DialogTest, PeriodPickerRefusesAReversedIntervalThenEnterOnTheLocationAccepts) {
    TAlegeDataF picker;
    std::pair<QString, QString> balloon;
    bool stayedOpen = false;
    QString firstLocation;
    WhenModal([&](QWidget* w) {
        auto* from = Child<QDateEdit>(w, "DeLa");
        auto* to = Child<QDateEdit>(w, "PanaLa");
        auto* location = Child<QComboBox>(w, "GesAles");
        firstLocation = location->itemText(0);
        from->setDate(QDate(2024, 5, 11));
        to->setDate(QDate(2024, 5, 10));
        Child<QPushButton>(w, "AmAles")->click();
        balloon = Balloon();
        stayedOpen = w->isVisible();
        to->setDate(QDate(2024, 5, 11));  // one day is a period
        location->setCurrentIndex(2);
        location->setFocus();
        PressKey(Qt::Key_Return);
        CloseModal(QApplication::activeModalWidget());
    });
    ASSERT_TRUE(picker.Alege({"MAGAZIN", "DEPOZIT"}));
    EXPECT_EQ(balloon.first, "Intervalul ales este incorect!");
    EXPECT_EQ(balloon.second, "DeLa");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(firstLocation, " * toate gestiunile *");
    EXPECT_EQ(picker.choice().from, tables::Date::fromYmd(2024, 5, 11));
    EXPECT_EQ(picker.choice().to, tables::Date::fromYmd(2024, 5, 11));
    EXPECT_EQ(picker.choice().locations[picker.choice().location], "DEPOZIT");
}

TEST_F(DialogTest, PeriodPickerKeysAndKeptDates) {
    TAlegeDataF picker;
    const QDate today = QDate::currentDate();
    QDate shownFrom;
    QString afterEnter;
    WhenModal([&](QWidget* w) {
        shownFrom = Child<QDateEdit>(w, "DeLa")->date();
        Child<QDateEdit>(w, "DeLa")->setFocus();
        PressKey(Qt::Key_Return);
        afterEnter = Focused(w) ? Focused(w)->objectName() : QString();
        PressKey(Qt::Key_Escape);
        CloseModal(QApplication::activeModalWidget());
    });
    EXPECT_FALSE(picker.Alege({}));
    EXPECT_EQ(shownFrom, today.addMonths(-1));
    EXPECT_EQ(afterEnter, "PanaLa");

    picker.setLocationVisible(false);  // the last date becomes the last field
    WhenModal([&](QWidget* w) {
        Child<QDateEdit>(w, "DeLa")->setDate(QDate(2023, 1, 2));
        Child<QDateEdit>(w, "PanaLa")->setFocus();
        PressKey(Qt::Key_Return);
        CloseModal(QApplication::activeModalWidget());
    });
    ASSERT_TRUE(picker.Alege({}));
    WhenModal([&](QWidget* w) {
        shownFrom = Child<QDateEdit>(w, "DeLa")->date();
        CloseModal(w);
    });
    picker.Alege({});
    EXPECT_EQ(shownFrom, QDate(2023, 1, 2));
}

TEST_F(DialogTest, MonthPickerEnterOnTheYearChoosesTheMonth) {
    TAlegeLunaF picker;
    int shownYear = 0;
    WhenModal([&](QWidget* w) {
        shownYear = Child<QSpinBox>(w, "Anul")->value();
        Child<QComboBox>(w, "ComboBox1")->setCurrentIndex(1);
        Child<QSpinBox>(w, "Anul")->setValue(2024);
        Child<QComboBox>(w, "ComboBox1")->setFocus();
        PressKey(Qt::Key_Return);  // moves to the year
        PressKey(Qt::Key_Return);  // presses "&Am ales"
        CloseModal(QApplication::activeModalWidget());
    });
    ASSERT_TRUE(picker.Alege());
    EXPECT_EQ(shownYear, QDate::currentDate().year());
    EXPECT_EQ(picker.choice().month, 2);
    EXPECT_EQ(picker.choice().last(), tables::Date::fromYmd(2024, 2, 29));
}

TEST_F(DialogTest, UnitChooserAsksOnceWhenTicked) {
    QTemporaryDir dir;
    core::Settings settings(dir.filePath("Tvx2010.set").toStdString());
    TUMSF chooser(settings);
    std::pair<QString, QString> balloon;
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(Child<QComboBox>(w, "UMS")->currentIndex(), -1);
        Child<QPushButton>(w, "MemoBut")->click();
        balloon = Balloon();
        Child<QComboBox>(w, "UMS")->setCurrentIndex(10);
        Child<QCheckBox>(w, "AutoU")->setChecked(true);
        Child<QPushButton>(w, "MemoBut")->click();
        CloseModal(QApplication::activeModalWidget());
    });
    ASSERT_TRUE(chooser.Alege("ltr"));
    EXPECT_EQ(balloon.first, "Nu ati ales Unitatea de masura!");
    EXPECT_EQ(balloon.second, "UMS");
    EXPECT_EQ(settings.readSetting("UMS", "LTR"), "LTR - LITRU");
    EXPECT_EQ(settings.readSetting("UMS", "LTRAuto"), "DA");
    EXPECT_TRUE(chooser.Alege("LTR"));  // no window: nothing would answer it
    EXPECT_EQ(core::UnitChoice::codeOf(chooser.choice().chosenItem()), "LTR");

    WhenModal([&](QWidget* w) { PressKey(Qt::Key_Escape); });
    EXPECT_FALSE(chooser.Alege("BUC"));
}

TEST_F(DialogTest, UserDialogChecksAtTheirBoxesAndEnterOnConfirmationSaves) {
    TFAddUser dialog;
    std::vector<std::pair<QString, QString>> balloons;
    QString cleanedName;
    WhenModal([&](QWidget* w) {
        auto* name = Child<QLineEdit>(w, "Nume");
        auto* again = Child<QLineEdit>(w, "Pas2");
        name->setText("  ion   pop ");
        Child<QPushButton>(w, "MemoBut")->click();
        balloons.push_back(Balloon());
        cleanedName = name->text();
        name->setText("maria");
        Child<QLineEdit>(w, "Pas1")->setText("abc");
        again->setText("abd");
        Child<QPushButton>(w, "MemoBut")->click();
        balloons.push_back(Balloon());
        again->setText("abc");
        again->setFocus();
        PressKey(Qt::Key_Return);
        CloseModal(QApplication::activeModalWidget());
    });
    ASSERT_TRUE(dialog.Edit("Adaugare Utilizator", {"ION POP"}));
    ASSERT_EQ(balloons.size(), 2u);
    EXPECT_EQ(balloons[0], std::make_pair(QString("Acest nume mai exista!"), QString("Nume")));
    EXPECT_EQ(cleanedName, "ION POP");
    EXPECT_EQ(balloons[1],
              std::make_pair(QString("Parola nu e la fel ca mai sus!"), QString("Pas2")));
    EXPECT_EQ(dialog.entry().name, "MARIA");
    EXPECT_EQ(dialog.entry().password, "ABC");

    dialog.setPasswordsEnabled(false);
    dialog.entry().name = "";
    WhenModal([&](QWidget* w) {
        Child<QPushButton>(w, "MemoBut")->click();
        balloons.push_back(Balloon());
        PressKey(Qt::Key_Escape);
    });
    EXPECT_FALSE(dialog.Edit("Modificare utilizator", {}));
    EXPECT_EQ(balloons.back(), std::make_pair(QString("Lipseste numele!"), QString("Nume")));
}

TEST_F(DialogTest, IbanDialogEnablesSavingOnlyForAValidAccount) {
    TAddCont dialog;
    QString bankWhenWrong, focused;
    bool enabledWhenWrong = true;
    WhenModal([&](QWidget* w) {
        focused = Focused(w) ? Focused(w)->objectName() : QString();
        auto* account = Child<QLineEdit>(w, "Cont");
        account->clear();
        account->insert("ro30btrl0123456789012345");
        bankWhenWrong = Child<QLabel>(w, "Banca")->text();
        enabledWhenWrong = Child<QPushButton>(w, "MemoBut")->isEnabled();
        account->clear();
        account->insert("RO31BTRL0123456789012345");
        EXPECT_FALSE(Child<QLabel>(w, "Banca")->text().isEmpty());
        Child<QPushButton>(w, "MemoBut")->click();
        CloseModal(QApplication::activeModalWidget());
    });
    ASSERT_TRUE(dialog.Edit("RO49AAAA1B31007593840000"));
    EXPECT_EQ(focused, "Cont");
    EXPECT_EQ(bankWhenWrong, "Cont incorect !");
    EXPECT_FALSE(enabledWhenWrong);
    EXPECT_EQ(dialog.result(), "RO31BTRL0123456789012345");
}

}  // namespace
}  // namespace tvx::ui
