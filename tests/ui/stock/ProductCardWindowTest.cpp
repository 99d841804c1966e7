// The product card and delivery notes windows bound to a session: choosing a location, a
// product and a card down to the movements and the stock texts; an exit through the dialog
// hook, its deletion answered "Da", the bar code search by Enter, the printed card's preview
// and Esc; the question when the location list is missing; and a delivery note exported and
// deleted through its window after a title click reordered it.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "../UiTestSupport.h"
#include "core/stock/ExitDocument.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/printing/ProductCardReport.h"
#include "ui/sales/TFAvize.h"
#include "ui/stock/TFisaProdF.h"

namespace tvx::ui {
namespace {

using tables::Decimal;
using testing::Balloon;
using testing::Child;
using testing::CloseModal;
using testing::ColumnText;
using testing::Current;
using testing::PressKey;
using testing::WhenModalNamed;

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

class ProductCardWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        fx.session.locations.setNames({"MAGAZIN", "DEPOZIT"});
        fx.session.locations.save();
        cablu_ = Receive("MAGAZIN", "CABLU", "2.50", "5");
        Receive("MAGAZIN", "CABLU", "3", "1");
        releu_ = Receive("DEPOZIT", "RELEU", "20", "2");
        Db().execute("UPDATE CapFise SET CODBARE='594001' WHERE IDCAP=:id", {{"id", releu_}});
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
        TFAvize::setSavePathChooser({});
    }
    tables::Database& Db() { return fx.session.db(); }
    long long Receive(const char* location, const char* product, const char* price,
                      const char* quantity) {
        core::Settings& settings = fx.session.settings();
        const long long card = core::FindOrCreateLot(Db(), settings, location, "MARFA", product,
                                                     "M", D("1"), D(price));
        core::Movement in = core::NirEntryMovement(D(quantity), D(quantity) * D(price), D("1"));
        in.idFisa = settings.nextNumber("IDFISA");
        in.nrDoc = 1;
        in.dinData = tables::Date::fromYmd(2026, 3, 2);
        core::PostEntry(Db(), card, in);
        return card;
    }
    Decimal Stock(long long idCap) {
        return Db()
            .query("SELECT STOC FROM CapFise WHERE IDCAP=:id", {{"id", idCap}})
            .asNumber("STOC");
    }
    // Answers the next message window with the button `button`, keeping its text.
    void Answer(const char* button, QString* text = nullptr) {
        WhenModalNamed("TErori", [button, text](QWidget* m) {
            if (text) *text = Child<QLabel>(m, "Text")->text();
            Child<QPushButton>(m, button)->click();
        });
    }

    testing::SessionFixture fx;
    long long cablu_ = 0;
    long long releu_ = 0;
};

TEST_F(ProductCardWindowTest, ExitDeleteBarCodeAndPrintFromTheCard) {
    TFisaProdF window(fx.session);
    std::optional<core::ExitCard> asked;
    window.askExit = [&](const core::ExitCard& card,
                         bool transfer) -> std::optional<core::ExitDocument> {
        EXPECT_FALSE(transfer);
        asked = card;
        core::ExitDocument doc;
        doc.docJus = "BON DE CONSUM";
        doc.nrDoc = 4;
        doc.date = tables::Date::fromYmd(2026, 3, 5);
        doc.quantity = D("3");
        doc.value = D("7.50");
        return doc;
    };
    QString question;
    bool previewed = false;
    WhenModalNamed("TFisaProdF", [&](QWidget* w) {
        auto* locations = Child<QListWidget>(w, "Gestiunea");
        auto* products = Child<QTableView>(w, "ProdusGrid");
        auto* prices = Child<QTableView>(w, "PretGrid");
        auto* moves = Child<QTableView>(w, "FiseGrid");
        EXPECT_EQ(locations->currentItem()->text(), "DEPOZIT");  // the first, sorted
        EXPECT_EQ(ColumnText(products, "Produsul"), QStringList{"RELEU"});
        locations->setCurrentRow(1);
        EXPECT_EQ(ColumnText(products, "Produsul"), QStringList{"CABLU"});
        EXPECT_EQ(ColumnText(prices, "Pret vanzare"), (QStringList{"2.50", "3.00"}));
        EXPECT_EQ(Child<QLabel>(w, "StocText")->text(), "5.00");
        EXPECT_EQ(Child<QLabel>(w, "ValText")->text(), "12.5000");
        EXPECT_EQ(Child<QLabel>(w, "CategText")->text(), "MARFA");
        EXPECT_EQ(Current(moves, "Document justificativ"), "N.I.R.");
        EXPECT_EQ(Current(moves, "Data"), "02.03.2026");

        Child<QPushButton>(w, "IesireProd")->click();
        EXPECT_EQ(Current(moves, "Document justificativ"), "BON DE CONSUM");
        EXPECT_EQ(Current(moves, "Cantitate\nIesita"), "3.00");
        EXPECT_EQ(Current(moves, "Valoare\nIesita"), "7.50");
        EXPECT_EQ(Child<QLabel>(w, "StocText")->text(), "2.00");

        // The N.I.R. movement cannot be deleted here; the exit can.
        moves->setCurrentIndex(moves->model()->index(0, 0));
        Child<QPushButton>(w, "StergeOp")->click();
        EXPECT_EQ(Balloon().first, "Nu puteti sterge o Nota de Receptie de aici!");
        moves->setCurrentIndex(moves->model()->index(1, 0));
        Answer("BE1", &question);
        Child<QPushButton>(w, "StergeOp")->click();
        EXPECT_EQ(moves->model()->rowCount(), 1);
        EXPECT_EQ(Child<QLabel>(w, "StocText")->text(), "5.00");

        WhenModalNamed("TPreview", [&](QWidget* p) {
            previewed = true;
            CloseModal(p);
        });
        Child<QPushButton>(w, "ListFisa")->click();

        auto* code = Child<QLineEdit>(w, "CodBare");
        code->setFocus();
        PressKey(Qt::Key_Return, code);
        EXPECT_EQ(Balloon(),
                  std::make_pair(QString("Introduceti un cod de bare!"), QString("CodBare")));
        code->setText("594001");
        PressKey(Qt::Key_Return, code);
        EXPECT_EQ(locations->currentItem()->text(), "DEPOZIT");
        EXPECT_EQ(Current(products, "Produsul"), "RELEU");
        EXPECT_EQ(Child<QLabel>(w, "StocText")->text(), "2.00");
        EXPECT_EQ(code->text(), "");
        PressKey(Qt::Key_Escape, moves);
    });
    window.OpenProductCard();
    EXPECT_FALSE(window.isVisible());
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->idCap, cablu_);
    EXPECT_EQ(asked->stock, D("5"));
    EXPECT_EQ(question, "Doriti sa stergeti BON DE CONSUM nr.4?");
    EXPECT_TRUE(previewed);
    EXPECT_EQ(Stock(cablu_), D("5"));
}

TEST_F(ProductCardWindowTest, WithoutTheDialogAndWithoutLocations) {
    TFisaProdF window(fx.session);
    QString said;
    WhenModalNamed("TFisaProdF", [&](QWidget* w) {
        Child<QListWidget>(w, "Gestiunea")->setCurrentRow(1);
        Answer("BE4", &said);
        Child<QPushButton>(w, "TransferProd")->click();
        CloseModal(w);
    });
    window.OpenProductCard();
    EXPECT_EQ(said, "Dialogul pentru iesiri si transferuri nu este disponibil!");
    EXPECT_EQ(Stock(cablu_), D("5"));

    std::filesystem::remove(fx.session.locations.file());
    bool administration = false;
    window.setAdministrationOpener([&] { administration = true; });
    Answer("BE1", &said);
    window.OpenProductCard();
    EXPECT_EQ(said, "Nu ati definit Gestiunile!\nLe definiti acum?");
    EXPECT_TRUE(administration);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ProductCardWindowTest, DeliveryNoteSortedExportedAndDeleted) {
    core::Settings& settings = fx.session.settings();
    const auto exit = [&](long long card, long long number, int day) {
        core::Movement out = core::ExitMovement(D("1"), D("2.50"));
        out.idFisa = settings.nextNumber("IDFISA");
        out.docJus = "AVIZ DE INSOTIRE MARFA";
        out.nrDoc = number;
        out.dinData = tables::Date::fromYmd(2026, 3, day);
        core::PostExit(Db(), card, out);
    };
    exit(cablu_, 3, 6);
    exit(releu_, 3, 6);
    exit(cablu_, 1, 7);
    const std::filesystem::path file =
        std::filesystem::path(fx.folder.path().toStdString()) / "aviz3.avz";
    TFAvize::setSavePathChooser([&](QWidget*) { return QString::fromStdString(file.string()); });
    TFAvize window(fx.session);
    QString exported, question;
    WhenModalNamed("TFAvize", [&](QWidget* w) {
        auto* grid = Child<QTableView>(w, "NoteGrid");
        EXPECT_EQ(ColumnText(grid, "Nr."), (QStringList{"3", "1"}));  // by date
        EXPECT_EQ(Current(grid, "Din data"), "06.03.2026");
        // Ordered by number, the same note stays current.
        grid->sortByColumn(testing::Column(grid, "Nr."), Qt::AscendingOrder);
        EXPECT_EQ(ColumnText(grid, "Nr."), (QStringList{"1", "3"}));
        EXPECT_EQ(Current(grid, "Nr."), "3");
        Answer("BE4", &exported);
        Child<QPushButton>(w, "BitBtn4")->click();
        Answer("BE1", &question);
        Child<QPushButton>(w, "BitBtn3")->click();
        EXPECT_EQ(ColumnText(grid, "Nr."), QStringList{"1"});
        Answer("BE1");
        Child<QPushButton>(w, "BitBtn3")->click();
        EXPECT_EQ(grid->model()->rowCount(), 0);
        Child<QPushButton>(w, "BitBtn3")->click();
        EXPECT_EQ(Balloon(), std::make_pair(QString("Nu aveti ce sterge!"), QString("NoteGrid")));
        PressKey(Qt::Key_Escape, grid);
    });
    window.OpenDeliveryNotes();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(exported, "Avizul a fost exportat in fisier!");
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(question, "Stergeti avizul de insotire a marfii nr.3/06.03.2026?");
    EXPECT_EQ(Stock(cablu_), D("5"));
    EXPECT_EQ(Stock(releu_), D("2"));
}

TEST_F(ProductCardWindowTest, PrintedCardCarriesTheCaptionsAndTotals) {
    core::Settings& settings = fx.session.settings();
    core::Movement out = core::ExitMovement(D("2"), D("5"));
    out.idFisa = settings.nextNumber("IDFISA");
    out.docJus = "BON DE CONSUM";
    out.nrDoc = 8;
    out.dinData = tables::Date::fromYmd(2026, 3, 4);
    core::PostExit(Db(), cablu_, out);
    const core::CardReportCaptions captions = core::MakeCardReportCaptions(
        "TARVIX SRL", "MAGAZIN", tables::Date::fromYmd(2026, 3, 9), "CABLU",
        core::CardStockTexts(D("3"), "M", D("2.50")), "MARFA", D("2.5"));
    const printing::LaidOutReport report =
        PrepareProductCardReport(core::QueryCardMovements(Db(), cablu_), captions);
    ASSERT_EQ(report.pages.size(), 1u);
    QStringList texts;
    for (const printing::PlacedItem& item : report.pages[0].items)
        texts << QString::fromStdString(item.text);
    for (const char* expected :
         {"TARVIX SRL", "09.03.2026", "Gestiunea : MAGAZIN", "Categoria : MARFA",
          "RAPORT INDIVIDUAL PRODUS", "CABLU", "Pret de vanzare : 2.50 lei.", "BON DE CONSUM",
          "04.03.2026", "STOC FINAL : 3.00 M     = 7.5000 lei.", "pag. 1"})
        EXPECT_TRUE(texts.contains(expected)) << expected;
    // The sums of CANTIN, CANTOUT, VALIN and VALOUT after "TOTAL".
    const qsizetype total = texts.indexOf("TOTAL");
    ASSERT_GE(total, 0);
    EXPECT_EQ(texts.mid(total + 1, 4), (QStringList{"5.00", "2.00", "12.50", "5.00"}));
}

TEST_F(ProductCardWindowTest, TheMainWindowOpensBoth) {
    Application app(fx.session);
    QToolButton* button = app.main().button(core::MainCommand::ProductCard);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    bool card = false, notes = false;
    WhenModalNamed("TFisaProdF", [&](QWidget* w) {
        card = true;
        CloseModal(w);
    });
    button->click();
    auto* item = app.main().reportMenu()->findChild<QAction*>("Pop1_Avize de insotire a marfii");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    WhenModalNamed("TFAvize", [&](QWidget* w) {
        notes = true;
        CloseModal(w);
    });
    item->trigger();
    EXPECT_TRUE(card);
    EXPECT_TRUE(notes);
}

}  // namespace
}  // namespace tvx::ui
