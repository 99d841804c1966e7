// The road of a pre-order through the real windows of a car service: "Precomenzi" of the main
// window, an editor left with Esc that stores nothing, a refused save with its balloon, the
// saved pre-order in the grid, the reception sheet printed to a new file, and "&Factureaza",
// after which the invoice list starts a new invoice with the pre-order's buyer; its labour line
// comes from the time norms, and the saved invoice prints with the buyer and the labour.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QToolButton>
#include <memory>

#include "../UiTestSupport.h"
#include "core/admin/BankAccounts.h"
#include "core/admin/Locations.h"
#include "core/app/Session.h"
#include "core/common/AtomicFile.h"
#include "core/common/Settings.h"
#include "printing/ReportOutput.h"
#include "support/PdfText.h"
#include "tables/Database.h"
#include "ui/admin/TForm4.h"
#include "ui/app/Application.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"
#include "ui/common/ShowProblem.h"
#include "ui/sales/TFactOutF.h"
#include "ui/workshop/TFPrecomanda.h"

namespace tvx::ui {
namespace {

using testing::Balloon;
using testing::Child;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModalNamed;

constexpr const char* kClient = "ŞTEFĂNESCU A{B}\\C";
constexpr const char* kIban = "RO37BTRL0000000000000001";

class PreOrderWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        WhenModalNamed("TErori", [](QWidget* notice) { CloseModal(notice); });  // first start
        app_ = std::make_unique<Application>(session_);
        app_->splash().setStartDelay(0);
        app_->start();
        for (int i = 0; i < 500 && !app_->main().isVisible(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        core::Settings& set = session_.settings();
        set.writeSetting("SETARI", "DENUMIRE", "SERVICE SRL");
        set.writeSetting("SETARI", "DOMENIU", "SERVICE AUTO");
        set.writeSetting("SETARI", "FACTSERIA", "TVX");
        set.writeSetting("SETARI", "FACTNRMAX", "100");
        set.setIndex("FACTNR", "1");
        set.writeSetting("VAR", "GESDEFAULT", "1");  // MAGAZIN, after " * indiferent *"
        EXPECT_FALSE(core::BankAccounts(session_.db()).add(set, kIban, core::BankNameOf(kIban)));
        core::WriteLocationsFile(session_.dataDir() / core::kLocationsFileName, {"MAGAZIN"});
        session_.db().execute(
            "INSERT INTO Timp (IDTIMP, TIPAUTO, SECTIA, DENUMIRE, COD, TIMP, LEIORA, CANT) VALUES"
            " (1, 'DACIA', 'MECANICA', 'DISTRIBUTIE', 'M01', 1.5, 100, 0)");
        set.setIndex("IDTIMP", "2");
        app_->admin().LoadProfile();
        app_->main().findChild<QLineEdit*>("UserName")->setText("ADMIN");
        app_->main().LogButClick();
        ASSERT_TRUE(session_.loggedIn());
    }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    long long Count(const char* table) {
        return session_.db()
            .query(std::string("SELECT COUNT(*) FROM ") + table)
            .at(0, 0)
            .number()
            .toLongLong();
    }

    QTemporaryDir folder_;
    core::Session session_{folder_.path().toStdString()};
    std::unique_ptr<Application> app_;
};

void TypeNewPreOrder(QWidget* editor) {
    EXPECT_EQ(editor->windowTitle(), "Precomanda noua");
    Child<QLineEdit>(editor, "Clientul")->setText(kClient);
    Child<QLineEdit>(editor, "Adresa")->setText("Str. Lunga 1");
    Child<QLineEdit>(editor, "CF")->setText("RO14399840");
    Child<QLineEdit>(editor, "RC")->setText("J40/1/2020");
    Child<QComboBox>(editor, "Model")->setEditText("Logan");
    Child<QPlainTextEdit>(editor, "Linii")->setPlainText("Zgomot la franare\nBec ars");
    Child<QPushButton>(editor, "Memoreaza")->click();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(Balloon(), std::make_pair(QString("Lipseste Numarul de inmatriculare!"),
                                        QString("Inmatriculat")));
    Child<QLineEdit>(editor, "Inmatriculat")->setText("B 12 ABC");
    Child<QPushButton>(editor, "Memoreaza")->click();
}

void InvoiceFromPreOrder(QWidget* editor) {
    EXPECT_EQ(Child<QComboBox>(editor, "CumpaBox")->currentText(), kClient);
    EXPECT_EQ(Child<QLineEdit>(editor, "CuiEd")->text(), "RO14399840");
    EXPECT_EQ(Child<QLineEdit>(editor, "RegComEd")->text(), "J40/1/2020");
    EXPECT_EQ(Child<QPlainTextEdit>(editor, "AdresaMemo")->toPlainText(), "Str. Lunga 1");
    Child<QComboBox>(editor, "IbanBox")->setCurrentText(kIban);  // "IBAN incasare"
    Child<QLineEdit>(editor, "LocEd")->setText("DEJ");
    Child<QLineEdit>(editor, "OperatorEd")->setText("ION");
    // A car service bills labour through the time norms: the operation twice.
    WhenModalNamed("TServAuto", [](QWidget* norms) {
        Child<QComboBox>(norms, "TipAuto")->setCurrentIndex(0);
        Child<QComboBox>(norms, "Sectia")->setCurrentIndex(0);
        auto* grid = Child<QTableView>(norms, "Operatii");
        grid->setCurrentIndex(grid->model()->index(0, 0));
        WhenModalNamed("TStabCant", [](QWidget* quantity) {
            Child<QLineEdit>(quantity, "CantEd")->setText("2");
            Child<QPushButton>(quantity, "BitBtn1")->click();
            if (quantity->isVisible()) CloseModal(quantity);
        });
        Child<QPushButton>(norms, "CantBtn")->click();
        Child<QPushButton>(norms, "MemBtn")->click();
        if (norms->isVisible()) CloseModal(norms);
    });
    Child<QPushButton>(editor, "AddServ")->click();
    auto* lines = Child<QTableView>(editor, "LiniiGrid");
    ASSERT_EQ(lines->model()->rowCount(), 1);
    EXPECT_EQ(lines->model()->index(0, 2).data().toString(), "ORE");
    Child<QPushButton>(editor, "B11")->click();  // "&Memoreaza"
    if (editor->isVisible()) {
        ADD_FAILURE() << "the invoice was not saved: " << Balloon().first.toStdString();
        CloseModal(editor);
    }
}

TEST_F(PreOrderWindowsTest, FromReceptionToASavedInvoice) {
    const bool pdfReader = !QStandardPaths::findExecutable("pdftotext").isEmpty();
    std::string printed;
    app_->sales().setPrintHook(
        [&](printing::ReportJob& job, int) { printed = tvx::testing::PdfText(job.report()); });
    auto window = [&](QWidget* w) {
        auto* grid = Child<QTableView>(w, "Grid");
        EXPECT_EQ(grid->model()->rowCount(), 0);
        Child<QPushButton>(w, "EditBut")->click();
        EXPECT_EQ(Balloon().first, "Nu aveti ce modifica!");

        const std::string nrcom = session_.settings().peekIndex("NRCOM");
        WhenModalNamed("TFAddPrecom", [](QWidget* editor) {
            Child<QLineEdit>(editor, "Clientul")->setText("RENUNTAT");
            Child<QLineEdit>(editor, "Inmatriculat")->setText("B99XYZ");
            PressKey(Qt::Key_Escape, Child<QLineEdit>(editor, "Clientul"));
        });
        Child<QPushButton>(w, "AddBut")->click();
        EXPECT_EQ(Count("Precom"), 0);
        EXPECT_EQ(session_.settings().peekIndex("NRCOM"), nrcom);

        WhenModalNamed("TFAddPrecom", TypeNewPreOrder);
        Child<QPushButton>(w, "AddBut")->click();
        ASSERT_EQ(grid->model()->rowCount(), 1);
        EXPECT_EQ(testing::Current(grid, "Client"), kClient);
        EXPECT_EQ(testing::Current(grid, "Nr. inmatriculare"), "B12ABC");
        EXPECT_EQ(testing::Current(grid, "Data/ora receptiei").size(), 17);  // dd.MM.yyyy  hh:mm

        Child<QPushButton>(w, "ListBut")->click();
        auto& window = static_cast<TFPrecomanda&>(*w);
        EXPECT_EQ(window.lastPrintout(), session_.programFolder() / "0.rtf");
        const std::string sheet = core::ReadWholeFile(window.lastPrintout()).value_or("");
        EXPECT_NE(sheet.find("B12ABC"), std::string::npos);
        EXPECT_NE(sheet.find("\\'aaTEF\\'c3NESCU A\\{B\\}\\\\C"), std::string::npos);

        WhenModalNamed("TFactOutAddF", InvoiceFromPreOrder);
        WhenModalNamed("TFactOutF", [&](QWidget* list) {
            EXPECT_EQ(Child<QTableView>(list, "SMDBGrid2")->model()->rowCount(), 1);
            if (pdfReader) {
                Child<QCheckBox>(list, "PreviewCheck")->setChecked(false);
                Child<QLineEdit>(list, "NrEx")->setText("1");
                Child<QPushButton>(list, "ListFact")->click();  // "Factura"
            }
            CloseModal(list);
        });
        Child<QPushButton>(w, "FactBut")->click();
    };
    WhenModalNamed("TFPrecomanda", window);
    app_->main().button(core::MainCommand::PreOrders)->click();

    auto invoice = session_.db().query("SELECT SOC2, CUI2, NR FROM FactOut");
    ASSERT_EQ(invoice.rowCount(), 1u);
    EXPECT_EQ(invoice.asText("SOC2"), kClient);
    EXPECT_EQ(invoice.asText("CUI2"), "RO14399840");
    auto line = session_.db().query("SELECT PRODUS, UM, CANT, VALOUT FROM ProdOut");
    ASSERT_EQ(line.rowCount(), 1u);
    EXPECT_EQ(line.asText("PRODUS"), "DISTRIBUTIE");
    EXPECT_EQ(line.asText("UM"), "ORE");
    EXPECT_EQ(line.asNumber("CANT").toString(), "3.00");  // 1.5 hours twice
    EXPECT_EQ(line.asNumber("VALOUT").toString(), "300.00");
    EXPECT_EQ(session_.settings().peekIndex("NRCOM"), "2");
    if (!pdfReader) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: not printed";
    // A car-service invoice prints its labour summed on one row (the detail is on the estimate).
    tvx::testing::ExpectAllTexts(printed, {kClient, "RO14399840", "Str. Lunga 1",
                                           "Manopera - conform deviz BUC 1 300.00 300.00"});
}

}  // namespace
}  // namespace tvx::ui
