// "Acte de intrare" and its two dialogs bound to the purchases core: a document added through
// the editor (its checks at their controls, the totals following each other, a known supplier
// proposing its data), payments lowering and raising what is left to pay, the supplier search
// and title-click order keeping the current document, deleting with its question, the buttons
// of an empty list, "Preluare Aviz" with a good and a bad file and its open dialog, and Esc
// closing the window and cancelling its dialogs.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../UiTestSupport.h"
#include "core/common/Schema.h"
#include "core/purchases/IncomingDocument.h"
#include "core/purchases/IncomingInvoiceEditor.h"
#include "core/purchases/IncomingInvoices.h"
#include "core/purchases/PaymentEntry.h"
#include "tables/Database.h"
#include "ui/common/ShowProblem.h"
#include "ui/purchases/TFactInF.h"

namespace tvx::ui {
namespace {

using testing::Balloon;
using testing::Child;
using testing::Column;
using testing::ColumnText;
using testing::Current;
using testing::CurrentRow;

namespace fs = std::filesystem;
using tables::Date;
using testing::ClickOn;
using testing::CloseModal;
using testing::PressKey;
using testing::TypeText;
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

class IncomingWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override { ProblemBalloon::setLifetime(60000); }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
        TFactInF::setAvizChooser({});
    }
    tables::Database& Db() { return fx.session.db(); }
    core::Settings& Set() { return fx.session.settings(); }
    long long Count(const char* table) {
        auto rs =
            Db().query("SELECT COUNT(*) FROM " + core::QuotedPath(core::TableFile(Db(), table)));
        return rs.at(0, 0).number().toLongLong();
    }
    // A document stored through the core, as an earlier use of the window leaves it.
    long long Seed(const char* supplier, int day, const char* gross,
                   const char* kind = core::kInvoiceKind, const char* account = "",
                   const char* vat = "19") {
        core::IncomingInvoiceEditor e(Db());
        e.startNew(Set(), Date::fromYmd(2024, 3, day));
        e.furnizor = supplier;
        e.numeFact = kind;
        e.seriaNr = "F " + std::to_string(day);
        e.cont = account;
        e.cui = "14399840";
        e.tvaProc = vat;
        e.totalCuTva = gross;
        EXPECT_FALSE(e.check());
        core::IncomingInvoices list(Db(), Set());
        return list.addDocument(e);
    }
    void Pay(long long idFact, const char* sum) {
        core::PaymentEntry payment;
        payment.startNew(*core::ReadIncomingDocument(Db(), idFact));
        payment.suma = sum;
        ASSERT_FALSE(payment.check());
        core::AddPayment(Db(), Set(), idFact, payment);
    }
    // Runs the window modally with `act`, closing it afterwards if `act` left it open.
    void Open(std::function<void(QWidget*)> act) {
        WhenModalNamed("TFactInF", [act](QWidget* w) {
            act(w);
            if (w->isVisible()) CloseModal(w);
        });
        form.Open();
    }
    static QTableView* Documents(QWidget* w) { return Child<QTableView>(w, "IstoricIntrari"); }
    static QTableView* Payments(QWidget* w) { return Child<QTableView>(w, "AchitatCu"); }
    static void Click(QWidget* w, const char* button) { Child<QPushButton>(w, button)->click(); }

    testing::SessionFixture fx;
    TFactInF form{fx.session};
};

using Problem = std::pair<QString, QString>;  // balloon message, control name

// ---- The editor ----

TEST_F(IncomingWindowsTest, AddingADocumentShowsEachCheckAtItsFieldAndComputesTotalsLive) {
    Seed("ALFA SRL", 1, "109", core::kInvoiceKind, "RO31BTRL0123456789012345", "9");
    bool stillOpen = true;
    Open([&](QWidget* w) {
        WhenModalNamed("TFactInAddF", [&](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Adaugare factura de intrare");
            auto box = [d](const char* name) { return Child<QLineEdit>(d, name); };
            auto* memo = Child<QPushButton>(d, "MemoBut");
            memo->click();
            EXPECT_EQ(Balloon(), Problem("Lipseste Furnizorul!", "Furnizor"));
            // A supplier chosen from the list proposes its latest account, VAT and code.
            auto* supplier = Child<QComboBox>(d, "Furnizor");
            ASSERT_EQ(supplier->count(), 1);
            supplier->setFocus();
            PressKey(Qt::Key_Down, supplier);
            EXPECT_EQ(box("Cont")->text(), "RO31BTRL0123456789012345");
            EXPECT_EQ(box("Banca")->text(), "BANCA TRANSILVANIA SA");
            EXPECT_EQ(box("TvaProc")->text(), "9");
            EXPECT_EQ(box("CodFiscal")->text(), "14399840");
            box("Cont")->setText("");
            EXPECT_EQ(box("Banca")->text(), "");
            supplier->setEditText("gamma srl");
            Child<QComboBox>(d, "DocJus")->setEditText("FACTURA FISCALA");
            box("SeriaNr")->setText("AB 77");
            Child<QDateEdit>(d, "DataIn")->setDate(QDate(2024, 3, 15));
            EXPECT_EQ(Child<QDateEdit>(d, "DataScad")->date(), QDate(2024, 3, 15));
            Child<QDateEdit>(d, "DataScad")->setDate(QDate(2024, 3, 10));
            box("CodFiscal")->setText("14399840");
            memo->click();
            EXPECT_EQ(Balloon(), Problem("Data scadenta este inaintea facturarii!", "DataScad"));
            Child<QDateEdit>(d, "DataScad")->setDate(QDate(2024, 3, 20));

            box("TvaProc")->setText("19");
            box("TotalFaraTva")->setText("100");
            EXPECT_EQ(box("TotalCuTva")->text(), "119.0000");
            box("TotalCuTva")->setText("238");
            EXPECT_EQ(box("TotalFaraTva")->text(), "200.00");
            box("TvaProc")->setText("9");
            EXPECT_EQ(box("TotalFaraTva")->text(), "218.35");
            Child<QToolButton>(d, "AutoCalc")->click();  // up: the totals are independent
            box("TotalFaraTva")->setText("200");
            EXPECT_EQ(box("TotalCuTva")->text(), "238");
            box("TotalCuTva")->setFocus();
            PressKey(Qt::Key_Return, box("TotalCuTva"));  // Enter on the last field saves
            stillOpen = d->isVisible();
            if (stillOpen) CloseModal(d);
        });
        Click(w, "AdaugaIntrare");
        auto* grid = Documents(w);
        ASSERT_EQ(grid->model()->rowCount(), 2);
        EXPECT_EQ(CurrentRow(grid),
                  (QStringList{"FACTURA FISCALA", "AB 77", "15.03.2024", "GAMMA SRL", "14399840",
                               "", "", "20.03.2024", "200.00", "9", "238.00", "238.00"}));
        EXPECT_EQ(Payments(w)->model()->rowCount(), 0);
    });
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Set().readVatRate(), 9);
}

TEST_F(IncomingWindowsTest, KeysTypedAfterAClickOnBancaChangeNoOtherField) {
    Open([&](QWidget* w) {
        WhenModalNamed("TFactInAddF", [&](QWidget* d) {
            auto box = [d](const char* name) { return Child<QLineEdit>(d, name); };
            for (const char* field : {"Cont", "CodFiscal"}) {
                box(field)->setFocus();
                TypeText(box(field), "RO");
                ClickOn(box("Banca"));
                TypeText(d->focusWidget(), "XYZ");
                EXPECT_EQ(box(field)->text(), "RO") << field;
            }
            EXPECT_EQ(box("Banca")->text(), "");
            CloseModal(d);
        });
        Click(w, "AdaugaIntrare");
    });
}

TEST_F(IncomingWindowsTest, ATypedDecimalCommaAndAGroupedIbanReachTheStoredDocument) {
    Open([&](QWidget* w) {
        WhenModalNamed("TFactInAddF", [&](QWidget* d) {
            auto box = [d](const char* name) { return Child<QLineEdit>(d, name); };
            Child<QComboBox>(d, "Furnizor")->setEditText("BETA SRL");
            Child<QComboBox>(d, "DocJus")->setEditText("FACTURA FISCALA");
            box("SeriaNr")->setText("B 1");
            box("CodFiscal")->setText("14399840");
            TypeText(box("Cont"), "RO31 BTRL 0123 4567 8901 2345");
            EXPECT_EQ(box("Banca")->text(), "BANCA TRANSILVANIA SA");
            TypeText(box("TvaProc"), ",");  // a whole-number field says so instead
            EXPECT_EQ(Balloon(), Problem("Aici se scrie un numar intreg de cel mult 3 cifre, "
                                         "fara semn!",
                                         "TvaProc"));
            EXPECT_EQ(box("TvaProc")->text(), "19");
            box("TotalFaraTva")->clear();
            TypeText(box("TotalFaraTva"), "1020,50");
            EXPECT_EQ(box("TotalFaraTva")->text(), "1020.50");
            EXPECT_EQ(box("TotalCuTva")->text(), "1214.3950");
            Child<QPushButton>(d, "MemoBut")->click();
            if (d->isVisible()) CloseModal(d);
        });
        Click(w, "AdaugaIntrare");
    });
    const auto rs = Db().query("SELECT VALOARE, CONT FROM " +
                               core::QuotedPath(core::TableFile(Db(), "FactIn")));
    ASSERT_EQ(rs.rowCount(), 1u);
    EXPECT_EQ(rs.at(0, 0).number(), tables::Decimal::fromUnits(102050, 2));
    EXPECT_EQ(rs.at(0, 1).text(), "RO31BTRL0123456789012345");
}

TEST_F(IncomingWindowsTest, ModifyingFillsTheEditorFromTheRowAndMovesWhatIsLeft) {
    Pay(Seed("ALFA SRL", 4, "100"), "40");
    Open([&](QWidget* w) {
        WhenModalNamed("TFactInAddF", [&](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Modificare factura de intrare");
            EXPECT_EQ(Child<QComboBox>(d, "Furnizor")->currentText(), "ALFA SRL");
            EXPECT_EQ(Child<QLineEdit>(d, "SeriaNr")->text(), "F 4");
            EXPECT_EQ(Child<QLineEdit>(d, "TotalCuTva")->text(), "100.00");
            Child<QComboBox>(d, "Furnizor")->setEditText("ALFA NOU SRL");
            Child<QLineEdit>(d, "TotalCuTva")->setText("120");
            Click(d, "MemoBut");
            if (d->isVisible()) CloseModal(d);
        });
        Click(w, "ModificaIntrare");
        EXPECT_EQ(Current(Documents(w), "Furnizor"), "ALFA NOU SRL");
        EXPECT_EQ(Current(Documents(w), "Rest de plata"), "80.00");
        EXPECT_EQ(Payments(w)->model()->rowCount(), 1);
    });
}

// ---- Payments ----

TEST_F(IncomingWindowsTest, PaymentsLowerAndRaiseWhatIsLeftToPay) {
    Seed("ALFA SRL", 5, "119");
    Open([&](QWidget* w) {
        auto* documents = Documents(w);
        auto* payments = Payments(w);
        WhenModalNamed("TChitInAddF", [&](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Adaugare plata");
            EXPECT_EQ(Child<QLabel>(d, "Furnizor")->text(), "ALFA SRL");
            EXPECT_EQ(Child<QLabel>(d, "RestDePlata")->text(), "119.00 lei.");
            EXPECT_EQ(Child<QComboBox>(d, "SeAchitaCu")->currentText(), "CHITANTA");
            EXPECT_EQ(Child<QDateEdit>(d, "DinData")->date(), QDate(2024, 3, 5));
            auto* sum = Child<QLineEdit>(d, "SumaDe");
            EXPECT_EQ(sum->text(), "119.00");
            sum->setText("0");
            Click(d, "MemoBut");
            EXPECT_EQ(Balloon(), Problem("Suma incorecta!", "SumaDe"));
            sum->setText("40");
            Child<QLineEdit>(d, "SeriaNr")->setText("CH 5");
            sum->setFocus();
            PressKey(Qt::Key_Return, sum);  // Enter on the sum saves
            if (d->isVisible()) CloseModal(d);
        });
        Click(w, "AdaugaPlata");
        EXPECT_EQ(Current(documents, "Rest de plata"), "79.00");
        ASSERT_EQ(payments->model()->rowCount(), 1);
        EXPECT_EQ(CurrentRow(payments), (QStringList{"CHITANTA", "CH 5", "05.03.2024", "40.00"}));

        WhenModalNamed("TChitInAddF", [&](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Modificare plata");
            EXPECT_EQ(Child<QLineEdit>(d, "SumaDe")->text(), "40.00");
            Child<QLineEdit>(d, "SumaDe")->setText("50");
            Click(d, "MemoBut");
            if (d->isVisible()) CloseModal(d);
        });
        Click(w, "ModificaPlata");
        EXPECT_EQ(Current(documents, "Rest de plata"), "69.00");
        EXPECT_EQ(Current(payments, "Valoare"), "50.00");

        auto refused = Answer("BE2");
        Click(w, "StergePlata");
        EXPECT_EQ(refused->text, "Doriti sa stergeti CHITANTA  nr.CH 5?");
        EXPECT_EQ(payments->model()->rowCount(), 1);
        auto agreed = Answer("BE1");
        Click(w, "StergePlata");
        EXPECT_TRUE(agreed->shown);
        EXPECT_EQ(payments->model()->rowCount(), 0);
        EXPECT_EQ(Current(documents, "Rest de plata"), "119.00");
    });
    EXPECT_EQ(Count("ChitIn"), 0);
}

TEST_F(IncomingWindowsTest, ButtonsOfAnEmptyListPointAtThemselvesAndEscCancels) {
    std::vector<Problem> shown;
    bool closedByEsc = false;
    Open([&](QWidget* w) {
        for (const char* button :
             {"ModificaIntrare", "StergeIntrare", "AdaugaPlata", "ModificaPlata", "StergePlata"}) {
            ProblemBalloon::instance().hide();
            Click(w, button);
            shown.push_back(Balloon());
        }
        WhenModalNamed("TFactInAddF", [](QWidget* d) {
            PressKey(Qt::Key_Escape, Child<QLineEdit>(d, "SeriaNr"));
            if (d->isVisible()) CloseModal(d);
        });
        Click(w, "AdaugaIntrare");
        EXPECT_EQ(Documents(w)->model()->rowCount(), 0);
        PressKey(Qt::Key_Escape, Documents(w));
        closedByEsc = !w->isVisible();
    });
    EXPECT_EQ(shown,
              (std::vector<Problem>{{"Nu aveti ce modifica!", "ModificaIntrare"},
                                    {"Nu aveti ce sterge!", "StergeIntrare"},
                                    {"Alegeti sau adaugati mai intai o factura!", "AdaugaPlata"},
                                    {"Nu exista nici o plata!", "ModificaPlata"},
                                    {"Nu aveti ce sterge!", "StergePlata"}}));
    EXPECT_TRUE(closedByEsc);
}

// ---- The list ----

TEST_F(IncomingWindowsTest, SearchAndTitleClickKeepTheCurrentDocument) {
    Seed("BETA SRL", 1, "10");
    Pay(Seed("ALFA SRL", 2, "20"), "20");
    Seed("ALBA SA", 3, "30");
    Open([&](QWidget* w) {
        auto* grid = Documents(w);
        EXPECT_EQ(ColumnText(grid, "Furnizor"), (QStringList{"BETA SRL", "ALFA SRL", "ALBA SA"}));
        EXPECT_EQ(Current(grid, "Furnizor"), "ALBA SA");  // the last document
        EXPECT_EQ(Payments(w)->model()->rowCount(), 0);
        grid->setCurrentIndex(grid->model()->index(1, 0));
        EXPECT_EQ(Current(Payments(w), "Valoare"), "20.00");  // the payments follow

        auto* search = Child<QLineEdit>(w, "CautaFurnizor");
        search->insert("al");
        EXPECT_EQ(search->text(), "AL");
        EXPECT_EQ(ColumnText(grid, "Furnizor"), (QStringList{"ALFA SRL", "ALBA SA"}));
        EXPECT_EQ(Current(grid, "Furnizor"), "ALFA SRL");
        emit grid->horizontalHeader()->sectionClicked(Column(grid, "Furnizor"));
        EXPECT_EQ(ColumnText(grid, "Furnizor"), (QStringList{"ALBA SA", "ALFA SRL"}));
        EXPECT_EQ(Current(grid, "Furnizor"), "ALFA SRL");
        search->clear();
        EXPECT_EQ(ColumnText(grid, "Furnizor"), (QStringList{"ALBA SA", "ALFA SRL", "BETA SRL"}));
        emit grid->horizontalHeader()->sectionClicked(Column(grid, "Valoare cu TVA"));
        EXPECT_EQ(ColumnText(grid, "Valoare cu TVA"), (QStringList{"10.00", "20.00", "30.00"}));
        EXPECT_EQ(Current(grid, "Furnizor"), "ALFA SRL");
        EXPECT_EQ(Payments(w)->model()->rowCount(), 1);
    });
}

TEST_F(IncomingWindowsTest, DeletingADocumentAsksAndTakesItsPayments) {
    Seed("ALFA SRL", 1, "10");
    Seed("BETA SRL", 2, "25", core::kFiscalReceipt);
    Open([&](QWidget* w) {
        auto* grid = Documents(w);
        ASSERT_EQ(Current(grid, "Furnizor"), "BETA SRL");
        EXPECT_EQ(Current(grid, "Rest de plata"), "0.00");
        auto refused = Answer("BE2");
        Click(w, "StergeIntrare");
        EXPECT_EQ(refused->text, "Sunteti sigur ca vreti sa stergeti BON FISCAL F 2 ?");
        EXPECT_EQ(grid->model()->rowCount(), 2);
        auto agreed = Answer("BE1");
        Click(w, "StergeIntrare");
        EXPECT_TRUE(agreed->shown);
        EXPECT_EQ(ColumnText(grid, "Furnizor"), QStringList{"ALFA SRL"});
        EXPECT_EQ(Current(grid, "Furnizor"), "ALFA SRL");
    });
    EXPECT_EQ(Count("ChitIn"), 0);
}

// ---- "Preluare Aviz" ----

TEST_F(IncomingWindowsTest, ADeliveryNoteFileIsImportedAndABadOneWritesNothing) {
    fx.session.locations.setNames({"MAGAZIN"});
    const fs::path folder = fx.folder.path().toStdString();
    std::ofstream(folder / "aviz.avz", std::ios::binary)
        << "AV 123\r\nFURNIZOR EXPORT SRL\r\n19\r\nSURUB M8\r\nBUC\r\n10.5\r\n3\r\n"
           "PIULITA\r\nBUC\r\n2\r\n100\r\n";
    std::ofstream(folder / "rau.avz", std::ios::binary)
        << "AV 124\r\nALT SRL\r\n19\r\nSURUB\r\nBUC\r\n1\r\nx\r\n";
    QString chosen;
    QWidget* chooserParent = nullptr;
    TFactInF::setAvizChooser([&](QWidget* parent) {
        chooserParent = parent;
        return chosen;
    });
    Open([&](QWidget* w) {
        auto* grid = Documents(w);
        chosen = QString::fromStdString((folder / "aviz.avz").string());
        auto notice = Answer("BE4");
        Click(w, "PreluareAviz");
        EXPECT_EQ(chooserParent, w);
        EXPECT_EQ(notice->text, "Avizul a fost preluat cu succes!");
        ASSERT_EQ(grid->model()->rowCount(), 1);
        EXPECT_EQ(Current(grid, "Document justificativ"), "AVIZ INSOT.MARFA");
        EXPECT_EQ(Current(grid, "Seria si Numarul"), "AV 123");

        auto refusal = Answer("BE4");  // its goods received note keeps it
        Click(w, "StergeIntrare");
        EXPECT_TRUE(refusal->text.startsWith("Stergeti mai intai Nota de receptie"));

        chosen = QString::fromStdString((folder / "rau.avz").string());
        auto bad = Answer("BE4");
        Click(w, "PreluareAviz");
        EXPECT_EQ(bad->title, "Preluare Aviz");
        EXPECT_TRUE(bad->text.contains("rau.avz") && bad->text.contains("linia 7"))
            << bad->text.toStdString();
        EXPECT_EQ(grid->model()->rowCount(), 1);
    });
    EXPECT_EQ(Count("FactIn"), 1);
    EXPECT_EQ(Count("CapNIR"), 1);
    EXPECT_EQ(Count("ProdNIR"), 2);
}

TEST_F(IncomingWindowsTest, TheAvizChooserIsTheOpenDialogOfDeliveryNotes) {
    QFileDialog* chooser = nullptr;
    Open([&](QWidget* w) {
        testing::WhenModal([&](QWidget* modal) {
            if ((chooser = qobject_cast<QFileDialog*>(modal))) {
                EXPECT_EQ(chooser->windowTitle(), "Alegeti Fisierul cu Avizul");
                EXPECT_EQ(chooser->nameFilters(), QStringList{"Aviz insotire marfa (*.avz)"});
                EXPECT_TRUE(chooser->testOption(QFileDialog::DontUseNativeDialog));
            }
            CloseModal(modal);
        });
        Click(w, "PreluareAviz");
    });
    EXPECT_NE(chooser, nullptr);
    EXPECT_EQ(Count("FactIn"), 0);
}

}  // namespace
}  // namespace tvx::ui
