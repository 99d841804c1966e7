// The whole application on a scratch program folder, as a new user meets it: the splash
// leads to the login panel, the first login, the administration saved through "Setari" and
// found again after a restart, the backup window by grade, every main-window button found and
// pressed through the accessibility interface, and the service order lists read at start-up.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <memory>

#include "../UiTestSupport.h"
#include "core/admin/Users.h"
#include "core/app/Session.h"
#include "core/common/Schema.h"
#include "tables/Database.h"
#include "ui/admin/TForm21.h"
#include "ui/admin/TForm4.h"
#include "ui/app/Application.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"
#include "ui/workshop/TAddComanda.h"

namespace tvx::ui {
namespace {

using testing::WhenModalNamed;

using C = core::MainCommand;
using testing::CloseModal;

// One run of the program over `folder`: started, shown on its login panel.
struct ProgramRun {
    explicit ProgramRun(const QString& folder) : session(folder.toStdString()), app(session) {
        QObject::connect(&app, &Application::finished, [this](int code) { exitCode = code; });
        app.splash().setStartDelay(0);
        app.start();
        for (int i = 0; i < 500 && !app.main().isVisible(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    void LogIn(const QString& name, const QString& password) {
        app.main().findChild<QLineEdit*>("UserName")->setText(name);
        app.main().findChild<QLineEdit*>("Parola")->setText(password);
        app.main().LogButClick();
    }
    core::Session session;
    Application app;
    int exitCode = -1;
};

TEST(ApplicationTest, AdministrationSavedThroughTheMainWindowIsThereAfterARestart) {
    QTemporaryDir folder;
    {
        ProgramRun run(folder.path());
        ASSERT_TRUE(run.app.main().isVisible());
        EXPECT_FALSE(run.app.splash().isVisible());
        WhenModalNamed("TErori", [](QWidget* notice) { CloseModal(notice); });  // PRIMA PORNIRE
        run.LogIn("ADMIN", "");
        ASSERT_EQ(run.session.grade, core::kGradeAdmin);

        WhenModalNamed("TForm4", [](QWidget* admin) {
            admin->findChild<QLineEdit*>("DenumSoc")->setText("BETA SRL");
            // No bank account yet: the question is answered Da.
            WhenModalNamed("TErori", [](QWidget* question) {
                question->findChild<QPushButton*>("BE1")->click();
            });
            admin->findChild<QPushButton*>("SaveBut")->click();
        });
        run.app.main().button(C::Administration)->click();
        EXPECT_EQ(run.app.main().findChild<QLabel*>("CompanyLabel")->text(), "BETA SRL");
        run.app.main().close();
        EXPECT_EQ(run.exitCode, 0);
    }
    ProgramRun again(folder.path());
    EXPECT_EQ(again.app.main().findChild<QLabel*>("CompanyLabel")->text(), "BETA SRL");
    EXPECT_EQ(again.app.admin().findChild<QLineEdit*>("DenumSoc")->text(), "BETA SRL");
    again.LogIn("ADMIN", "735");  // the users file of the first run
    EXPECT_EQ(again.session.grade, core::kGradeAdmin);
}

TEST(ApplicationTest, TheBackupWindowOffersRestoreOnlyToTheAdministrator) {
    QTemporaryDir folder;
    ProgramRun run(folder.path());
    core::WriteUsersFile(run.session.dataDir() / core::kUsersFileName,
                         {{"ADMIN", "735", core::kGradeAdmin}, {"ANA", "1", core::kGradeContabil}});
    std::vector<bool> restoreEnabled;
    auto look = [&](QWidget* window) {
        restoreEnabled.push_back(window->findChild<QPushButton*>("RestBut")->isEnabled());
        CloseModal(window);
    };
    run.LogIn("ANA", "1");
    WhenModalNamed("TForm21", look);
    run.app.main().button(C::Backup)->click();
    run.app.main().Label1Click();
    run.LogIn("ADMIN", "735");
    WhenModalNamed("TForm21", look);
    run.app.main().button(C::Backup)->click();
    EXPECT_EQ(restoreEnabled, (std::vector<bool>{false, true}));
}

TEST(ApplicationTest, F1AndF2OpenTheIncomingDocumentsAndTheReceivedNotes) {
    QTemporaryDir folder;
    ProgramRun run(folder.path());
    WhenModalNamed("TErori", [](QWidget* notice) { CloseModal(notice); });
    run.LogIn("ADMIN", "");
    ASSERT_TRUE(run.session.loggedIn());
    std::vector<QString> opened;
    for (int key : {Qt::Key_F1, Qt::Key_F2}) {
        WhenModalNamed(key == Qt::Key_F1 ? "TFactInF" : "TNIRF", [&](QWidget* window) {
            opened.push_back(window->windowTitle());
            CloseModal(window);
        });
        testing::PressKey(key, run.app.main().focusWidget());
    }
    EXPECT_EQ(opened, (std::vector<QString>{"Acte de intrare", "Note de receptie"}));
}

// The accessible object of the control named `name` under `root`, searched depth first.
QAccessibleInterface* FindAccessible(QAccessibleInterface* root, const QString& name) {
    if (!root) return nullptr;
    if (root->text(QAccessible::Name) == name && root->actionInterface()) return root;
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface* found = FindAccessible(root->child(i), name)) return found;
    return nullptr;
}

// Presses through the accessibility interface (an animated click) and lets it happen.
void Press(QAccessibleInterface* control, const std::function<bool()>& done) {
    control->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(ApplicationTest, EveryMainButtonIsFoundAndPressedByItsAccessibleName) {
    QTemporaryDir folder;
    ProgramRun run(folder.path());
    WhenModalNamed("TErori", [](QWidget* notice) { CloseModal(notice); });
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&run.app.main());
    QAccessibleInterface* start = FindAccessible(window, "START");
    ASSERT_NE(start, nullptr);
    Press(start, [&] { return run.session.loggedIn(); });
    ASSERT_EQ(run.session.grade, core::kGradeAdmin);

    for (const core::MainButton& def : core::MainButtons()) {
        if (!run.app.main().button(def.command)->isVisibleTo(&run.app.main())) continue;
        EXPECT_NE(FindAccessible(window, def.caption), nullptr) << def.caption;
    }
    QAccessibleInterface* settings = FindAccessible(window, "Setari");
    ASSERT_NE(settings, nullptr);
    bool opened = false;
    WhenModalNamed("TForm4", [&](QWidget* admin) {
        opened = true;
        CloseModal(admin);
    });
    Press(settings, [&] { return opened; });
    EXPECT_TRUE(opened);
    QAccessibleInterface* logout = FindAccessible(window, "Iesire");
    ASSERT_NE(logout, nullptr);
    Press(logout, [&] { return !run.session.loggedIn(); });
    EXPECT_EQ(run.session.grade, core::kGradeNecunoscut);
}

TEST(ApplicationTest, ServiceOrderListsHoldTheStoredValuesFromTheNextStart) {
    QTemporaryDir folder;
    {
        ProgramRun run(folder.path());
        ASSERT_TRUE(run.app.main().isVisible());
        auto* cars = run.app.serviceOrder().findChild<QComboBox*>("AutoTip");
        ASSERT_TRUE(cars);
        EXPECT_EQ(cars->count(), 0);
        tables::Database& db = run.session.db();
        db.execute("INSERT INTO " + core::QuotedPath(core::TableFile(db, "Comenzi")) +
                       " (IDFACTO, NR, DINDATA, AUTOTIP, NRCIRC, STARE)"
                       " VALUES (1, 5, :data, 'DACIA LOGAN', 'CJ01ABC', 'BUNA')",
                   {{"data", tables::Date::fromYmd(2026, 2, 3)}});
        EXPECT_EQ(cars->count(), 0);  // read once per start
    }
    ProgramRun again(folder.path());
    auto* cars = again.app.serviceOrder().findChild<QComboBox*>("AutoTip");
    auto* states = again.app.serviceOrder().findChild<QComboBox*>("StareTehnica");
    ASSERT_TRUE(cars && states);
    ASSERT_EQ(cars->count(), 1);
    EXPECT_EQ(cars->itemText(0), "DACIA LOGAN");
    ASSERT_EQ(states->count(), 1);
    EXPECT_EQ(states->itemText(0), "BUNA");
}

}  // namespace
}  // namespace tvx::ui
