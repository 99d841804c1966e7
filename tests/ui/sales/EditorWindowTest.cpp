// The outgoing invoice editor window bound to its core: the modes' captions and buttons, goods
// and service lines through fake pickers, a check's balloon, deleting a line with its
// question, posting through a fake that accepts or refuses, Esc cancelling, and a walk with
// Enter through the fields that ends by pressing "&Memoreaza" in the operator field.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <filesystem>
#include <memory>

#include "../UiTestSupport.h"
#include "core/common/Schema.h"
#include "core/sales/InvoicePosting.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "ui/common/ShowProblem.h"
#include "ui/sales/TFactOutAddF.h"

namespace tvx::ui {
namespace {

namespace fs = std::filesystem;
using tables::Decimal;
using testing::Balloon;
using testing::Child;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModalNamed;

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

using Problem = std::pair<QString, QString>;  // balloon message, control name
QStringList Column(QTableView* grid, int column) {
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, column).data().toString();
    return texts;
}

// The named control that has the focus (a box's inner editor counts as the box).
QString Focused(QWidget* window) {
    QWidget* w = window->focusWidget();
    while (w && (w->objectName().isEmpty() || w->objectName().startsWith("qt_")))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

class EditorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        core::Session& s = fx.session;
        s.profile.codFisc = "RO14399840";
        s.profile.factSeria = "TVX";
        s.profile.factNr = "5";
        s.profile.factNrMax = "100";
        s.db().execute("INSERT INTO Conturi (IDCONT, CONT) VALUES (1, 'RO37BTRL0000000000000001')");
        lot_ = core::FindOrCreateLot(s.db(), s.settings(), "MAGAZIN", "MARFA", "FILTRU", "BUC",
                                     D("5"), D("10"));
        core::Movement in = core::EntryMovement(D("9"), D("90"));
        in.idFisa = s.settings().nextNumber("IDFISA");
        core::PostEntry(s.db(), lot_, in);

        form.Bind(s);
        form.setProductPicker([this](const fs::path& stock) -> std::optional<core::ProductPick> {
            stockSeen = fs::exists(stock);
            core::ProductPick pick;
            pick.idCap = lot_;
            pick.quantity = D("3");
            pick.price = D("10");
            return pick;
        });
        form.setServicePicker([]() -> std::optional<core::ServicePick> {
            return core::ServicePick{"MANOPERA", "ORE", D("1"), D("11.90"), "", {}, 0};
        });
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }

    // A poster that records the document and answers `result`.
    PostDocument Poster(bool result) {
        return [this, result](const core::InvoiceDocument& doc) {
            ++posts;
            posted = doc;
            return result;
        };
    }
    // Runs a new invoice with `act` on the open window, closing it if `act` left it open.
    bool RunNew(std::function<void(QWidget*)> act, bool postResult = true) {
        WhenModalNamed("TFactOutAddF", [act](QWidget* w) {
            act(w);
            if (w->isVisible()) CloseModal(w);
        });
        return form.newInvoice("MAGAZIN", std::nullopt, Poster(postResult));
    }
    // The fields the checks require, filled in.
    static void FillValid(QWidget* w) {
        Child<QLineEdit>(w, "CuiEd")->setText("RO14399840");
        Child<QComboBox>(w, "IbanBox")->setCurrentIndex(0);
        Child<QLineEdit>(w, "LocEd")->setText("DEJ");
        Child<QLineEdit>(w, "OperatorEd")->setText("ION");
    }
    // A stored invoice with one service line.
    long long Store() {
        core::InvoiceDocument doc;
        doc.series = "TVX";
        doc.number = 3;
        doc.date = tables::Date::fromYmd(2026, 1, 5);
        doc.vatRate = D("19");
        doc.buyerName = "ALFA SRL";
        doc.location = "MAGAZIN";
        doc.lines.push_back(
            {-1, 1, "MANOPERA", "ORE", D("1"), D("10"), D("10"), D("1.9"), "", std::nullopt, 0});
        doc.netTotal = D("10");
        doc.vatTotal = D("1.9");
        doc.total = D("11.9");
        return core::SaveNewInvoice(fx.session.db(), fx.session.settings(), doc);
    }

    testing::SessionFixture fx;
    TFactOutAddF form;
    long long lot_ = 0;
    int posts = 0;
    core::InvoiceDocument posted;
    bool stockSeen = false;
};

TEST_F(EditorWindowTest, NewInvoiceAddsLinesShowsACheckAndPosts) {
    const bool saved = RunNew([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Factura de vanzare noua");
        EXPECT_EQ(Child<QPushButton>(w, "Renunt")->text(), "RENUNT");
        EXPECT_TRUE(Child<QPushButton>(w, "B11")->isVisible());
        EXPECT_EQ(Child<QLabel>(w, "GestiuneLbl")->text(), "Gestiunea : MAGAZIN");
        EXPECT_EQ(Child<QLineEdit>(w, "SeriaEd")->text(), "TVX");
        EXPECT_EQ(Child<QLineEdit>(w, "NrEd")->text(), "5");
        EXPECT_EQ(Child<QLineEdit>(w, "TvaEd")->text(), "19");
        EXPECT_EQ(Focused(w), "DinData");
        EXPECT_EQ(Child<QComboBox>(w, "IbanBox")->currentIndex(), -1);
        EXPECT_EQ(Child<QComboBox>(w, "JudBox")->count(), 42);

        Child<QPushButton>(w, "AddProd")->click();
        EXPECT_TRUE(stockSeen);
        Child<QPushButton>(w, "AddServ")->click();
        auto* grid = Child<QTableView>(w, "LiniiGrid");
        ASSERT_EQ(grid->model()->rowCount(), 2);
        EXPECT_EQ(grid->model()->headerData(8, Qt::Horizontal).toString(), " Observatii");
        EXPECT_EQ(Column(grid, 1), (QStringList{"FILTRU", "MANOPERA"}));
        EXPECT_EQ(Column(grid, 3), (QStringList{"3.00", "1.00"}));
        EXPECT_EQ(Column(grid, 5), (QStringList{"25.21", "10.00"}));
        EXPECT_EQ(grid->currentIndex().row(), 1);  // the line just added
        EXPECT_EQ(Child<QLabel>(w, "TotalVal")->text(), "35.21");
        EXPECT_EQ(Child<QLabel>(w, "TotalTva")->text(), "6.69");
        EXPECT_EQ(Child<QLabel>(w, "TotalPlata")->text(), "41.90");

        Child<QPushButton>(w, "B11")->click();
        EXPECT_EQ(Balloon(), Problem("Lipseste CUI/CNP !", "CuiEd"));
        EXPECT_EQ(posts, 0);
        FillValid(w);
        Child<QLineEdit>(w, "Edit4")->setText("RO37BTRL0000000000000001");
        EXPECT_EQ(Child<QLineEdit>(w, "BancaEd")->text(), "BANCA TRANSILVANIA SA");
        Child<QPushButton>(w, "B11")->click();
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_TRUE(saved);
    ASSERT_EQ(posts, 1);
    EXPECT_EQ(posted.number, 5);
    EXPECT_EQ(posted.iban, "RO37BTRL0000000000000001");
    EXPECT_EQ(posted.buyerBank, "BANCA TRANSILVANIA SA");
    EXPECT_EQ(posted.total, D("41.90"));
    ASSERT_EQ(posted.lines.size(), 2u);
    EXPECT_EQ(posted.lines[0].idCap, lot_);
    // The work tables are gone once the window returned.
    EXPECT_FALSE(fs::exists(fx.session.programFolder() / "ProdTemp.dbf"));
    EXPECT_FALSE(fs::exists(fx.session.programFolder() / "Stoc.dbf"));
    EXPECT_EQ(fx.session.settings().readSetting("FACTURA", "OPERATOR"), "ION");
}

TEST_F(EditorWindowTest, RefusedPostingKeepsTheWindowOpenWithItsLines) {
    bool stayed = false;
    const bool saved = RunNew(
        [&](QWidget* w) {
            Child<QPushButton>(w, "AddProd")->click();
            FillValid(w);
            Child<QPushButton>(w, "B11")->click();
            stayed = w->isVisible();
            EXPECT_EQ(Child<QTableView>(w, "LiniiGrid")->model()->rowCount(), 1);
            EXPECT_EQ(Child<QLineEdit>(w, "LocEd")->text(), "DEJ");
            PressKey(Qt::Key_Escape);
        },
        false);
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(saved);
    EXPECT_EQ(posts, 1);
}

TEST_F(EditorWindowTest, EscCancelsWithoutPosting) {
    const bool saved = RunNew([&](QWidget* w) {
        Child<QPushButton>(w, "AddProd")->click();
        PressKey(Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(posts, 0);
    EXPECT_FALSE(fs::exists(fx.session.programFolder() / "ProdTemp.dbf"));
}

TEST_F(EditorWindowTest, EnterWalksTheFieldsAndSavesInTheOperatorField) {
    QStringList walk;
    const bool saved = RunNew([&](QWidget* w) {
        Child<QPushButton>(w, "AddProd")->click();  // a document needs a line
        FillValid(w);
        walk << Focused(w);
        for (int i = 0; i < 30 && w->isVisible(); ++i) {
            if (Focused(w) == "AdresaMemo") {
                PressKey(Qt::Key_Return);  // a new line in the address
                EXPECT_EQ(Focused(w), "AdresaMemo");
                PressKey(Qt::Key_Tab, Child<QPlainTextEdit>(w, "AdresaMemo"));
            } else {
                PressKey(Qt::Key_Return);
            }
            if (w->isVisible()) walk << Focused(w);
        }
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(walk,
              (QStringList{"DinData", "TermenPl", "IbanBox", "CumpaBox", "AutoCompl", "RegComEd",
                           "CuiEd", "TvaEd", "JudBox", "LocEd", "AdresaMemo", "Edit4", "ReprezBox",
                           "ObsEd", "DelegEd", "MijtEd", "DataLiv", "OraLiv", "OperatorEd"}));
}

TEST_F(EditorWindowTest, DeletingALineAsksFirst) {
    RunNew([&](QWidget* w) {
        auto* grid = Child<QTableView>(w, "LiniiGrid");
        Child<QPushButton>(w, "DelLin")->click();
        EXPECT_EQ(Balloon(), Problem("Nu aveti ce sterge!", "LiniiGrid"));
        Child<QPushButton>(w, "AddProd")->click();
        Child<QPushButton>(w, "AddServ")->click();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QString question;
        WhenModalNamed("TErori", [&](QWidget* m) {
            question = Child<QLabel>(m, "Text")->text();
            Child<QPushButton>(m, "BE1")->click();  // Da
        });
        Child<QPushButton>(w, "DelLin")->click();
        EXPECT_EQ(question, "Vreti sa stergeti linia 1?");
        EXPECT_EQ(Column(grid, 1), QStringList{"MANOPERA"});
        EXPECT_EQ(Column(grid, 0), QStringList{"1"});
        EXPECT_EQ(Child<QLabel>(w, "TotalPlata")->text(), "11.90");
    });
}

TEST_F(EditorWindowTest, ViewAndModifyOfAStoredInvoice) {
    const long long id = Store();
    WhenModalNamed("TFactOutAddF", [&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Vizualizare factura");
        EXPECT_FALSE(Child<QPushButton>(w, "B11")->isVisible());
        EXPECT_EQ(Child<QPushButton>(w, "Renunt")->text(), "INCHIDE");
        EXPECT_FALSE(Child<QLineEdit>(w, "CuiEd")->isEnabled());
        EXPECT_FALSE(Child<QPushButton>(w, "AddProd")->isEnabled());
        EXPECT_EQ(Child<QComboBox>(w, "CumpaBox")->currentText(), "ALFA SRL");
        EXPECT_EQ(Child<QTableView>(w, "LiniiGrid")->model()->rowCount(), 1);
        EXPECT_EQ(Child<QLabel>(w, "TotalPlata")->text(), "11.90");
        PressKey(Qt::Key_Escape);
    });
    form.viewInvoice(id);

    bool saved = false;
    WhenModalNamed("TFactOutAddF", [&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Modificare factura de vanzare");
        EXPECT_TRUE(Child<QPushButton>(w, "B11")->isVisible());
        EXPECT_FALSE(Child<QComboBox>(w, "ComboBox1")->isEnabled());
        EXPECT_EQ(Child<QLabel>(w, "GestiuneLbl")->text(), "Gestiunea : MAGAZIN");
        Child<QPushButton>(w, "AddProd")->click();
        FillValid(w);
        Child<QPushButton>(w, "B11")->click();
        if (w->isVisible()) CloseModal(w);
    });
    saved = form.modifyInvoice(id, Poster(true));
    EXPECT_TRUE(saved);
    ASSERT_EQ(posts, 1);
    EXPECT_EQ(posted.lines.size(), 2u);
    EXPECT_EQ(posted.buyerName, "ALFA SRL");
}

}  // namespace
}  // namespace tvx::ui
