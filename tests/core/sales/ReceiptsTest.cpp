// Tests of receipts against outgoing documents: the defaults of the receipt window, its
// checks and question, the checks before adding and deleting, REST kept equal to TOTAL minus
// the receipts, the cash receipt numbers taken and given back, VAT contained for payers and
// non-payers, and a failing add that leaves every file as it was.
#include <fstream>
#include <iterator>

#include "../stock/StockTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/sales/InvoicePosting.h"
#include "core/sales/Receipts.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

class ReceiptsTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        settings_->writeSetting("SETARI", "DENUMIRE", "TARVIX SRL");
        settings_->writeSetting("SETARI", "CodFisc", "RO1234567");
        settings_->writeSetting("SETARI", "CHITSERIA", "TVC");
        settings_->writeSetting("SETARI", "CHITNRMAX", "100");
        settings_->setIndex("CHITNR", "5");
        settings_->setIndex("NRBON", "31");
        invoice_ = Post(kInvoiceDocument, 7);
    }

    // A document of 100.00 lei with VAT 19%, one service line.
    long long Post(const char* type, long long number) {
        InvoiceDocument doc;
        doc.docType = type;
        doc.series = "TVX";
        doc.number = number;
        doc.date = Day(3, 2, 2026);
        doc.vatRate = D("19");
        doc.buyerName = "CLIENT SA";
        doc.location = "MAGAZIN";
        doc.lines.push_back(
            {-1, 1, "Manopera", "ora", D("1"), D("84.03"), D("84.03"), D("15.97"), "", {}, 0});
        doc.netTotal = D("84.03");
        doc.vatTotal = D("15.97");
        doc.total = D("100");
        return SaveNewInvoice(*db_, *settings_, doc);
    }

    CompanyProfile Profile() {
        CompanyProfile profile;
        profile.load(*settings_);
        return profile;
    }
    ReceiptEntry Opened(long long idFacto) {
        ReceiptEntry entry;
        entry.open(ReadReceiptDocument(*db_, idFacto).value(), Profile(), *settings_,
                   Day(10, 2, 2026));
        return entry;
    }
    // Opens the window, sets the sum, checks and adds.
    long long Add(const char* sum, ReceiptMode mode = ReceiptMode::CashReceipt) {
        ReceiptEntry entry = Opened(invoice_);
        entry.mode = mode;
        entry.sum = D(sum);
        EXPECT_FALSE(entry.check());
        return AddReceipt(*db_, *settings_, invoice_, entry);
    }
    Decimal Rest() { return ReadReceiptDocument(*db_, invoice_).value().rest; }
    // The invariant: REST = TOTAL - the receipts.
    void ExpectRestMatchesReceipts() {
        Decimal paid;
        for (const Receipt& r : ReceiptsOf(*db_, invoice_)) paid += r.sum;
        EXPECT_EQ(Rest(), D("100") - paid);
    }
    std::map<std::string, std::string> Files() { return testsupport::DataFiles(data_); }

    long long invoice_ = 0;
};

// --- The receipt window ----------------------------------------------------------------

TEST_F(ReceiptsTest, OpenShowsDocumentAndDefaultsAndResetsEveryTime) {
    ReceiptEntry entry = Opened(invoice_);
    entry.mode = ReceiptMode::Transfer;
    entry.instrumentName = "CEC";
    entry.instrumentNumber = D("12");
    entry.open(ReadReceiptDocument(*db_, invoice_).value(), Profile(), *settings_,
               Day(11, 2, 2026));
    EXPECT_EQ(entry.caption, "Incasare noua");
    EXPECT_EQ(entry.buyer, "CLIENT SA");
    EXPECT_EQ(entry.documentText, "seria TVX nr.7");
    EXPECT_EQ(entry.restText, "100.00");
    EXPECT_EQ(entry.mode, ReceiptMode::CashReceipt);
    EXPECT_EQ(entry.cashCaption, "cu Chitanta TVC nr.5");
    EXPECT_EQ(entry.instrumentName, "ORDIN DE PLATA");
    EXPECT_EQ(entry.instrumentNumber, Decimal(0));
    EXPECT_EQ(entry.fiscalNumber, Decimal(31));
    EXPECT_EQ(entry.date, Day(11, 2, 2026));
    EXPECT_EQ(entry.sum, D("100"));
    EXPECT_EQ(entry.text, "achitat F.F. seria TVX nr.7");
}

TEST_F(ReceiptsTest, SaveChecksRunInOrder) {
    ReceiptEntry entry = Opened(invoice_);
    entry.sum = D("-5");
    auto problem = entry.check();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, ReceiptEntry::kSumField);
    EXPECT_EQ(problem->message, "Nu puteti face aceasta operatiune cu minus!");
    entry.mode = ReceiptMode::FiscalReceipt;
    EXPECT_TRUE(entry.check());
    entry.mode = ReceiptMode::Transfer;
    EXPECT_FALSE(entry.check());  // a compensation may be negative
    entry.sum = D("0.001");       // cents: this is no sum
    problem = entry.check();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, ReceiptEntry::kSumField);
    EXPECT_EQ(problem->message, "Lipseste suma!");

    entry.sum = D("100");  // the whole REST: no question
    entry.instrumentNumber = D("1234.9");
    EXPECT_FALSE(entry.check());
    EXPECT_EQ(entry.instrumentNumber, Decimal(1234));
    EXPECT_FALSE(entry.overRestQuestion());
    entry.sum = D("100.01");
    const auto question = entry.overRestQuestion();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->title, "Incasare");
    EXPECT_EQ(question->text,
              "Suma e mai mare decat restul de incasat!\r\nDoriti sa o corectati ?");
    EXPECT_EQ(question->kind, MessageKind::Warning);
}

// --- Checks before adding and deleting -------------------------------------------------

TEST_F(ReceiptsTest, AddChecksRunInOrder) {
    Receipt fiscal;
    fiscal.docJus = kFiscalReceiptDocument;
    settings_->writeSetting("SETARI", "CHITSERIA", " ");
    settings_->writeSetting("SETARI", "CHITNRMAX", "4");

    auto stop = CheckAddReceipt(2, fiscal, Profile());
    ASSERT_TRUE(stop && stop->message);
    EXPECT_EQ(stop->message->title, "Adaugare chitanta");
    EXPECT_EQ(stop->message->text, "Nu puteti taia o chitanta la mai multe facturi!");
    EXPECT_EQ(stop->message->kind, MessageKind::Error);
    EXPECT_FALSE(stop->offersAdministration);

    stop = CheckAddReceipt(1, fiscal, Profile());
    ASSERT_TRUE(stop && stop->balloon);
    EXPECT_EQ(stop->balloon->field, kReceiptsGrid);
    EXPECT_EQ(stop->balloon->message, "Bonul fiscal nu poate fi achitat cu altceva!");

    stop = CheckAddReceipt(1, std::nullopt, Profile());
    ASSERT_TRUE(stop && stop->message);
    EXPECT_EQ(stop->message->text,
              "Nu ati trecut seria la chitante la Administrare!\r\nVreti s-o faceti acum?");
    EXPECT_TRUE(stop->offersAdministration);

    settings_->writeSetting("SETARI", "CHITSERIA", "TVC");
    stop = CheckAddReceipt(1, std::nullopt, Profile());  // last 4 below next 5
    ASSERT_TRUE(stop && stop->message);
    EXPECT_EQ(stop->message->title, "Adaugare chitanta");
    EXPECT_EQ(stop->message->text,
              "Nu mai aveti numere de chitanta libere!\r\n"
              "Vreti sa puneti acum alte numere de chitante?");
    EXPECT_TRUE(stop->offersAdministration);

    settings_->writeSetting("SETARI", "CHITNRMAX", "5");  // the last free number
    Receipt transfer;
    transfer.docJus = "CEC";
    EXPECT_FALSE(CheckAddReceipt(1, transfer, Profile()));
}

TEST_F(ReceiptsTest, DeleteChecksAndQuestion) {
    auto stop = CheckDeleteReceipt(std::nullopt);
    ASSERT_TRUE(stop && stop->balloon);
    EXPECT_EQ(stop->balloon->field, kDeleteReceiptButton);
    EXPECT_EQ(stop->balloon->message, "Nu aveti ce sterge!");

    const long long bon = Post(kFiscalReceiptDocument, 31);
    const std::vector<Receipt> own = ReceiptsOf(*db_, bon);
    ASSERT_EQ(own.size(), 1u);
    stop = CheckDeleteReceipt(own[0]);
    ASSERT_TRUE(stop && stop->balloon);
    EXPECT_EQ(stop->balloon->field, kReceiptsGrid);
    EXPECT_EQ(stop->balloon->message, "Bonul fiscal il puteti sterge de mai sus!");

    const Receipt cash = ReadReceipt(*db_, Add("40")).value();
    EXPECT_FALSE(CheckDeleteReceipt(cash));
    const Message question = DeleteReceiptQuestion(cash);
    EXPECT_EQ(question.title, "Stergere incasare");
    EXPECT_EQ(question.text, "Doriti sa stergeti CHITANTA  nr.5?");
    EXPECT_EQ(question.kind, MessageKind::Confirmation);
}

// --- Adding and deleting ---------------------------------------------------------------

TEST_F(ReceiptsTest, TwoPartialReceiptsBringRestToZero) {
    const long long first = Add("40");
    EXPECT_EQ(Rest(), D("60"));
    EXPECT_EQ(Opened(invoice_).sum, D("60"));  // the next default is what is left
    const long long second = Add("60");
    EXPECT_EQ(Rest(), D("0"));
    ExpectRestMatchesReceipts();
    EXPECT_NE(first, second);

    const Receipt r = ReadReceipt(*db_, first).value();
    EXPECT_EQ(r.idFacto, invoice_);
    EXPECT_EQ(r.docJus, "CHITANTA");
    EXPECT_EQ(r.series, "TVC");
    EXPECT_EQ(r.number, 5);
    EXPECT_EQ(r.date, Day(10, 2, 2026));
    EXPECT_EQ(r.text, "achitat F.F. seria TVX nr.7");
    EXPECT_EQ(ReadReceipt(*db_, second).value().number, 6);
    EXPECT_EQ(Counter("CHITNR"), "7");
    EXPECT_EQ(Counter("IDCHIT"), std::to_string(second + 1));
}

TEST_F(ReceiptsTest, DeletingGivesSumBackAndOnlyTheNewestNumber) {
    const long long first = Add("40");
    const long long second = Add("60");
    DeleteReceipt(*db_, *settings_, first);  // NR 5, not the newest
    EXPECT_EQ(Rest(), D("40"));
    EXPECT_FALSE(ReadReceipt(*db_, first));
    EXPECT_EQ(Counter("CHITNR"), "7");
    ExpectRestMatchesReceipts();

    DeleteReceipt(*db_, *settings_, second);  // NR 6 = CHITNR - 1
    EXPECT_EQ(Rest(), D("100"));
    EXPECT_EQ(Counter("CHITNR"), "6");
    EXPECT_EQ(Add("10"), second + 1);  // identifiers never go back
    EXPECT_EQ(ReadReceipt(*db_, second + 1).value().number, 6);
}

TEST_F(ReceiptsTest, InstrumentsAndFiscalNumbersNeverMoveChitnr) {
    ReceiptEntry entry = Opened(invoice_);
    entry.mode = ReceiptMode::Transfer;
    entry.instrumentName = "COMPENSARE";
    entry.instrumentNumber = D("4.6");  // whole part, and CHITNR - 1
    entry.sum = D("-10");
    entry.text = "compensare\r\ncu furnizorul";
    ASSERT_FALSE(entry.check());
    const long long id = AddReceipt(*db_, *settings_, invoice_, entry);
    EXPECT_EQ(Rest(), D("110"));  // a negative compensation raises REST
    const Receipt r = ReadReceipt(*db_, id).value();
    EXPECT_EQ(r.docJus, "COMPENSARE");
    EXPECT_EQ(r.series, "");
    EXPECT_EQ(r.number, 4);
    EXPECT_EQ(r.text, "compensarecu furnizorul");
    EXPECT_EQ(Counter("CHITNR"), "5");

    DeleteReceipt(*db_, *settings_, id);
    EXPECT_EQ(Rest(), D("100"));
    EXPECT_EQ(Counter("CHITNR"), "5");  // not a cash receipt: no number given back

    entry.mode = ReceiptMode::FiscalReceipt;
    entry.fiscalNumber = D("45");
    entry.sum = D("30");
    ASSERT_FALSE(entry.check());
    const Receipt bon = ReadReceipt(*db_, AddReceipt(*db_, *settings_, invoice_, entry)).value();
    EXPECT_EQ(bon.docJus, "BON FISCAL");
    EXPECT_EQ(bon.number, 45);
    EXPECT_EQ(Counter("NRBON"), "46");
    EXPECT_EQ(Counter("CHITNR"), "5");
}

TEST_F(ReceiptsTest, VatIncludedForPayerOnly) {
    // 40 x 19 / 119 = 6.386..., 60 x 19 / 119 = 9.579...
    EXPECT_EQ(ReadReceipt(*db_, Add("40")).value().vatIncluded, D("6.39"));
    EXPECT_EQ(ReceiptVat(D("-60"), 19, true), D("-9.58"));
    settings_->writeSetting("SETARI", "CodFisc", "1234567");
    const Receipt r = ReadReceipt(*db_, Add("60")).value();
    EXPECT_EQ(r.sum, D("60"));
    EXPECT_EQ(r.vatIncluded, Decimal(0));
}

// --- Failures: all or nothing ----------------------------------------------------------

TEST_F(ReceiptsTest, FailingAddLeavesEveryFileAsItWas) {
    Add("40");
    settings_->setIndex("CHITNR", "x7");  // broken after IDCHIT and REST have moved
    const auto files = Files();
    ReceiptEntry entry = Opened(invoice_);
    ASSERT_FALSE(entry.check());
    try {
        AddReceipt(*db_, *settings_, invoice_, entry);
        ADD_FAILURE() << "a receipt was added with a broken CHITNR";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("CHITNR"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Files(), files);
    EXPECT_THROW(AddReceipt(*db_, *settings_, 999, entry), tables::EngineError);
    EXPECT_EQ(Files(), files);
    const long long bon = Post(kFiscalReceiptDocument, 31);
    const auto withBon = Files();
    EXPECT_THROW(AddReceipt(*db_, *settings_, bon, entry), tables::EngineError);
    EXPECT_THROW(DeleteReceipt(*db_, *settings_, ReceiptsOf(*db_, bon).at(0).idChit),
                 tables::EngineError);
    EXPECT_THROW(DeleteReceipt(*db_, *settings_, 999), tables::EngineError);
    EXPECT_EQ(Files(), withBon);
}

}  // namespace
}  // namespace tvx::core
