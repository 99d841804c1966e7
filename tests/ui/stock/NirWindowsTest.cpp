// The goods received note windows bound to a session: a note made from an incoming invoice
// through the header dialog, its lines added, changed and the note deleted through the windows
// with the stored rows and stock cards checked; the documents grid of the header dialog; the
// line dialog's live arithmetic reaching its controls; the search box; the cashier's lock on a
// printed note; and Esc closing each window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <memory>

#include "../UiTestSupport.h"
#include "core/admin/Users.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Templates.h"
#include "core/stock/NirHeader.h"
#include "core/stock/NirLine.h"
#include "core/stock/NirLineForm.h"
#include "core/stock/NirNotes.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "ui/common/ShowProblem.h"
#include "ui/stock/TNIRF.h"

namespace tvx::ui {
namespace {

using testing::Child;
using testing::WhenModalNamed;

using tables::Decimal;
using testing::CloseModal;
using testing::PressKey;

// Types `text` into a box as a user does: the old text selected, then one key per character,
// each passing the box's validator.
void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    if (text.isEmpty()) box->del();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

void Choose(QComboBox* box, const QString& item) {
    const int index = box->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    box->setCurrentIndex(index);
}

QString Cell(QTableView* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
}

void SelectRow(QTableView* grid, int row) {
    grid->setCurrentIndex(grid->model()->index(row, 0));
}

// One line as typed into the line dialog.
struct TypedLine {
    const char* product;
    const char* category;
    const char* quantity;
    const char* price;
    const char* markup;
    const char* location;
};

std::pair<std::string, std::string> Problem(const char* message, const char* control) {
    return {message, control};
}

class NirWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        fx.session.grade = core::kGradeAdmin;
        fx.session.profile.codFisc = "RO123456";
        AddDocument(1, "FACTURA FISCALA", "AB 100", "ALFA SRL", 19);
        AddDocument(2, "FACTURA FISCALA", "AB 101", "ALFA SRL", 19);
        AddDocument(3, "BON FISCAL", "7", "BETA SA", 9);
        AddDocument(4, "FACTURA FISCALA", "C 1", "ALFA", 19);
        fx.session.locations.setNames({"MAGAZIN", "DEPOZIT"});
        fx.session.locations.save();
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    tables::Database& Db() { return fx.session.db(); }
    void AddDocument(long long id, const char* kind, const char* number, const char* supplier,
                     int vat) {
        Db().execute(
            "INSERT INTO FactIn (IDFACT, NUMEFACT, SERIANR, DATAIN, FURNIZOR, CUI, TVAPROC) "
            "VALUES (:id, :k, :n, :d, :s, 'RO1', :v)",
            {{"id", id},
             {"k", kind},
             {"n", number},
             {"d", tables::Date::fromYmd(2024, 4, static_cast<int>(id))},
             {"s", supplier},
             {"v", vat}});
    }
    // A note and a line made by the core directly, for the tests of the window around them.
    long long NewNote(long long document, long long number) {
        core::NirHeaderForm header;
        header.startNew(Db(), fx.session.settings(), core::Today());
        header.number = number;
        EXPECT_FALSE(header.check(Db(), document));
        return header.save(Db(), fx.session.settings(), document);
    }
    long long NewLine(long long idNir, const char* product, const char* barCode) {
        core::NirLineForm form;
        form.setVat(Decimal(19), true);
        form.resetForAdd(fx.session.settings(), {"MAGAZIN"}, core::Today());
        form.product = product;
        form.unit = "BUC";
        form.qf = form.q = Decimal(3);
        form.p = Decimal(10);
        form.recalcLine();
        form.barCode = barCode;
        return core::AddNirLine(Db(), fx.session.settings(), idNir, form.toRow(),
                                core::kGradeAdmin);
    }
    long long Count(const char* table) {
        return Db()
            .query(std::string("SELECT COUNT(*) FROM ") + table)
            .at(0, 0)
            .number()
            .toLongLong();
    }
    // Runs the window modally with `act`, closing it afterwards if `act` left it open.
    void Open(std::function<void(QWidget*)> act) {
        WhenModalNamed("TNIRF", [act](QWidget* w) {
            act(w);
            if (w->isVisible()) CloseModal(w);
        });
        window.OpenNirList();
    }
    // "Adauga Produs" with the dialog filled as a user types the line.
    static void AddLine(QWidget* w, const TypedLine& line) {
        WhenModalNamed("TNIRProdF", [line](QWidget* d) {
            Type(Child<QComboBox>(d, "ProdBox")->lineEdit(), line.product);
            Choose(Child<QComboBox>(d, "CategBox"), line.category);
            Type(Child<QComboBox>(d, "UmBox")->lineEdit(), "BUC");
            if (Child<QLineEdit>(d, "AdaosEdit")->isEnabled())
                Type(Child<QLineEdit>(d, "AdaosEdit"), line.markup);
            Type(Child<QLineEdit>(d, "CantFEdit"), line.quantity);
            Type(Child<QLineEdit>(d, "PretEdit"), line.price);
            Choose(Child<QComboBox>(d, "GesBox"), line.location);
            Child<QPushButton>(d, "MemoBut")->click();
            EXPECT_FALSE(d->isVisible()) << ProblemBalloon::instance().message().toStdString();
        });
        Child<QPushButton>(w, "AddProd")->click();
    }
    // The balloon's message and the control it points at.
    static std::pair<std::string, std::string> Balloon() {
        const auto& b = ProblemBalloon::instance();
        if (!b.isVisible() || !b.control()) return {};
        return {b.message().toStdString(), b.control()->objectName().toStdString()};
    }

    testing::SessionFixture fx;
    TNIRF window{fx.session};
};

// ---- A note through the windows ----

TEST_F(NirWindowTest, NoteFromAnIncomingInvoiceTakesLinesOfTwoLocationsAndIsChangedAndDeleted) {
    QString question;
    Open([&](QWidget* w) {
        WhenModalNamed("TAddNIRF", [](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Adaugare N.I.R.");
            Choose(Child<QComboBox>(d, "FurnizorBox"), "ALFA SRL");
            Type(Child<QLineEdit>(d, "NrNirEdit"), "7");
            Type(Child<QLineEdit>(d, "GestEdit"), "  ION  ");
            PressKey(Qt::Key_Return, Child<QLineEdit>(d, "GestEdit"));  // Enter saves here
        });
        Child<QPushButton>(w, "AddNir")->click();
        ASSERT_EQ(Child<QTableView>(w, "NirGrid")->model()->rowCount(), 1);
        EXPECT_EQ(Child<QLabel>(w, "NrNirText")->text(), "7");
        EXPECT_EQ(Child<QLabel>(w, "SerieText")->text(), "AB 100");
        EXPECT_EQ(Child<QLabel>(w, "GestioText")->text(), "ION");

        AddLine(w, {"SURUB", "MARFA", "3", "10", "25", "MAGAZIN"});
        AddLine(w, {"CUTIE", "AMBALAJ", "2", "1.50", "", "DEPOZIT"});
        AddLine(w, {"PIULITA", "MARFA", "10", "0.40", "50", "DEPOZIT"});
        auto* lines = Child<QTableView>(w, "ProdGrid");
        ASSERT_EQ(lines->model()->rowCount(), 3);
        EXPECT_EQ(lines->currentIndex().row(), 2);  // on the line just added
        EXPECT_EQ(Cell(lines, 2, 0), "PIULITA");
        EXPECT_EQ(Child<QLabel>(w, "VmfText")->text(), "34.00");
        EXPECT_EQ(Child<QLabel>(w, "VafText")->text(), "3.00");
        const auto note = core::ReadNirNote(Db(), 1);
        ASSERT_TRUE(note && note->total);
        EXPECT_EQ(Child<QLabel>(w, "TotalText")->text(),
                  QString::fromStdString(note->total->rounded(2).toString()));

        // Enter on the first line modifies it: the received quantity goes from 3 to 5.
        SelectRow(lines, 0);
        WhenModalNamed("TNIRProdF", [](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Modificare produs");
            EXPECT_EQ(Child<QComboBox>(d, "ProdBox")->currentText(), "SURUB");
            EXPECT_EQ(Child<QComboBox>(d, "GesBox")->currentText(), "MAGAZIN");
            EXPECT_EQ(Child<QComboBox>(d, "MonedaBox")->currentText(), "LEI");
            EXPECT_FALSE(Child<QComboBox>(d, "MonedaBox")->isEnabled());
            Type(Child<QLineEdit>(d, "CantREdit"), "5");
            Child<QPushButton>(d, "MemoBut")->click();
        });
        PressKey(Qt::Key_Return, lines);
        EXPECT_EQ(lines->currentIndex().row(), 0);
        EXPECT_EQ(Cell(lines, 0, 3), "5.00");
    });

    // The note, its three lines and their cards as stored.
    const auto note = core::ReadNirNote(Db(), 1);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->nrNir, 7);
    EXPECT_EQ(note->idFact, 1);
    EXPECT_EQ(note->furnizor, "ALFA SRL");
    EXPECT_EQ(note->gestio, "ION");
    const auto lines = core::ReadNirLines(Db(), 1);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].produs, "SURUB");
    EXPECT_EQ(lines[0].cantf, Decimal(3));
    EXPECT_EQ(lines[0].cantr, Decimal(5));
    EXPECT_EQ(lines[0].preta.toString(), "12.50");
    EXPECT_EQ(lines[0].pretat.toString(), "14.88");
    EXPECT_EQ(lines[1].categ, "AMBALAJ");
    EXPECT_EQ(lines[1].adaos, Decimal(0));
    for (const core::NirLineRow& line : lines) {
        tables::ResultSet card = Db().query(
            "SELECT C.GESTIUNE, C.STOC, C.PRETOUT, F.DOCJUS, F.NRDOC, F.CANTIN FROM CapFise C "
            "INNER JOIN Fise F ON F.IDCAP = C.IDCAP WHERE F.IDFISA=:f",
            {{"f", line.idFisa}});
        ASSERT_EQ(card.rowCount(), 1u) << line.produs;
        EXPECT_EQ(card.asText("GESTIUNE"), line.gestiune);
        EXPECT_EQ(card.asNumber("STOC"), line.cantr);
        EXPECT_EQ(card.asNumber("CANTIN"), line.cantr);
        EXPECT_EQ(card.asNumber("PRETOUT"), line.pretat);
        EXPECT_EQ(card.asText("DOCJUS"), "N.I.R.");
        EXPECT_EQ(card.asNumber("NRDOC"), Decimal(7));
    }
    EXPECT_EQ(Count("CapFise"), 3);
    EXPECT_EQ(Count("Fise"), 3);

    Open([&](QWidget* w) {
        WhenModalNamed("TErori", [&](QWidget* m) {
            question = Child<QLabel>(m, "Text")->text();
            Child<QPushButton>(m, "BE1")->click();
        });
        Child<QPushButton>(w, "DelNir")->click();
        EXPECT_EQ(Child<QTableView>(w, "NirGrid")->model()->rowCount(), 0);
        EXPECT_EQ(Child<QTableView>(w, "ProdGrid")->model()->rowCount(), 0);
        EXPECT_EQ(Child<QLabel>(w, "NrNirText")->text(), "");
    });
    EXPECT_TRUE(question.startsWith("Chiar sterg N.I.R. nr.7 / ")) << question.toStdString();
    for (const char* table : {"CapNIR", "ProdNIR", "CapFise", "Fise"})
        EXPECT_EQ(Count(table), 0) << table;
    EXPECT_EQ(Count("FactIn"), 4);
}

// ---- The header dialog ----

TEST_F(NirWindowTest, HeaderDialogOffersOnlyTheTypedSuppliersDocumentsWithoutANote) {
    const long long existing = NewNote(2, 1);
    Open([&](QWidget* w) {
        WhenModalNamed("TAddNIRF", [&](QWidget* d) {
            auto* supplier = Child<QComboBox>(d, "FurnizorBox");
            auto* grid = Child<QTableView>(d, "FactGrid");
            EXPECT_EQ(supplier->currentText(), "ALFA");  // the first of the list
            EXPECT_EQ(Child<QLineEdit>(d, "NrNirEdit")->text(), "2");
            Type(supplier->lineEdit(), "ALFA SRL");
            ASSERT_EQ(grid->model()->rowCount(), 1);  // AB 101 has its note
            EXPECT_EQ(Cell(grid, 0, 0), "AB 100");
            supplier->setEditText("ALFA S");  // typing would complete it to ALFA SRL
            EXPECT_EQ(grid->model()->rowCount(), 0);
            Child<QPushButton>(d, "MemoBut")->click();
            EXPECT_EQ(Balloon(), Problem("Nu ati ales nici o factura!", "FactGrid"));
            Type(supplier->lineEdit(), "BETA SA");
            EXPECT_EQ(Cell(grid, 0, 0), "7");
            Type(Child<QLineEdit>(d, "NrNirEdit"), "1");  // the same number on the same day
            Child<QPushButton>(d, "MemoBut")->click();
            EXPECT_EQ(Balloon(), Problem("Nota de Receptie exista deja!", "NrNirEdit"));
            EXPECT_TRUE(d->isVisible());
            PressKey(Qt::Key_Escape, Child<QLineEdit>(d, "NrNirEdit"));
            EXPECT_FALSE(d->isVisible());
        });
        Child<QPushButton>(w, "AddNir")->click();
        EXPECT_EQ(Count("CapNIR"), 1);

        // Modifying: the supplier and its document are shown but cannot change.
        WhenModalNamed("TAddNIRF", [](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Modificare N.I.R.");
            EXPECT_FALSE(Child<QGroupBox>(d, "DocPanel")->isEnabled());
            auto* grid = Child<QTableView>(d, "FactGrid");
            EXPECT_EQ(grid->model()->rowCount(), 4);
            EXPECT_EQ(Cell(grid, grid->currentIndex().row(), 0), "AB 101");
            Type(Child<QLineEdit>(d, "NrNirEdit"), "12");
            Type(Child<QLineEdit>(d, "DelegatEdit"), "POPESCU CI 123");
            Child<QPushButton>(d, "MemoBut")->click();
        });
        Child<QPushButton>(w, "EditNir")->click();
        EXPECT_EQ(Child<QLabel>(w, "NrNirText")->text(), "12");
        EXPECT_EQ(Child<QLabel>(w, "DelegatText")->text(), "POPESCU CI 123");
    });
    const auto note = core::ReadNirNote(Db(), existing);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->nrNir, 12);
    EXPECT_EQ(note->idFact, 2);
}

// ---- The line dialog ----

TEST_F(NirWindowTest, LineDialogShowsTheArithmeticLiveAsQuantityPriceMarkupAndSaleAreTyped) {
    const long long idNir = NewNote(1, 1);
    NewLine(idNir, "SURUB", "5941");
    Open([&](QWidget* w) {
        WhenModalNamed("TNIRProdF", [](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Adaugare produs");
            auto text = [d](const char* name) { return Child<QLineEdit>(d, name)->text(); };
            EXPECT_EQ(Child<QLabel>(d, "PretVLabel")->text(), "Pret cu adaos si TVA");
            EXPECT_TRUE(Child<QLineEdit>(d, "TvaFEdit")->isEnabled());
            // "3." stays while "3.5" is typed, and the received quantity follows.
            Type(Child<QLineEdit>(d, "CantFEdit"), "3.5");
            EXPECT_EQ(text("CantFEdit"), "3.5");
            EXPECT_EQ(text("CantREdit"), "3.5");

            Type(Child<QLineEdit>(d, "AdaosEdit"), "25");
            Type(Child<QLineEdit>(d, "CantFEdit"), "3");
            Type(Child<QLineEdit>(d, "PretEdit"), "10");
            EXPECT_EQ(Child<QLabel>(d, "PretTVAText")->text(), "11.90");
            EXPECT_EQ(Decimal::parse(text("ValFEdit").toStdString()), Decimal(30));
            EXPECT_EQ(text("TvaFEdit"), "5.70");
            EXPECT_EQ(Decimal::parse(text("TotFEdit").toStdString()), Decimal::parse("35.70"));
            EXPECT_EQ(text("PretVEdit"), "14.88");
            Type(Child<QLineEdit>(d, "AdaosEdit"), "25");  // from P directly, cut
            EXPECT_EQ(text("PretVEdit"), "14.87");
            Type(Child<QLineEdit>(d, "PretVEdit"), "14.28");  // back to the mark-up
            EXPECT_EQ(Decimal::parse(text("AdaosEdit").toStdString()), Decimal(20));

            Choose(Child<QComboBox>(d, "CategBox"), "SERVICII");
            EXPECT_EQ(text("AdaosEdit"), "0");
            EXPECT_FALSE(Child<QLineEdit>(d, "AdaosEdit")->isEnabled());
            EXPECT_FALSE(Child<QLineEdit>(d, "PretVEdit")->isEnabled());

            // A product received before brings its unit and price; a bar code its line.
            Type(Child<QComboBox>(d, "ProdBox")->lineEdit(), "SURUB");
            EXPECT_EQ(Child<QComboBox>(d, "UmBox")->currentText(), "BUC");
            EXPECT_EQ(Decimal::parse(text("PretEdit").toStdString()), Decimal(10));
            EXPECT_EQ(text("CodBareEdit"), "5941");
            Type(Child<QComboBox>(d, "ProdBox")->lineEdit(), "ALTCEVA");
            EXPECT_EQ(text("CodBareEdit"), "");
            Type(Child<QLineEdit>(d, "CodBareEdit"), "5941");
            PressKey(Qt::Key_Return, Child<QLineEdit>(d, "CodBareEdit"));
            EXPECT_EQ(Child<QComboBox>(d, "ProdBox")->currentText(), "SURUB");
            EXPECT_EQ(Child<QComboBox>(d, "CategBox")->currentText(), "MARFA");

            // A failed check keeps the dialog open at its field.
            Type(Child<QLineEdit>(d, "CantFEdit"), "0");
            Child<QPushButton>(d, "MemoBut")->click();
            EXPECT_EQ(Balloon(), Problem("Lipseste Cantitatea dupa factura!", "CantFEdit"));
            PressKey(Qt::Key_Escape, Child<QLineEdit>(d, "CantFEdit"));
            EXPECT_FALSE(d->isVisible());
        });
        Child<QPushButton>(w, "AddProd")->click();
        EXPECT_EQ(Child<QTableView>(w, "ProdGrid")->model()->rowCount(), 1);
    });
    EXPECT_EQ(Count("ProdNIR"), 1);
}

TEST_F(NirWindowTest, LineDialogOfACompanyNotPayingVatCarriesTheVatInTheValue) {
    fx.session.profile.codFisc = "123456";
    NewNote(1, 1);
    Open([&](QWidget* w) {
        WhenModalNamed("TNIRProdF", [](QWidget* d) {
            EXPECT_EQ(Child<QLabel>(d, "PretVLabel")->text(), "Pret cu adaos");
            EXPECT_FALSE(Child<QLineEdit>(d, "TvaFEdit")->isEnabled());
            Type(Child<QLineEdit>(d, "CantFEdit"), "3");
            Type(Child<QLineEdit>(d, "PretEdit"), "10");
            EXPECT_EQ(Child<QLineEdit>(d, "ValFEdit")->text(), "35.70");
            EXPECT_EQ(Child<QLineEdit>(d, "PretVEdit")->text(), "11.90");
            CloseModal(d);
        });
        Child<QPushButton>(w, "AddProd")->click();
    });
}

TEST_F(NirWindowTest, WithoutLocationsTheLineDialogStaysShutAndDaOpensTheAdministration) {
    NewNote(1, 1);
    fx.session.locations.setNames({});
    int opened = 0;
    window.setAdministrationOpener([&] { ++opened; });
    QString text;
    Open([&](QWidget* w) {
        WhenModalNamed("TErori", [&](QWidget* m) {
            text = Child<QLabel>(m, "Text")->text();
            Child<QPushButton>(m, "BE1")->click();
        });
        Child<QPushButton>(w, "AddProd")->click();
    });
    EXPECT_TRUE(text.startsWith("Nu ati definit gestiunile")) << text.toStdString();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(Count("ProdNIR"), 0);
}

// ---- The list, the lock and the keys ----

TEST_F(NirWindowTest, SearchBoxFiltersTheListAndTheLinesFollowTheCurrentNote) {
    const long long alfa = NewNote(1, 1);
    const long long beta = NewNote(3, 2);
    NewLine(alfa, "SURUB", "");
    NewLine(beta, "CUI", "");
    NewLine(beta, "PIULITA", "");
    Open([&](QWidget* w) {
        auto* notes = Child<QTableView>(w, "NirGrid");
        auto* lines = Child<QTableView>(w, "ProdGrid");
        EXPECT_EQ(notes->model()->rowCount(), 2);
        EXPECT_EQ(Child<QLabel>(w, "FurnizorText")->text(), "BETA SA");  // the last note
        EXPECT_EQ(lines->model()->rowCount(), 2);
        EXPECT_TRUE(
            lines->model()->headerData(2, Qt::Horizontal).toString().startsWith("Cantitate"));
        Type(Child<QLineEdit>(w, "CautFurnizor"), "al");
        ASSERT_EQ(notes->model()->rowCount(), 1);
        EXPECT_EQ(Child<QLabel>(w, "FurnizorText")->text(), "ALFA SRL");
        ASSERT_EQ(lines->model()->rowCount(), 1);
        EXPECT_EQ(Cell(lines, 0, 0), "SURUB");
        Type(Child<QLineEdit>(w, "CautFurnizor"), "");
        Type(Child<QLineEdit>(w, "CautNumar"), "2");
        ASSERT_EQ(notes->model()->rowCount(), 1);
        EXPECT_EQ(Cell(notes, 0, 0), "2");
        Type(Child<QLineEdit>(w, "CautNumar"), "");
        EXPECT_EQ(notes->model()->rowCount(), 2);
        SelectRow(notes, 0);
        EXPECT_EQ(Child<QLabel>(w, "NrNirText")->text(), "1");
        EXPECT_EQ(lines->model()->rowCount(), 1);
        PressKey(Qt::Key_Escape, notes);
        EXPECT_FALSE(w->isVisible());
    });
}

TEST_F(NirWindowTest, PrintedNoteLocksItsLineButtonsForACashierOnly) {
    const long long open = NewNote(1, 1);
    const long long printed = NewNote(3, 2);
    NewLine(open, "SURUB", "");
    NewLine(printed, "CUI", "");
    Db().execute("UPDATE CapNIR SET LISTAT=1 WHERE IDNIR=:id", {{"id", printed}});
    auto lineButtons = [](QWidget* w) {
        std::vector<bool> enabled;
        for (const char* name : {"AddProd", "EditProd", "DelProd"})
            enabled.push_back(Child<QPushButton>(w, name)->isEnabled());
        return enabled;
    };
    const std::vector<bool> none{false, false, false}, all{true, true, true};

    fx.session.grade = core::kGradeCasier;
    QString refusal;
    Open([&](QWidget* w) {
        EXPECT_EQ(lineButtons(w), none);  // the last note is the printed one
        // Enter on its line opens nothing either.
        auto* lines = Child<QTableView>(w, "ProdGrid");
        SelectRow(lines, 0);
        PressKey(Qt::Key_Return, lines);
        EXPECT_EQ(w->findChild<QDialog*>("TNIRProdF"), nullptr);
        WhenModalNamed("TErori", [&](QWidget* m) {
            refusal = Child<QLabel>(m, "Text")->text();
            Child<QPushButton>(m, "BE4")->click();
        });
        Child<QPushButton>(w, "DelNir")->click();
        SelectRow(Child<QTableView>(w, "NirGrid"), 0);
        EXPECT_EQ(lineButtons(w), all);
    });
    EXPECT_EQ(refusal, "Nu aveti dreptul sa stergeti Receptia!");
    EXPECT_TRUE(core::ReadNirNote(Db(), printed));

    fx.session.grade = core::kGradeContabil;
    Open([&](QWidget* w) { EXPECT_EQ(lineButtons(w), all); });
}

// A cashier prints the current note: the workbook is written from the data directory's
// template and the note is locked for him at once.
TEST_F(NirWindowTest, PrintedFromTheWindowTheNoteIsWrittenAndLocked) {
    const long long id = NewNote(1, 1);
    NewLine(id, "SURUB", "");
    ASSERT_TRUE(core::ExtractTemplate("NIRTVA", "Model", fx.session.dataDir() / "NIRTVA.xls"));
    fx.session.grade = core::kGradeCasier;
    Open([&](QWidget* w) {
        EXPECT_TRUE(Child<QPushButton>(w, "AddProd")->isEnabled());
        Child<QPushButton>(w, "PrintNir")->click();
        EXPECT_FALSE(Child<QPushButton>(w, "AddProd")->isEnabled());
    });
    EXPECT_EQ(core::ReadNirNote(Db(), id)->listat, 1);
    EXPECT_TRUE(std::filesystem::exists(fx.session.programFolder() / "XLSTmp0.xls"));
}

TEST_F(NirWindowTest, EmptyListReportsAtTheGrid) {
    Open([&](QWidget* w) {
        Child<QPushButton>(w, "PrintNir")->click();
        EXPECT_EQ(Balloon(), Problem("Nu aveti ce lista!", "NirGrid"));
        Child<QPushButton>(w, "EditNir")->click();
        EXPECT_EQ(Balloon(), Problem("Nu aveti ce modifica!", "NirGrid"));
        Child<QPushButton>(w, "AddProd")->click();
        EXPECT_EQ(Balloon().second, "NirGrid");
        Child<QPushButton>(w, "DelProd")->click();
        EXPECT_EQ(Balloon(), Problem("Nu aveti ce sterge!", "ProdGrid"));
    });
}

}  // namespace
}  // namespace tvx::ui
