// The incoming invoice editor: defaults of a new document, the proposal of a known supplier,
// the totals that follow each other while the toggle is down, and the checks of
// "&Memoreaza" in their order with their fields and texts.
#include <gtest/gtest.h>

#include "PurchasesTestSupport.h"
#include "core/purchases/IncomingDocument.h"
#include "core/purchases/IncomingInvoiceEditor.h"
#include "core/purchases/IncomingInvoices.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;
using Ed = IncomingInvoiceEditor;

const Date kToday = Date::fromYmd(2024, 3, 15);

class EditorTest : public purchasestest::PurchasesTest {
  protected:
    void SetUp() override {
        PurchasesTest::SetUp();
        editor_ = std::make_unique<Ed>(db());
        editor_->startNew(settings(), kToday);
    }
    // A document that passes every check.
    void FillValid() {
        Ed& e = *editor_;
        e.furnizor = "alfa srl";
        e.numeFact = "FACTURA FISCALA";
        e.seriaNr = "AB 123";
        e.cui = "14399840";
    }
    void ExpectProblem(const char* field, const char* message) {
        const auto problem = editor_->check();
        ASSERT_TRUE(problem) << "expected " << message;
        EXPECT_EQ(problem->field, field);
        EXPECT_EQ(problem->message, message);
    }
    void Insert(const std::string& supplier, Date date, const std::string& cont, int vat,
                const std::string& cui, const std::string& kind = "FACTURA FISCALA") {
        static long long id = 100;
        db().execute("INSERT INTO " + table("FactIn") +
                         " (IDFACT, NUMEFACT, SERIANR, DATAIN, FURNIZOR, CONT, TVAPROC, CUI)"
                         " VALUES (:id, :k, 'X1', :d, :f, :c, :t, :cui)",
                     {{"id", ++id},
                      {"k", kind},
                      {"d", date},
                      {"f", supplier},
                      {"c", cont},
                      {"t", vat},
                      {"cui", cui}});
    }
    std::unique_ptr<Ed> editor_;
};

TEST_F(EditorTest, NewDocumentDefaultsAndTheDueDateFollowingTheDate) {
    settings().writeVatRate(9);
    editor_->furnizor = "LEFTOVER";
    editor_->totalCuTva = "55";
    editor_->startNew(settings(), kToday);
    EXPECT_EQ(editor_->title(), std::string("Adaugare factura de intrare"));
    EXPECT_TRUE(editor_->furnizor.empty());
    EXPECT_EQ(editor_->dataIn, kToday);
    EXPECT_EQ(editor_->dataScad, kToday);
    EXPECT_EQ(editor_->tvaProc, "9");
    EXPECT_EQ(editor_->totalFaraTva, "0");
    EXPECT_EQ(editor_->totalCuTva, "0");

    editor_->dataIn = Date::fromYmd(2024, 2, 1);
    editor_->dateChanged();
    EXPECT_EQ(editor_->dataScad, Date::fromYmd(2024, 2, 1));
}

TEST_F(EditorTest, KindsListAddsTheTwoStandardKindsOnlyWhenMissing) {
    Insert("A", kToday, "", 19, "1", "BORDEROU");
    Insert("B", kToday, "", 19, "1", "BON FISCAL");
    editor_->startNew(settings(), kToday);
    EXPECT_EQ(editor_->kinds(),
              (std::vector<std::string>{"BON FISCAL", "BORDEROU", "FACTURA FISCALA"}));
    EXPECT_EQ(editor_->suppliers(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(EditorTest, KnownSupplierProposesItsLatestDocumentAndTheBankFollows) {
    Insert("ALFA SRL", Date::fromYmd(2024, 1, 10), "RO37BTRL0000000000000001", 9, "111");
    Insert("ALFA SRL", Date::fromYmd(2024, 2, 20), "RO31BTRL0123456789012345", 5, "14399840");
    Insert("ALFA SRL", Date::fromYmd(2023, 12, 1), "", 19, "222");
    Insert("BETA SRL", Date::fromYmd(2024, 3, 1), "RO83RNCB0000000000000002", 24, "333");
    editor_->startNew(settings(), kToday);

    editor_->furnizor = "ALFA SRL";
    editor_->supplierChosen();
    EXPECT_EQ(editor_->cont, "RO31BTRL0123456789012345");
    EXPECT_EQ(editor_->banca, "BANCA TRANSILVANIA SA");
    EXPECT_EQ(editor_->tvaProc, "5");
    EXPECT_EQ(editor_->cui, "14399840");

    editor_->furnizor = "GAMMA";  // typed, not in the list: nothing changes
    editor_->supplierChosen();
    EXPECT_EQ(editor_->cont, "RO31BTRL0123456789012345");
    EXPECT_EQ(editor_->tvaProc, "5");

    editor_->cont = "RO30BTRL0123";  // while typing: the bank of the code, if any
    editor_->accountChanged();
    EXPECT_EQ(editor_->banca, "");
}

TEST_F(EditorTest, TotalsFollowEachOtherOnlyWhileTheToggleIsDown) {
    Ed& e = *editor_;
    e.tvaProc = "19";
    e.totalFaraTva = "100";
    e.netTotalChanged();
    EXPECT_EQ(e.totalCuTva, "119.0000");
    e.totalCuTva = "119";
    e.grossTotalChanged();
    EXPECT_EQ(e.totalFaraTva, "100.00");
    e.tvaProc = "9";  // 119 / 1.09 = 109.1743...
    e.vatChanged();
    EXPECT_EQ(e.totalFaraTva, "109.17");
    e.totalFaraTva = "10.01";  // 10.01 x 1.09 = 10.9109
    e.netTotalChanged();
    EXPECT_EQ(e.totalCuTva, "10.9109");

    // Halves of a cent go away from zero, also for a negative (credit) document.
    e.tvaProc = "100";
    e.totalCuTva = "0.05";
    e.grossTotalChanged();
    EXPECT_EQ(e.totalFaraTva, "0.03");
    e.totalCuTva = "-0.05";
    e.grossTotalChanged();
    EXPECT_EQ(e.totalFaraTva, "-0.03");

    e.autoCalc = false;
    e.totalFaraTva = "50";
    e.netTotalChanged();
    e.totalCuTva = "70";
    e.grossTotalChanged();
    e.vatChanged();
    EXPECT_EQ(e.totalFaraTva, "50");
    EXPECT_EQ(e.totalCuTva, "70");
}

TEST_F(EditorTest, ChecksRunInOrderWithTheirFieldsAndTexts) {
    Ed& e = *editor_;
    e.furnizor = "   ";
    e.numeFact = "";
    e.cont = "RO30BTRL0123456789012345";
    e.dataScad = kToday.addDays(-1);
    ExpectProblem(Ed::kSupplierField, "Lipseste Furnizorul!");
    e.furnizor = "alfa";
    ExpectProblem(Ed::kKindField, "Lipseste Documentul justificativ!");
    e.numeFact = "factura fiscala";
    ExpectProblem(Ed::kAccountField, "CONT incorect!");
    e.cont = "  ";  // an empty account is allowed
    ExpectProblem(Ed::kNumberField, "Lipseste Seria si Numarul documentului!");
    e.seriaNr = "ab 1";
    ExpectProblem(Ed::kDueDateField, "Data scadenta este inaintea facturarii!");
    e.dataScad = kToday;  // the same day is accepted
    ExpectProblem(Ed::kFiscalCodeField, "Lipseste Codul Fiscal!");
    e.cui = "14399841";
    ExpectProblem(Ed::kFiscalCodeField, "Cod Fiscal incorect!");
    e.cui = "1800101221145";  // 13 characters: a personal code with a wrong control
    ExpectProblem(Ed::kFiscalCodeField, "CNP incorect!");
    e.cui = "1800101221144";
    EXPECT_FALSE(e.check());
    e.cui = "ABCDEFGHIJKLMN";  // 14 or 15 characters pass unchecked
    EXPECT_FALSE(e.check());
    e.cui = " ro 1439 9840 ";
    EXPECT_FALSE(e.check());
    EXPECT_EQ(e.cui, "RO14399840");
}

TEST_F(EditorTest, SaveCleansTextsAndNormalisesTheAccount) {
    FillValid();
    editor_->furnizor = "  o'neil   impex  ";
    editor_->seriaNr = " ab  \"12\" ";
    editor_->cont = " ro31 btrl 0123 4567 8901 2345 ";
    editor_->banca = "stale";
    editor_->tvaProc = "019";
    ASSERT_FALSE(editor_->check());
    EXPECT_EQ(editor_->furnizor, "O`NEIL IMPEX");
    EXPECT_EQ(editor_->seriaNr, "AB `12`");
    EXPECT_EQ(editor_->cont, "RO31BTRL0123456789012345");
    EXPECT_EQ(editor_->banca, "BANCA TRANSILVANIA SA");
    EXPECT_EQ(editor_->tvaProc, "19");
    EXPECT_EQ(editor_->vatRate(), 19);
}

TEST_F(EditorTest, AVatRateOutsideZeroToHundredIsRefusedAtItsFieldAndNeverStored) {
    FillValid();
    editor_->tvaProc = "195";
    ExpectProblem(Ed::kVatField, "Cota TVA trebuie sa fie intre 0 si 100 %!");
    EXPECT_EQ(editor_->tvaProc, "195");  // kept as typed, for the user to correct
    editor_->tvaProc = "100";
    EXPECT_FALSE(editor_->check());
}

TEST_F(EditorTest, AMissingNetTotalIsDerivedOnSaveWhateverTheToggle) {
    FillValid();
    editor_->autoCalc = false;
    editor_->tvaProc = "19";
    editor_->totalCuTva = "119";
    editor_->totalFaraTva = "";
    ASSERT_FALSE(editor_->check());
    EXPECT_EQ(editor_->netTotal(), Decimal(100));
    EXPECT_EQ(editor_->totalCuTva, "119");

    editor_->totalCuTva = "100";  // 100 / 1.19 = 84.03361... carried to four decimals
    editor_->totalFaraTva = "0";
    ASSERT_FALSE(editor_->check());
    EXPECT_EQ(editor_->totalFaraTva, "84.0336");

    editor_->totalCuTva = "-119";  // only a positive gross total derives the net one
    editor_->totalFaraTva = "0";
    ASSERT_FALSE(editor_->check());
    EXPECT_TRUE(editor_->netTotal().isZero());
}

TEST_F(EditorTest, EditingShowsTheStoredDocumentAndNewDocumentsSetTheDefaultVat) {
    IncomingInvoices list(db(), settings());
    FillValid();
    editor_->tvaProc = "9";
    editor_->cont = "RO31BTRL0123456789012345";
    editor_->totalFaraTva = "100";
    editor_->totalCuTva = "109";
    ASSERT_FALSE(editor_->check());
    list.addDocument(*editor_);
    EXPECT_EQ(settings().readVatRate(), 9);

    Ed next(db());
    next.startNew(settings(), kToday);
    EXPECT_EQ(next.tvaProc, "9");

    list.startEdit(next);
    EXPECT_EQ(next.title(), std::string("Modificare factura de intrare"));
    EXPECT_EQ(next.furnizor, "ALFA SRL");
    EXPECT_EQ(next.banca, "BANCA TRANSILVANIA SA");
    EXPECT_EQ(next.totalCuTva, "109.00");
    next.tvaProc = "5";
    ASSERT_FALSE(next.check());
    list.updateDocument(next);
    EXPECT_EQ(settings().readVatRate(), 9);  // only a new document changes the default
    EXPECT_EQ(ReadIncomingDocument(db(), list.current)->tvaProc, 5);
}

}  // namespace
}  // namespace tvx::core
