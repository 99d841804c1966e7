// The stock, activity, declaration 394 and client items of the report menu in the whole
// application: each has its report, and "Rezumat" runs from the menu through its period
// picker to the preview.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "../UiTestSupport.h"
#include "core/app/Session.h"
#include "ui/app/Application.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"

namespace tvx::ui {
namespace {

using testing::CloseModal;
using testing::WhenModalNamed;

// The item at `path` ("Declaratia 394/Listare") by the captions of its menus.
QAction* FindAction(QMenu* menu, const QString& path) {
    QAction* found = nullptr;
    for (const QString& part : path.split('/')) {
        if (!menu) return nullptr;
        found = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == part) found = action;
        if (!found) return nullptr;
        menu = found->menu();
    }
    return found;
}

TEST(ReportMenuWiring, TheStockActivityAndClientReportsOpenFromTheMenu) {
    QTemporaryDir folder;
    core::Session session(folder.path().toStdString());
    Application app(session);
    app.splash().setStartDelay(0);
    app.start();
    for (int i = 0; i < 500 && !app.main().isVisible(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    WhenModalNamed("TErori", [](QWidget* notice) { CloseModal(notice); });
    app.main().findChild<QLineEdit*>("UserName")->setText("ADMIN");
    app.main().LogButClick();
    ASSERT_TRUE(session.loggedIn());

    for (const char* caption :
         {"Magazie/Centralizator Bonuri de consum",
          "Jurnal pentru vanzari/Centralizator vanzari-adaos", "Declaratia 394/Listare",
          "Declaratia 394/Export in Excel", "Fise clienti", "Rezumat", "Intrari in gestiune",
          "Iesiri din gestiune", "Transferuri", "Facturi de incasat/Selectii", "Inventar"}) {
        QAction* action = FindAction(app.main().reportMenu(), caption);
        ASSERT_NE(action, nullptr) << caption;
        EXPECT_TRUE(action->isEnabled()) << caption;
    }

    bool previewed = false;
    WhenModalNamed("TAlegeDataF", [&](QWidget* picker) {
        WhenModalNamed("TPreview", [&](QWidget* preview) {
            previewed = true;
            CloseModal(preview);
        });
        picker->findChild<QPushButton*>("AmAles")->click();
    });
    FindAction(app.main().reportMenu(), "Rezumat")->trigger();
    EXPECT_TRUE(previewed);
}

}  // namespace
}  // namespace tvx::ui
