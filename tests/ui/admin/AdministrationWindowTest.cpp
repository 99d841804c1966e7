// The administration window bound to the session: the company fields read from and saved
// to the settings file, the checks and question of "Salveaza si inchide", access by grade,
// the users kept in u.dbf until the save, the stock locations renamed across the tables,
// the accounts, the workshop buttons and the templates, and Esc closing without a save.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../UiTestSupport.h"
#include "core/admin/BankAccounts.h"
#include "core/admin/CompanyProfile.h"
#include "core/admin/PrintTemplates.h"
#include "core/admin/Users.h"
#include "core/common/AtomicFile.h"
#include "core/common/Settings.h"
#include "core/common/Templates.h"
#include "tables/Database.h"
#include "ui/admin/TForm4.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {
namespace {

using testing::Child;

namespace fs = std::filesystem;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModal;

// What a message window showed; `shown` stays false when none came.
struct Shown {
    bool shown = false;
    QString caption, title, text;
};

// Answers the next message windows in turn with the given buttons (BE1 Da, BE2 Nu, BE4 OK).
// An answer not used by the end of its test (`alive` false) leaves later windows alone.
std::shared_ptr<std::vector<Shown>> Answer(std::shared_ptr<bool> alive,
                                           std::vector<const char*> buttons) {
    auto seen = std::make_shared<std::vector<Shown>>(buttons.size());
    auto step = std::make_shared<std::function<void(size_t)>>();
    *step = [seen, buttons, alive, step](size_t i) {
        WhenModal([seen, buttons, alive, step, i](QWidget* modal) {
            if (!*alive || modal != &TErori::instance()) return;
            (*seen)[i] = {true, modal->windowTitle(), Child<QLabel>(modal, "Titlu")->text(),
                          Child<QLabel>(modal, "Text")->text()};
            if (i + 1 < buttons.size()) (*step)(i + 1);
            Child<QPushButton>(modal, buttons[i])->click();
            if (i + 1 == buttons.size()) *step = nullptr;  // ends the self-reference
        });
    };
    (*step)(0);
    return seen;
}

class AdminWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProblemBalloon::setLifetime(60000);
        core::WriteUsersFile(Data() / "s.mpg", {{"ADMIN", "735", core::kGradeAdmin},
                                                {"ION", "1", core::kGradeContabil}});
        LogIn("ADMIN", core::kGradeAdmin);
        TForm4::setFileOpener([this](const QString& path) {
            opened.push_back(path);
            return true;
        });
        form.LoadProfile();  // as at start-up
        QObject::connect(&form, &TForm4::profileLoaded, [this] { ++loads; });
    }
    void TearDown() override {
        *alive_ = false;
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    std::shared_ptr<std::vector<Shown>> Answer(std::vector<const char*> buttons) {
        return ui::Answer(alive_, std::move(buttons));
    }
    fs::path Data() { return fx.session.dataDir(); }
    core::Settings& Set() { return fx.session.settings(); }
    std::string Setari(const char* key) { return Set().readSetting("SETARI", key); }
    void LogIn(const char* name, int grade) {
        fx.session.userName = name;
        fx.session.grade = grade;
        form.SetAccess(grade);
    }
    // Runs the window modally with `act`, closing it afterwards if `act` left it open.
    void Open(std::function<void(QWidget*)> act) {
        WhenModal([act](QWidget* w) {
            act(w);
            if (w->isVisible()) CloseModal(w);
        });
        form.Open();
    }
    static std::pair<QString, QString> Balloon() {
        const auto& b = ProblemBalloon::instance();
        if (!b.isVisible() || !b.control()) return {};
        return {b.message(), b.control()->objectName()};
    }
    static void SelectUser(QWidget* w, const QString& name) {
        auto* grid = Child<QTableView>(w, "Lista Utilizatori");
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            if (grid->model()->index(row, 0).data().toString() == name)
                grid->setCurrentIndex(grid->model()->index(row, 0));
    }
    static QStringList Items(QListWidget* list) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
        return items;
    }
    QString Count(const std::string& table, const char* location) {
        return QString::fromStdString(
            fx.session.db()
                .query("SELECT COUNT(*) FROM " + table + " WHERE GESTIUNE=:g", {{"g", location}})
                .at(0, 0)
                .toString());
    }

    testing::SessionFixture fx;
    TForm4 form{fx.session};
    std::vector<QString> opened;
    int loads = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

TEST_F(AdminWindowTest, FieldsLoadFromTheSettingsFileAndSaveBack) {
    Set().writeSetting("SETARI", "DENUMIRE", "FIRMA SRL");
    Set().writeSetting("SETARI", "CODFISC", "RO12345674");
    Set().writeSetting("SETARI", "JUDET", "CLUJ");
    Set().writeSetting("SETARI", "SPLITTVA", "DA");
    Set().setIndex("FACTNR", "120");
    form.LoadProfile();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(Child<QLineEdit>(&form, "DenumSoc")->text(), "FIRMA SRL");
    EXPECT_EQ(Child<QComboBox>(&form, "Jud")->currentText(), "CLUJ");
    EXPECT_EQ(Child<QLineEdit>(&form, "Capital")->text(), "0");  // empty CAPSOC
    EXPECT_EQ(Child<QComboBox>(&form, "DomeniuActivitate")->currentText(), "GENERAL");
    EXPECT_TRUE(Child<QCheckBox>(&form, "SplitTVA")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(&form, "FactNrEd")->text(), "120");

    std::shared_ptr<std::vector<Shown>> question;
    Open([&](QWidget* w) {
        auto* name = Child<QLineEdit>(w, "DenumSoc");
        name->clear();
        name->insert(QString(40, 'n'));  // upper case, cut to 36
        EXPECT_EQ(name->text(), QString(36, 'N'));
        Child<QLineEdit>(w, "FactNrEd")->setText("250");
        Child<QComboBox>(w, "Jud")->setCurrentText("IASI");
        Child<QCheckBox>(w, "TVALaInc")->setChecked(true);
        question = Answer({"BE1"});  // no IBAN yet: go on
        Child<QPushButton>(w, "SaveBut")->click();
        EXPECT_FALSE(w->isVisible());
    });
    ASSERT_TRUE(question->at(0).shown);
    EXPECT_EQ(question->at(0).title, "Conturi IBAN");
    EXPECT_EQ(question->at(0).caption, "Atentie !");
    EXPECT_EQ(Setari("DENUMIRE"), std::string(36, 'N'));
    EXPECT_EQ(Setari("JUDET"), "IASI");
    EXPECT_EQ(Setari("TVALAINC"), "DA");
    EXPECT_EQ(Setari("SPLITTVA"), "DA");
    EXPECT_EQ(Setari("CAPSOC"), "0");
    EXPECT_EQ(Set().peekIndex("FACTNR"), "250");
    EXPECT_EQ(fx.session.profile.judet, "IASI");
    EXPECT_EQ(loads, 2);  // reloaded on close
}

TEST_F(AdminWindowTest, SaveRefusesAWrongTaxCodeAndStopsWithoutAnAccount) {
    Set().writeSetting("SETARI", "CODFISC", "RO12345674");
    form.LoadProfile();
    std::pair<QString, QString> balloon;
    std::shared_ptr<std::vector<Shown>> refused, accepted;
    bool openAfterNo = false;
    bool splitAfterNo = true;
    Open([&](QWidget* w) {
        auto* code = Child<QLineEdit>(w, "CodFisc");
        code->setText("RO12345675");
        Child<QPushButton>(w, "SaveBut")->click();  // no question: the check stops first
        balloon = Balloon();
        code->setText(" 12345674");  // valid, but no VAT payer
        Child<QCheckBox>(w, "SplitTVA")->setChecked(true);
        refused = Answer({"BE2"});
        Child<QPushButton>(w, "SaveBut")->click();
        openAfterNo = w->isVisible();
        splitAfterNo = Child<QCheckBox>(w, "SplitTVA")->isChecked();
        EXPECT_EQ(code->text(), "12345674");
        accepted = Answer({"BE1"});
        Child<QPushButton>(w, "SaveBut")->click();
    });
    EXPECT_EQ(balloon, std::make_pair(QString("Cod Fiscal incorect!"), QString("CodFisc")));
    EXPECT_TRUE(refused->at(0).shown);
    EXPECT_TRUE(openAfterNo);
    EXPECT_FALSE(splitAfterNo);
    ASSERT_TRUE(accepted->at(0).shown);
    EXPECT_EQ(Setari("CODFISC"), "12345674");
    EXPECT_EQ(Setari("SPLITTVA"), "NU");
}

TEST_F(AdminWindowTest, GradesDecideWhatMayBeChanged) {
    auto enabled = [&](const char* name) { return Child<QWidget>(&form, name)->isEnabled(); };
    auto hidden = [&](const char* name) { return Child<QWidget>(&form, name)->isHidden(); };
    form.SetAccess(core::kGradeCasier);
    for (const char* name :
         {"DenumSoc", "CodFisc", "Jud", "Capital", "DomeniuActivitate", "FactSeriaEd", "FactNrEd",
          "ChitNrEd", "AvizSeria", "GesEdit", "GesLista", "AddGes", "EditGes", "DelGes", "SelPoza",
          "ModelBut", "TVALaInc", "SplitTVA", "OfficeOld"})
        EXPECT_FALSE(enabled(name)) << name;
    for (const char* name : core::CompanyControls()) EXPECT_FALSE(enabled(name)) << name;
    for (const char* name : {"AddContB", "EditContB", "DelContB"}) EXPECT_TRUE(hidden(name));
    EXPECT_TRUE(enabled("EditUser"));
    EXPECT_TRUE(enabled("Cont"));

    form.SetAccess(core::kGradeContabil);
    EXPECT_TRUE(enabled("DenumSoc"));
    EXPECT_TRUE(enabled("OfficeOld"));
    EXPECT_TRUE(enabled("GesEdit"));
    EXPECT_FALSE(hidden("AddContB"));
    for (const char* name : {"AddUser", "DelUser", "DelPozaBut", "EditModeleB"})
        EXPECT_FALSE(enabled(name)) << name;

    form.SetAccess(core::kGradeAdmin);
    for (const char* name : {"AddUser", "DelUser", "DelPozaBut", "EditModeleB", "SelPoza"})
        EXPECT_TRUE(enabled(name)) << name;
}

TEST_F(AdminWindowTest, UserChangesReachTheUsersFileOnlyBySave) {
    const std::string before = core::ReadWholeFile(Data() / "s.mpg").value_or("");
    int rowsAfterAdd = 0;
    QString current;
    std::shared_ptr<std::vector<Shown>> deleted;
    Open([&](QWidget* w) {
        WhenModal([](QWidget* d) {
            Child<QLineEdit>(d, "Nume")->setText("maria");
            Child<QComboBox>(d, "Gradul")->setCurrentIndex(1);
            Child<QLineEdit>(d, "Pas1")->setText("X");
            Child<QLineEdit>(d, "Pas2")->setText("X");
            Child<QPushButton>(d, "MemoBut")->click();
        });
        Child<QPushButton>(w, "AddUser")->click();
        auto* grid = Child<QTableView>(w, "Lista Utilizatori");
        rowsAfterAdd = grid->model()->rowCount();
        current = grid->currentIndex().siblingAtColumn(0).data().toString();
        SelectUser(w, "ION");
        deleted = Answer({"BE1"});
        Child<QPushButton>(w, "DelUser")->click();
        Child<QPushButton>(w, "Renunt")->click();
    });
    EXPECT_EQ(rowsAfterAdd, 3);
    EXPECT_EQ(current, "MARIA");
    EXPECT_EQ(deleted->at(0).text, "Chiar il stergem pe ION?");
    EXPECT_EQ(core::ReadWholeFile(Data() / "s.mpg").value_or(""), before);
    EXPECT_FALSE(fs::exists(fx.session.programFolder() / "u.dbf"));

    bool gradeShownForAdmin = true;
    bool nameReadOnly = false;
    Open([&](QWidget* w) {
        WhenModal([](QWidget* d) {
            Child<QLineEdit>(d, "Nume")->setText("ANA");
            Child<QLineEdit>(d, "Pas1")->setText("7");
            Child<QLineEdit>(d, "Pas2")->setText("7");
            Child<QPushButton>(d, "MemoBut")->click();
        });
        Child<QPushButton>(w, "AddUser")->click();
        SelectUser(w, "ADMIN");
        WhenModal([&](QWidget* d) {
            gradeShownForAdmin = !Child<QComboBox>(d, "Gradul")->isHidden();
            nameReadOnly = Child<QLineEdit>(d, "Nume")->isReadOnly();
            Child<QLineEdit>(d, "Pas1")->setText("999");
            Child<QLineEdit>(d, "Pas2")->setText("999");
            Child<QPushButton>(d, "MemoBut")->click();
        });
        Child<QPushButton>(w, "EditUser")->click();
        Answer({"BE1"});
        Child<QPushButton>(w, "SaveBut")->click();
    });
    EXPECT_FALSE(gradeShownForAdmin);
    EXPECT_TRUE(nameReadOnly);
    const auto users = core::ReadUsersFile(Data() / "s.mpg");
    ASSERT_EQ(users.size(), 3u);  // in grid order
    EXPECT_EQ(users[0].name, "ADMIN");
    EXPECT_EQ(users[0].password, "999");
    EXPECT_EQ(users[0].grade, core::kGradeAdmin);
    EXPECT_EQ(users[1].name, "ANA");
    EXPECT_EQ(users[1].grade, core::kGradeContabil);
}

TEST_F(AdminWindowTest, OnlyOwnUserForAContabilAndEveryUserMayBeDeleted) {
    LogIn("ION", core::kGradeContabil);
    std::shared_ptr<std::vector<Shown>> refusal;
    Open([&](QWidget* w) {
        SelectUser(w, "ADMIN");
        refusal = Answer({"BE4"});
        Child<QPushButton>(w, "EditUser")->click();
    });
    EXPECT_EQ(refusal->at(0).title, "Modificare utilizator!");
    EXPECT_EQ(refusal->at(0).caption, "Eroare");

    LogIn("ADMIN", core::kGradeAdmin);
    std::pair<QString, QString> balloon;
    Open([&](QWidget* w) {
        for (const char* name : {"ADMIN", "ION"}) {
            SelectUser(w, name);
            Answer({"BE1"});
            Child<QPushButton>(w, "DelUser")->click();
        }
        Child<QPushButton>(w, "DelUser")->click();
        balloon = Balloon();
        Answer({"BE1"});
        Child<QPushButton>(w, "SaveBut")->click();
    });
    EXPECT_EQ(balloon, std::make_pair(QString("Nu prea mai aveti ce sterge..."),
                                      QString("Lista Utilizatori")));
    EXPECT_TRUE(fs::exists(Data() / "s.mpg"));  // nobody can log in until it is removed
    EXPECT_TRUE(core::ReadUsersFile(Data() / "s.mpg").empty());
}

TEST_F(AdminWindowTest, LocationsAreAddedRenamedAcrossTablesAndKeptWhenUsed) {
    auto* edit = Child<QLineEdit>(&form, "GesEdit");
    auto* list = Child<QListWidget>(&form, "GesLista");
    edit->setText(" magazin ");
    PressKey(Qt::Key_Return, edit);  // Enter in the box adds
    edit->setText("depozit");
    Child<QPushButton>(&form, "AddGes")->click();
    EXPECT_EQ(Items(list), QStringList({"DEPOZIT", "MAGAZIN"}));
    EXPECT_EQ(core::ReadWholeFile(Data() / "GesLista.txt").value_or(""), "DEPOZIT\r\nMAGAZIN\r\n");
    edit->setText("MAGAZIN");
    Child<QPushButton>(&form, "AddGes")->click();
    EXPECT_EQ(Balloon(),
              std::make_pair(QString("MAGAZIN exista deja in lista!"), QString("GesLista")));

    auto& db = fx.session.db();
    db.execute("INSERT INTO CapNIR (IDNIR, NRNIR, DATANIR) VALUES (5, 17, \"03.02.2024\")");
    db.execute("INSERT INTO ProdNIR (IDPROD, IDNIR, GESTIUNE, PRODUS) VALUES (1, 5, :g, :p)",
               {{"g", "MAGAZIN"}, {"p", "SURUB M8"}});
    db.execute("INSERT INTO CapFise (IDCAP, GESTIUNE) VALUES (1, :g)", {{"g", "MAGAZIN"}});
    db.execute("INSERT INTO FactOut (IDFACTO, GESTIUNE) VALUES (1, :g)", {{"g", "MAGAZIN"}});
    list->setCurrentRow(1);
    edit->setText("central");
    auto renamed = Answer({"BE1"});
    Child<QPushButton>(&form, "EditGes")->click();
    EXPECT_EQ(renamed->at(0).caption, "Confirmare");
    EXPECT_EQ(Items(list), QStringList({"CENTRAL", "DEPOZIT"}));
    for (const char* table : {"ProdNIR", "CapFise", "FactOut"}) {
        EXPECT_EQ(Count(table, "CENTRAL"), "1") << table;
        EXPECT_EQ(Count(table, "MAGAZIN"), "0") << table;
    }
    EXPECT_EQ(core::ReadWholeFile(Data() / "GesLista.txt").value_or(""), "CENTRAL\r\nDEPOZIT\r\n");
    EXPECT_TRUE(edit->text().isEmpty());

    list->setCurrentRow(0);
    auto refused = Answer({"BE1", "BE4"});
    Child<QPushButton>(&form, "DelGes")->click();
    ASSERT_TRUE(refused->at(1).shown);
    EXPECT_TRUE(refused->at(1).text.contains("N.I.R.nr.17 din 03.02.2024"));
    EXPECT_TRUE(refused->at(1).text.contains("la produsul SURUB M8 !"));
    EXPECT_EQ(Items(list), QStringList({"CENTRAL", "DEPOZIT"}));

    list->setCurrentRow(1);
    Answer({"BE1"});
    Child<QPushButton>(&form, "DelGes")->click();
    EXPECT_EQ(Items(list), QStringList({"CENTRAL"}));
    EXPECT_EQ(core::ReadWholeFile(Data() / "GesLista.txt").value_or(""), "CENTRAL\r\n");
}

TEST_F(AdminWindowTest, AnAccountIsStoredAtOnceAndSparesTheQuestion) {
    form.LoadProfile();
    EXPECT_FALSE(Child<QPushButton>(&form, "EditContB")->isEnabled());
    const QString iban = "RO37BTRL0000000000000001";
    bool questioned = false;
    Open([&](QWidget* w) {
        WhenModal([&](QWidget* d) {
            Child<QLineEdit>(d, "Cont")->setText(iban);
            Child<QPushButton>(d, "MemoBut")->click();
        });
        Child<QPushButton>(w, "AddContB")->click();
        EXPECT_EQ(Child<QComboBox>(w, "Cont")->currentText(), iban);
        EXPECT_FALSE(Child<QLabel>(w, "ContBanca")->text().isEmpty());
        EXPECT_TRUE(Child<QPushButton>(w, "EditContB")->isEnabled());
        auto question = Answer({"BE2"});
        Child<QPushButton>(w, "SaveBut")->click();
        questioned = question->at(0).shown;
    });
    EXPECT_FALSE(questioned);
    EXPECT_EQ(fx.session.db().query("SELECT CONT FROM Conturi").at(0, 0).text(),
              iban.toStdString());
}

TEST_F(AdminWindowTest, ASavedAccountShowsWithItsBankWhenTheWindowOpensAgain) {
    const std::string iban = "RO37BTRL0000000000000001";
    ASSERT_FALSE(core::BankAccounts(fx.session.db()).add(Set(), iban, core::BankNameOf(iban)));
    for (int opening = 0; opening < 2; ++opening) {
        QString shown, bank;
        Open([&](QWidget* w) {
            shown = Child<QComboBox>(w, "Cont")->currentText();
            bank = Child<QLabel>(w, "ContBanca")->text();
        });
        EXPECT_EQ(shown.toStdString(), iban) << opening;
        EXPECT_EQ(bank.toStdString(), core::BankNameOf(iban)) << opening;
    }
}

TEST_F(AdminWindowTest, WorkshopButtonsAndTemplates) {
    Set().writeSetting("SETARI", "DOMENIU", "SERVICE AUTO");
    form.LoadProfile();
    auto* model = Child<QPushButton>(&form, "ModelBut");
    auto* norms = Child<QPushButton>(&form, "NormaBut");
    EXPECT_FALSE(model->isHidden());
    EXPECT_FALSE(norms->isHidden());
    EXPECT_FALSE(norms->isEnabled());  // no time norms window yet
    int normsOpened = 0;
    form.setTimeNormsOpener([&] { ++normsOpened; });
    norms->click();
    EXPECT_EQ(normsOpened, 1);
    Child<QComboBox>(&form, "DomeniuActivitate")->setCurrentText("GENERAL");
    EXPECT_TRUE(model->isHidden());
    EXPECT_TRUE(norms->isHidden());
    Child<QComboBox>(&form, "DomeniuActivitate")->setCurrentText("SERVICE AUTO");
    EXPECT_FALSE(model->isHidden());

    // A fresh install: the embedded sheet is written, then opened as an existing one.
    const fs::path preco = core::PreorderTemplateFile(Data());
    auto notice = Answer({"BE4"});
    model->click();
    EXPECT_EQ(notice->at(0).caption, "Informatie");
    EXPECT_TRUE(fs::is_regular_file(preco));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QString::fromStdString(preco.string()));
    // Something that is no file under that name cannot be replaced: refused, nothing opened.
    fs::remove(preco);
    fs::create_directories(preco);
    auto missing = Answer({"BE4"});
    model->click();
    EXPECT_EQ(missing->at(0).text,
              QString::fromStdString("Fisierul " + preco.string() + " lipseste!"));
    EXPECT_EQ(opened.size(), 1u);
    fs::remove(preco);

    // "Refa modelul initial" claims success only when the embedded workbook was written.
    const fs::path nir = core::NirTemplateFile(Data());
    std::ofstream(nir, std::ios::trunc) << "changed";
    auto restore = Answer({"BE1", "BE4"});
    form.findChild<QAction*>("NIRDel")->trigger();
    ASSERT_TRUE(restore->at(1).shown);
    const auto embedded = core::FindTemplate(core::kNirTemplateName, core::kTemplateKind);
    EXPECT_EQ(restore->at(1).caption, embedded ? "Informatie" : "Eroare");
    EXPECT_EQ(core::ReadWholeFile(nir).value_or(""), embedded ? *embedded : "changed");
    form.findChild<QAction*>("ModificareModele")->trigger();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], QString::fromStdString(nir.string()));
}

TEST_F(AdminWindowTest, EscClosesWithoutSaving) {
    Set().writeSetting("SETARI", "DENUMIRE", "VECHE");
    form.LoadProfile();
    bool closed = false;
    Open([&](QWidget* w) {
        Child<QLineEdit>(w, "DenumSoc")->setText("NOUA");
        Child<QLineEdit>(w, "DenumSoc")->setFocus();
        PressKey(Qt::Key_Escape);
        closed = !w->isVisible();
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(Setari("DENUMIRE"), "VECHE");
    EXPECT_EQ(Child<QLineEdit>(&form, "DenumSoc")->text(), "VECHE");  // the edit is dropped
    EXPECT_FALSE(fs::exists(fx.session.programFolder() / "u.dbf"));
}

}  // namespace
}  // namespace tvx::ui
