// Tests of the product card and the delivery notes list: an exit and a transfer posted from a
// card, a transfer deleted by either half (once, whichever list deletes it), a sale movement
// deleted on the card and then its invoice, a delivery note listed once and deleted whole, the
// refusals and texts, the bar code look-up and the lists' order.
#include <gtest/gtest.h>

#include <stdexcept>

#include "../sales/SalesTestSupport.h"
#include "core/admin/Users.h"
#include "core/sales/InvoiceList.h"
#include "core/stock/DeliveryNotes.h"
#include "core/stock/ProductCard.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

class ProductCardTest : public salestest::SalesFixture {
  protected:
    ExitCard Exit(long long idCap) {
        const stocktest::Card c = CardOf(idCap);
        return MakeExitCard(idCap, c.location, c.product, c.unit, c.salePrice, c.stock);
    }
    static ExitDocument Doc(const char* name, long long number, const char* quantity,
                            const char* destination = "") {
        ExitDocument doc;
        doc.docJus = name;
        doc.nrDoc = number;
        doc.date = Day(5, 3, 2026);
        doc.quantity = D(quantity);
        doc.destination = destination;
        return doc;
    }
    long long CardsOf(const char* product) {
        return Count("CapFise", "PRODUS=:p", {{"p", std::string(product)}});
    }
};

TEST_F(ProductCardTest, ExitOfThreeFromFiveAtTwoFiftyLeavesTwo) {
    const long long card = Receive("MAGAZIN", "Cablu", "m", "2", "2.50", "5");
    const long long next = settings_->peekNumber("IDFISA");
    const long long id = PostStockExit(*db_, *settings_, Exit(card), Doc("BON DE CONSUM", 4, "3"));
    EXPECT_EQ(id, next);
    EXPECT_EQ(settings_->peekNumber("IDFISA"), next + 1);
    EXPECT_EQ(settings_->peekIndex("BON DE CONSUM"), "5");  // the document's counter, posted with it
    tables::ResultSet m = Query("SELECT * FROM Fise WHERE IDFISA=:id", {{"id", id}});
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.asText("TIP"), "IESIRE");
    EXPECT_EQ(m.asText("DOCJUS"), "BON DE CONSUM");
    EXPECT_EQ(m.asNumber("NRDOC"), Decimal(4));
    EXPECT_EQ(m.asDate("DINDATA"), Day(5, 3, 2026));
    EXPECT_EQ(m.asNumber("CANTIN"), Decimal(0));
    EXPECT_EQ(m.asNumber("CANTOUT"), D("3"));
    EXPECT_EQ(m.asNumber("VALIN"), Decimal(0));
    EXPECT_EQ(m.asNumber("VALOUT"), D("7.50"));
    EXPECT_EQ(CardOf(card).stock, D("2"));
    EXPECT_EQ(CardOf(card).count, D("2"));
    const StockTexts texts = CardStockTexts(D("2"), "m", D("2.50"));
    EXPECT_EQ(texts.stock, "2.00");
    EXPECT_EQ(texts.value, "5.0000");
    ExpectInvariants();
}

TEST_F(ProductCardTest, NothingOnStockRefusesExitAndTransfer) {
    struct Case {
        const char* stock;
        const char* price;
        bool refused;
    };
    for (const Case& c :
         {Case{"0", "2.50", true}, Case{"-1", "2.50", true}, Case{"0.004", "2.50", true},
          Case{"5", "0", true}, Case{"0.01", "2.50", false}, Case{"5", "2.50", false}}) {
        const auto problem =
            CheckStockLeaves(MakeExitCard(1, "MAGAZIN", "X", "buc", D(c.price), D(c.stock)));
        EXPECT_EQ(problem.has_value(), c.refused) << c.stock << " at " << c.price;
        if (problem) {
            EXPECT_EQ(problem->message, "Nu aveti nimic pe stoc!");
            EXPECT_EQ(problem->field, kCardMovesField);
        }
    }
    EXPECT_TRUE(CheckStockLeaves(std::nullopt));
}

TEST_F(ProductCardTest, DocumentsTheDialogRefusesPostNothing) {
    const long long card = Receive("MAGAZIN", "Cablu", "m", "2", "2.50", "5");
    const salestest::Files before = Snapshot();
    for (const ExitDocument& doc : {Doc("", 1, "1"), Doc("N.I.R.", 1, "1"), Doc("BON", 0, "1"),
                                    Doc("BON", 1, "0"), Doc("BON", 1, "-2")})
        EXPECT_THROW(PostStockExit(*db_, *settings_, Exit(card), doc), std::invalid_argument)
            << doc.docJus << " " << doc.nrDoc << " " << doc.quantity.toString();
    EXPECT_THROW(PostStockTransfer(*db_, *settings_, Exit(card), Doc("TRANSFER", 1, "1")),
                 std::invalid_argument);
    EXPECT_THROW(
        PostStockTransfer(*db_, *settings_, Exit(card), Doc("TRANSFER", 1, "1", "MAGAZIN")),
        std::invalid_argument);
    ExitCard gone = Exit(card);
    gone.idCap = salestest::kMissingCard;
    EXPECT_THROW(PostStockExit(*db_, *settings_, gone, Doc("BON", 1, "1")), tables::EngineError);
    EXPECT_EQ(Changed(before, Snapshot()), "");
}

// Deleting either half of a transfer deletes both; the destination card made by the
// transfer goes at the purge.
class TransferHalfTest : public ProductCardTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TransferHalfTest, DeletingEitherHalfDeletesBoth) {
    const long long card = Receive("MAGAZIN", "Cablu", "m", "2", "2.50", "5");
    const long long first =
        PostStockTransfer(*db_, *settings_, Exit(card), Doc("BON DE TRANSFER", 9, "2", "DEPOZIT"));
    tables::ResultSet dest =
        Query("SELECT IDCAP FROM CapFise WHERE GESTIUNE='DEPOZIT' AND PRODUS='Cablu'");
    ASSERT_FALSE(dest.empty());
    const stocktest::Card created = CardOf(dest.asNumber("IDCAP").toLongLong());
    EXPECT_EQ(created.stock, D("2"));
    EXPECT_EQ(created.count, D("1"));
    EXPECT_EQ(created.entryPrice, D("2"));
    EXPECT_EQ(created.salePrice, D("2.50"));
    EXPECT_EQ(created.category, "MARFA");
    EXPECT_EQ(CardOf(card).stock, D("3"));
    ExpectInvariants("after the transfer");

    const long long half = GetParam() ? first : first + 1;
    EXPECT_EQ(ReadCardMovement(*db_, half)->tip, "TRANSFER");
    EXPECT_FALSE(DeleteOperation(*db_, half));
    EXPECT_EQ(Count("Fise", "DOCJUS='BON DE TRANSFER' AND NRDOC=9"), 0);
    EXPECT_EQ(CardsOf("Cablu"), 1);
    EXPECT_EQ(CardOf(card).stock, D("5"));
    EXPECT_EQ(CardOf(card).count, D("1"));
    ExpectInvariants("after the deletion");
    // A second deletion of either half finds nothing and changes nothing.
    const salestest::Files before = Snapshot();
    EXPECT_EQ(DeleteOperation(*db_, first)->message, "Nu aveti ce sterge!");
    RemoveMovementsWithCounterparts(*db_, {first, first + 1});
    EXPECT_EQ(Changed(before, Snapshot()), "");
}

INSTANTIATE_TEST_SUITE_P(SourceOrDestination, TransferHalfTest, ::testing::Bool());

TEST_F(ProductCardTest, TransferHalfWithoutCounterpartReversesItselfOnly) {
    const long long card = Receive("MAGAZIN", "Cablu", "m", "2", "2.50", "5");
    const long long first =
        PostStockTransfer(*db_, *settings_, Exit(card), Doc("BON DE TRANSFER", 9, "2", "DEPOZIT"));
    RemoveMovement(*db_, first + 1);  // the entry half went some other way
    EXPECT_FALSE(DeleteOperation(*db_, first));
    EXPECT_EQ(CardOf(card).stock, D("5"));
    EXPECT_EQ(CardsOf("Cablu"), 1);
    ExpectInvariants();
}

TEST_F(ProductCardTest, TwoProductsOnOneTransferDocumentPairTheirOwnHalves) {
    // Same quantity of two lots under one document: each half finds its own lot's other half.
    const long long a = Receive("MAGAZIN", "Cablu", "m", "2", "2.50", "5");
    const long long b = Receive("MAGAZIN", "Siguranta", "buc", "1", "1.50", "5");
    const long long ta =
        PostStockTransfer(*db_, *settings_, Exit(a), Doc("BON DE TRANSFER", 3, "2", "DEPOZIT"));
    PostStockTransfer(*db_, *settings_, Exit(b), Doc("BON DE TRANSFER", 3, "2", "DEPOZIT"));
    EXPECT_FALSE(DeleteOperation(*db_, ta + 1));
    EXPECT_EQ(CardOf(a).stock, D("5"));
    EXPECT_EQ(CardOf(b).stock, D("3"));
    EXPECT_EQ(Count("Fise", "DOCJUS='BON DE TRANSFER' AND NRDOC=3"), 2);
    ExpectInvariants();
}

TEST_F(ProductCardTest, DeletionRefusalsAndQuestion) {
    EXPECT_EQ(CheckDeleteOperation(std::nullopt)->message, "Nu aveti ce sterge!");
    tables::ResultSet nir = Query("SELECT IDFISA FROM Fise WHERE DOCJUS='N.I.R.'");
    const long long idNir = nir.asNumber("IDFISA").toLongLong();
    const salestest::Files before = Snapshot();
    const auto refusal = DeleteOperation(*db_, idNir);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message, "Nu puteti sterge o Nota de Receptie de aici!");
    EXPECT_EQ(refusal->field, kCardMovesField);
    EXPECT_EQ(Changed(before, Snapshot()), "");
    CardMovement m;
    m.docJus = "BON DE CONSUM";
    m.nrDoc = 12;
    const Message question = DeleteOperationQuestion(m);
    EXPECT_EQ(question.title, "Stergere operatiune");
    EXPECT_EQ(question.text, "Doriti sa stergeti BON DE CONSUM nr.12?");
    EXPECT_EQ(question.kind, MessageKind::Confirmation);
}

TEST_F(ProductCardTest, SaleMovementDeletedOnCardIsNotGivenBackAgainByTheInvoice) {
    const long long card = Receive("MAGAZIN", "Cablu", "m", "2", "2.50", "5");
    InvoiceDocument doc = NewDocument(false);
    doc.location = "MAGAZIN";
    doc.lines = {GoodsLine(card, 1)};
    doc.lines[0].quantity = D("2");
    Reprice(doc.lines[0]);
    Total(doc);
    const long long idFacto = SaveNewInvoice(*db_, *settings_, doc);
    EXPECT_EQ(CardOf(card).stock, D("3"));
    const long long sale = Query("SELECT IDFISA FROM ProdOut WHERE IDFACTO=:id", {{"id", idFacto}})
                               .asNumber("IDFISA")
                               .toLongLong();
    EXPECT_FALSE(DeleteOperation(*db_, sale));
    EXPECT_EQ(CardOf(card).stock, D("5"));
    EXPECT_EQ(Count("ProdOut", "IDFACTO=:id", {{"id", idFacto}}), 1);  // the line stays
    EXPECT_FALSE(DeleteInvoice(*db_, *settings_, idFacto, kGradeAdmin));
    EXPECT_EQ(CardOf(card).stock, D("5"));
    EXPECT_EQ(CardOf(card).count, D("1"));
    ExpectInvariants();
}

TEST_F(ProductCardTest, NoteOfThreeRowsIsListedOnceAndDeletedWhole) {
    const long long a = Receive("MAGAZIN", "Cablu", "m", "2", "2.50", "5");
    const long long b = Receive("MAGAZIN", "Siguranta", "buc", "1", "1.50", "4");
    const long long c = Receive("DEPOZIT", "Releu", "buc", "10", "20", "3");
    const ExitDocument note = Doc("AVIZ DE INSOTIRE MARFA", 7, "1");
    for (long long card : {a, b, c}) PostStockExit(*db_, *settings_, Exit(card), note);
    PostStockExit(*db_, *settings_, Exit(a), Doc("BON DE CONSUM", 7, "1"));
    // A transfer carried by a note's triple: its two halves are reversed once.
    PostStockTransfer(*db_, *settings_, Exit(b), Doc("AVIZ DE INSOTIRE MARFA", 7, "2", "DEPOZIT"));
    PostStockExit(*db_, *settings_, Exit(b), Doc("AVIZ TRANSPORT", 1, "1"));

    tables::ResultSet list = QueryDeliveryNotes(*db_);
    ASSERT_EQ(list.rowCount(), 2u);
    EXPECT_EQ(list.asDate("DINDATA"), Day(5, 3, 2026));
    EXPECT_EQ(list.asText("DOCJUS"), "AVIZ DE INSOTIRE MARFA");
    EXPECT_EQ(list.asNumber("NRDOC"), Decimal(7));
    list.next();
    EXPECT_EQ(list.asText("DOCJUS"), "AVIZ TRANSPORT");

    const DeliveryNoteKey key{"AVIZ DE INSOTIRE MARFA", 7, Day(5, 3, 2026)};
    EXPECT_EQ(DeleteNoteQuestion(key).text,
              "Stergeti avizul de insotire a marfii nr.7/05.03.2026?");
    EXPECT_EQ(DeleteDeliveryNote(*db_, key), 5);
    EXPECT_EQ(CardOf(a).stock, D("4"));  // the consumption voucher stays
    EXPECT_EQ(CardOf(b).stock, D("3"));  // the other note stays
    EXPECT_EQ(CardOf(c).stock, D("3"));
    EXPECT_EQ(CardsOf("Siguranta"), 1);  // the transfer's destination card is purged
    EXPECT_EQ(QueryDeliveryNotes(*db_).rowCount(), 1u);
    ExpectInvariants();
    EXPECT_EQ(CheckNoteChosen(std::nullopt, NoteCommand::Export)->message,
              "Nu aveti ce exporta in fisier!");
    EXPECT_EQ(CheckNoteChosen(std::nullopt, NoteCommand::Print)->message, "Nu aveti ce lista!");
    EXPECT_FALSE(CheckNoteChosen(key, NoteCommand::Delete));
}

TEST_F(ProductCardTest, BarCodeLeadsToTheFirstCardWithIt) {
    const long long a = Receive("MAGAZIN", "Cablu", "m", "2", "2.50", "5");
    const long long b = Receive("DEPOZIT", "Cablu", "m", "2", "2.50", "5");
    db_->execute("UPDATE CapFise SET CODBARE='5941234' WHERE IDCAP=:a OR IDCAP=:b",
                 {{"a", a}, {"b", b}});
    EXPECT_EQ(CheckBarCode("   ")->message, "Introduceti un cod de bare!");
    EXPECT_EQ(CheckBarCode("   ")->field, kCardBarCodeField);
    EXPECT_FALSE(CheckBarCode("5941234"));
    const auto found = FindBarCode(*db_, " 5941234 ");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->idCap, std::min(a, b));
    EXPECT_EQ(found->location, "MAGAZIN");
    EXPECT_EQ(found->product, "Cablu");
    EXPECT_FALSE(FindBarCode(*db_, "000"));
    EXPECT_EQ(BarCodeNotFound().text, "Nu exista nici un produs cu acest cod de bare!");
}

TEST_F(ProductCardTest, ListsFollowLocationProductPriceAndDate) {
    Receive("MAGAZIN", "Placute frana", "set", "60", "99", "1");
    tables::ResultSet names = QueryCardProducts(*db_, "MAGAZIN");
    std::vector<std::string> seen;
    for (names.first(); !names.eof(); names.next()) seen.push_back(names.asText("PRODUS"));
    EXPECT_EQ(seen, (std::vector<std::string>{"Bec H7", "Filtru aer", "Filtru ulei",
                                              "Placute frana", "Ulei 5W30"}));
    names.setFilter(CardProductFilter("Fil"));
    EXPECT_EQ(names.rowCount(), 2u);
    EXPECT_EQ(CardProductFilter(""), "");

    tables::ResultSet cards = QueryProductCards(*db_, "MAGAZIN", "Placute frana");
    ASSERT_EQ(cards.rowCount(), 2u);
    EXPECT_EQ(cards.asNumber("PRETOUT"), D("99"));
    const long long card = cards.asNumber("IDCAP").toLongLong();
    PostStockExit(*db_, *settings_, Exit(card), Doc("BON", 2, "1"));
    ExitDocument earlier = Doc("BON", 1, "0.5");
    earlier.date = Day(3, 2, 2026);
    PostStockExit(*db_, *settings_, Exit(card), earlier);
    tables::ResultSet moves = QueryCardMovements(*db_, card);
    ASSERT_EQ(moves.rowCount(), 3u);
    std::vector<long long> order;
    for (moves.first(); !moves.eof(); moves.next())
        order.push_back(moves.asNumber("NRDOC").toLongLong());
    EXPECT_EQ(order, (std::vector<long long>{1, 1, 2}));  // N.I.R. 1 of 01.02, BON 1, BON 2
    moves.first();
    EXPECT_EQ(moves.asText("DOCJUS"), "N.I.R.");
    EXPECT_EQ(moves.asText("UM"), "set");
}

}  // namespace
}  // namespace tvx::core
