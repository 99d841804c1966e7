// What the engine stores for a goods received note, read back by the independent dBase
// reader: the lines, cards and movements that the windows show must be in the files, field
// for field, after an add, a change of a line and a second location.
#include <gtest/gtest.h>

#include "NirTestSupport.h"
#include "core/admin/Users.h"

namespace tvx::core::stocktest {
namespace {

using testsupport::dumpRows;

// The dumped row whose `key` field holds `value`.
std::map<std::string, std::string> RowWith(
    const std::vector<std::map<std::string, std::string>>& rows, const std::string& key,
    long long value) {
    for (const auto& row : rows)
        if (row.count(key) && std::stoll(row.at(key)) == value) return row;
    ADD_FAILURE() << "no row with " << key << " = " << value;
    return {};
}

std::string Cents(const Decimal& value) {
    return value.rescaled(2).toString();
}

class IndependentReadBackTest : public NirTest {};

TEST_F(IndependentReadBackTest, NoteLinesCardsAndMovementsReadTheSameOutsideTheEngine) {
    const long long note = NewNote(1, 7, Day(1, 4, 2024));
    const long long first =
        AddNirLine(*db_, *settings_, note, Line("SURUB M8", "10", "1.19", "25"), kGradeAdmin);
    AddNirLine(*db_, *settings_, note, Line("CUTIE", "4", "2.38", "0", "AMBALAJ", "DEPOZIT"),
               kGradeAdmin);
    AddNirLine(*db_, *settings_, note, Line("PIULITA M8", "100", "0.12", "40"), kGradeAdmin);
    ModifyNirLine(*db_, *settings_, first, Line("SURUB M8", "12", "1.19", "25"), kGradeAdmin);

    const auto lines = dumpRows(data_ / "ProdNIR.dbf");
    const auto cards = dumpRows(data_ / "CapFise.dbf");
    const auto moves = dumpRows(data_ / "Fise.dbf");
    ASSERT_EQ(lines.size(), 3u);
    for (const NirLineRow& line : ReadNirLines(*db_, note)) {
        const auto stored = RowWith(lines, "IDPROD", line.idProd);
        EXPECT_EQ(stored.at("PRODUS"), line.produs);
        EXPECT_EQ(stored.at("GESTIUNE"), line.gestiune);
        EXPECT_EQ(stored.at("CATEG"), line.categ);
        EXPECT_EQ(stored.at("CANTR"), Cents(line.cantr));
        EXPECT_EQ(stored.at("VALAT"), Cents(line.valat));
        EXPECT_EQ(std::stoll(stored.at("IDCAP")), line.idCap);

        const auto card = RowWith(cards, "IDCAP", line.idCap);
        const auto move = RowWith(moves, "IDFISA", line.idFisa);
        EXPECT_EQ(card.at("GESTIUNE"), line.gestiune);
        EXPECT_EQ(card.at("PRETOUT"), Cents(line.pretat));
        EXPECT_EQ(card.at("STOC"), Cents(line.cantr));  // one reception per card
        EXPECT_EQ(card.at("NRREC"), "1");
        EXPECT_EQ(std::stoll(move.at("IDCAP")), line.idCap);
        EXPECT_EQ(move.at("DOCJUS"), "N.I.R.");
        EXPECT_EQ(move.at("NRDOC"), "7");
        EXPECT_EQ(move.at("CANTIN"), Cents(line.cantr));
    }
    EXPECT_EQ(cards.size(), 3u);  // the modified line kept its lot: no card left behind
    EXPECT_EQ(moves.size(), 3u);
}

}  // namespace
}  // namespace tvx::core::stocktest
