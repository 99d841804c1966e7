// The report menu's "Jurnal pentru vanzari" > "Facturi": its period picker titled "Jurnal
// vanzari facturi" and the sales journal written into the program folder; nothing is opened
// on a machine without a display.
#include <gtest/gtest.h>

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "../UiTestSupport.h"
#include "core/admin/Users.h"
#include "tables/Database.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"

namespace tvx::ui {
namespace {

QAction* Item(QMenu* menu, const QString& parent, const QString& child) {
    for (QAction* a : menu->actions())
        if (a->text() == parent && a->menu())
            for (QAction* b : a->menu()->actions())
                if (b->text() == child) return b;
    return nullptr;
}

TEST(WorkbookWiringTest, SalesJournalFromTheReportMenu) {
    testing::SessionFixture fx;
    fx.session.grade = core::kGradeAdmin;
    fx.session.db().execute(
        "INSERT INTO FactOut (IDFACTO, SERIA, NR, DATAOUT, SOC2, TOTAL, VALTOT, TVATOT)"
        " VALUES (1, 'TVX', 7, :d, 'CLIENT SA', 119, 100, 19)",
        {{"d", tables::Date::fromYmd(2024, 3, 4)}});
    Application app(fx.session);
    QAction* journal = Item(app.main().reportMenu(), "Jurnal pentru vanzari", "Facturi");
    ASSERT_NE(journal, nullptr);
    ASSERT_TRUE(journal->isEnabled());
    QString title;
    testing::WhenModal([&](QWidget* modal) {
        title = modal->findChild<QLabel*>("Titlu")->text();
        modal->findChild<QDateEdit*>("DeLa")->setDate(QDate(2024, 3, 1));
        modal->findChild<QDateEdit*>("PanaLa")->setDate(QDate(2024, 3, 31));
        modal->findChild<QPushButton*>("AmAles")->click();
    });
    journal->trigger();
    EXPECT_EQ(title, "Jurnal vanzari facturi");
    EXPECT_TRUE(std::filesystem::exists(fx.session.programFolder() / "JurnVFact0.xls"));
    EXPECT_TRUE(std::filesystem::exists(fx.session.programFolder() / "XLSTmp0.xls"));
}

}  // namespace
}  // namespace tvx::ui
