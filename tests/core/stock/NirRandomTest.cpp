// Long random sequences of line additions, changes and deletions and of note deletions over
// a few notes. After every step the stock cards must agree with their movements and with the
// lines that posted them, no unused card may survive, every note's totals must be the sums
// of its lines, and a step that fails (a stock beyond its field) must leave every table and
// counter exactly as before.
#include <random>

#include "NirTestSupport.h"
#include "core/admin/Users.h"
#include "tables/EngineError.h"

namespace tvx::core::stocktest {
namespace {

class NirRandomTest : public NirTest {
  protected:
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[std::uniform_int_distribution<size_t>(0, items.size() - 1)(rng_)];
    }
    bool Chance(int percent) { return std::uniform_int_distribution<int>(1, 100)(rng_) <= percent; }

    NirLineRow RandomLine(bool adding) {
        static const std::vector<std::string> kProducts{"A", "B", "C"};
        static const std::vector<std::string> kLocations{"MAGAZIN", "DEPOZIT"};
        static const std::vector<std::string> kCategories{
            "MARFA", "MARFA", "MARFA", "AMBALAJ", "CONSUMABIL", "SERVICII", "DISCOUNT"};
        static const std::vector<const char*> kQuantities{"1", "2.5", "3", "10", "-2", "0.25"};
        static const std::vector<const char*> kPrices{"1.00", "2.50", "10.00"};
        static const std::vector<const char*> kMarkups{"0", "25"};
        // Now and then a big reception of one fixed lot: two of them overflow its STOC.
        if (Chance(12)) return Line("A", "60000", "1.00", "0", "MARFA", "MAGAZIN", "19", adding);
        const std::string category = Pick(kCategories);
        const char* q = Pick(kQuantities);
        const char* p = category == "DISCOUNT" ? "-5" : Pick(kPrices);
        return Line(Pick(kProducts), q, p, Pick(kMarkups), category, Pick(kLocations), "19",
                    adding);
    }

    std::vector<long long> Ids(const std::string& sql) {
        std::vector<long long> ids;
        tables::ResultSet rows = Query(sql);
        for (rows.first(); !rows.eof(); rows.next())
            ids.push_back(rows.at(rows.position(), 0).number().toLongLong());
        return ids;
    }

    // The cards seen from the lines: each card holds exactly the quantities of the lines that
    // point at it, each line's movement is on its card under its note's number and date.
    void ExpectLinesAgreeWithCards() {
        std::map<long long, std::pair<Decimal, long long>> fromLines;
        tables::ResultSet lines = Query(
            "SELECT P.IDCAP, P.IDFISA, P.CANTR, P.CATEG, N.NRNIR, N.DATANIR FROM ProdNIR P, CapNIR "
            "N WHERE P.IDNIR = N.IDNIR");
        EXPECT_EQ(lines.rowCount(), static_cast<size_t>(Count("ProdNIR")));
        for (lines.first(); !lines.eof(); lines.next()) {
            const long long card = lines.asNumber("IDCAP").toLongLong();
            const std::string category = lines.asText("CATEG");
            if (category == "SERVICII" || category == "DISCOUNT") {
                EXPECT_EQ(card, -1);
                EXPECT_EQ(lines.asNumber("IDFISA"), Decimal(-1));
                continue;
            }
            fromLines[card].first += lines.asNumber("CANTR");
            fromLines[card].second += 1;
            EXPECT_EQ(
                Count("Fise",
                      "IDFISA=:f AND IDCAP=:c AND NRDOC=:n AND DINDATA=:d AND DOCJUS='N.I.R.'",
                      {{"f", lines.value("IDFISA")},
                       {"c", card},
                       {"n", lines.value("NRNIR")},
                       {"d", lines.value("DATANIR")}}),
                1);
        }
        const auto cards = Cards();
        EXPECT_EQ(cards.size(), fromLines.size());
        for (const auto& [id, card] : cards) {
            EXPECT_EQ(card.stock, fromLines[id].first) << "card " << id;
            EXPECT_EQ(card.count, Decimal(fromLines[id].second)) << "card " << id;
            EXPECT_FALSE(card.count.isZero()) << "unused card " << id << " survived";
        }
    }

    void ExpectTotals() {
        for (long long note : Ids("SELECT IDNIR FROM CapNIR")) {
            std::optional<Decimal> valoare, vala, valat, ambalaj;
            const std::vector<NirLineRow> lines = ReadNirLines(*db_, note);
            const NirNote n = *ReadNirNote(*db_, note);
            if (lines.empty()) {
                // A new note starts at 0; once its last line went, its sums are empty.
                for (const auto& total : {n.vmf, n.vaf, n.vac, n.vtn, n.total})
                    EXPECT_TRUE(!total || total->isZero()) << "note " << note;
                continue;
            }
            for (const NirLineRow& l : lines) {
                auto add = [](std::optional<Decimal>& sum, const Decimal& x) {
                    sum = sum.value_or(Decimal(0)) + x;
                };
                if (l.categ == "MARFA") {
                    add(valoare, l.valoare);
                    add(vala, l.vala);
                    add(valat, l.valat);
                } else if (l.categ == "AMBALAJ") {
                    add(ambalaj, l.valoare);
                }
            }
            EXPECT_EQ(n.vmf, valoare) << "note " << note;
            EXPECT_EQ(n.vaf, ambalaj) << "note " << note;
            EXPECT_EQ(n.total, valat) << "note " << note;
            if (valoare) {
                EXPECT_EQ(n.vac, *vala - *valoare);
                EXPECT_EQ(n.vtn, *valat - *vala);
            } else {
                EXPECT_FALSE(n.vac || n.vtn);
            }
        }
    }

    std::mt19937 rng_;
};

TEST_F(NirRandomTest, RandomOperationsKeepStockLinesAndTotalsConsistent) {
    for (unsigned seed : {7u, 2024u, 90210u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        rng_.seed(seed);
        db_->execute("DELETE FROM CapNIR");
        db_->execute("DELETE FROM ProdNIR");
        db_->execute("DELETE FROM CapFise");
        db_->execute("DELETE FROM Fise");
        long long number = 1;
        int failures = 0;
        for (int step = 0; step < 150 && !HasFailure(); ++step) {
            std::vector<long long> notes = Ids("SELECT IDNIR FROM CapNIR");
            std::vector<long long> lines = Ids("SELECT IDPROD FROM ProdNIR");
            const std::string before = Snapshot();
            const int op = std::uniform_int_distribution<int>(0, 99)(rng_);
            std::string what;
            try {
                if (notes.size() < 3) {
                    what = "new note";
                    // Notes reuse the documents: the operations never look at that link.
                    NirHeaderForm header;
                    header.startNew(*db_, *settings_, Day(1 + step % 28, 4, 2024));
                    header.number = number++;
                    ASSERT_FALSE(header.check(*db_, 1));
                    header.save(*db_, *settings_, 1 + step % 4);
                } else if (op < 45 || lines.empty()) {
                    what = "add";
                    AddNirLine(*db_, *settings_, Pick(notes), RandomLine(true), kGradeAdmin);
                } else if (op < 75) {
                    what = "modify";
                    ModifyNirLine(*db_, *settings_, Pick(lines), RandomLine(false), kGradeAdmin);
                } else if (op < 95) {
                    what = "delete line";
                    DeleteNirLine(*db_, Pick(lines), kGradeAdmin);
                } else {
                    what = "delete note";
                    DeleteNirNote(*db_, Pick(notes), kGradeAdmin);
                }
            } catch (const tables::EngineError& e) {
                ++failures;
                EXPECT_EQ(Snapshot(), before)
                    << what << " failed (" << e.what() << ") and left changes at step " << step;
            }
            SCOPED_TRACE(what + " at step " + std::to_string(step));
            ExpectInvariants();
            ExpectLinesAgreeWithCards();
            ExpectTotals();
        }
        EXPECT_GT(Count("ProdNIR"), 0);
        EXPECT_GT(failures, 0) << "no step ran into a stock beyond its field";
    }
}

}  // namespace
}  // namespace tvx::core::stocktest
