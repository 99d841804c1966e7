// "Facturi de iesire - Vanzari" and the receipt window bound to the sales core: a document from
// the editor posted and listed with all of it left to collect, receipts through "Incasare"
// (their checks, the question about a sum above the rest, Esc) bringing the rest down and
// back, the filters and the title-click order keeping the current document, deleting the
// document with its question, a posting error keeping the editor open, the buttons of an
// empty list, the settings the window reads and keeps, and the receipt questions that open
// the administration window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <fstream>
#include <memory>

#include "../UiTestSupport.h"
#include "SalesListSupport.h"
#include "core/admin/Locations.h"
#include "core/admin/Users.h"
#include "core/common/Schema.h"
#include "core/sales/InvoicePosting.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "ui/common/Progress.h"
#include "ui/common/ShowProblem.h"
#include "ui/sales/InvoiceEditing.h"
#include "ui/sales/TFactOutF.h"

namespace tvx::ui {
namespace {

using tables::Decimal;
using testing::Balloon;
using testing::Child;
using testing::CloseModal;
using testing::Column;
using testing::ColumnText;
using testing::Current;
using testing::CurrentRow;
using testing::PressKey;
using testing::WhenModalNamed;

// The next message window: its title and text, answered with `button` (BE1 Da, BE2 Nu, BE4 OK).
struct Shown {
    bool shown = false;
    QString title, text;
};
std::shared_ptr<Shown> Answer(const char* button) {
    auto seen = std::make_shared<Shown>();
    WhenModalNamed("TErori", [seen, button](QWidget* modal) {
        *seen = {true, Child<QLabel>(modal, "Titlu")->text(), Child<QLabel>(modal, "Text")->text()};
        Child<QPushButton>(modal, button)->click();
    });
    return seen;
}

using Problem = std::pair<QString, QString>;  // balloon message, control name
// The editor as the list sees it: every confirmation hands over the same prepared document.
class FakeEditor : public InvoiceEditing {
  public:
    core::InvoiceDocument doc;
    std::string location;
    std::vector<bool> answers;  // what each post returned
    std::vector<long long> modified, viewed;

    bool newInvoice(const std::string& from, const std::optional<core::PreorderBuyer>&,
                    const PostDocument& post) override {
        location = from;
        answers.push_back(post(doc));
        return answers.back();
    }
    bool modifyInvoice(long long idFacto, const PostDocument& post) override {
        modified.push_back(idFacto);
        answers.push_back(post(doc));
        return answers.back();
    }
    void viewInvoice(long long idFacto) override { viewed.push_back(idFacto); }
};

class InvoiceListWindowTest : public testing::SalesListTest {
  protected:
    void SetUp() override {
        Prepare({"MAGAZIN", "DEPOZIT"});
        editor.doc = Doc(7, "CLIENT SA", "MAGAZIN");
        form.Bind(fx.session);
        form.setEditor(&editor);
    }
    // Two filters of the card (119.00 with VAT) with the remark "livrare rapida".
    core::InvoiceDocument Doc(long long number, const char* buyer, const char* location) {
        core::InvoiceDocument doc = FilterInvoice(number, 2, buyer, location);
        doc.obs = "livrare rapida";
        return doc;
    }
    Decimal Stock() {
        return Db()
            .query("SELECT STOC FROM CapFise WHERE IDCAP=:id", {{"id", card_}})
            .asNumber("STOC");
    }
    // Runs the window modally with `act`, closing it afterwards if `act` left it open.
    void Open(std::function<void(QWidget*)> act) {
        auto ran = std::make_shared<bool>(false);
        WhenModalNamed("TFactOutF", [act, ran](QWidget* w) {
            *ran = true;
            act(w);
            if (w->isVisible()) CloseModal(w);
        });
        form.OpenInvoiceList(false);
        EXPECT_TRUE(*ran);
    }
    // A receipt through "Incasare": `fill` sets its fields, then "&Memoreaza".
    void Collect(QWidget* w, std::function<void(QWidget*)> fill) {
        auto ran = std::make_shared<bool>(false);
        WhenModalNamed("TChitOutF", [fill, ran](QWidget* d) {
            *ran = true;
            fill(d);
            Child<QPushButton>(d, "B11")->click();
            if (d->isVisible()) CloseModal(d);
        });
        Click(w, "AddInc");
        EXPECT_TRUE(*ran);
    }
    static QTableView* Documents(QWidget* w) { return Child<QTableView>(w, "SMDBGrid2"); }
    static QTableView* Receipts(QWidget* w) { return Child<QTableView>(w, "GridChit"); }
    static void Click(QWidget* w, const char* button) { Child<QPushButton>(w, button)->click(); }

    FakeEditor editor;
    TFactOutF form;
};

// ---- Documents ----

TEST_F(InvoiceListWindowTest, NewDocumentIsPostedAndListedWithAllOfItToCollect) {
    Set().writeSetting("VAR", "GESDEFAULT", "2");  // " * indiferent *", DEPOZIT, MAGAZIN
    Open([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Tarvix");
        EXPECT_EQ(Child<QComboBox>(w, "GesBox")->currentText(), "MAGAZIN");
        EXPECT_EQ(Documents(w)->model()->rowCount(), 0);
        Click(w, "AddSel");
        EXPECT_EQ(editor.location, "MAGAZIN");
        ASSERT_EQ(Documents(w)->model()->rowCount(), 1);
        EXPECT_EQ(CurrentRow(Documents(w)),
                  (QStringList{"MAGAZIN", "CLIENT SA", "RO555", "TVX", "7", "03.02.2026", "",
                               "119.00", "119.00", "0"}));
        EXPECT_EQ(Child<QLabel>(w, "ObsText")->text(), "livrare rapida");
        // The new buyer joins the buyer list.
        EXPECT_EQ(Child<QComboBox>(w, "CumpBox")->findText("CLIENT SA"), 1);
        // The posting went through the progress window, line by line.
        EXPECT_EQ(TContor::instance().text(), "Operez Filtru...");
        EXPECT_FALSE(TContor::instance().isVisible());
        EXPECT_TRUE(w->isEnabled());
    });
    EXPECT_EQ(editor.answers, (std::vector<bool>{true}));
    EXPECT_EQ(Stock(), D("8"));
    EXPECT_EQ(fx.session.profile.factNr, "8");  // the profile shows the next number
}

TEST_F(InvoiceListWindowTest, NewDocumentNeedsALocationAndAPostingErrorKeepsTheEditorOpen) {
    editor.doc.lines.front().idCap = 999;  // no such stock card
    Open([&](QWidget* w) {
        Click(w, "AddSel");  // " * indiferent *" is chosen
        EXPECT_EQ(Balloon(), Problem("Alegeti mai intai o gestiune!", "GesBox"));
        EXPECT_TRUE(editor.answers.empty());
        Child<QComboBox>(w, "GesBox")->setCurrentText("MAGAZIN");
        auto error = Answer("BE4");
        Click(w, "AddSel");
        EXPECT_TRUE(error->shown);
        EXPECT_TRUE(error->text.contains("Produsul Filtru nu a fost operat!"))
            << error->text.toStdString();
        EXPECT_EQ(Documents(w)->model()->rowCount(), 0);
    });
    EXPECT_EQ(editor.answers, (std::vector<bool>{false}));
    EXPECT_EQ(Set().peekNumber("FACTNR"), 7);
    EXPECT_EQ(Stock(), D("10"));
}

TEST_F(InvoiceListWindowTest, ModifyingKeepsTheReceiptsAndCashierIsRefusedAPrintedInvoice) {
    const long long id = core::SaveNewInvoice(Db(), Set(), Doc(7, "CLIENT SA", "MAGAZIN"));
    editor.doc.lines.front().quantity = D("4");
    editor.doc.total = D("238");
    Open([&](QWidget* w) {
        Collect(w, [](QWidget* d) { Child<QLineEdit>(d, "SumaEd")->setText("19"); });
        // A double-click modifies the document; the list shows its location afterwards.
        auto* grid = Documents(w);
        EXPECT_EQ(Child<QComboBox>(w, "GesBox")->currentIndex(), 0);
        emit grid->doubleClicked(grid->currentIndex());
        EXPECT_EQ(Child<QComboBox>(w, "GesBox")->currentText(), "MAGAZIN");
        EXPECT_EQ(Current(grid, "Total"), "238.00");
        EXPECT_EQ(Current(grid, "Rest de incasat"), "219.00");
        EXPECT_EQ(Receipts(w)->model()->rowCount(), 1);
        Click(w, "DetOut");

        Db().execute("UPDATE FactOut SET LISTARI=1");
        fx.session.grade = core::kGradeCasier;
        auto refusal = Answer("BE4");
        Click(w, "EditSel");
        EXPECT_EQ(refusal->text, "Nu aveti dreptul sa mai modificati Factura!");
    });
    EXPECT_EQ(editor.modified, (std::vector<long long>{id}));
    EXPECT_EQ(editor.viewed, (std::vector<long long>{id}));
    EXPECT_EQ(Stock(), D("6"));
}

TEST_F(InvoiceListWindowTest, DeletingAsksAndGivesStockAndNumberBack) {
    core::SaveNewInvoice(Db(), Set(), Doc(7, "CLIENT SA", "MAGAZIN"));
    fx.session.loadProfile();
    ASSERT_EQ(fx.session.profile.factNr, "8");
    Open([&](QWidget* w) {
        Click(w, "DelInc");
        EXPECT_EQ(Balloon(), Problem("Nu aveti ce sterge!", "DelInc"));
        auto question = Answer("BE2");
        Click(w, "DelSel");
        EXPECT_EQ(question->text, "Sunteti sigur ca vreti sa stergeti Factura TVX 7 ?");
        EXPECT_EQ(Documents(w)->model()->rowCount(), 1);

        Answer("BE1");
        Click(w, "DelSel");
        EXPECT_EQ(Documents(w)->model()->rowCount(), 0);
        for (const char* name : {"EditSel", "DelSel", "DetOut", "AddInc"})
            EXPECT_FALSE(Child<QPushButton>(w, name)->isEnabled()) << name;
        EXPECT_TRUE(Child<QPushButton>(w, "AddSel")->isEnabled());
    });
    EXPECT_EQ(Stock(), D("10"));
    EXPECT_EQ(fx.session.profile.factNr, "7");
}

// ---- Receipts ----

TEST_F(InvoiceListWindowTest, TwoReceiptsCollectTheRestAndDeletingOneBringsItBack) {
    core::SaveNewInvoice(Db(), Set(), Doc(7, "CLIENT SA", "MAGAZIN"));
    Open([&](QWidget* w) {
        auto* documents = Documents(w);
        auto* receipts = Receipts(w);
        Collect(w, [](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Incasare noua");
            EXPECT_EQ(Child<QLabel>(d, "GesText")->text(), "MAGAZIN");
            EXPECT_EQ(Child<QLabel>(d, "CumpText")->text(), "CLIENT SA");
            EXPECT_EQ(Child<QLabel>(d, "FactText")->text(), "seria TVX nr.7");
            EXPECT_EQ(Child<QLabel>(d, "RestText")->text(), "119.00");
            EXPECT_EQ(Child<QRadioButton>(d, "RB1")->text(), "cu Chitanta CH nr.5");
            EXPECT_TRUE(Child<QRadioButton>(d, "RB1")->isChecked());
            auto* sum = Child<QLineEdit>(d, "SumaEd");
            EXPECT_EQ(sum->text(), "119.00");
            sum->setText("40");
            auto* text = Child<QPlainTextEdit>(d, "Reprez");
            text->setPlainText(QString(90, 'x'));
            EXPECT_EQ(text->toPlainText(), QString(80, 'x'));
            text->setPlainText("achitat F.F. seria TVX nr.7");
            Child<QDateEdit>(d, "DinData")->setFocus();
            PressKey(Qt::Key_Return, Child<QDateEdit>(d, "DinData"));  // Enter moves on
            EXPECT_EQ(d->focusWidget(), sum);
            PressKey(Qt::Key_Return, sum);  // Enter on the sum saves
            EXPECT_FALSE(d->isVisible());
        });
        EXPECT_EQ(Current(documents, "Rest de incasat"), "79.00");
        ASSERT_EQ(receipts->model()->rowCount(), 1);
        EXPECT_EQ(CurrentRow(receipts).mid(0, 3), (QStringList{"CHITANTA", "CH", "5"}));
        EXPECT_EQ(Current(receipts, "Valoare"), "40.00");
        EXPECT_EQ(Current(receipts, " Reprezentand"), "achitat F.F. seria TVX nr.7");

        Collect(w, [](QWidget* d) {
            EXPECT_EQ(Child<QRadioButton>(d, "RB1")->text(), "cu Chitanta CH nr.6");
            EXPECT_EQ(Child<QLineEdit>(d, "SumaEd")->text(), "79.00");
            Child<QRadioButton>(d, "RB2")->setChecked(true);
            Child<QComboBox>(d, "DocName")->setCurrentText("CEC");
            Child<QLineEdit>(d, "NrDoc")->setText("12");
        });
        EXPECT_EQ(Current(documents, "Rest de incasat"), "0.00");
        EXPECT_EQ(receipts->model()->rowCount(), 2);
        EXPECT_EQ(CurrentRow(receipts).mid(0, 3), (QStringList{"CEC", "", "12"}));

        // Collected: the unpaid-only filter hides it and the list is empty.
        Child<QCheckBox>(w, "NeincCheck")->setChecked(true);
        EXPECT_EQ(documents->model()->rowCount(), 0);
        EXPECT_EQ(receipts->model()->rowCount(), 0);
        EXPECT_FALSE(Child<QPushButton>(w, "AddInc")->isEnabled());
        Child<QCheckBox>(w, "NeincCheck")->setChecked(false);
        ASSERT_EQ(documents->model()->rowCount(), 1);

        // The first receipt is current: deleting it raises the rest by its 40.
        receipts->setCurrentIndex(receipts->model()->index(0, 0));
        auto question = Answer("BE1");
        Click(w, "DelInc");
        EXPECT_EQ(question->text, "Doriti sa stergeti CHITANTA  nr.5?");
        EXPECT_EQ(Current(documents, "Rest de incasat"), "40.00");
        EXPECT_EQ(ColumnText(receipts, "Document justificativ"), QStringList{"CEC"});
    });
    // The newest cash receipt gave its number back.
    EXPECT_EQ(Set().peekNumber("CHITNR"), 5);
    EXPECT_EQ(fx.session.profile.chitNr, "5");
}

TEST_F(InvoiceListWindowTest, ReceiptWindowChecksTheSumAndAsksAboveTheRest) {
    core::SaveNewInvoice(Db(), Set(), Doc(7, "CLIENT SA", "MAGAZIN"));
    Open([&](QWidget* w) {
        // Esc leaves without saving.
        WhenModalNamed("TChitOutF", [](QWidget* d) { PressKey(Qt::Key_Escape, d); });
        Click(w, "AddInc");
        EXPECT_EQ(Receipts(w)->model()->rowCount(), 0);

        bool asked = false;
        Collect(w, [&](QWidget* d) {
            auto* sum = Child<QLineEdit>(d, "SumaEd");
            auto* save = Child<QPushButton>(d, "B11");
            sum->setText("0");
            save->click();
            EXPECT_EQ(Balloon(), Problem("Lipseste suma!", "SumaEd"));
            sum->setText("-5");
            save->click();
            EXPECT_EQ(Balloon(), Problem("Nu puteti face aceasta operatiune cu minus!", "SumaEd"));
            sum->setText("200");
            auto again = Answer("BE1");  // Da: correct it
            save->click();
            asked = again->text.startsWith("Suma e mai mare decat restul de incasat!");
            EXPECT_TRUE(d->isVisible());
            Answer("BE2");  // Nu: keep the sum; the click of Collect saves
        });
        EXPECT_TRUE(asked);
        EXPECT_EQ(Current(Documents(w), "Rest de incasat"), "-81.00");

        // A compensation may be negative and raises the rest.
        Collect(w, [](QWidget* d) {
            Child<QRadioButton>(d, "RB2")->setChecked(true);
            Child<QComboBox>(d, "DocName")->setCurrentText("COMPENSARE");
            Child<QLineEdit>(d, "SumaEd")->setText("-100");
        });
        EXPECT_EQ(Current(Documents(w), "Rest de incasat"), "19.00");
    });
}

TEST_F(InvoiceListWindowTest, ReceiptQuestionsOfferTheAdministrationWindow) {
    core::SaveNewInvoice(Db(), Set(), Doc(7, "CLIENT SA", "MAGAZIN"));
    Set().writeSetting("SETARI", "CHITSERIA", "");
    fx.session.loadProfile();
    int opened = 0;
    form.setAdministrationOpener([&] {
        ++opened;
        Set().writeSetting("SETARI", "CHITSERIA", "CX");
    });
    Open([&](QWidget* w) {
        auto question = Answer("BE1");
        Click(w, "AddInc");
        EXPECT_TRUE(question->text.startsWith("Nu ati trecut seria la chitante la Administrare!"));
        EXPECT_EQ(opened, 1);
        // The series set there is used at once.
        Collect(w, [](QWidget* d) {
            EXPECT_EQ(Child<QRadioButton>(d, "RB1")->text(), "cu Chitanta CX nr.5");
        });
        EXPECT_EQ(Current(Receipts(w), "Seria"), "CX");
    });
}

TEST_F(InvoiceListWindowTest, FiscalReceiptTakesNoOtherReceiptAndKeepsItsOwn) {
    core::InvoiceDocument receipt = Doc(30, "CLIENT SA", "MAGAZIN");
    receipt.docType = core::kFiscalReceiptDocument;
    core::SaveNewInvoice(Db(), Set(), receipt);
    Open([&](QWidget* w) {
        EXPECT_EQ(Current(Receipts(w), "Document justificativ"), "BON FISCAL");
        Click(w, "AddInc");
        EXPECT_EQ(Balloon(), Problem("Bonul fiscal nu poate fi achitat cu altceva!", "GridChit"));
        Click(w, "DelInc");
        EXPECT_EQ(Balloon(), Problem("Bonul fiscal il puteti sterge de mai sus!", "GridChit"));
        EXPECT_EQ(Receipts(w)->model()->rowCount(), 1);
    });
}

// ---- Filters, order, settings ----

TEST_F(InvoiceListWindowTest, FiltersAndTitleClickKeepTheirDocumentCurrent) {
    core::SaveNewInvoice(Db(), Set(), Doc(7, "ALFA SRL", "MAGAZIN"));
    core::SaveNewInvoice(Db(), Set(), Doc(8, "BETA SA", "DEPOZIT"));
    core::SaveNewInvoice(Db(), Set(), Doc(9, "ALFA SRL", "DEPOZIT"));
    Db().execute("UPDATE FactOut SET CUI2='RO777' WHERE NR=8");
    Open([&](QWidget* w) {
        auto* grid = Documents(w);
        auto* location = Child<QComboBox>(w, "GesBox");
        auto* buyer = Child<QComboBox>(w, "CumpBox");
        EXPECT_EQ(location->currentIndex(), 0);
        EXPECT_EQ(ColumnText(grid, "Numarul Facturii"), (QStringList{"8", "9", "7"}));
        EXPECT_EQ(Current(grid, "Numarul Facturii"), "7");  // the last row

        location->setCurrentText("DEPOZIT");
        EXPECT_EQ(ColumnText(grid, "Numarul Facturii"), (QStringList{"8", "9"}));
        EXPECT_EQ(Current(grid, "Numarul Facturii"), "9");
        buyer->setCurrentText("BETA SA");
        EXPECT_EQ(ColumnText(grid, "Numarul Facturii"), QStringList{"8"});
        buyer->setCurrentIndex(0);
        Child<QLineEdit>(w, "CuiEd")->setText("RO7");
        EXPECT_EQ(ColumnText(grid, "Numarul Facturii"), QStringList{"8"});
        Child<QLineEdit>(w, "CuiEd")->clear();
        location->setCurrentIndex(0);
        ASSERT_EQ(grid->model()->rowCount(), 3);

        // Ordered by buyer, the document current before stays current.
        grid->setCurrentIndex(grid->model()->index(0, 0));  // NR 8, BETA SA
        grid->horizontalHeader()->sectionClicked(Column(grid, "Cumparator"));
        EXPECT_EQ(ColumnText(grid, "Cumparator"), (QStringList{"ALFA SRL", "ALFA SRL", "BETA SA"}));
        EXPECT_EQ(Current(grid, "Numarul Facturii"), "8");
        location->setCurrentText("MAGAZIN");  // closing keeps the location
    });
    EXPECT_EQ(Set().readSetting("VAR", "GESDEFAULT"), "2");
}

TEST_F(InvoiceListWindowTest, OpeningReadsAndClosingKeepsThePrintFields) {
    Set().writeSetting("VARFACT", "NRCOPII", "2");
    Set().writeSetting("SETARI", "CUSTAMP", "DA");
    Open([&](QWidget* w) {
        EXPECT_EQ(Child<QLineEdit>(w, "NrEx")->text(), "2");
        EXPECT_FALSE(Child<QCheckBox>(w, "StampCheck")->isEnabled());  // no Stamp.jpg
        EXPECT_FALSE(Child<QCheckBox>(w, "StampCheck")->isChecked());
        EXPECT_TRUE(Child<QCheckBox>(w, "PreviewCheck")->isChecked());
        EXPECT_TRUE(Child<QPushButton>(w, "ComandaBut")->isHidden());  // not a car service
        // "Chitanta" answers with its balloon when there is no receipt to print.
        EXPECT_TRUE(Child<QPushButton>(w, "ListChit")->isEnabled());
        for (const char* name : {"ListFact", "ListFactChit", "XMLBut"})  // nothing listed
            EXPECT_FALSE(Child<QPushButton>(w, name)->isEnabled()) << name;
        Child<QLineEdit>(w, "NrEx")->setText("3");
        PressKey(Qt::Key_Escape, Documents(w));  // Esc closes
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_EQ(Set().readSetting("VARFACT", "NRCOPII"), "3");
    EXPECT_EQ(Set().readSetting("SETARI", "CUSTAMP"), "");

    std::ofstream(fx.session.dataDir() / "Stamp.jpg") << "jpeg";
    Set().writeSetting("SETARI", "CUSTAMP", "DA");
    Set().writeSetting("SETARI", "DOMENIU", core::CompanyProfile::kServiceAuto);
    fx.session.loadProfile();
    Open([&](QWidget* w) {
        EXPECT_TRUE(Child<QCheckBox>(w, "StampCheck")->isEnabled());
        EXPECT_TRUE(Child<QCheckBox>(w, "StampCheck")->isChecked());
        EXPECT_FALSE(Child<QPushButton>(w, "ComandaBut")->isHidden());
    });
    EXPECT_EQ(Set().readSetting("SETARI", "CUSTAMP"), "DA");
}

}  // namespace
}  // namespace tvx::ui
