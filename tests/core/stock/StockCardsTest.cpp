// Stock cards: one card per lot key, the movement splits of each document kind, removal and
// purge of cards, transfers between locations, and the operations joining the caller's
// transaction.
#include "StockTestSupport.h"
#include "core/stock/StockCards.h"
#include "tables/EngineError.h"

namespace tvx::core::stocktest {
namespace {

class StockCardsTest : public StockTest {
  protected:
    long long Lot(const std::string& product, const char* entry, const char* sale,
                  const std::string& location = "MAGAZIN", const std::string& category = "MARFA") {
        return FindOrCreateLot(*db_, *settings_, location, category, product, "BUC", D(entry),
                               D(sale));
    }
    long long NextFisa() { return std::stoll(settings_->nextIndex("IDFISA")); }
    void Receive(long long card, const char* quantity, const char* value,
                 const std::string& barCode = {}) {
        Movement m = NirEntryMovement(D(quantity), D(value), D("100"));
        m.idFisa = NextFisa();
        m.nrDoc = 7;
        m.dinData = Day(3, 4, 2024);
        PostEntry(*db_, card, m, barCode);
    }
};

TEST_F(StockCardsTest, SameLotKeyIsOneCardAndAnotherSalePriceASecond) {
    const long long a = Lot("SURUB M6", "11.90", "14.88");
    Receive(a, "3", "44.64");
    const long long b = Lot("SURUB M6", "11.9", "14.880");
    Receive(b, "2.5", "37.20");
    EXPECT_EQ(a, b);
    const long long c = Lot("SURUB M6", "11.90", "15.00");
    EXPECT_NE(c, a);
    const Card card = CardOf(a);
    EXPECT_EQ(card.stock, D("5.5"));
    EXPECT_EQ(card.count, Decimal(2));
    EXPECT_EQ(CardOf(c).count, Decimal(0));
    EXPECT_EQ(Counter("IDCAP"), "3");
    ExpectInvariants();
}

TEST_F(StockCardsTest, LocationAndUnitArePartOfTheKeyButCategoryIsNot) {
    const long long a = Lot("CUTIE", "1.00", "2.00", "MAGAZIN", "AMBALAJ");
    EXPECT_EQ(Lot("CUTIE", "1.00", "2.00", "MAGAZIN", "MARFA"), a);
    EXPECT_EQ(CardOf(a).category, "AMBALAJ");
    EXPECT_NE(Lot("CUTIE", "1.00", "2.00", "DEPOZIT"), a);
    EXPECT_NE(FindOrCreateLot(*db_, *settings_, "MAGAZIN", "MARFA", "CUTIE", "KG", D("1"), D("2")),
              a);
    EXPECT_EQ(Cards().size(), 3u);
}

TEST_F(StockCardsTest, PricesWithMoreDecimalsFindTheCardTheyCreated) {
    // The card keeps two decimals; the lookup must compare what the card holds.
    const long long a = Lot("FIR", "1.2345", "2.0050");
    EXPECT_EQ(Lot("FIR", "1.2345", "2.0050"), a);
    EXPECT_EQ(Lot("FIR", "1.23", "2.01"), a);
    EXPECT_EQ(CardOf(a).entryPrice, D("1.23"));
    EXPECT_EQ(CardOf(a).salePrice, D("2.01"));
}

TEST_F(StockCardsTest, ServicesAndDiscountsHaveNoCard) {
    EXPECT_EQ(Lot("MANOPERA", "10", "12", "MAGAZIN", "SERVICII"), -1);
    EXPECT_EQ(Lot("REDUCERE", "-5", "0", "MAGAZIN", "DISCOUNT"), -1);
    EXPECT_TRUE(Cards().empty());
    EXPECT_EQ(Counter("IDCAP"), "1");
}

TEST_F(StockCardsTest, NirReturnIsAnOutgoingQuantityOnAnEntry) {
    const Movement in = NirEntryMovement(D("4"), D("20"), D("35.70"));
    EXPECT_EQ(in.tip, "INTRARE");
    EXPECT_EQ(in.docJus, "N.I.R.");
    EXPECT_EQ(in.cantIn, D("4"));
    EXPECT_TRUE(in.cantOut.isZero());
    EXPECT_EQ(in.valIn, D("20"));
    EXPECT_TRUE(in.valOut.isZero());
    const Movement back = NirEntryMovement(D("-2"), D("-29.76"), D("-23.80"));
    EXPECT_TRUE(back.cantIn.isZero());
    EXPECT_EQ(back.cantOut, D("2"));
    EXPECT_TRUE(back.valIn.isZero());
    EXPECT_EQ(back.valOut, D("29.76"));

    const long long card = Lot("LAMPA", "10", "20");
    Receive(card, "5", "100");
    Movement m = back;
    m.idFisa = NextFisa();
    PostEntry(*db_, card, m);
    EXPECT_EQ(CardOf(card).stock, D("3"));
    tables::ResultSet row = Query("SELECT * FROM Fise WHERE IDFISA=:id", {{"id", m.idFisa}});
    EXPECT_EQ(row.asText("TIP"), "INTRARE");
    EXPECT_EQ(row.asNumber("CANTOUT"), D("2"));
    EXPECT_EQ(row.asNumber("VALOUT"), D("29.76"));
    ExpectInvariants();
}

TEST_F(StockCardsTest, SalesAndExitsSplitBySign) {
    const long long card = Lot("BEC", "1", "3");
    Receive(card, "10", "30");
    Movement sale = SaleMovement(D("4"), D("12"));
    sale.docJus = "FACTURA TVX";
    sale.idFisa = NextFisa();
    PostExit(*db_, card, sale);
    Movement returned = SaleMovement(D("-1"), D("-3"));
    returned.idFisa = NextFisa();
    PostExit(*db_, card, returned);
    EXPECT_EQ(returned.cantIn, D("1"));
    EXPECT_EQ(returned.valIn, D("3"));
    Movement exit = ExitMovement(D("2"), D("6"));
    exit.idFisa = NextFisa();
    PostExit(*db_, card, exit);
    EXPECT_EQ(exit.tip, "IESIRE");
    EXPECT_EQ(CardOf(card).stock, D("5"));
    EXPECT_EQ(CardOf(card).count, Decimal(4));
    EXPECT_EQ(Count("Fise", "TIP='VANZARE' AND CANTIN=1 AND VALIN=3"), 1);
    ExpectInvariants();
}

TEST_F(StockCardsTest, BarCodeIsReplacedOnlyByANonBlankOne) {
    const long long card = Lot("CABLU", "2", "3");
    Receive(card, "1", "3", "5940001");
    Receive(card, "1", "3", "   ");
    EXPECT_EQ(CardOf(card).barCode, "5940001");
    Receive(card, "1", "3", "5940002");
    EXPECT_EQ(CardOf(card).barCode, "5940002");
}

TEST_F(StockCardsTest, LastMovementRemovedThenPurgedThenANewCard) {
    const long long card = Lot("PRIZA", "5", "8");
    Receive(card, "4", "32");
    const long long keep = Lot("STECHER", "5", "8");
    Receive(keep, "1", "8");
    RemoveMovement(*db_, 1);
    EXPECT_EQ(CardOf(card).count, Decimal(0));
    EXPECT_EQ(CardOf(card).stock, Decimal(0));
    RemoveMovement(*db_, 99);  // unknown: nothing
    ExpectInvariants();
    PurgeUnusedLots(*db_);
    EXPECT_EQ(Cards().count(card), 0u);
    EXPECT_EQ(Cards().count(keep), 1u);
    const long long again = Lot("PRIZA", "5", "8");
    EXPECT_NE(again, card);
    EXPECT_GT(again, keep);
}

TEST_F(StockCardsTest, PurgeDeletesUnusedCardsWhateverTheirStock) {
    const long long card = Lot("PRIZA", "5", "8");
    db_->execute("UPDATE CapFise SET STOC=3 WHERE IDCAP=:id", {{"id", card}});
    PurgeUnusedLots(*db_);
    EXPECT_TRUE(Cards().empty());
}

TEST_F(StockCardsTest, TransferCreatesTheDestinationLotWithTheSourcePrices) {
    const long long source = Lot("VOPSEA", "20.00", "25.50", "MAGAZIN", "CONSUMABIL");
    Receive(source, "10", "255");
    const long long dest = TransferLot(*db_, *settings_, source, "DEPOZIT", D("4"),
                                       "AVIZ DE INSOTIRE MARFA", 12, Day(5, 4, 2024));
    const Card d = CardOf(dest);
    EXPECT_EQ(d.location, "DEPOZIT");
    EXPECT_EQ(d.category, "CONSUMABIL");
    EXPECT_EQ(d.entryPrice, D("20"));
    EXPECT_EQ(d.salePrice, D("25.50"));
    EXPECT_EQ(d.stock, D("4"));
    EXPECT_EQ(d.count, Decimal(1));
    EXPECT_EQ(CardOf(source).stock, D("6"));
    EXPECT_EQ(Count("Fise",
                    "TIP='TRANSFER' AND DOCJUS='AVIZ DE INSOTIRE MARFA' AND NRDOC=12 AND "
                    "DINDATA='05.04.2024' AND (VALIN=102 OR VALOUT=102)"),
              2);
    // A second transfer finds the destination lot.
    EXPECT_EQ(TransferLot(*db_, *settings_, source, "DEPOZIT", D("1"), "BON", 13, Day(6, 4, 2024)),
              dest);
    EXPECT_EQ(CardOf(dest).stock, D("5"));
    ExpectInvariants();
}

TEST_F(StockCardsTest, TransferOfAMissingCardIsAnErrorAndWritesNothing) {
    EXPECT_THROW(TransferLot(*db_, *settings_, 42, "DEPOZIT", D("1"), "BON", 1, Day(1, 1, 2024)),
                 tables::EngineError);
    EXPECT_EQ(Count("Fise"), 0);
    EXPECT_EQ(Counter("IDFISA"), "1");
}

TEST_F(StockCardsTest, MovementOnAMissingCardIsRefusedWhole) {
    Movement m = NirEntryMovement(D("1"), D("1"), D("1"));
    m.idFisa = 5;
    EXPECT_THROW(PostEntry(*db_, 77, m), tables::EngineError);
    EXPECT_THROW(PostExit(*db_, 77, m), tables::EngineError);
    EXPECT_EQ(Count("Fise"), 0);
}

TEST_F(StockCardsTest, OperationsJoinTheCallersTransaction) {
    const long long kept = Lot("A", "1", "2");
    Receive(kept, "1", "2");
    db_->begin();
    const long long card = Lot("B", "1", "2");
    Receive(card, "3", "6");
    RemoveMovement(*db_, 1);
    PurgeUnusedLots(*db_);
    EXPECT_EQ(Cards().size(), 1u);
    db_->rollback();
    EXPECT_EQ(Cards().size(), 1u);
    EXPECT_EQ(CardOf(kept).stock, D("1"));
    EXPECT_EQ(Count("Fise"), 1);
    EXPECT_EQ(Counter("IDCAP"), "2");
    EXPECT_EQ(Counter("IDFISA"), "2");
    ExpectInvariants();
}

TEST_F(StockCardsTest, AFailingInsertAfterTheCardChangedLeavesTheCardAsItWas) {
    const long long card = Lot("NISIP", "1", "2");
    Receive(card, "10", "20");
    // The card is updated first, then the movement's VALIN N(10,2) cannot hold the value.
    Movement m = NirEntryMovement(D("5"), D("123456789"), D("10"));
    m.idFisa = NextFisa();
    EXPECT_THROW(PostEntry(*db_, card, m), tables::EngineError);
    EXPECT_EQ(CardOf(card).stock, D("10"));
    EXPECT_EQ(CardOf(card).count, Decimal(1));
    // The other order: the movement goes in, then STOC N(8,2) cannot hold the result.
    Movement big = ExitMovement(D("-99995"), D("1"));
    big.idFisa = NextFisa();
    EXPECT_THROW(PostExit(*db_, card, big), tables::EngineError);
    EXPECT_EQ(Count("Fise"), 1);
    ExpectInvariants();
}

}  // namespace
}  // namespace tvx::core::stocktest
