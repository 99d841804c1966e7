// Pre-orders in core: the editor's defaults and ordered checks, the number typed by hand that
// steers NRCOM (and a modification that does not), the description kept line by line, the
// returning client or car, searching and ordering, deleting, a failed save that stores
// nothing, the reception sheet's values, and a filled sheet read back from a PDF made by
// LibreOffice.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../CoreTestSupport.h"
#include "core/common/DayStamp.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/Templates.h"
#include "core/workshop/PreOrderEntry.h"
#include "core/workshop/PreOrderPrint.h"
#include "core/workshop/PreOrders.h"
#include "support/Soffice.h"
#include "tables/Database.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using tables::Date;

const Date kToday = Date::fromYmd(2026, 3, 10);

class PreOrdersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data_ = dir_.path() / "Data";
        fs::create_directories(data_);
        db_ = std::make_unique<tables::Database>(data_, dir_.path());
        db_->setDurable(false);
        CreateMissingTables(*db_);
        settings_ = std::make_unique<Settings>(data_ / "Tvx2010.set", db_.get());
        list_.emplace(*db_, *settings_);
        list_->open();
    }
    // A new pre-order typed for `client` with car `plate`, saved.
    long long Add(const std::string& client, const std::string& plate,
                  const char* number = nullptr) {
        PreOrderEntry e;
        list_->startAdd(e, "", "", kToday, 10 * 60);
        if (number) e.nrCom = number;
        e.client = client;
        e.plate = plate;
        e.model = "Logan";
        EXPECT_FALSE(e.check());
        return list_->add(e);
    }
    long long Count() {
        return db_->query("SELECT COUNT(*) FROM Precom").at(0, 0).number().toLongLong();
    }

    testsupport::ScratchDir dir_;
    fs::path data_;
    std::unique_ptr<tables::Database> db_;
    std::unique_ptr<Settings> settings_;
    std::optional<PreOrders> list_;
};

// Four decimals of a day keep every minute: each one comes back, and shows as the list shows it.
TEST(DayStamp, EveryMinuteOfTheDayComesBack) {
    for (int minutes = 0; minutes < 24 * 60; ++minutes) {
        const DayTime back = SplitStamp(StampValue(kToday, minutes));
        ASSERT_EQ(back.date, kToday) << minutes;
        ASSERT_EQ(back.minutes, minutes);
    }
    EXPECT_EQ(StampValue(kToday, 12 * 60).toPlainString(),
              std::to_string(kToday.toSerial()) + ".5");
    EXPECT_EQ(StampText(StampValue(kToday, 23 * 60 + 59)), "10.03.2026  23:59");
}

TEST_F(PreOrdersTest, NewEditorDefaults) {
    settings_->setIndex("NRCOM", "12");
    PreOrderEntry e;
    list_->startAdd(e, "", "", kToday, 22 * 60 + 30);
    EXPECT_EQ(e.nrCom, "12");
    EXPECT_EQ(e.km, "0");
    EXPECT_EQ(e.garantie, Date::fromYmd(2025, 3, 10));
    EXPECT_EQ(e.receptie, kToday);
    EXPECT_EQ(e.receptieMinutes, 22 * 60 + 30);
    // Three hours after 22:30 is the next day at 01:30, not today.
    EXPECT_EQ(e.termen, Date::fromYmd(2026, 3, 11));
    EXPECT_EQ(e.termenMinutes, 90);
    EXPECT_EQ(e.nivel, "1 / 4");
    EXPECT_EQ(e.v, (std::array<std::string, 5>{"DA", "DA", "DA", "DA", "DA"}));
}

TEST_F(PreOrdersTest, ChecksInOrderAtTheirField) {
    struct Case {
        const char* what;
        void (*change)(PreOrderEntry&);
        const char* field;  // nullptr: accepted
        const char* message;
    };
    const std::vector<Case> cases = {
        {"number 0", [](PreOrderEntry& e) { e.nrCom = "0"; }, kPreNrCom,
         "Numar de comanda incorect!"},
        {"bad personal code", [](PreOrderEntry& e) { e.cf = "1800101221145"; }, kPreCF,
         "CNP incorect!"},
        {"bad company code", [](PreOrderEntry& e) { e.cf = "14399841"; }, kPreCF,
         "Cod Fiscal incorect!"},
        {"bad IBAN", [](PreOrderEntry& e) { e.iban = "RO31BTRL0123456789012354"; }, kPreIBAN,
         "Cont IBAN incorect!"},
        {"no plate", [](PreOrderEntry& e) { e.plate = "  "; }, kPrePlate,
         "Lipseste Numarul de inmatriculare!"},
        {"completion the day before", [](PreOrderEntry& e) { e.termen = kToday.addDays(-1); },
         kPreTermen, "Termen Estimativ aberant!"},
        {"same day, earlier hour", [](PreOrderEntry& e) { e.termenMinutes = 0; }, nullptr, ""},
        {"twenty description lines",
         [](PreOrderEntry& e) { e.description = std::string(19, '\n') + "x"; }, kPreLinii,
         "Descrierea are mai mult de 19 randuri!"},
        {"a description line too long",
         [](PreOrderEntry& e) { e.description = "a\n" + std::string(151, 'b'); }, kPreLinii,
         "Randul 2 al descrierii are peste 150 de caractere!"},
        {"number before plate",
         [](PreOrderEntry& e) {
             e.nrCom = "";
             e.plate = "";
         },
         kPreNrCom, "Numar de comanda incorect!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PreOrderEntry e;
        list_->startAdd(e, "", "", kToday, 10 * 60);
        e.plate = "B 12 ABC";
        e.cf = "RO 14399840";
        e.iban = "RO31 BTRL 0123 4567 8901 2345";
        e.client = "  ion   \"pop\" ";
        c.change(e);
        const auto problem = e.check();
        if (!c.field) {
            EXPECT_FALSE(problem);
            EXPECT_EQ(e.plate, "B12ABC");
            EXPECT_EQ(e.cf, "RO14399840");  // the code is stored as typed, without blanks
            EXPECT_EQ(e.client, "ion `pop`");
            continue;
        }
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->field, c.field);
        EXPECT_EQ(problem->message, c.message);
    }
}

TEST_F(PreOrdersTest, TypedNumberSteersTheCounterAndModifyingDoesNot) {
    const long long id = Add("ION", "B12ABC", "57");
    EXPECT_EQ(settings_->peekIndex("NRCOM"), "58");
    EXPECT_EQ(settings_->peekIndex("IDCOM"), std::to_string(id + 1));

    PreOrderEntry e;
    list_->startEdit(e, kToday, 0);
    EXPECT_EQ(e.nrCom, "57");
    e.nrCom = "80";
    e.description = "Zgomot\n\nFrana\n";
    ASSERT_FALSE(e.check());
    list_->update(id, e);
    EXPECT_EQ(settings_->peekIndex("NRCOM"), "58");
    const PreOrder stored = list_->current();
    EXPECT_EQ(stored.nrCom, 80);
    EXPECT_EQ(stored.linii[0], "Zgomot");
    EXPECT_EQ(stored.linii[1], "");
    EXPECT_EQ(stored.linii[2], "Frana");
    EXPECT_EQ(stored.linii[18], "");
    EXPECT_EQ(stored.receptie, kToday);
    EXPECT_EQ(stored.termenMinutes, 13 * 60);
    EXPECT_EQ(db_->query("SELECT RECEPTIE FROM Precom").at(0, 0).number(),
              StampValue(kToday, 10 * 60));
    // Copied back, the description shows its non-empty lines.
    list_->startEdit(e, kToday, 0);
    EXPECT_EQ(e.description, "Zgomot\nFrana");
}

TEST_F(PreOrdersTest, ReturningCarStartsFromItsLastPreOrder) {
    Add("ION", "B12ABC");
    settings_->setIndex("NRCOM", "9");
    list_->search("", "B12");
    PreOrderEntry e;
    list_->startAdd(e, "", "B12", kToday, 0);
    EXPECT_EQ(e.plate, "");  // only the beginning of the plate was typed
    list_->search("", "B12ABC");
    list_->startAdd(e, "", "B12ABC", kToday.addDays(1), 60);
    EXPECT_EQ(e.plate, "B12ABC");
    EXPECT_EQ(e.client, "ION");
    EXPECT_EQ(e.model, "Logan");
    EXPECT_EQ(e.nrCom, "9");
    EXPECT_EQ(e.dataCom, kToday.addDays(1));
    EXPECT_EQ(e.receptOm, "");
    EXPECT_EQ(e.termenMinutes, 4 * 60);
}

TEST_F(PreOrdersTest, SearchOrderAndDelete) {
    const long long a = Add("MARIN", "CJ01AAA");
    const long long b = Add("ANA", "B99ZZZ");
    Add("MARIUS", "B01BBB");
    EXPECT_EQ(list_->clients(), (std::vector<std::string>{"ANA", "MARIN", "MARIUS"}));
    list_->search("MAR", "");
    EXPECT_EQ(list_->rows().rowCount(), 2u);
    list_->search("MAR", "CJ");
    ASSERT_EQ(list_->rows().rowCount(), 1u);
    EXPECT_EQ(list_->current().idCom, a);
    list_->search("", "");
    list_->rows().locate("IDCOM", b);
    list_->sortBy("CLIENT");
    EXPECT_EQ(list_->current().idCom, b);  // the same pre-order stays current
    list_->rows().first();
    EXPECT_EQ(list_->current().client, "ANA");
    list_->remove(b);
    EXPECT_EQ(Count(), 2);
    EXPECT_NE(list_->current().idCom, b);
}

TEST_F(PreOrdersTest, AFailedAddStoresNothing) {
    Add("ION", "B12ABC");
    PreOrderEntry e;
    list_->startAdd(e, "", "", kToday, 0);
    e.plate = "B1";
    ASSERT_FALSE(e.check());
    const std::string nrcom = settings_->peekIndex("NRCOM");
    const std::string idcom = settings_->peekIndex("IDCOM");
    fs::remove(data_ / "Precom.dbf");
    fs::create_directory(data_ / "Precom.dbf");  // the table cannot be written
    EXPECT_ANY_THROW(list_->add(e));
    EXPECT_EQ(settings_->peekIndex("NRCOM"), nrcom);
    EXPECT_EQ(settings_->peekIndex("IDCOM"), idcom);
}

TEST_F(PreOrdersTest, ReceptionSheetValues) {
    PreOrder p;
    p.nrCom = 57;
    p.cont = "RO31BTRL0123456789012345";
    p.banca = "BANCA TRANSILVANIA";
    p.receptie = kToday;
    p.receptieMinutes = 9 * 60 + 5;
    p.linii[1] = "Frana";
    const std::vector<RtfPair> pairs = PreOrderPairs(p);
    auto value = [&](const std::string& key) {
        for (const RtfPair& pair : pairs)
            if (pair.placeholder == key) return pair.value;
        return std::string("<absent>");
    };
    EXPECT_EQ(value("[CONT]"), "RO31BTRL0123456789012345 BANCA TRANSILVANIA");
    EXPECT_EQ(value("[RECEPTIE]"), "10.03.2026 09:05");
    EXPECT_EQ(value("[NR1]"), " ");
    EXPECT_EQ(value("[LINIA1]"), " ");
    EXPECT_EQ(value("[NR2]"), "2");
    EXPECT_EQ(value("[LINIA2]"), "Frana");
    EXPECT_EQ(pairs.size(), 20u + 38u + 1u + 10u + 1u);
    EXPECT_EQ(pairs.front().placeholder, "[NRCOM]");
    EXPECT_EQ(pairs.back().placeholder, "[OBSG]");
}

// Editing the template on a fresh install writes the embedded sheet first; an edited one is
// kept; the refusal names the file only when none can be had.
TEST(PreorderTemplateEditing, WrittenWhenMissingRefusedOnlyWhenItCannotBe) {
    testsupport::ScratchDir dir;
    const fs::path file = dir.path() / "PrecoMod.rtf";
    EXPECT_FALSE(PreorderTemplateForEditing(dir.path(), "T"));
    ASSERT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(testsupport::FileBytes(file), FindTemplate(kPreorderTemplateName, "Model"));

    std::ofstream(file, std::ios::trunc) << "{\\rtf1 edited}";
    EXPECT_FALSE(PreorderTemplateForEditing(dir.path(), "T"));
    EXPECT_EQ(testsupport::FileBytes(file), "{\\rtf1 edited}");

    const fs::path notAFolder = file / "Data";  // under a file: nothing can be written there
    const auto refused = PreorderTemplateForEditing(notAFolder, "Modificare model precomanda");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->title, "Modificare model precomanda");
    EXPECT_EQ(refused->text, "Fisierul " + (notAFolder / "PrecoMod.rtf").string() + " lipseste!");
}

// The program's own sheet, filled with every value and made a PDF by LibreOffice.
TEST_F(PreOrdersTest, FilledSheetShowsEveryValueInAPdf) {
    if (!testsupport::HasProgram("soffice") || !testsupport::HasProgram("pdftotext"))
        GTEST_SKIP() << "LibreOffice (soffice) or pdftotext (poppler-utils) is not installed";
    const auto missing = PrintPreOrder(data_, dir_.path(), PreOrder());
    ASSERT_TRUE(missing.failure);
    EXPECT_EQ(missing.failure->text,
              "Nu exista fisierul " + (data_ / "PrecoMod.rtf").string() + " !");
    ASSERT_TRUE(EnsurePreorderTemplate(data_));

    PreOrder p;
    p.nrCom = 57;
    p.dataCom = kToday;
    p.client = "ŞTEFĂNESCU A{B}\\C";
    p.adresa = "Str. Lunga 1";
    p.telefon = "0722000111";
    p.cf = "1800101221144";
    p.rc = "J40/1/2020";
    p.cont = "RO31BTRL0123456789012345";
    p.banca = "BTRL";
    p.inmatric = "B12ABC";
    p.sasiu = "UU1234567";
    p.model = "Logan";
    p.km = 123456;
    p.motor = "K9K";
    p.asigurator = "ASIROM";
    p.filiala = "SECTOR 1";
    p.recepOm = "VASILE";
    p.receptie = kToday;
    p.receptieMinutes = 9 * 60 + 5;
    p.termen = kToday;
    p.termenMinutes = 12 * 60 + 5;
    p.garantie = Date::fromYmd(2025, 3, 10);
    p.revizie = "100000";
    p.linii[0] = "Zgomot la franare";
    p.linii[1] = "Bec ars";
    p.nivel = "3 / 4";
    p.v = {"DA", "NU", "DA", "NU", "DA"};
    p.obs = {"uzata", "", "lipsa unul", "", "completa"};
    p.obsG = "Zgarietura usa";
    const PreOrderPrintout out = PrintPreOrder(data_, dir_.path(), p);
    ASSERT_FALSE(out.failure);
    EXPECT_EQ(out.file, dir_.path() / "0.rtf");
    ASSERT_TRUE(testsupport::SofficeConvert({out.file}, "pdf", dir_.path()));
    const std::string text = testsupport::PdfFileText(dir_.path() / "0.pdf").value_or("");
    for (const char* expected : {"Precomanda nr. 57 din data 10.03.2026",
                                 "Numele: ŞTEFĂNESCU A{B}\\C",
                                 "Adresa: STR. LUNGA 1",
                                 "Telefon / Fax: 0722000111",
                                 "CNP: 1800101221144",
                                 "J40/1/2020",
                                 "RO31BTRL0123456789012345 BTRL",
                                 "Nr. inmatriculare: B12ABC",
                                 "Model: LOGAN",
                                 "Nr. sasiu: UU1234567",
                                 "motor: K9K",
                                 "Km la bord: 123456",
                                 "Asigurator: ASIROM",
                                 "Filiala: SECTOR 1",
                                 "Receptionat de: VASILE",
                                 "la data: 10.03.2026 09:05",
                                 "Termen estimativ: 10.03.2026 12:05",
                                 "garantiei: 10.03.2025",
                                 "revizie: 100000",
                                 "Nivel combustibil: 3 / 4",
                                 "Roata de rezerva: DA UZATA",
                                 "Cric: NU ..........",
                                 "Capace roti: DA LIPSA UNUL",
                                 "Trusa de scule: DA COMPLETA",
                                 "Alte observatii: ZGARIETURA USA",
                                 "1 ZGOMOT LA FRANARE",
                                 "2 BEC ARS"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in: " << text;
    EXPECT_EQ(text.find('['), std::string::npos) << text;
}

}  // namespace
}  // namespace tvx::core
