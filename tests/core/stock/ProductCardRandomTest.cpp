// Randomised test of the product card's operations: seeded sequences of exits, transfers,
// deleted operations and deleted delivery notes sharing a few document names, numbers and
// dates, with injected failures. After every step each card's STOC is the sum of its
// movements' CANTIN - CANTOUT and NRREC their count; a failure leaves every file as it was.
#include <gtest/gtest.h>

#include <sstream>

#include "../sales/SalesTestSupport.h"
#include "core/stock/DeliveryNotes.h"
#include "core/stock/ProductCard.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

class ProductCardRandomTest : public salestest::SalesFixture,
                              public ::testing::WithParamInterface<unsigned> {
  protected:
    ExitCard Exit(long long idCap) {
        const stocktest::Card c = CardOf(idCap);
        return MakeExitCard(idCap, c.location, c.product, c.unit, c.salePrice, c.stock);
    }
    // Few names, numbers and dates, so that documents share their triple now and then.
    ExitDocument RandomDocument(bool transfer) {
        static const std::vector<std::string> exits = {"BON DE CONSUM", "AVIZ DE INSOTIRE MARFA",
                                                       "AVIZ CLIENT"};
        static const std::vector<std::string> transfers = {"BON DE TRANSFER",
                                                           "AVIZ DE INSOTIRE MARFA"};
        ExitDocument doc;
        doc.docJus = PickOf(transfer ? transfers : exits);
        doc.nrDoc = 1 + Pick(3);
        doc.date = Day(1 + Pick(2), 3, 2026);
        doc.quantity = Decimal(1 + Pick(3));
        if (transfer) doc.destination = PickOf<std::string>({"MAGAZIN", "DEPOZIT", "ATELIER"});
        return doc;
    }
    std::optional<long long> CardWithStock() {
        std::vector<long long> ids;
        for (const auto& [id, card] : Cards())
            if (card.stock > Decimal(0)) ids.push_back(id);
        if (ids.empty()) return std::nullopt;
        return PickOf(ids);
    }

    template <class Op>
    void ExpectNothingWritten(Op op) {
        const salestest::Files before = Snapshot();
        bool failed = false;
        try {
            op();
        } catch (const tables::EngineError&) {
            failed = true;
        }
        EXPECT_TRUE(failed) << trace_.str() << " went through";
        EXPECT_EQ(Changed(before, Snapshot()), "") << trace_.str();
    }

    void ExitOrTransferStep(bool transfer) {
        const auto card = CardWithStock();
        if (!card) return;
        ExitDocument doc = RandomDocument(transfer);
        if (transfer && doc.destination == CardOf(*card).location) doc.destination = "ATELIER";
        if (transfer && doc.destination == CardOf(*card).location) return;
        trace_ << (transfer ? "transfer " : "exit ") << doc.quantity.toString() << " of card "
               << *card << " on " << doc.docJus << " " << doc.nrDoc;
        if (transfer)
            PostStockTransfer(*db_, *settings_, Exit(*card), doc);
        else
            PostStockExit(*db_, *settings_, Exit(*card), doc);
        ++posted_;
    }

    void DeleteOperationStep() {
        const auto ids = Column("SELECT IDFISA FROM Fise WHERE DOCJUS<>'N.I.R.'", "IDFISA");
        if (ids.empty()) return;
        const long long id = PickOf(ids);
        trace_ << "delete movement " << id;
        EXPECT_FALSE(DeleteOperation(*db_, id)) << trace_.str();
        EXPECT_FALSE(ReadCardMovement(*db_, id)) << trace_.str();
        ++deleted_;
    }

    void DeleteNoteStep() {
        tables::ResultSet notes = QueryDeliveryNotes(*db_);
        if (notes.empty()) return;
        notes.moveTo(static_cast<size_t>(Pick(static_cast<int>(notes.rowCount()))));
        const DeliveryNoteKey key{notes.asText("DOCJUS"), notes.asNumber("NRDOC").toLongLong(),
                                  *notes.asDate("DINDATA")};
        trace_ << "delete note " << key.docJus << " " << key.nrDoc << " " << key.dinData.toString();
        DeleteDeliveryNote(*db_, key);
        ++deleted_;
        EXPECT_EQ(Count("Fise", "DOCJUS=:d AND NRDOC=:n AND DINDATA=:t",
                        {{"d", key.docJus}, {"n", key.nrDoc}, {"t", key.dinData}}),
                  0)
            << trace_.str();
    }

    // A counter that is not a number, or a transfer's other card missing while it is deleted.
    void FailureStep() {
        const auto card = CardWithStock();
        if (!card) return;
        const int kind = Pick(3);
        if (kind < 2) {
            // Breaking IDCAP stops a transfer to a new location after its source half is written.
            const char* counter = kind == 0 ? "IDFISA" : "IDCAP";
            ExitDocument doc = RandomDocument(true);
            doc.destination = "SANTIER";
            trace_ << "counter " << counter << " broken for a transfer of card " << *card;
            const std::string kept = settings_->peekIndex(counter);
            settings_->setIndex(counter, kept + "x");
            ExpectNothingWritten([&] { PostStockTransfer(*db_, *settings_, Exit(*card), doc); });
            if (kind == 0)
                ExpectNothingWritten(
                    [&] { PostStockExit(*db_, *settings_, Exit(*card), RandomDocument(false)); });
            settings_->setIndex(counter, kept);
            return;
        }
        tables::ResultSet halves =
            Query("SELECT F.IDFISA, F.IDCAP FROM Fise F WHERE F.TIP='TRANSFER' AND F.CANTIN>0");
        if (halves.empty()) return;
        halves.moveTo(static_cast<size_t>(Pick(static_cast<int>(halves.rowCount()))));
        const long long entry = halves.asNumber("IDFISA").toLongLong();
        const long long dest = halves.asNumber("IDCAP").toLongLong();
        // Its source half (taken just before it) is deleted while the destination card is
        // missing.
        const auto source =
            Column("SELECT IDFISA FROM Fise WHERE IDFISA=" + std::to_string(entry - 1) +
                       " AND TIP='TRANSFER'",
                   "IDFISA");
        if (source.empty()) return;
        const stocktest::Card saved = CardOf(dest);
        db_->execute("DELETE FROM CapFise WHERE IDCAP=:c", {{"c", dest}});
        trace_ << "delete transfer half " << source[0] << " with card " << dest << " missing";
        ExpectNothingWritten([&] { DeleteOperation(*db_, source[0]); });
        db_->execute(
            "INSERT INTO CapFise (IDCAP, GESTIUNE, CATEG, PRODUS, UM, PRETIN, PRETOUT, STOC,"
            " CODBARE, NRREC) VALUES (:id, :g, :c, :p, :u, :pin, :pout, :s, :b, :n)",
            {{"id", dest},
             {"g", saved.location},
             {"c", saved.category},
             {"p", saved.product},
             {"u", saved.unit},
             {"pin", saved.entryPrice},
             {"pout", saved.salePrice},
             {"s", saved.stock},
             {"b", saved.barCode},
             {"n", saved.count}});
    }

    std::ostringstream trace_;
    int posted_ = 0;
    int deleted_ = 0;
};

TEST_P(ProductCardRandomTest, StockFollowsTheMovementsAfterEveryStep) {
    rng_.seed(GetParam());
    for (int step = 0; step < 80; ++step) {
        trace_.str("");
        trace_ << "seed " << GetParam() << " step " << step << ": ";
        const int kind = Pick(100);
        try {
            if (kind < 30)
                ExitOrTransferStep(false);
            else if (kind < 55)
                ExitOrTransferStep(true);
            else if (kind < 75)
                DeleteOperationStep();
            else if (kind < 88)
                DeleteNoteStep();
            else
                FailureStep();
        } catch (const std::exception& e) {
            ADD_FAILURE() << trace_.str() << " failed: " << e.what();
        }
        ExpectInvariants(trace_.str());
        if (HasFailure()) return;
    }
    EXPECT_GT(posted_, 0);
    EXPECT_GT(deleted_, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ProductCardRandomTest, ::testing::Values(1u, 7u, 42u, 2026u));

}  // namespace
}  // namespace tvx::core
