// The main window over a scratch session: login panel and button row, the first start, the
// grades, the function keys, the report menu with its pickers, and the splash sequence.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <fstream>

#include "../UiTestSupport.h"
#include "core/admin/Users.h"
#include "core/app/MainMenu.h"
#include "core/app/Startup.h"
#include "ui/app/SingleInstance.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Pickers.h"

namespace tvx::ui {
namespace {

namespace fs = std::filesystem;
using C = core::MainCommand;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModal;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() : window(fixture.session) {
        for (const core::MainButton& def : core::MainButtons())
            window.setOpener(def.command,
                             [this, command = def.command] { opened.push_back(command); });
        window.ShowLoggedOut();
    }
    void LogIn(const QString& name, const QString& password) {
        window.findChild<QLineEdit*>("UserName")->setText(name);
        window.findChild<QLineEdit*>("Parola")->setText(password);
        window.LogButClick();
    }
    void AddUsers() {
        core::WriteUsersFile(fixture.session.dataDir() / core::kUsersFileName,
                             {{"ADMIN", "735", core::kGradeAdmin},
                              {"ANA", "1", core::kGradeContabil},
                              {"ION", "2", core::kGradeCasier},
                              {"NOBODY", "3", core::kGradeNecunoscut}});
    }
    bool Shown(C command) { return window.button(command)->isVisibleTo(&window); }
    bool LoggedIn() { return window.findChild<QWidget*>("ButtonRow")->isVisibleTo(&window); }

    testing::SessionFixture fixture;
    TForm3 window;
    std::vector<C> opened;
};

TEST_F(MainWindowTest, FirstStartCreatesTheUsersFileAndLogsInAsAdminWhateverIsTyped) {
    EXPECT_EQ(window.windowTitle(), "Tarvix 2.51");
    EXPECT_FALSE(LoggedIn());
    QString notice;
    WhenModal([&](QWidget* modal) {
        notice = modal->windowTitle() + "|" + modal->findChild<QLabel*>("Titlu")->text();
        CloseModal(modal);
    });
    LogIn("  maria   pop ", "ORICE");
    EXPECT_TRUE(fs::exists(fixture.session.dataDir() / "s.mpg"));
    EXPECT_TRUE(notice.contains("PRIMA PORNIRE")) << notice.toStdString();
    EXPECT_TRUE(LoggedIn());
    EXPECT_EQ(fixture.session.grade, core::kGradeAdmin);
    EXPECT_EQ(window.findChild<QLineEdit*>("UserName")->text(), "MARIA POP");
    EXPECT_EQ(window.windowTitle(), "Tarvix 2.51  >> MARIA POP");
}

TEST_F(MainWindowTest, WrongPasswordStaysSilentlyAndGradesDecideTheReportButton) {
    AddUsers();
    LogIn("ANA", "WRONG");
    EXPECT_FALSE(LoggedIn());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    LogIn("NOBODY", "3");  // a recorded grade 3 can never log in
    EXPECT_FALSE(LoggedIn());

    std::vector<int> grades;
    QObject::connect(&window, &TForm3::loggedIn, [&](int grade) { grades.push_back(grade); });
    LogIn(" ion ", "2");
    ASSERT_TRUE(LoggedIn());
    EXPECT_FALSE(Shown(C::Reports));
    EXPECT_TRUE(Shown(C::Backup));
    EXPECT_FALSE(Shown(C::PreOrders));

    window.button(C::LogOut)->click();
    EXPECT_FALSE(LoggedIn());
    EXPECT_EQ(window.windowTitle(), "Tarvix 2.51");
    EXPECT_EQ(window.findChild<QLineEdit*>("Parola")->text(), "");
    EXPECT_EQ(window.findChild<QLineEdit*>("UserName")->text(), "ION");
    EXPECT_EQ(fixture.session.grade, core::kGradeNecunoscut);

    LogIn("ADMIN", "735");
    EXPECT_TRUE(Shown(C::Reports));
    window.setCompany("ALFA SERVICE SRL", true);
    EXPECT_TRUE(Shown(C::PreOrders));
    EXPECT_EQ(window.findChild<QLabel*>("CompanyLabel")->text(), "ALFA SERVICE SRL");
    EXPECT_EQ(grades, (std::vector<int>{core::kGradeCasier, core::kGradeAdmin}));
}

TEST_F(MainWindowTest, EnterMovesToThePasswordAndPressesStart) {
    AddUsers();
    auto* name = window.findChild<QLineEdit*>("UserName");
    name->setFocus();
    name->setText("ANA");
    PressKey(Qt::Key_Return, name);
    auto* password = window.findChild<QLineEdit*>("Parola");
    EXPECT_EQ(window.focusWidget(), password);
    password->setText("1");
    PressKey(Qt::Key_Return, password);
    EXPECT_TRUE(LoggedIn());
}

TEST_F(MainWindowTest, FunctionKeysActOnlyOnTheButtonRowAndF5NotForACashier) {
    AddUsers();
    auto* name = window.findChild<QLineEdit*>("UserName");
    for (int key : {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4}) PressKey(key, name);
    EXPECT_TRUE(opened.empty());

    LogIn("ANA", "1");
    QWidget* focus = window.focusWidget();
    for (int key : {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4}) PressKey(key, focus);
    EXPECT_EQ(opened, (std::vector<C>{C::IncomingInvoices, C::ReceivedNotes, C::ProductCard,
                                      C::OutgoingInvoices}));
    bool menuShown = false;
    QTimer::singleShot(0, [&] {
        menuShown = window.reportMenu()->isVisible();
        window.reportMenu()->close();
    });
    PressKey(Qt::Key_F5, focus);
    QApplication::processEvents();
    EXPECT_TRUE(menuShown);

    window.Label1Click();
    LogIn("ION", "2");
    window.reportMenu()->close();
    PressKey(Qt::Key_F5, window.focusWidget());
    EXPECT_FALSE(window.reportMenu()->isVisible());
}

TEST_F(MainWindowTest, EscAndF12CloseTheWindow) {
    int closed = 0;
    QObject::connect(&window, &TForm3::closed, [&] { ++closed; });
    PressKey(Qt::Key_Escape, window.findChild<QLineEdit*>("UserName"));
    EXPECT_EQ(closed, 1);
    window.ShowLoggedOut();
    PressKey(Qt::Key_F12, window.findChild<QLineEdit*>("UserName"));
    EXPECT_EQ(closed, 2);
}

TEST_F(MainWindowTest, ButtonsWithoutTheirWindowAndReportsWithoutTheirReportAreDisabled) {
    TForm3 bare(fixture.session);
    EXPECT_FALSE(bare.button(C::IncomingInvoices)->isEnabled());
    EXPECT_TRUE(bare.button(C::Reports)->isEnabled());
    EXPECT_TRUE(bare.button(C::LogOut)->isEnabled());
    QStringList captions;
    for (QAction* action : bare.reportMenu()->actions()) {
        captions << action->text();
        if (!action->menu()) {
            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
        }
    }
    EXPECT_EQ(captions.first(), "----- Financiar ------");
    EXPECT_EQ(captions.last(), "Garantii");
    EXPECT_EQ(captions.size(), 17);
}

QAction* MenuAction(QMenu* menu, const QString& path) {
    QMenu* current = menu;
    QAction* found = nullptr;
    for (const QString& part : path.split('/')) {
        found = nullptr;
        for (QAction* action : current->actions())
            if (action->text() == part) found = action;
        if (!found) return nullptr;
        if (found->menu()) current = found->menu();
    }
    return found;
}

TEST_F(MainWindowTest, ReportItemsAskTheirPickerAndHandTheChoiceOn) {
    std::vector<ReportRequest> runs;
    auto record = [&](const ReportRequest& request) { runs.push_back(request); };
    window.setReportHandler(core::ReportId::ReceiptsJournal, record);
    window.setReportHandler(core::ReportId::NirSummary, record);
    window.setReportHandler(core::ReportId::Inventory, record);

    QAction* receipts = MenuAction(window.reportMenu(), "Jurnal pentru vanzari/Chitante");
    ASSERT_NE(receipts, nullptr);
    EXPECT_TRUE(receipts->isEnabled());
    QString title;
    WhenModal([&](QWidget* modal) {
        title = modal->findChild<QLabel*>("Titlu")->text();
        modal->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1);  // February
        modal->findChild<QSpinBox*>("Anul")->setValue(2024);
        modal->findChild<QPushButton*>("AmAles")->click();
    });
    receipts->trigger();
    EXPECT_EQ(title, "Jurnal incasari");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].from.toString(), "01.02.2024");
    EXPECT_EQ(runs[0].to.toString(), "29.02.2024");

    // A cancelled picker starts nothing; the location chooser is back for the next caller.
    bool locationHidden = false;
    WhenModal([&](QWidget* modal) {
        locationHidden = !modal->findChild<QWidget*>("GesAles")->isVisibleTo(modal);
        CloseModal(modal);
    });
    MenuAction(window.reportMenu(), "Magazie/Centralizator N.I.R.")->trigger();
    EXPECT_TRUE(locationHidden);
    EXPECT_EQ(runs.size(), 1u);
    EXPECT_TRUE(
        window.periodPicker().findChild<QWidget*>("GesAles")->isVisibleTo(&window.periodPicker()));

    MenuAction(window.reportMenu(), "Inventar")->trigger();  // no picker
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].id, core::ReportId::Inventory);
}

TEST(SplashTest, StartUpRunsItsStepsInOrderAndEndsAt100) {
    QTemporaryDir folder;
    core::Session session(folder.path().toStdString());
    std::vector<std::string> steps;
    TForm1::Steps hooks;
    hooks.setMainTitle = [&] { steps.push_back("title"); };
    hooks.loadProfile = [&] {
        steps.push_back("profile");
        session.loadProfile();
    };
    hooks.showMain = [&] { steps.push_back("main"); };
    hooks.startFailed = [&] { steps.push_back("failed"); };
    TForm1 splash(session, hooks);
    EXPECT_EQ(splash.status(), "Incarcare date");
    splash.setStartDelay(0);
    splash.show();
    for (int i = 0; i < 200 && steps.size() < 3; ++i) QApplication::processEvents();
    EXPECT_EQ(steps, (std::vector<std::string>{"title", "profile", "main"}));
    EXPECT_EQ(splash.progress(), 100);
    EXPECT_EQ(splash.status(), "Refac bazele de date ...");
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(fs::exists(session.dataDir() / "FactOut.dbf"));
}

TEST(SplashTest, ADataDirectoryThatCannotBeMadeIsReportedAndTheStartEnds) {
    QTemporaryDir folder;
    std::ofstream(folder.filePath("Data").toStdString()) << "not a folder";
    core::Session session(folder.path().toStdString());
    std::vector<std::string> steps;
    TForm1 splash(session, {.setMainTitle = [&] { steps.push_back("title"); },
                            .loadProfile = {},
                            .showMain = [&] { steps.push_back("main"); },
                            .startFailed = [&] { steps.push_back("failed"); }});
    QString shown;
    WhenModal([&](QWidget* modal) {
        shown = modal->findChild<QLabel*>("Text")->text();
        CloseModal(modal);
    });
    splash.Timer1Timer();
    EXPECT_EQ(steps, (std::vector<std::string>{"failed"}));
    EXPECT_TRUE(shown.contains("Data")) << shown.toStdString();
}

TEST(SingleInstanceTest, ALaterCopyAsksTheRunningOneToComeForward) {
    const QString key = "tvx-test-" + QString::number(QCoreApplication::applicationPid());
    SingleInstance first(key);
    SingleInstance early(key);
    EXPECT_FALSE(early.handOverToRunning());  // nobody listens yet
    ASSERT_TRUE(first.listen());
    int raised = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++raised; });
    SingleInstance second(key);
    EXPECT_TRUE(second.handOverToRunning());
    for (int i = 0; i < 200 && raised == 0; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(raised, 1);
}

}  // namespace
}  // namespace tvx::ui
