// Tests of invoice posting: counters and numbers, the header with its supplier block, lines
// and sale movements on the stock cards, the receipt of a fiscal receipt, modification with
// its undo of the old lines and the cashier's refusal, and a failing line that leaves every
// table and the settings file as they were.
#include <fstream>
#include <iterator>

#include "../stock/StockTestSupport.h"
#include "core/admin/Users.h"
#include "core/sales/InvoicePosting.h"
#include "core/stock/StockCards.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

class InvoicePostingTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        settings_->writeSetting("SETARI", "DENUMIRE", "TARVIX SRL");
        settings_->writeSetting("SETARI", "CodFisc", "RO1234567");
        settings_->writeSetting("SETARI", "ADRESA", "Str. Mare 1 ");
        settings_->writeSetting("SETARI", "Localit", "Brasov");
        settings_->writeSetting("SETARI", "CAPSOC", "200");
        settings_->setIndex("FACTNR", "7");
        card_ = FindOrCreateLot(*db_, *settings_, "MAGAZIN", "PIESE", "Filtru", "buc", D("8"),
                                D("11.90"));
        Movement in = EntryMovement(D("10"), D("119"));
        in.idFisa = std::stoll(settings_->nextIndex("IDFISA"));
        PostEntry(*db_, card_, in);
    }

    InvoiceDocument Doc(long long number, const char* quantity = "2") {
        InvoiceDocument doc;
        doc.series = "TVX";
        doc.number = number;
        doc.date = Day(3, 2, 2026);
        doc.vatRate = D("19");
        doc.buyerName = "CLIENT SA";
        doc.dueDate = Day(5, 3, 2026);
        doc.location = "MAGAZIN";
        doc.iban = " ro19 nbor 0000 0000 0000 1234";
        const Decimal q = D(quantity);
        doc.lines.push_back({card_, 1, "Filtru", "buc", q, D("10"), q * D("10"), q * D("1.9"), "",
                             Day(3, 2, 2028), 0});
        doc.lines.push_back(
            {-1, 2, "Manopera", "ora", D("1"), D("50"), D("50"), D("9.5"), "", {}, 4});
        doc.netTotal = q * D("10") + D("50");
        doc.vatTotal = q * D("1.9") + D("9.5");
        doc.total = doc.netTotal + doc.vatTotal;
        return doc;
    }

    tables::ResultSet Header(long long id) {
        return Query("SELECT * FROM FactOut WHERE IDFACTO=:id", {{"id", id}});
    }
    std::vector<long long> MovementIds(long long id) {
        std::vector<long long> out;
        tables::ResultSet rows =
            Query("SELECT IDFISA FROM ProdOut WHERE IDFACTO=:id AND IDCAP>0", {{"id", id}});
        for (rows.first(); !rows.eof(); rows.next())
            out.push_back(rows.asNumber("IDFISA").toLongLong());
        return out;
    }
    // Every file of the data directory but the engine's own, byte for byte.
    std::map<std::string, std::string> Files() { return testsupport::DataFiles(data_); }

    long long card_ = 0;
};

// --- New documents ---------------------------------------------------------------------

TEST_F(InvoicePostingTest, KeptNumberAdvancesFactnrTypedNumberLeavesIt) {
    EXPECT_EQ(SaveNewInvoice(*db_, *settings_, Doc(7)), 1);
    EXPECT_EQ(Counter("FACTNR"), "8");
    EXPECT_EQ(SaveNewInvoice(*db_, *settings_, Doc(20)), 2);  // a typed number
    EXPECT_EQ(Counter("FACTNR"), "8");
}

TEST_F(InvoicePostingTest, WritesHeaderLinesAndSaleMovement) {
    InvoiceDocument doc = Doc(7);
    doc.vatRate = D("9.5");
    const long long id = SaveNewInvoice(*db_, *settings_, doc);
    tables::ResultSet h = Header(id);
    ASSERT_EQ(h.rowCount(), 1u);
    EXPECT_EQ(h.asNumber("TVAPROC"), Decimal(9));
    EXPECT_EQ(settings_->readVatRate(), 9);
    EXPECT_EQ(h.asText("SOC"), "TARVIX SRL");
    EXPECT_EQ(h.asText("ADRESA"), "Brasov Str. Mare 1");
    EXPECT_EQ(h.asNumber("CAPITAL"), Decimal(200));
    EXPECT_EQ(h.asText("CONT"), "RO19NBOR0000000000001234");
    EXPECT_EQ(h.asText("BANCA"), "BANCA NATIONALA A ROMANIEI (BNR)");
    EXPECT_EQ(h.asNumber("REST"), D("83.30"));
    EXPECT_EQ(h.asDate("DATASCAD"), Day(5, 3, 2026));

    tables::ResultSet lines = Query("SELECT * FROM ProdOut ORDER BY NRCRT");
    ASSERT_EQ(lines.rowCount(), 2u);
    EXPECT_EQ(lines.asDate("GARANTIE"), Day(3, 2, 2028));
    lines.next();
    EXPECT_EQ(lines.asNumber("IDFISA"), Decimal(-1));
    EXPECT_FALSE(lines.asDate("GARANTIE"));
    tables::ResultSet m = Query("SELECT * FROM Fise WHERE TIP='VANZARE'");
    ASSERT_EQ(m.rowCount(), 1u);
    EXPECT_EQ(m.asNumber("IDFISA").toLongLong(), MovementIds(id).at(0));
    EXPECT_EQ(m.asText("DOCJUS"), "FACTURA TVX");
    EXPECT_EQ(m.asNumber("NRDOC"), Decimal(7));
    EXPECT_EQ(m.asNumber("CANTOUT"), D("2"));
    EXPECT_EQ(m.asNumber("VALOUT"), D("23.80"));
    EXPECT_EQ(CardOf(card_).stock, D("8"));
    ExpectInvariants();
}

TEST_F(InvoicePostingTest, NegativeQuantityIsAReturnThatRaisesStock) {
    SaveNewInvoice(*db_, *settings_, Doc(7, "-3"));
    tables::ResultSet m = Query("SELECT * FROM Fise WHERE TIP='VANZARE'");
    ASSERT_EQ(m.rowCount(), 1u);
    EXPECT_EQ(m.asNumber("CANTIN"), D("3"));
    EXPECT_EQ(m.asNumber("VALIN"), D("35.70"));
    EXPECT_TRUE(m.asNumber("CANTOUT").isZero());
    EXPECT_EQ(CardOf(card_).stock, D("13"));
    ExpectInvariants();
}

TEST_F(InvoicePostingTest, FiscalReceiptIsPaidByItsReceipt) {
    InvoiceDocument doc = Doc(41);
    doc.docType = kFiscalReceiptDocument;
    const long long id = SaveNewInvoice(*db_, *settings_, doc);
    EXPECT_EQ(Header(id).asText("SERIA"), "BON F.");
    EXPECT_TRUE(Header(id).asNumber("REST").isZero());
    EXPECT_EQ(Counter("NRBON"), "42");
    EXPECT_EQ(Counter("FACTNR"), "7");
    EXPECT_EQ(Count("Fise", "DOCJUS='FACTURA BON F.'"), 1);
    settings_->writeSetting("SETARI", "CodFisc", "1234567");  // no longer a VAT payer
    SaveNewInvoice(*db_, *settings_, doc);
    tables::ResultSet r = Query("SELECT * FROM ChitOut ORDER BY IDCHIT");
    ASSERT_EQ(r.rowCount(), 2u);
    EXPECT_EQ(r.asNumber("IDFACTO").toLongLong(), id);
    EXPECT_EQ(r.asText("DOCJUS"), "BON FISCAL");
    EXPECT_EQ(r.asNumber("SUMA"), D("83.30"));
    EXPECT_EQ(r.asNumber("INCLTVA"), D("13.30"));  // 83.30 x 19 / 119
    r.next();
    EXPECT_EQ(r.asNumber("SUMA"), D("83.30"));
    EXPECT_TRUE(r.asNumber("INCLTVA").isZero());
}

TEST_F(InvoicePostingTest, PostingTellsItsStepsLineByLine) {
    std::vector<std::string> steps;
    const PostingProgress record = [&](const std::string& text, int done, int total) {
        steps.push_back(text + " " + std::to_string(done) + "/" + std::to_string(total));
    };
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7), record);
    EXPECT_EQ(steps, (std::vector<std::string>{"Rearanjez magazia... 0/2", "Operez Filtru... 0/2",
                                               "Operez Manopera... 1/2"}));
    steps.clear();
    InvoiceDocument changed = Doc(7);
    changed.lines.pop_back();
    EXPECT_FALSE(SaveModifiedInvoice(*db_, *settings_, id, changed, kGradeAdmin, record));
    EXPECT_EQ(steps,
              (std::vector<std::string>{"Recalculare... 0/1", "Introduc produsele noi... 0/1",
                                        "Operez Filtru... 0/1"}));
}

// --- Modification ----------------------------------------------------------------------

TEST_F(InvoicePostingTest, ModifyKeepsReceiptsAndSetsRestToTotalMinusPaid) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7));
    db_->execute(
        "INSERT INTO ChitOut (IDCHIT, IDFACTO, DOCJUS, SUMA) VALUES (9, :id, "
        "'CHITANTA', 30)",
        {{"id", id}});
    db_->execute(
        "INSERT INTO ChitOut (IDCHIT, IDFACTO, DOCJUS, SUMA) VALUES (10, :id, "
        "'CEC', 3.30)",
        {{"id", id}});
    EXPECT_EQ(PaidAmount(*db_, id), D("33.30"));
    EXPECT_FALSE(SaveModifiedInvoice(*db_, *settings_, id, Doc(7, "4"), kGradeAdmin));
    tables::ResultSet h = Header(id);
    EXPECT_EQ(h.asNumber("TOTAL"), D("107.10"));
    EXPECT_EQ(h.asNumber("REST"), D("73.80"));
    EXPECT_EQ(Count("ChitOut", "IDFACTO=:id", {{"id", id}}), 2);
    EXPECT_EQ(CardOf(card_).stock, D("6"));
    ExpectInvariants();
}

TEST_F(InvoicePostingTest, ModifyWithSameLinesKeepsStockAndRenewsMovements) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7));
    const std::vector<long long> before = MovementIds(id);
    const stocktest::Card card = CardOf(card_);
    EXPECT_FALSE(SaveModifiedInvoice(*db_, *settings_, id, Doc(7), kGradeCasier));
    const std::vector<long long> after = MovementIds(id);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(after[0], before.at(0));
    EXPECT_EQ(Count("Fise", "IDFISA=:f", {{"f", before[0]}}), 0);
    EXPECT_EQ(CardOf(card_).stock, card.stock);
    EXPECT_EQ(CardOf(card_).count, card.count);
    ExpectInvariants();
}

TEST_F(InvoicePostingTest, ModifyCopiesCurrentProfileAndKeepsSeriesNumberPrints) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7));
    db_->execute("UPDATE FactOut SET LISTARI=2 WHERE IDFACTO=:id", {{"id", id}});
    settings_->writeSetting("SETARI", "DENUMIRE", "TARVIX NOU SRL");
    settings_->writeSetting("SETARI", "CAPSOC", "500");
    InvoiceDocument doc = Doc(99);
    doc.series = "ALTA";
    doc.buyerName = "ALT CLIENT";
    doc.location = "";
    EXPECT_FALSE(SaveModifiedInvoice(*db_, *settings_, id, doc, kGradeContabil));
    tables::ResultSet h = Header(id);
    EXPECT_EQ(h.asText("SOC"), "TARVIX NOU SRL");
    EXPECT_EQ(h.asNumber("CAPITAL"), Decimal(500));
    EXPECT_EQ(h.asText("GESTIUNE"), "");
    EXPECT_EQ(h.asText("SERIA"), "TVX");
    EXPECT_EQ(h.asNumber("NR"), Decimal(7));
    EXPECT_EQ(h.asNumber("LISTARI"), Decimal(2));
    EXPECT_EQ(Count("Fise", "DOCJUS='FACTURA TVX' AND NRDOC=7"), 1);
}

TEST_F(InvoicePostingTest, ModifiedFiscalReceiptUpdatesItsSingleReceipt) {
    InvoiceDocument doc = Doc(41);
    doc.docType = kFiscalReceiptDocument;
    const long long id = SaveNewInvoice(*db_, *settings_, doc);
    InvoiceDocument changed = Doc(41, "4");
    changed.vatRate = D("9.5");
    SaveModifiedInvoice(*db_, *settings_, id, changed, kGradeAdmin);
    tables::ResultSet r = Query("SELECT * FROM ChitOut");
    ASSERT_EQ(r.rowCount(), 1u);
    EXPECT_EQ(r.asNumber("SUMA"), D("107.10"));
    EXPECT_EQ(r.asNumber("INCLTVA"), D("9.29"));  // 107.10 x 9.5 / 109.5
    EXPECT_TRUE(Header(id).asNumber("REST").isZero());
}

TEST_F(InvoicePostingTest, CashierIsRefusedOnlyForPrintedInvoice) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7));
    EXPECT_FALSE(ModifyRefusal(*db_, id, kGradeCasier));
    db_->execute("UPDATE FactOut SET LISTARI=1 WHERE IDFACTO=:id", {{"id", id}});
    InvoiceDocument doc = Doc(7, "5");
    doc.buyerName = "ALT CLIENT";
    const auto files = Files();
    const auto refusal = SaveModifiedInvoice(*db_, *settings_, id, doc, kGradeCasier);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->title, "Modificare Factura");
    EXPECT_EQ(refusal->text, "Nu aveti dreptul sa mai modificati Factura!");
    EXPECT_EQ(refusal->kind, MessageKind::Error);
    EXPECT_EQ(Files(), files);
    EXPECT_FALSE(SaveModifiedInvoice(*db_, *settings_, id, doc, kGradeAdmin));
    EXPECT_EQ(Header(id).asText("SOC2"), "ALT CLIENT");
    EXPECT_THROW(ModifyRefusal(*db_, 77, kGradeCasier), tables::EngineError);
}

// --- Failure: all or nothing -----------------------------------------------------------

TEST_F(InvoicePostingTest, FailingLineLeavesEverythingAsItWas) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7));
    const auto files = Files();
    InvoiceDocument doc = Doc(8);  // the proposed number: FACTNR would advance
    doc.lines.push_back({999, 3, "Fantoma", "buc", D("1"), D("1"), D("1"), D("0.19"), "", {}, 0});
    try {
        SaveNewInvoice(*db_, *settings_, doc);
        ADD_FAILURE() << "a line on a missing card was posted";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("Produsul Fantoma nu a fost operat! Stock card 999"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(Files(), files);
    doc = Doc(7, "1");
    doc.lines[0].idCap = 999;
    EXPECT_THROW(SaveModifiedInvoice(*db_, *settings_, id, doc, kGradeAdmin), tables::EngineError);
    EXPECT_EQ(Files(), files);
}

}  // namespace
}  // namespace tvx::core
