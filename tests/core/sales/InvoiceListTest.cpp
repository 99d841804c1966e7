// Tests of the outgoing document list: deleting a document (stock and movements given back,
// the newest number returned, a movement removed earlier not given back twice, the cashier's
// refusal, all or nothing on failure), the row filters applied to real result sets, the
// sort orders and the location choice.
#include <fstream>
#include <iterator>

#include "../stock/StockTestSupport.h"
#include "core/admin/Locations.h"
#include "core/admin/Users.h"
#include "core/sales/InvoiceList.h"
#include "core/sales/InvoicePosting.h"
#include "core/sales/Receipts.h"
#include "core/stock/StockCards.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

class InvoiceListTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        settings_->writeSetting("SETARI", "DENUMIRE", "TARVIX SRL");
        settings_->setIndex("FACTNR", "7");
        filter_ = Lot("Filtru", D("10"));
        bulb_ = Lot("Bec", D("5"));
    }

    long long Lot(const char* product, const Decimal& stock) {
        const long long id =
            FindOrCreateLot(*db_, *settings_, "MAGAZIN", "PIESE", product, "buc", D("1"), D("2"));
        Movement in = EntryMovement(stock, stock * D("2"));
        in.idFisa = std::stoll(settings_->nextIndex("IDFISA"));
        PostEntry(*db_, id, in);
        return id;
    }

    // A document of two goods lines (2 filters, 1 bulb) and one service line.
    InvoiceDocument Doc(long long number, const char* buyer = "CLIENT SA",
                        const char* location = "MAGAZIN") {
        InvoiceDocument doc;
        doc.series = "TVX";
        doc.number = number;
        doc.date = Day(3, 2, 2026);
        doc.vatRate = D("19");
        doc.buyerName = buyer;
        doc.buyerCui = "RO555";
        doc.location = location;
        doc.lines.push_back(
            {filter_, 1, "Filtru", "buc", D("2"), D("2"), D("4"), D("0.76"), "", {}, 0});
        doc.lines.push_back({bulb_, 2, "Bec", "buc", D("1"), D("2"), D("2"), D("0.38"), "", {}, 0});
        doc.lines.push_back(
            {-1, 3, "Manopera", "ora", D("1"), D("50"), D("50"), D("9.5"), "", {}, 4});
        doc.netTotal = D("56");
        doc.vatTotal = D("10.64");
        doc.total = D("66.64");
        return doc;
    }

    void AddReceipt(long long idFacto, long long idChit, const char* docJus = "CHITANTA",
                    const char* series = "", long long number = 0) {
        db_->execute(
            "INSERT INTO ChitOut (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, SUMA) VALUES (:c, :id, :d,"
            " :s, :nr, 10)",
            {{"c", idChit}, {"id", idFacto}, {"d", docJus}, {"s", series}, {"nr", number}});
    }

    // Every file of the data directory but the engine's own, byte for byte (the settings
    // file included).
    std::map<std::string, std::string> Files() { return testsupport::DataFiles(data_); }

    // The NR values the document grid shows through `filter`, in its order.
    std::vector<long long> Listed(const std::string& filter, const std::string& sort = {}) {
        tables::ResultSet rows = db_->query(InvoiceListQuery(*db_, sort));
        rows.setFilter(filter);
        std::vector<long long> out;
        for (rows.first(); !rows.eof(); rows.next())
            out.push_back(rows.asNumber("NR").toLongLong());
        return out;
    }

    long long filter_ = 0, bulb_ = 0;
};

// --- Deleting ----------------------------------------------------------------------------

TEST_F(InvoiceListTest, DeleteGivesStockBackAndRemovesLinesMovementsReceipts) {
    const long long keep = SaveNewInvoice(*db_, *settings_, Doc(7));
    const long long gone = SaveNewInvoice(*db_, *settings_, Doc(8));
    AddReceipt(keep, 50);
    AddReceipt(gone, 51, "BON FISCAL");  // a fiscal receipt goes with its document
    EXPECT_EQ(CardOf(filter_).stock, D("6"));
    EXPECT_EQ(CardOf(bulb_).count, D("3"));

    EXPECT_FALSE(DeleteInvoice(*db_, *settings_, gone, kGradeAdmin));
    EXPECT_EQ(CardOf(filter_).stock, D("8"));
    EXPECT_EQ(CardOf(filter_).count, D("2"));
    EXPECT_EQ(CardOf(bulb_).stock, D("4"));
    EXPECT_EQ(CardOf(bulb_).count, D("2"));
    EXPECT_EQ(Count("FactOut", "IDFACTO=:id", {{"id", gone}}), 0);
    EXPECT_EQ(Count("ProdOut", "IDFACTO=:id", {{"id", gone}}), 0);
    EXPECT_EQ(Count("ChitOut", "IDFACTO=:id", {{"id", gone}}), 0);
    EXPECT_EQ(Count("Fise", "NRDOC=8"), 0);
    // The other document is untouched.
    EXPECT_EQ(Count("ProdOut", "IDFACTO=:id", {{"id", keep}}), 3);
    EXPECT_EQ(Count("ChitOut", "IDFACTO=:id", {{"id", keep}}), 1);
    EXPECT_EQ(Count("Fise", "NRDOC=7"), 2);
    ExpectInvariants();
    EXPECT_THROW(DeleteInvoice(*db_, *settings_, gone, kGradeAdmin), tables::EngineError);
}

TEST_F(InvoiceListTest, ReturnLineIsTakenBackOffTheCard) {
    InvoiceDocument doc = Doc(7);
    doc.lines[0].quantity = D("-3");  // goods brought back raised the stock
    doc.lines[0].value = D("-6");
    doc.lines[0].vat = D("-1.14");
    const long long id = SaveNewInvoice(*db_, *settings_, doc);
    EXPECT_EQ(CardOf(filter_).stock, D("13"));
    DeleteInvoice(*db_, *settings_, id, kGradeAdmin);
    EXPECT_EQ(CardOf(filter_).stock, D("10"));
    ExpectInvariants();
}

TEST_F(InvoiceListTest, OnlyTheNewestNumberIsGivenBackWhateverTheSeries) {
    const long long first = SaveNewInvoice(*db_, *settings_, Doc(7));
    const long long second = SaveNewInvoice(*db_, *settings_, Doc(8));
    ASSERT_EQ(Counter("FACTNR"), "9");
    DeleteInvoice(*db_, *settings_, first, kGradeAdmin);  // an older number
    EXPECT_EQ(Counter("FACTNR"), "9");
    DeleteInvoice(*db_, *settings_, second, kGradeAdmin);
    EXPECT_EQ(Counter("FACTNR"), "8");

    InvoiceDocument doc = Doc(7);
    doc.series = "ALTA";
    const long long other = SaveNewInvoice(*db_, *settings_, doc);  // a typed, older number
    EXPECT_EQ(Counter("FACTNR"), "8");
    DeleteInvoice(*db_, *settings_, other, kGradeAdmin);
    EXPECT_EQ(Counter("FACTNR"), "7");
}

TEST_F(InvoiceListTest, DeletingAFiscalReceiptLeavesTheInvoiceCounter) {
    SaveNewInvoice(*db_, *settings_, Doc(7));
    InvoiceDocument receipt = Doc(7);
    receipt.docType = kFiscalReceiptDocument;
    receipt.series.clear();
    const long long fiscal = SaveNewInvoice(*db_, *settings_, receipt);  // NR 7 from NRBON
    ASSERT_EQ(Counter("FACTNR"), "8");
    DeleteInvoice(*db_, *settings_, fiscal, kGradeAdmin);
    EXPECT_EQ(Counter("FACTNR"), "8");  // invoice 7 is still stored
}

TEST_F(InvoiceListTest, MovementRemovedOnTheCardIsNotGivenBackTwice) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7));
    tables::ResultSet line = Query("SELECT IDFISA FROM ProdOut WHERE IDCAP=:c", {{"c", filter_}});
    RemoveMovement(*db_, line.asNumber("IDFISA").toLongLong());  // deleted on the product card
    ASSERT_EQ(CardOf(filter_).stock, D("10"));

    DeleteInvoice(*db_, *settings_, id, kGradeAdmin);
    EXPECT_EQ(CardOf(filter_).stock, D("10"));
    EXPECT_EQ(CardOf(filter_).count, D("1"));
    EXPECT_EQ(CardOf(bulb_).stock, D("5"));
    ExpectInvariants();
}

TEST_F(InvoiceListTest, CashierMayNotDeleteAPrintedDocument) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7));
    EXPECT_FALSE(DeleteRefusal(*db_, id, kGradeCasier));
    db_->execute("UPDATE FactOut SET LISTARI=1 WHERE IDFACTO=:id", {{"id", id}});
    const auto files = Files();
    const auto refusal = DeleteInvoice(*db_, *settings_, id, kGradeCasier);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->title, "Stergere Factura");
    EXPECT_EQ(refusal->text, "Nu aveti dreptul sa stergeti Factura!");
    EXPECT_EQ(refusal->kind, MessageKind::Error);
    EXPECT_EQ(Files(), files);
    EXPECT_FALSE(DeleteInvoice(*db_, *settings_, id, kGradeContabil));
    EXPECT_EQ(Count("FactOut"), 0);
}

TEST_F(InvoiceListTest, DocumentWithReceiptsIsKeptUntilTheyAreDeleted) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7));
    AddReceipt(id, 50, "CHITANTA", "CH", 5);
    AddReceipt(id, 51, "CEC", "", 12);
    const auto before = Files();
    const auto refusal = DeleteInvoice(*db_, *settings_, id, kGradeAdmin);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text,
              "Factura are incasari: CHITANTA CH nr.5, CEC nr.12.\nStergeti mai intai incasarile!");
    EXPECT_EQ(Files(), before);
    DeleteReceipt(*db_, *settings_, 50);
    DeleteReceipt(*db_, *settings_, 51);
    EXPECT_FALSE(DeleteInvoice(*db_, *settings_, id, kGradeAdmin));
    EXPECT_EQ(Count("FactOut", "IDFACTO=:id", {{"id", id}}), 0);
}

TEST_F(InvoiceListTest, NewDocumentNeedsAChosenLocation) {
    for (const char* none : {"", "  ", kAnyChoice}) {
        const auto refusal = NewInvoiceRefusal(none);
        ASSERT_TRUE(refusal) << "'" << none << "'";
        EXPECT_EQ(refusal->field, "GesBox");
        EXPECT_EQ(refusal->message, "Alegeti mai intai o gestiune!");
    }
    EXPECT_FALSE(NewInvoiceRefusal("MAGAZIN"));
}

TEST_F(InvoiceListTest, CountPrintoutAddsOneToThatDocumentOnly) {
    const long long first = SaveNewInvoice(*db_, *settings_, Doc(7));
    const long long second = SaveNewInvoice(*db_, *settings_, Doc(8));
    CountPrintout(*db_, first);
    CountPrintout(*db_, first);
    const auto printed = [&](long long id) {
        return db_->query("SELECT LISTARI FROM FactOut WHERE IDFACTO=:id", {{"id", id}})
            .asNumber("LISTARI");
    };
    EXPECT_EQ(printed(first), D("2"));
    EXPECT_EQ(printed(second), D("0"));
    EXPECT_THROW(CountPrintout(*db_, second + 100), tables::EngineError);
    EXPECT_EQ(printed(first), D("2"));
}

TEST_F(InvoiceListTest, QuestionNamesSeriesAndNumber) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(7));
    const Message q = DeleteQuestion(*db_, id);
    EXPECT_EQ(q.title, "Stergere Factura");
    EXPECT_EQ(q.text, "Sunteti sigur ca vreti sa stergeti Factura TVX 7 ?");
    EXPECT_EQ(q.kind, MessageKind::Warning);
    EXPECT_THROW(DeleteQuestion(*db_, id + 1), tables::EngineError);
}

TEST_F(InvoiceListTest, FailingDeleteLeavesEveryFileAsItWas) {
    const long long id = SaveNewInvoice(*db_, *settings_, Doc(8));
    AddReceipt(id, 50, "BON FISCAL");
    ASSERT_EQ(Counter("FACTNR"), "7");
    settings_->setIndex("FACTNR", "9");  // 8 is the newest number: it would come back
    // The second line's card has vanished: its movement cannot be undone.
    db_->execute("DELETE FROM CapFise WHERE IDCAP=:c", {{"c", bulb_}});
    const auto files = Files();
    try {
        DeleteInvoice(*db_, *settings_, id, kGradeAdmin);
        ADD_FAILURE() << "a movement on a missing card was undone";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("CapFise"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Files(), files);
    EXPECT_EQ(Counter("FACTNR"), "9");
    EXPECT_EQ(CardOf(filter_).stock, D("8"));
}

// --- Filters and order -------------------------------------------------------------------

TEST_F(InvoiceListTest, UnpaidOnlyShowsDocumentsWithRest) {
    SaveNewInvoice(*db_, *settings_, Doc(7));
    SaveNewInvoice(*db_, *settings_, Doc(8));
    InvoiceDocument receipt = Doc(30);
    receipt.docType = kFiscalReceiptDocument;  // paid at once: REST 0
    SaveNewInvoice(*db_, *settings_, receipt);
    db_->execute("UPDATE FactOut SET REST=0 WHERE NR=8");

    InvoiceListFilter f;
    f.unpaidOnly = true;
    EXPECT_EQ(InvoiceListFilterText(f), "(REST>0)");
    EXPECT_EQ(Listed(InvoiceListFilterText(f)), (std::vector<long long>{7}));
    f.unpaidOnly = false;
    EXPECT_EQ(InvoiceListFilterText(f), "");
    EXPECT_EQ(Listed(InvoiceListFilterText(f)).size(), 3u);
}

TEST_F(InvoiceListTest, FiltersCombineToTheIntersection) {
    SaveNewInvoice(*db_, *settings_, Doc(7, "ALFA SRL", "MAGAZIN"));
    SaveNewInvoice(*db_, *settings_, Doc(8, "ALFA SRL", "DEPOZIT"));
    SaveNewInvoice(*db_, *settings_, Doc(9, "BETA SA", "MAGAZIN"));
    db_->execute("UPDATE FactOut SET CUI2='RO999' WHERE NR=9");

    InvoiceListFilter f;
    f.location = "MAGAZIN";
    EXPECT_EQ(Listed(InvoiceListFilterText(f)), (std::vector<long long>{7, 9}));
    f.buyer = "ALFA SRL";
    EXPECT_EQ(Listed(InvoiceListFilterText(f)), (std::vector<long long>{7}));
    f = {kAnyChoice, kAnyChoice, true, " ro9"};
    EXPECT_EQ(InvoiceListFilterText(f), "(REST>0) AND (CUI2='ro9*')");
    f.cuiPrefix = "RO9";
    EXPECT_EQ(Listed(InvoiceListFilterText(f)), (std::vector<long long>{9}));
    f.location = "DEPOZIT";
    EXPECT_TRUE(Listed(InvoiceListFilterText(f)).empty());
    f.buyer = "O'NEIL";  // a quote never breaks the filter
    EXPECT_NO_THROW(Listed(InvoiceListFilterText(f)));
}

TEST_F(InvoiceListTest, ChosenNamesSelectExactlyTheirRowsWhateverTheyHold) {
    SaveNewInvoice(*db_, *settings_, Doc(7, "A*", "MAG*"));
    SaveNewInvoice(*db_, *settings_, Doc(8, "AB", "MAGAZIN"));
    SaveNewInvoice(*db_, *settings_, Doc(9, "X)(Y", "MAG*"));
    SaveNewInvoice(*db_, *settings_, Doc(10, "X", "MAG*"));
    const struct {
        const char* location;
        const char* buyer;
        std::vector<long long> listed;
    } cases[] = {{kAnyChoice, "A*", {7}}, {kAnyChoice, "X)(Y", {9}}, {"MAG*", "X", {10}}};
    for (const auto& c : cases) {
        InvoiceListFilter f;
        f.location = c.location;
        f.buyer = c.buyer;
        EXPECT_EQ(Listed(InvoiceListFilterText(f)), c.listed) << c.location << " / " << c.buyer;
    }
}

TEST_F(InvoiceListTest, DefaultOrderAndColumnSort) {
    SaveNewInvoice(*db_, *settings_, Doc(9, "BETA", "MAGAZIN"));
    SaveNewInvoice(*db_, *settings_, Doc(7, "GAMA", "DEPOZIT"));
    SaveNewInvoice(*db_, *settings_, Doc(8, "ALFA", "MAGAZIN"));
    EXPECT_EQ(Listed(""), (std::vector<long long>{7, 9, 8}));  // location, date, IDFACTO
    EXPECT_EQ(Listed("", "NR"), (std::vector<long long>{7, 8, 9}));
    EXPECT_EQ(Listed("", "SOC2"), (std::vector<long long>{8, 9, 7}));
    EXPECT_THROW(InvoiceListQuery(*db_, "OBS; DROP"), tables::EngineError);
}

TEST_F(InvoiceListTest, ReceiptsFollowTheCurrentDocument) {
    const long long a = SaveNewInvoice(*db_, *settings_, Doc(7));
    const long long b = SaveNewInvoice(*db_, *settings_, Doc(8));
    AddReceipt(b, 60);
    AddReceipt(a, 61);
    AddReceipt(b, 62);
    tables::ResultSet rows = QueryDocumentReceipts(*db_, b);
    ASSERT_EQ(rows.rowCount(), 2u);
    EXPECT_EQ(rows.asNumber("IDCHIT"), Decimal(60));
    EXPECT_TRUE(QueryDocumentReceipts(*db_, std::nullopt).empty());
}

// --- Location choice ---------------------------------------------------------------------

TEST_F(InvoiceListTest, LocationChoicesAndSavedIndex) {
    EXPECT_EQ(LocationChoices(data_), (std::vector<std::string>{kAnyChoice}));
    WriteLocationsFile(data_ / kLocationsFileName, {"MAGAZIN", "DEPOZIT"});
    const auto choices = LocationChoices(data_);
    EXPECT_EQ(choices, (std::vector<std::string>{kAnyChoice, "DEPOZIT", "MAGAZIN"}));
    EXPECT_EQ(SavedLocationIndex(*settings_, choices.size()), 0);
    SaveLocationIndex(*settings_, 2);
    EXPECT_EQ(settings_->readSetting("VAR", "GESDEFAULT"), "2");
    EXPECT_EQ(SavedLocationIndex(*settings_, choices.size()), 2);
    EXPECT_EQ(SavedLocationIndex(*settings_, 2), 0);  // the list has shrunk
    settings_->writeSetting("VAR", "GESDEFAULT", "x");
    EXPECT_EQ(SavedLocationIndex(*settings_, choices.size()), 0);
}

// --- Buyer list and print fields ---------------------------------------------------------

TEST_F(InvoiceListTest, BuyerChoicesAreDistinctSortedAndNonBlank) {
    EXPECT_EQ(BuyerChoices(*db_), (std::vector<std::string>{kAnyChoice}));
    SaveNewInvoice(*db_, *settings_, Doc(7, "GAMA SRL"));
    SaveNewInvoice(*db_, *settings_, Doc(8, "ALFA SA"));
    SaveNewInvoice(*db_, *settings_, Doc(9, "GAMA SRL"));
    SaveNewInvoice(*db_, *settings_, Doc(10, ""));
    EXPECT_EQ(BuyerChoices(*db_), (std::vector<std::string>{kAnyChoice, "ALFA SA", "GAMA SRL"}));
}

TEST_F(InvoiceListTest, PrintChoicesComeFromSettingsAndTheStampFile) {
    InvoiceListPrintChoices read = ReadPrintChoices(*settings_, data_);
    EXPECT_EQ(read.copies, "1");
    EXPECT_FALSE(read.stampAvailable);
    settings_->writeSetting("SETARI", "CUSTAMP", "DA");
    settings_->writeSetting("VARFACT", "NRCOPII", "3");
    read = ReadPrintChoices(*settings_, data_);
    EXPECT_EQ(read.copies, "3");
    EXPECT_FALSE(read.stamp);  // wanted, but there is no picture
    std::ofstream(data_ / "Stamp.jpg") << "jpeg";
    read = ReadPrintChoices(*settings_, data_);
    EXPECT_TRUE(read.stampAvailable);
    EXPECT_TRUE(read.stamp);

    SavePrintChoices(*settings_, false, "2");
    EXPECT_EQ(settings_->readSetting("SETARI", "CUSTAMP"), "");
    read = ReadPrintChoices(*settings_, data_);
    EXPECT_EQ(read.copies, "2");
    EXPECT_TRUE(read.stampAvailable);
    EXPECT_FALSE(read.stamp);
    SavePrintChoices(*settings_, true, "");
    EXPECT_EQ(settings_->readSetting("SETARI", "CUSTAMP"), "DA");
    EXPECT_EQ(ReadPrintChoices(*settings_, data_).copies, "1");
}

}  // namespace
}  // namespace tvx::core
