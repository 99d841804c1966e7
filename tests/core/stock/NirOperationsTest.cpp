// Goods received note operations: adding, modifying and deleting lines with their stock
// entries and the note's totals, deleting a whole note, the cashier's lock on printed notes,
// and an operation that fails half-way leaving tables and counters as they were.
#include "NirTestSupport.h"
#include "core/admin/Users.h"
#include "core/stock/StockCards.h"
#include "tables/EngineError.h"

namespace tvx::core::stocktest {
namespace {

class NirOperationsTest : public NirTest {
  protected:
    void SetUp() override {
        NirTest::SetUp();
        note_ = NewNote(1, 15, Day(5, 4, 2024));
    }
    long long Add(const NirLineRow& line, long long note = 0) {
        return AddNirLine(*db_, *settings_, note ? note : note_, line, kGradeAdmin);
    }
    NirNote Note(long long id = 0) { return *ReadNirNote(*db_, id ? id : note_); }

    long long note_ = 0;
};

TEST_F(NirOperationsTest, AddedLineIsStoredPostedAndTotalled) {
    const long long id = Add(Line("BEC LED", "3", "10.00", "25"));
    const NirLineRow row = *ReadNirLine(*db_, id);
    EXPECT_EQ(row.idNir, note_);
    EXPECT_EQ(row.valoare, D("30"));
    EXPECT_EQ(row.valtva, D("5.70"));
    EXPECT_EQ(row.totalf, D("35.70"));
    EXPECT_EQ(row.pretu, D("10"));
    EXPECT_EQ(row.preta, D("12.50"));
    EXPECT_EQ(row.vala, D("37.50"));
    EXPECT_EQ(row.pretat, D("14.88"));
    EXPECT_EQ(row.valat, D("44.64"));
    EXPECT_EQ(row.adaos, D("25"));
    const Card card = CardOf(row.idCap);
    EXPECT_EQ(card.entryPrice, D("11.90"));
    EXPECT_EQ(card.salePrice, D("14.88"));
    EXPECT_EQ(card.stock, D("3"));
    tables::ResultSet m = Query("SELECT * FROM Fise WHERE IDFISA=:id", {{"id", row.idFisa}});
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.asText("TIP"), "INTRARE");
    EXPECT_EQ(m.asText("DOCJUS"), "N.I.R.");
    EXPECT_EQ(m.asNumber("NRDOC"), Decimal(15));
    EXPECT_EQ(m.asDate("DINDATA"), Day(5, 4, 2024));
    EXPECT_EQ(m.asNumber("VALIN"), D("44.64"));
    const NirNote note = Note();
    EXPECT_EQ(note.vmf, D("30"));
    EXPECT_FALSE(note.vaf);
    EXPECT_EQ(note.vac, D("7.50"));
    EXPECT_EQ(note.vtn, D("7.14"));
    EXPECT_EQ(note.total, D("44.64"));
    EXPECT_EQ(Counter("IDPROD"), "2");
    EXPECT_EQ(Counter("IDFISA"), "2");
    ExpectInvariants();
}

TEST_F(NirOperationsTest, TotalsCountOnlyTheirCategories) {
    Add(Line("CONSUM", "2", "4.00", "0", "CONSUMABIL"));
    NirNote note = Note();
    EXPECT_FALSE(note.vmf || note.vaf || note.vac || note.vtn || note.total);
    Add(Line("CUTIE", "10", "0.50", "0", "AMBALAJ"));
    Add(Line("MANOPERA", "1", "100", "0", "SERVICII"));
    Add(Line("A", "2", "5.00", "20"));  // VF 10, PT 5.95, S 7.14, PRETA 6.00, VALA 12, VALAT 14.28
    Add(Line("B", "1", "3.00", "0"));   // VF 3, PT 3.57, S 3.57, PRETA 3.00, VALA 3, VALAT 3.57
    Add(Line("A", "1", "5.00", "20"), NewNote(2, 16, Day(5, 4, 2024)));  // another note
    note = Note();
    EXPECT_EQ(note.vaf, D("5"));
    EXPECT_EQ(note.vmf, D("13"));
    EXPECT_EQ(note.vac, D("2"));
    EXPECT_EQ(note.vtn, D("2.85"));
    EXPECT_EQ(note.total, D("17.85"));
}

TEST_F(NirOperationsTest, ServiceAndDiscountLinesMoveNoStock) {
    const long long s = Add(Line("MANOPERA", "1", "100", "0", "SERVICII"));
    const long long d = Add(Line("REDUCERE", "2", "-5", "0", "DISCOUNT"));
    for (long long id : {s, d}) {
        EXPECT_EQ(ReadNirLine(*db_, id)->idCap, -1);
        EXPECT_EQ(ReadNirLine(*db_, id)->idFisa, -1);
    }
    EXPECT_TRUE(Cards().empty());
    EXPECT_EQ(Count("Fise"), 0);
    EXPECT_EQ(Counter("IDFISA"), "1");
    DeleteNirLine(*db_, d, kGradeAdmin);
    ModifyNirLine(*db_, *settings_, s, Line("MANOPERA", "2", "100", "0", "SERVICII"), kGradeAdmin);
    EXPECT_EQ(ReadNirLine(*db_, s)->cantr, D("2"));
    EXPECT_TRUE(Cards().empty());
}

TEST_F(NirOperationsTest, ModifiedQuantityChangesStockWithANewMovement) {
    const long long id = Add(Line("BEC", "5", "2.00"));
    const NirLineRow before = *ReadNirLine(*db_, id);
    Add(Line("BEC", "1", "2.00"));
    ModifyNirLine(*db_, *settings_, id,
                  Line("BEC", "3", "2.00", "0", "MARFA", "MAGAZIN", "19", false), kGradeAdmin);
    const NirLineRow after = *ReadNirLine(*db_, id);
    EXPECT_EQ(after.idCap, before.idCap);
    EXPECT_NE(after.idFisa, before.idFisa);
    EXPECT_EQ(Count("Fise", "IDFISA=:id", {{"id", before.idFisa}}), 0);
    EXPECT_EQ(CardOf(after.idCap).stock, D("4"));
    EXPECT_EQ(CardOf(after.idCap).count, Decimal(2));
    ExpectInvariants();

    // A return: the entry becomes an outgoing quantity and value.
    ModifyNirLine(*db_, *settings_, id,
                  Line("BEC", "-2", "2.00", "0", "MARFA", "MAGAZIN", "19", false), kGradeAdmin);
    const NirLineRow ret = *ReadNirLine(*db_, id);
    tables::ResultSet m = Query("SELECT * FROM Fise WHERE IDFISA=:id", {{"id", ret.idFisa}});
    EXPECT_EQ(m.asText("TIP"), "INTRARE");
    EXPECT_TRUE(m.asNumber("CANTIN").isZero());
    EXPECT_EQ(m.asNumber("CANTOUT"), D("2"));
    EXPECT_EQ(m.asNumber("VALOUT"), D("4.76"));  // TOTALF < 0: VALOUT = -(2.38 x -2)
    EXPECT_EQ(CardOf(ret.idCap).stock, D("-1"));
    ExpectInvariants();
}

TEST_F(NirOperationsTest, ModifiedSalePriceMovesTheLineToAnotherLot) {
    const long long id = Add(Line("BEC", "5", "2.00"));
    const long long oldCard = ReadNirLine(*db_, id)->idCap;
    ModifyNirLine(*db_, *settings_, id, Line("BEC", "5", "2.00", "50"), kGradeAdmin);
    const long long newCard = ReadNirLine(*db_, id)->idCap;
    EXPECT_NE(newCard, oldCard);
    EXPECT_EQ(Cards().count(oldCard), 0u);            // purged: nothing else referred to it
    EXPECT_EQ(CardOf(newCard).salePrice, D("3.57"));  // 1.5 x 2.38

    // Back to the first price: a new card again, while a second line keeps the other.
    Add(Line("BEC", "1", "2.00", "50"));
    ModifyNirLine(*db_, *settings_, id, Line("BEC", "5", "2.00"), kGradeAdmin);
    EXPECT_EQ(CardOf(newCard).stock, D("1"));
    const long long third = ReadNirLine(*db_, id)->idCap;
    EXPECT_NE(third, oldCard);
    EXPECT_NE(third, newCard);
    ExpectInvariants();
}

TEST_F(NirOperationsTest, DeletedLineTakesItsStockAndTotalsAway) {
    const long long a = Add(Line("A", "2", "5.00"));
    Add(Line("B", "1", "3.00"));
    const NirLineRow line = *ReadNirLine(*db_, a);
    EXPECT_EQ(DeleteNirLineQuestion(line).text, "Sigur vreti sa sterg produsul A?");
    DeleteNirLine(*db_, a, kGradeAdmin);
    EXPECT_FALSE(ReadNirLine(*db_, a));
    EXPECT_EQ(Cards().count(line.idCap), 0u);
    EXPECT_EQ(Note().vmf, D("3"));
    EXPECT_THROW(DeleteNirLine(*db_, a, kGradeAdmin), tables::EngineError);
    ExpectInvariants();
}

TEST_F(NirOperationsTest, DeletedNoteReversesEveryLineInEveryLocation) {
    Add(Line("A", "2", "5.00", "0", "MARFA", "MAGAZIN"));
    Add(Line("A", "3", "5.00", "0", "MARFA", "DEPOZIT"));
    Add(Line("B", "4", "1.00", "0", "AMBALAJ", "DEPOZIT"));
    Add(Line("S", "1", "1.00", "0", "SERVICII"));
    const long long other = NewNote(3, 1, Day(6, 4, 2024));
    Add(Line("A", "7", "5.00", "0", "MARFA", "DEPOZIT"), other);
    const NirNote note = Note();
    EXPECT_EQ(DeleteNirNoteQuestion(note).text, "Chiar sterg N.I.R. nr.15 / 05.04.2024?");
    DeleteNirNote(*db_, note_, kGradeCasier);  // not printed: a cashier may delete it
    EXPECT_FALSE(ReadNirNote(*db_, note_));
    EXPECT_EQ(Count("ProdNIR", "IDNIR=:id", {{"id", note_}}), 0);
    const auto cards = Cards();
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards.begin()->second.stock, D("7"));
    EXPECT_EQ(Count("FactIn"), 4);
    ExpectInvariants();
    // The incoming document can be chosen again for a new note.
    tables::ResultSet docs = NirHeaderForm::QueryDocuments(*db_);
    NirHeaderForm header;
    header.startNew(*db_, *settings_, Day(7, 4, 2024));
    header.supplier = "ALFA SRL";
    docs.setFilter(header.documentsFilter());
    EXPECT_EQ(docs.rowCount(), 2u);
}

TEST_F(NirOperationsTest, PrintedNoteIsLockedForACashierOnly) {
    const long long id = Add(Line("A", "2", "5.00"));
    EXPECT_FALSE(NirNoteLocked(kGradeCasier, 0));
    MarkNirNotePrinted(*db_, note_);
    EXPECT_EQ(Note().listat, 1);
    EXPECT_TRUE(NirNoteLocked(kGradeCasier, 1));
    EXPECT_FALSE(NirNoteLocked(kGradeContabil, 1));
    const auto refusal = DeleteNirNoteRefusal(Note(), kGradeCasier);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->title, "Stergere N.I.R.");
    EXPECT_EQ(refusal->text, "Nu aveti dreptul sa stergeti Receptia!");
    EXPECT_EQ(refusal->kind, MessageKind::Error);
    EXPECT_FALSE(DeleteNirNoteRefusal(Note(), kGradeAdmin));

    const std::string before = Snapshot();
    EXPECT_THROW(DeleteNirNote(*db_, note_, kGradeCasier), tables::EngineError);
    EXPECT_THROW(AddNirLine(*db_, *settings_, note_, Line("B", "1", "1"), kGradeCasier),
                 tables::EngineError);
    EXPECT_THROW(ModifyNirLine(*db_, *settings_, id, Line("A", "1", "5"), kGradeCasier),
                 tables::EngineError);
    EXPECT_THROW(DeleteNirLine(*db_, id, kGradeCasier), tables::EngineError);
    EXPECT_EQ(Snapshot(), before);
    ModifyNirLine(*db_, *settings_, id, Line("A", "1", "5"), kGradeContabil);
    DeleteNirNote(*db_, note_, kGradeAdmin);
    EXPECT_TRUE(Cards().empty());
}

TEST_F(NirOperationsTest, ChecksBeforeTheLineDialog) {
    EXPECT_EQ(AddNirLineProblem(std::nullopt)->message, "Alegeti mai intai o nota de receptie!");
    EXPECT_EQ(AddNirLineProblem(std::nullopt)->field, kNirListField);
    EXPECT_FALSE(AddNirLineProblem(Note()));
    EXPECT_EQ(ModifyNirLineProblem(Note(), std::nullopt)->message, "Nu exista nici un produs!");
    EXPECT_EQ(ModifyNirLineProblem(Note(), std::nullopt)->field, kNirLinesField);
    EXPECT_EQ(DeleteNirLineProblem(std::nullopt)->message, "Nu aveti ce sterge!");
    EXPECT_EQ(DeleteNirNoteProblem(std::nullopt)->message, "Nu aveti ce sterge!");
    EXPECT_EQ(PrintNirNoteProblem(std::nullopt)->message, "Nu aveti ce lista!");
    EXPECT_EQ(NirHeaderForm::ModifyProblem(std::nullopt)->message, "Nu aveti ce modifica!");
}

TEST_F(NirOperationsTest, FailureHalfWayLeavesTablesAndCountersAsBefore) {
    const long long id = Add(Line("NISIP", "99990", "1.00"));
    const std::string before = Snapshot();
    // Line written, totals recomputed, then the card's STOC N(8,2) cannot take 10 more.
    EXPECT_THROW(Add(Line("NISIP", "10", "1.00")), tables::EngineError);
    EXPECT_EQ(Snapshot(), before);
    // Modify: the old entry is reversed before the new one overflows the same card.
    Add(Line("NISIP", "9", "1.00"));
    const std::string second = Snapshot();
    EXPECT_THROW(ModifyNirLine(*db_, *settings_, id, Line("NISIP", "99995", "1.00"), kGradeAdmin),
                 tables::EngineError);
    EXPECT_EQ(Snapshot(), second);
    ExpectInvariants();
}

}  // namespace
}  // namespace tvx::core::stocktest
