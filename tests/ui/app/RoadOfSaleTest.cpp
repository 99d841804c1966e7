// The road of a sale through the real windows of the whole program: the main window opens the
// outgoing documents, a new invoice on MAGAZIN gets a lot picked by name, one by bar code and
// a service line, is saved and listed with all of it to collect; two receipts collect it, the
// unpaid-only filter hides it, and the stock cards, movements, lines and receipts hold the
// sale. Once with clicks, once with the keyboard alone (Tab, Space, Enter, Esc).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <map>
#include <memory>

#include "../UiTestSupport.h"
#include "core/admin/BankAccounts.h"
#include "core/admin/Locations.h"
#include "core/app/Session.h"
#include "core/common/Settings.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "ui/admin/TForm4.h"
#include "ui/app/Application.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {
namespace {

using tables::Decimal;
using testing::Child;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModalNamed;
using C = core::MainCommand;

constexpr const char* kIban = "RO37BTRL0000000000000001";
constexpr const char* kBarcode = "5940000000017";
constexpr const char* kBuyerCui = "RO14399840";

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}
std::string Money(const Decimal& value) {
    return value.rescaled(2).toString();
}
// A number as text without trailing zeros, for readable failures.
std::string Plain(const Decimal& value) {
    return value.toPlainString();
}

// What the sale holds: price with VAT and quantity of each line, VAT 19%.
struct SoldLine {
    const char* price;
    const char* quantity;
};
const SoldLine kOil{"11.90", "2"}, kAntifreeze{"5.95", "1"}, kLabour{"119", "1"};

// The three totals of the editor: net, VAT and the sum to pay.
struct Totals {
    Decimal net, vat, total;
};
Totals Expected() {
    Totals t;
    for (const SoldLine& line : {kOil, kAntifreeze, kLabour}) {
        const Decimal gross = D(line.price) * D(line.quantity);
        const Decimal net = gross * Decimal(100) / Decimal(119);  // the prices divide exactly
        t.net += net;
        t.vat += gross - net;
        t.total += gross;
    }
    return t;
}

// Closes whatever modal window is still open after `seconds`, so that a window nobody
// expected (a message, an error) fails the test instead of hanging it.
class Watchdog {
  public:
    explicit Watchdog(int seconds) {
        timer_.setInterval(seconds * 1000);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            timer_.setInterval(200);
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "window left open: " << modal->objectName().toStdString();
                CloseModal(modal);
            }
        });
        timer_.start();
    }

  private:
    QTimer timer_;
};

// Arms `act` for the modal window `name`, then runs `open`, which shows it. A window that
// never shows, or that `act` leaves open, fails the test (and is closed).
void Through(const QString& name, const std::function<void()>& open,
             std::function<void(QWidget*)> act) {
    auto shown = std::make_shared<bool>(false);
    WhenModalNamed(name, [=](QWidget* w) {
        *shown = true;
        act(w);
        if (!w->isVisible()) return;
        ADD_FAILURE() << name.toStdString() << " is still open";
        CloseModal(w);
    });
    open();
    if (!*shown) ADD_FAILURE() << "window " << name.toStdString() << " did not open";
}

// The named control that has the focus (a box's inner editor counts as the box).
std::string Focused(QWidget* window) {
    QWidget* w = window->focusWidget();
    while (w && (w->objectName().isEmpty() || w->objectName().startsWith("qt_")))
        w = w->parentWidget();
    return w ? w->objectName().toStdString() : std::string();
}

// The current row's cell under the column titled `title`.
std::string Current(QTableView* grid, const QString& title) {
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (grid->model()->headerData(c, Qt::Horizontal).toString() == title)
            return grid->currentIndex().siblingAtColumn(c).data().toString().toStdString();
    ADD_FAILURE() << "no column " << title.toStdString();
    return {};
}

class RoadOfSaleTest : public ::testing::Test {
  protected:
    // The program on a scratch folder, logged in as the administrator.
    struct Run {
        explicit Run(const QString& path) : session(path.toStdString()), app(session) {
            app.splash().setStartDelay(0);
            app.start();
            for (int i = 0; i < 500 && !app.main().isVisible(); ++i)
                QApplication::processEvents(QEventLoop::AllEvents, 10);
            app.main().findChild<QLineEdit*>("UserName")->setText("ADMIN");
            app.main().findChild<QLineEdit*>("Parola")->setText("");
            app.main().LogButClick();
        }
        core::Session session;
        Application app;
    };

    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        WhenModalNamed("TErori", [](QWidget* notice) { CloseModal(notice); });  // first start
        run = std::make_unique<Run>(folder.path());
        ASSERT_TRUE(run->session.loggedIn());
        SetUpShop();
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }

    // A VAT payer with invoice and receipt numbers, an account, MAGAZIN with two lots of
    // goods (the antifreeze with a bar code); the windows see it through the profile.
    void SetUpShop() {
        core::Settings& set = run->session.settings();
        tables::Database& db = run->session.db();
        set.writeSetting("SETARI", "DENUMIRE", "TARVIX SRL");
        set.writeSetting("SETARI", "CodFisc", "RO1234567897");
        set.writeSetting("SETARI", "FACTSERIA", "TVX");
        set.writeSetting("SETARI", "FACTNRMAX", "100");
        set.setIndex("FACTNR", "1");
        set.writeSetting("SETARI", "CHITSERIA", "CH");
        set.writeSetting("SETARI", "CHITNRMAX", "100");
        set.setIndex("CHITNR", "1");
        EXPECT_FALSE(core::BankAccounts(db).add(set, kIban, core::BankNameOf(kIban)));
        core::WriteLocationsFile(run->session.dataDir() / core::kLocationsFileName, {"MAGAZIN"});
        oil = Lot("ULEI MOTOR", kOil.price, "10", "");
        antifreeze = Lot("ANTIGEL", kAntifreeze.price, "5", kBarcode);
        run->app.admin().LoadProfile();
        ASSERT_TRUE(run->session.profile.vatPayer());
    }
    long long Lot(const char* name, const char* price, const char* stock, const char* barcode) {
        core::Settings& set = run->session.settings();
        const long long id = core::FindOrCreateLot(run->session.db(), set, "MAGAZIN", "MARFA", name,
                                                   "BUC", D("1"), D(price));
        core::Movement in = core::EntryMovement(D(stock), D(stock));
        in.idFisa = set.nextNumber("IDFISA");
        core::PostEntry(run->session.db(), id, in, barcode);
        return id;
    }

    void ExpectTotals(QWidget* editor) {
        const Totals t = Expected();
        EXPECT_EQ(Child<QLabel>(editor, "TotalVal")->text().toStdString(), Money(t.net));
        EXPECT_EQ(Child<QLabel>(editor, "TotalTva")->text().toStdString(), Money(t.vat));
        EXPECT_EQ(Child<QLabel>(editor, "TotalPlata")->text().toStdString(), Money(t.total));
    }

    // ---- The stored sale ----

    long long Invoice() {
        auto found =
            run->session.db().query("SELECT IDFACTO FROM FactOut WHERE SERIA='TVX' AND NR=1");
        if (found.rowCount() != 1) {
            ADD_FAILURE() << "invoice TVX 1 stored " << found.rowCount() << " times";
            return -1;
        }
        return found.at(0, 0).number().toLongLong();
    }
    // The card of `lot` lowered by `sold`, with one more movement: the sale's exit.
    void ExpectSold(long long lot, const char* before, const char* sold) {
        tables::Database& db = run->session.db();
        auto card = db.query("SELECT STOC, NRREC FROM CapFise WHERE IDCAP=:id", {{"id", lot}});
        EXPECT_EQ(Plain(card.asNumber("STOC")), Plain(D(before) - D(sold))) << "lot " << lot;
        EXPECT_EQ(Plain(card.asNumber("NRREC")), "2") << "lot " << lot;
        auto exits =
            db.query("SELECT CANTOUT FROM Fise WHERE IDCAP=:id AND CANTOUT>0", {{"id", lot}});
        ASSERT_EQ(exits.rowCount(), 1u) << "sale movements of lot " << lot;
        EXPECT_EQ(Plain(exits.at(0, 0).number()), sold);
    }
    void ExpectStoredSale() {
        const long long id = Invoice();
        tables::Database& db = run->session.db();
        auto lines = db.query("SELECT PRODUS, CANT FROM ProdOut WHERE IDFACTO=:id ORDER BY NRCRT",
                              {{"id", id}});
        const std::pair<const char*, SoldLine> sold[] = {
            {"ULEI MOTOR", kOil}, {"ANTIGEL", kAntifreeze}, {"MANOPERA", kLabour}};
        ASSERT_EQ(lines.rowCount(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(lines.at(i, 0).toString(), sold[i].first);
            EXPECT_EQ(Plain(lines.at(i, 1).number()), sold[i].second.quantity) << sold[i].first;
        }
        ExpectSold(oil, "10", kOil.quantity);
        ExpectSold(antifreeze, "5", kAntifreeze.quantity);
        auto receipts = db.query(
            "SELECT SERIA, NR, SUMA FROM ChitOut WHERE IDFACTO=:id ORDER BY IDCHIT", {{"id", id}});
        ASSERT_EQ(receipts.rowCount(), 2u);
        EXPECT_EQ(receipts.at(0, 0).toString(), "CH");
        EXPECT_EQ(Plain(receipts.at(0, 1).number()), "1");
        EXPECT_EQ(Plain(receipts.at(1, 1).number()), "2");
        EXPECT_EQ(Plain(receipts.at(0, 2).number()), "50");
        EXPECT_EQ(Money(receipts.at(1, 2).number()), Money(Expected().total - D("50")));
        auto stored = db.query("SELECT REST FROM FactOut WHERE IDFACTO=:id", {{"id", id}});
        EXPECT_EQ(Money(stored.asNumber("REST")), "0.00");
    }

    QTemporaryDir folder;
    std::unique_ptr<Run> run;
    long long oil = 0, antifreeze = 0;
    Watchdog watchdog{20};
};

// ---- The road with clicks: each step acts on its open window ----

std::function<void()> Clicking(QWidget* window, const char* button) {
    return [=] { Child<QPushButton>(window, button)->click(); };
}
void PickOilByName(QWidget* picker) {
    Child<QLineEdit>(picker, "ProdEd")->setText("ULEI MOTOR");
    Child<QLineEdit>(picker, "CantEd")->setText(kOil.quantity);
    Clicking(picker, "B11")();  // "&Adauga"
}
void PickAntifreezeByBarcode(QWidget* picker) {
    auto* barcode = Child<QLineEdit>(picker, "CodBareEd");
    barcode->setText(kBarcode);
    PressKey(Qt::Key_Return, barcode);
    EXPECT_EQ(Child<QLineEdit>(picker, "ProdEd")->text().toStdString(), "ANTIGEL");
    Clicking(picker, "B11")();
}
void AddLabour(QWidget* picker) {
    Child<QComboBox>(picker, "ComboBox1")->setCurrentText("MANOPERA");
    Child<QLineEdit>(picker, "PretFEd")->setText(kLabour.price);
    Clicking(picker, "B11")();  // "Adauga"
}
// A receipt of `sum`, or, when null, of the sum proposed (which must be `proposed`).
std::function<void(QWidget*)> Receive(const char* sum, const std::string& proposed = {}) {
    return [=](QWidget* receipt) {
        auto* box = Child<QLineEdit>(receipt, "SumaEd");
        if (sum) {
            box->setText(sum);
        } else {
            EXPECT_EQ(box->text().toStdString(), proposed);
        }
        Clicking(receipt, "B11")();  // "&Memoreaza"
    };
}

TEST_F(RoadOfSaleTest, WithClicksFromTheMainWindowToTheCollectedInvoice) {
    const Totals expected = Expected();
    const std::string rest = Money(expected.total - D("50"));
    auto invoice = [&](QWidget* editor) {
        EXPECT_EQ(Child<QLabel>(editor, "GestiuneLbl")->text().toStdString(),
                  "Gestiunea : MAGAZIN");
        Child<QComboBox>(editor, "CumpaBox")->setCurrentText("CLIENT SA");
        Child<QLineEdit>(editor, "CuiEd")->setText(kBuyerCui);
        Child<QComboBox>(editor, "IbanBox")->setCurrentText(kIban);  // "IBAN incasare"
        Child<QLineEdit>(editor, "LocEd")->setText("DEJ");
        Child<QLineEdit>(editor, "OperatorEd")->setText("ION");
        Through("TProdAddF", Clicking(editor, "AddProd"), PickOilByName);
        Through("TProdAddF", Clicking(editor, "AddProd"), PickAntifreezeByBarcode);
        Through("TServAddF", Clicking(editor, "AddServ"), AddLabour);
        EXPECT_EQ(Child<QTableView>(editor, "LiniiGrid")->model()->rowCount(), 3);
        ExpectTotals(editor);
        Clicking(editor, "B11")();  // "&Memoreaza"
    };
    auto list = [&](QWidget* list) {
        Child<QComboBox>(list, "GesBox")->setCurrentText("MAGAZIN");
        auto* documents = Child<QTableView>(list, "SMDBGrid2");
        ASSERT_EQ(documents->model()->rowCount(), 0);
        Through("TFactOutAddF", Clicking(list, "AddSel"), invoice);
        ASSERT_EQ(documents->model()->rowCount(), 1);
        EXPECT_EQ(Current(documents, "Cumparator"), "CLIENT SA");
        EXPECT_EQ(Current(documents, "Total"), Money(expected.total));
        EXPECT_EQ(Current(documents, "Rest de incasat"), Money(expected.total));

        Through("TChitOutF", Clicking(list, "AddInc"), Receive("50"));
        EXPECT_EQ(Current(documents, "Rest de incasat"), rest);
        Through("TChitOutF", Clicking(list, "AddInc"), Receive(nullptr, rest));
        EXPECT_EQ(Current(documents, "Rest de incasat"), "0.00");
        EXPECT_EQ(Child<QTableView>(list, "GridChit")->model()->rowCount(), 2);

        Child<QCheckBox>(list, "NeincCheck")->click();  // "Doar facturile neincasate"
        EXPECT_EQ(documents->model()->rowCount(), 0);
        PressKey(Qt::Key_Escape, documents);
    };
    Through(
        "TFactOutF", [&] { run->app.main().button(C::OutgoingInvoices)->click(); }, list);
    ExpectStoredSale();
}

// ---- The road with the keyboard alone ----

// Key presses as the user makes them, on the control that has the focus.
void Key(int key) {
    PressKey(key);
}
void Space() {
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* target = modal && modal->focusWidget() ? modal->focusWidget() : modal;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(target, &release);  // a button clicks when Space is let go
}
// Tab (or Shift+Tab, `key` Backtab) until `control` of `window` has the focus; grids are
// crossed like any other control.
void TabTo(QWidget* window, const char* control, int key = Qt::Key_Tab) {
    for (int i = 0; i < 60; ++i) {
        if (Focused(window) == control) return;
        Key(key);
    }
    ADD_FAILURE() << (key == Qt::Key_Tab ? "Tab" : "Shift+Tab") << " never reached " << control
                  << ", stuck at " << Focused(window);
}
// Enter through the fields of `window` (Tab out of a text block, where Enter is a new line),
// typing `typed` where it stops, up to `last`.
void KeyThrough(QWidget* window, const std::map<std::string, QString>& typed, const char* last) {
    for (int i = 0; i < 30 && Focused(window) != last; ++i) {
        const std::string field = Focused(window);
        if (auto text = typed.find(field); text != typed.end()) {
            if (auto* box = window->findChild<QComboBox*>(QString::fromStdString(field)))
                box->setCurrentText(text->second);
            else
                Child<QLineEdit>(window, field.c_str())->setText(text->second);
        }
        Key(qobject_cast<QPlainTextEdit*>(window->focusWidget()) ? Qt::Key_Tab : Qt::Key_Return);
    }
}

// The product picker by name: Enter on the empty bar code moves to the name, Enter on the
// typed beginning completes it, Tab leaves the remark, Enter on the warranty date adds.
void KeyOilByName(QWidget* picker) {
    ASSERT_EQ(Focused(picker), "CodBareEd");
    Key(Qt::Key_Return);
    ASSERT_EQ(Focused(picker), "ProdEd");
    Child<QLineEdit>(picker, "ProdEd")->setText("ULEI");
    Key(Qt::Key_Return);
    EXPECT_EQ(Child<QLineEdit>(picker, "ProdEd")->text().toStdString(), "ULEI MOTOR");
    ASSERT_EQ(Focused(picker), "CantEd");
    Child<QLineEdit>(picker, "CantEd")->setText(kOil.quantity);
    Key(Qt::Key_Return);
    ASSERT_EQ(Focused(picker), "ObsEd");
    Key(Qt::Key_Tab);
    ASSERT_EQ(Focused(picker), "GarantieEd");
    Key(Qt::Key_Return);
}
void KeyAntifreezeByBarcode(QWidget* picker) {
    ASSERT_EQ(Focused(picker), "CodBareEd");
    KeyThrough(picker, {{"CodBareEd", kBarcode}}, "GarantieEd");
    EXPECT_EQ(Child<QLineEdit>(picker, "ProdEd")->text().toStdString(), "ANTIGEL");
    ASSERT_EQ(Focused(picker), "GarantieEd");
    Key(Qt::Key_Return);
}
void KeyLabour(QWidget* picker) {
    ASSERT_EQ(Focused(picker), "ComboBox1");
    KeyThrough(picker, {{"ComboBox1", "MANOPERA"}, {"PretFEd", kLabour.price}}, "GarantieEd");
    ASSERT_EQ(Focused(picker), "GarantieEd");
    Key(Qt::Key_Return);
}
// The receipt opens in the sum; Enter there saves.
std::function<void(QWidget*)> KeyReceipt(const char* sum, const std::string& proposed = {}) {
    return [=](QWidget* receipt) {
        ASSERT_EQ(Focused(receipt), "SumaEd");
        auto* box = Child<QLineEdit>(receipt, "SumaEd");
        if (sum) {
            box->setText(sum);
        } else {
            EXPECT_EQ(box->text().toStdString(), proposed);
        }
        Key(Qt::Key_Return);
    };
}
// The editor: the account chosen with the arrow key, the lines through the buttons, then
// Enter through the fields, typing where it stops; Enter in the operator field saves.
void KeyInvoice(QWidget* editor) {
    ASSERT_EQ(Focused(editor), "DinData");
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);
    ASSERT_EQ(Focused(editor), "IbanBox");
    Key(Qt::Key_Down);
    EXPECT_EQ(Child<QComboBox>(editor, "IbanBox")->currentText().toStdString(), kIban);
    TabTo(editor, "AddProd");
    Through("TProdAddF", Space, KeyOilByName);
    TabTo(editor, "AddProd");
    Through("TProdAddF", Space, KeyAntifreezeByBarcode);
    TabTo(editor, "AddServ");
    Through("TServAddF", Space, KeyLabour);
    TabTo(editor, "CumpaBox");
    KeyThrough(editor, {{"CumpaBox", "CLIENT SA"}, {"CuiEd", kBuyerCui}, {"LocEd", "DEJ"}},
               "OperatorEd");
    ASSERT_EQ(Focused(editor), "OperatorEd");
    Child<QLineEdit>(editor, "OperatorEd")->setText("ION");
    EXPECT_EQ(Child<QTableView>(editor, "LiniiGrid")->model()->rowCount(), 3);
    Key(Qt::Key_Return);
}

TEST_F(RoadOfSaleTest, WithTheKeyboardAlone) {
    const Totals expected = Expected();
    const std::string rest = Money(expected.total - D("50"));
    auto list = [&](QWidget* list) {
        auto* documents = Child<QTableView>(list, "SMDBGrid2");
        TabTo(list, "GesBox");
        Key(Qt::Key_Down);
        ASSERT_EQ(Child<QComboBox>(list, "GesBox")->currentText().toStdString(), "MAGAZIN");
        TabTo(list, "AddSel");
        Through("TFactOutAddF", Space, KeyInvoice);
        ASSERT_EQ(documents->model()->rowCount(), 1);
        EXPECT_EQ(Current(documents, "Rest de incasat"), Money(expected.total));
        TabTo(list, "AddInc");  // past the documents' grid, which has a current row now
        Through("TChitOutF", Space, KeyReceipt("50"));
        Through("TChitOutF", Space, KeyReceipt(nullptr, rest));
        EXPECT_EQ(Current(documents, "Rest de incasat"), "0.00");
        TabTo(list, "NeincCheck");
        Space();
        EXPECT_EQ(documents->model()->rowCount(), 0);
        Key(Qt::Key_Escape);
    };
    QWidget* main = &run->app.main();
    Through(
        "TFactOutF", [&] { PressKey(Qt::Key_F4, main->focusWidget()); }, list);
    ExpectStoredSale();
}

}  // namespace
}  // namespace tvx::ui
