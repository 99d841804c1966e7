// The time norms window on its two main roads: opened from the administration's "Normativ de
// timp" (every quantity zeroed first), an operation added through its dialog with the rate
// proposed from the settings; and opened from the invoice editor of a car-service business,
// where the quantity set on an operation becomes a labour line of the invoice.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "../UiTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/common/Settings.h"
#include "tables/Database.h"
#include "ui/admin/TForm4.h"
#include "ui/app/Application.h"
#include "ui/common/ShowProblem.h"
#include "ui/sales/TFactOutAddF.h"

namespace tvx::ui {
namespace {

using testing::Child;
using testing::CloseModal;
using testing::WhenModalNamed;

QStringList Row(QTableView* grid, int row) {
    QStringList texts;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        texts << grid->model()->index(row, c).data().toString();
    return texts;
}

class TimeNormsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        core::Session& s = fx.session;
        s.settings().writeSetting("SETARI", "DOMENIU", core::CompanyProfile::kServiceAuto);
        s.settings().writeSetting("RENAULT", "MECANICA", "95");
        s.db().execute(
            "INSERT INTO Timp (IDTIMP, TIPAUTO, SECTIA, DENUMIRE, COD, TIMP, LEIORA, CANT) VALUES"
            " (1, 'DACIA', 'MECANICA', 'DISTRIBUTIE', 'M01', 1.5, 100, 3)");
        s.settings().setIndex("IDTIMP", "2");
        s.loadProfile();
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    std::string Stored(const char* sql) {
        auto rs = fx.session.db().query(sql);
        return rs.empty() ? "none" : rs.at(0, 0).toString();
    }

    testing::SessionFixture fx;
};

TEST_F(TimeNormsWindowTest, AdministrationOpensTheNormsAndAnOperationIsAdded) {
    Application app(fx.session);
    app.admin().LoadProfile();
    bool normsSeen = false;
    QString rateProposed;
    QStringList added;
    WhenModalNamed("TForm4", [&](QWidget* admin) {
        auto* norma = Child<QPushButton>(admin, "NormaBut");
        EXPECT_TRUE(norma->isEnabled());
        WhenModalNamed("TServAuto", [&](QWidget* w) {
            normsSeen = true;
            EXPECT_EQ(w->windowTitle(), "Normativ de timp");
            EXPECT_EQ(Child<QComboBox>(w, "TipAuto")->currentIndex(), -1);
            EXPECT_EQ(Child<QTableView>(w, "Operatii")->model()->rowCount(), 0);
            WhenModalNamed("TAddServAuto", [&](QWidget* d) {
                Child<QComboBox>(d, "TipAuto")->setEditText("renault");
                Child<QComboBox>(d, "Sectia")->setEditText("mecanica");
                rateProposed = Child<QLineEdit>(d, "Tarif")->text();
                Child<QLineEdit>(d, "Denumire")->setText("Schimb ulei");
                Child<QLineEdit>(d, "Timp")->setText("0.5");
                Child<QPushButton>(d, "BitBtn1")->click();
                if (d->isVisible()) CloseModal(d);
            });
            Child<QPushButton>(w, "AddOp")->click();
            EXPECT_EQ(Child<QComboBox>(w, "TipAuto")->currentText(), "RENAULT");
            EXPECT_EQ(Child<QComboBox>(w, "Sectia")->currentText(), "MECANICA");
            auto* grid = Child<QTableView>(w, "Operatii");
            if (grid->model()->rowCount() == 1) added = Row(grid, 0);
            Child<QPushButton>(w, "MemBtn")->click();
        });
        norma->click();
        CloseModal(admin);
    });
    app.admin().Open();
    EXPECT_TRUE(normsSeen);
    EXPECT_EQ(rateProposed, "95");
    EXPECT_EQ(added, (QStringList{"", "Schimb ulei", "0.00", "0.50", "95.00"}));
    EXPECT_EQ(Stored("SELECT LEIORA FROM Timp WHERE IDTIMP=2"), "95.00");
    EXPECT_EQ(Stored("SELECT CANT FROM Timp WHERE IDTIMP=1"), "0.00") << "zeroed at opening";
}

TEST_F(TimeNormsWindowTest, TheEditorBillsTheQuantitySetAsALabourLine) {
    core::Session& s = fx.session;
    s.profile.codFisc = "RO14399840";
    s.profile.factSeria = "TVX";
    s.profile.factNr = "5";
    s.profile.factNrMax = "100";
    Application app(s);
    TFactOutAddF& editor = app.invoiceEditor();
    editor.Bind(s);
    QStringList line;
    WhenModalNamed("TFactOutAddF", [&](QWidget* e) {
        WhenModalNamed("TServAuto", [&](QWidget* w) {
            Child<QComboBox>(w, "TipAuto")->setCurrentIndex(0);
            Child<QComboBox>(w, "Sectia")->setCurrentIndex(0);
            auto* grid = Child<QTableView>(w, "Operatii");
            grid->setCurrentIndex(grid->model()->index(0, 0));
            WhenModalNamed("TStabCant", [](QWidget* q) {
                Child<QLineEdit>(q, "CantEd")->setText("2");
                Child<QPushButton>(q, "BitBtn1")->click();
                if (q->isVisible()) CloseModal(q);
            });
            Child<QPushButton>(w, "CantBtn")->click();
            EXPECT_EQ(Row(grid, 0)[2], "2.00");
            Child<QPushButton>(w, "MemBtn")->click();
        });
        Child<QPushButton>(e, "AddServ")->click();
        auto* lines = Child<QTableView>(e, "LiniiGrid");
        if (lines->model()->rowCount() == 1) line = Row(lines, 0).mid(0, 7);
        CloseModal(e);
    });
    editor.newInvoice("MAGAZIN", std::nullopt, [](const core::InvoiceDocument&) { return true; });
    // 1.5 hours twice at 100 lei/hour, VAT 19 % on the net value.
    EXPECT_EQ(line, (QStringList{"1", "DISTRIBUTIE", "ORE", "3.00", "100.00", "300.00", "57.00"}));
}

}  // namespace
}  // namespace tvx::ui
