// The cash register book and warranties windows bound to a session: the book opened from the
// main window on a day with its balances, a collection typed in (a refused sum first), a
// document's line refused and a manual line deleted after the question, the RegCasa workbook
// written, the work table gone at closing; the warranties from the report menu with
// the search narrowing the rows, the printout in the preview and the export to a file.
#include <gtest/gtest.h>

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <filesystem>

#include "../UiTestSupport.h"
#include "core/admin/Users.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "tables/Database.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/purchases/TRegCasaF.h"
#include "ui/reports/TExportF.h"

namespace tvx::ui {
namespace {

using tables::Date;
using testing::Balloon;
using testing::Child;
using testing::ColumnText;
using testing::PressKey;
using testing::WhenModalNamed;

const Date kDay = Date::fromYmd(2024, 3, 5);

class CashBookWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        auto& db = fx.session.db();
        const auto path = [&](const char* t) { return core::QuotedPath(core::TableFile(db, t)); };
        db.execute("INSERT INTO " + path("ChitIn") +
                       " (IDCHIT, IDFACT, DOCJUS, SERIANR, DATAC, PLATIT, REPREZ) VALUES (1, 5,"
                       " \"CHITANTA\", \"C 1\", :d, 30, \"achitat furnizor\")",
                   {{"d", kDay}});
        db.execute("INSERT INTO " + path("ChitOut") +
                       " (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA, REPREZ) VALUES (2, -1,"
                       " \"DEPUNERE\", \"D\", 1, :d, 100, \"sold initial\")",
                   {{"d", kDay.addDays(-1)}});
        db.execute(
            "INSERT INTO " + path("FactOut") +
                " (IDFACTO, SERIA, NR, DATAOUT, SOC2, GESTIUNE) VALUES (9, \"TX\", 4, :d,"
                " \"ALFA SRL\", \"MAGAZIN\"), (10, \"TX\", 5, :d, \"BETA SRL\", \"MAGAZIN\")",
            {{"d", kDay}});
        db.execute("INSERT INTO " + path("ProdOut") +
                       " (IDFACTO, IDCAP, PRODUS, UM, CANT, GARANTIE) VALUES (9, 1, \"BATERIE\","
                       " \"BUC\", 1, :g), (10, 1, \"BEC\", \"BUC\", 2, :g), (10, 1, \"ULEI\","
                       " \"L\", 4, :d)",
                   {{"d", kDay}, {"g", kDay.addDays(365)}});
        fx.session.settings().setIndex("IDCHIT", "3");
        fx.session.grade = core::kGradeAdmin;
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    testing::SessionFixture fx;
};

TEST_F(CashBookWindowTest, DayEntriesDeletionAndClosing) {
    Application app(fx.session);
    const std::filesystem::path table = fx.session.programFolder() / "Casa.dbf";
    bool checked = false;
    WhenModalNamed("TRegCasaF", [&](QWidget* w) {
        EXPECT_TRUE(std::filesystem::exists(table));
        auto* day = Child<QDateEdit>(w, "LaData");
        auto* grid = Child<QTableView>(w, "GridCasa");
        day->setDate(QDate(2024, 3, 5));
        EXPECT_EQ(Child<QLabel>(w, "SoldPrecedent")->text(), "Sold precedent : 100.00");
        EXPECT_EQ(Child<QLabel>(w, "SoldFinal")->text(), "Sold final : 70.00");
        EXPECT_EQ(Child<QLabel>(w, "TotalPlatit")->text(), "30.00");
        EXPECT_EQ(ColumnText(grid, "Suma platita"), QStringList{"30.00"});

        // A collection: a sum of 0 is refused at its field, then Enter on the text adds it.
        WhenModalNamed("TRegCasaChitPlataF", [&](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Adaugare incasare");
            EXPECT_EQ(Child<QDateEdit>(d, "DinData")->date(), QDate(2024, 3, 5));
            auto* text = Child<QLineEdit>(d, "Reprezentand");
            text->setText("aport casier");
            Child<QPushButton>(d, "Adauga")->click();
            EXPECT_EQ(Balloon(), std::make_pair(QString("Suma incorecta!"), QString("SumaDe")));
            Child<QLineEdit>(d, "SumaDe")->setText("25.5");
            text->setFocus();
            PressKey(Qt::Key_Return, text);
        });
        Child<QPushButton>(w, "AdaugaIncasare")->click();
        EXPECT_EQ(Child<QLabel>(w, "TotalIncasat")->text(), "25.50");
        EXPECT_EQ(Child<QLabel>(w, "SoldFinal")->text(), "Sold final : 95.50");
        ASSERT_EQ(grid->model()->rowCount(), 2);

        // The first row is the collection (PLATIT 0); the second is the document's payment.
        grid->selectRow(1);
        Child<QPushButton>(w, "StergeLinia")->click();
        EXPECT_EQ(Balloon(), std::make_pair(QString("Nu puteti sterge de aici CHITANTA!"),
                                            QString("GridCasa")));
        grid->selectRow(0);
        WhenModalNamed("TErori", [](QWidget* m) { Child<QPushButton>(m, "BE1")->click(); });
        Child<QPushButton>(w, "StergeLinia")->click();
        EXPECT_EQ(grid->model()->rowCount(), 1);
        EXPECT_EQ(Child<QLabel>(w, "SoldFinal")->text(), "Sold final : 70.00");

        // "&Listeaza": the period picker proposes February; the RegCasa workbook is written.
        WhenModalNamed("TAlegeDataF",
                       [](QWidget* picker) { Child<QPushButton>(picker, "AmAles")->click(); });
        Child<QPushButton>(w, "Listeaza")->click();
        EXPECT_TRUE(std::filesystem::exists(fx.session.programFolder() / "XLSTmp0.xls"));
        checked = true;
        PressKey(Qt::Key_Escape, w);
    });
    app.main().button(core::MainCommand::CashBook)->click();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(std::filesystem::exists(table));
    EXPECT_EQ(fx.session.settings().peekNumber("IDCHIT"), 4);
    // The same day is shown at the next opening.
    WhenModalNamed("TRegCasaF", [](QWidget* w) {
        EXPECT_EQ(Child<QDateEdit>(w, "LaData")->date(), QDate(2024, 3, 5));
        PressKey(Qt::Key_Escape, w);
    });
    app.main().button(core::MainCommand::CashBook)->click();
}

TEST_F(CashBookWindowTest, WarrantiesSearchAndPrint) {
    Application app(fx.session);
    QAction* item = nullptr;
    for (QAction* a : app.main().reportMenu()->actions())
        if (a->text() == "Garantii") item = a;
    ASSERT_NE(item, nullptr);
    bool printed = false;
    WhenModalNamed("TGarantiiF", [&](QWidget* w) {
        auto* grid = Child<QTableView>(w, "SMDBGrid2");
        EXPECT_EQ(ColumnText(grid, "Produsul"), (QStringList{"BATERIE", "BEC"}));  // not ULEI
        EXPECT_EQ(ColumnText(grid, "Garantie pana la"), (QStringList{"05.03.2025", "05.03.2025"}));
        testing::TypeText(Child<QLineEdit>(w, "Cumparator"), "be");
        EXPECT_EQ(ColumnText(grid, "Cumparator"), QStringList{"BETA SRL"});
        testing::TypeText(Child<QLineEdit>(w, "Produsul"), "x");
        EXPECT_EQ(grid->model()->rowCount(), 0);
        Child<QPushButton>(w, "Listeaza")->click();
        EXPECT_EQ(Balloon(), std::make_pair(QString("Nu aveti ce lista!"), QString("Listeaza")));
        Child<QLineEdit>(w, "Produsul")->clear();
        WhenModalNamed("TPreview", [&](QWidget* preview) {
            printed = true;
            testing::CloseModal(preview);
        });
        Child<QPushButton>(w, "Listeaza")->click();
        // "Exporta in Excel": the rows shown, to the workbook file named.
        TExportF::setFileHook([&](QWidget*, const core::ExportFormatInfo&, const QString& ext) {
            return QString::fromStdString((fx.session.programFolder() / "garantii").string()) + ext;
        });
        Child<QPushButton>(w, "Export")->click();
        TExportF::setFileHook({});
        PressKey(Qt::Key_Escape, w);
    });
    item->trigger();
    EXPECT_TRUE(printed);
    std::filesystem::path written;
    for (const auto& entry : std::filesystem::directory_iterator(fx.session.programFolder()))
        if (entry.path().stem() == "garantii") written = entry.path();
    ASSERT_FALSE(written.empty());
    EXPECT_GT(std::filesystem::file_size(written), 0u);
}

}  // namespace
}  // namespace tvx::ui
