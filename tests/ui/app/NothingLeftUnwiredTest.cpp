// The whole application after an administrator's login at a car service: every report of the
// menu, every button of the main window and every command of the administration window has
// the window or report it opens, so none is left disabled for want of one.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "../UiTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/app/MainMenu.h"
#include "core/app/Session.h"
#include "core/common/Settings.h"
#include "ui/admin/TForm4.h"
#include "ui/app/Application.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"

namespace tvx::ui {
namespace {

using testing::CloseModal;
using testing::WhenModalNamed;

// The action of `menu` captioned `caption`; null when none.
QAction* ActionOf(QMenu* menu, const char* caption) {
    for (QAction* action : menu->actions())
        if (action->text() == QString::fromUtf8(caption)) return action;
    return nullptr;
}

// Every report item under `items` is found in `menu` and enabled; `path` names it on failure.
void ExpectReportsWired(QMenu* menu, const std::vector<core::ReportItem>& items,
                        const std::string& path = {}) {
    for (const core::ReportItem& item : items) {
        if (item.heading) continue;
        const std::string name = path + item.caption;
        QAction* action = ActionOf(menu, item.caption);
        ASSERT_NE(action, nullptr) << name;
        if (!item.children.empty()) {
            ASSERT_NE(action->menu(), nullptr) << name;
            ExpectReportsWired(action->menu(), item.children, name + "/");
        } else {
            EXPECT_NE(item.id, core::ReportId::None) << name;
            EXPECT_TRUE(action->isEnabled()) << "no report behind " << name;
        }
    }
}

TEST(NothingLeftUnwired, EveryReportButtonAndAdministrationCommandHasItsWindow) {
    testing::SessionFixture fx;
    fx.session.settings().writeSetting("SETARI", "DOMENIU", core::CompanyProfile::kServiceAuto);
    Application app(fx.session);
    app.splash().setStartDelay(0);
    WhenModalNamed("TErori", [](QWidget* notice) { CloseModal(notice); });  // first start
    app.start();
    for (int i = 0; i < 500 && !app.main().isVisible(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    app.main().findChild<QLineEdit*>("UserName")->setText("ADMIN");
    app.main().LogButClick();
    ASSERT_TRUE(fx.session.loggedIn());

    ExpectReportsWired(app.main().reportMenu(), core::ReportMenu());
    for (const core::MainButton& button : core::MainButtons()) {
        QToolButton* shown = app.main().button(button.command);
        ASSERT_NE(shown, nullptr) << button.caption;
        EXPECT_FALSE(shown->isHidden()) << button.caption;
        EXPECT_TRUE(shown->isEnabled()) << "nothing behind " << button.caption;
    }

    // The bank account buttons wait for an account, not for a window: left out.
    const QStringList needData = {"EditContB", "DelContB"};
    QStringList disabled, checked;
    WhenModalNamed("TForm4", [&](QWidget* admin) {
        for (QPushButton* button : admin->findChildren<QPushButton*>()) {
            if (needData.contains(button->objectName())) continue;
            checked << button->text();
            if (!button->isEnabled()) disabled << button->text();
        }
        auto* templates = admin->findChild<QMenu*>("ModeleMenu");
        if (templates)
            for (QAction* action : templates->findChildren<QAction*>()) {
                if (action->text().isEmpty() || action->menu()) continue;
                checked << action->text();
                if (!action->isEnabled()) disabled << action->text();
            }
        CloseModal(admin);
    });
    app.main().button(core::MainCommand::Administration)->click();
    for (const char* caption : {"Normativ de timp", "&Modifica model Precomanda",
                                "Modele de listare", "Modificare model", "Refa modelul initial"})
        EXPECT_TRUE(checked.contains(caption)) << caption;
    EXPECT_EQ(disabled.join(", ").toStdString(), "") << "disabled for want of a window";
}

}  // namespace
}  // namespace tvx::ui
