// The note header dialog and the notes list: start values, the documents offered for a new
// note, the ordered checks, saving a new note from its incoming document, renumbering a
// note together with its stock movements, the list's join, order and search filter, and the
// printed placeholders.
#include "NirTestSupport.h"
#include "core/admin/Users.h"
#include "tables/EngineError.h"

namespace tvx::core::stocktest {
namespace {

class NirHeaderTest : public NirTest {
  protected:
    std::string Problem(NirHeaderForm& form, std::optional<long long> document) {
        const auto p = form.check(*db_, document);
        return p ? p->field + ": " + p->message : "ok";
    }
    std::vector<long long> Offered(const std::string& supplier) {
        NirHeaderForm form;
        form.startNew(*db_, *settings_, Day(1, 5, 2024));
        form.supplier = supplier;
        tables::ResultSet docs = NirHeaderForm::QueryDocuments(*db_);
        docs.setFilter(form.documentsFilter());
        std::vector<long long> ids;
        for (docs.first(); !docs.eof(); docs.next())
            ids.push_back(docs.asNumber("IDFACT").toLongLong());
        return ids;
    }
};

TEST_F(NirHeaderTest, NewNoteStartsFromCounterSettingsAndTheFirstSupplier) {
    settings_->setIndex("NRNIR", "41");
    settings_->writeSetting("NIR", "DELEGAT", "ION POP CI 123");
    settings_->writeSetting("NIR", "GESTIONAR", "ANA");
    NirHeaderForm form;
    form.startNew(*db_, *settings_, Day(9, 4, 2024));
    EXPECT_EQ(form.title(), "Adaugare N.I.R.");
    EXPECT_EQ(form.number, 41);
    EXPECT_EQ(form.date, Day(9, 4, 2024));
    EXPECT_EQ(form.suppliers, (std::vector<std::string>{"ALFA", "ALFA SRL", "BETA SA"}));
    EXPECT_EQ(form.supplier, "ALFA");
    EXPECT_EQ(form.delegate, "ION POP CI 123");
    EXPECT_EQ(form.receiver, "");
    EXPECT_EQ(form.storekeeper, "ANA");
    EXPECT_TRUE(form.documentPanelEnabled());
}

TEST_F(NirHeaderTest, OnlyDocumentsOfExactlyThatSupplierWithoutANoteAreOffered) {
    EXPECT_EQ(Offered("ALFA SRL"), (std::vector<long long>{1, 2}));
    EXPECT_EQ(Offered("ALFA"), (std::vector<long long>{4}));
    EXPECT_TRUE(Offered("ALF").empty());
    NewNote(1, 3, Day(5, 4, 2024));
    EXPECT_EQ(Offered("ALFA SRL"), (std::vector<long long>{2}));
}

TEST_F(NirHeaderTest, ChecksInOrder) {
    NewNote(1, 15, Day(5, 4, 2024));
    NirHeaderForm form;
    form.startNew(*db_, *settings_, Day(5, 4, 2024));
    form.number = 0;
    EXPECT_EQ(Problem(form, std::nullopt), "FactGrid: Nu ati ales nici o factura!");
    EXPECT_EQ(Problem(form, 2), "NrNirEdit: Nu ati scris numarul receptiei!");
    form.number = 15;
    EXPECT_EQ(Problem(form, 2), "NrNirEdit: Nota de Receptie exista deja!");
    form.date = Day(6, 4, 2024);
    form.delegate = "  ION  ";
    EXPECT_EQ(Problem(form, 2), "ok");
    EXPECT_EQ(form.delegate, "ION");
}

TEST_F(NirHeaderTest, NewNoteCopiesItsDocumentAndAdvancesTheCounters) {
    NirHeaderForm form;
    form.startNew(*db_, *settings_, Day(5, 4, 2024));
    form.number = 120;
    form.delegate = " ION ";
    form.receiver = "MARIA";
    form.storekeeper = "ANA";
    ASSERT_EQ(Problem(form, 3), "ok");
    const long long id = form.save(*db_, *settings_, 3);
    const NirNote note = *ReadNirNote(*db_, id);
    EXPECT_EQ(note.nrNir, 120);
    EXPECT_EQ(note.dataNir, Day(5, 4, 2024));
    EXPECT_EQ(note.idFact, 3);
    EXPECT_EQ(note.numeFact, "BON FISCAL");
    EXPECT_EQ(note.serieNr, "7");
    EXPECT_EQ(note.dataFact, Day(3, 4, 2024));
    EXPECT_EQ(note.furnizor, "BETA SA");
    EXPECT_EQ(note.tvaProc, Decimal(9));
    EXPECT_EQ(note.delegat, "ION");
    EXPECT_EQ(note.vmf, Decimal(0));
    EXPECT_EQ(note.listat, 0);
    EXPECT_EQ(Counter("NRNIR"), "121");
    EXPECT_EQ(Counter("IDNIR"), std::to_string(id + 1));
    EXPECT_EQ(settings_->readSetting("NIR", "DELEGAT"), "ION");
    EXPECT_EQ(settings_->readSetting("NIR", "RECEPTIONER"), "MARIA");
    // A document that vanished in between is an error that writes nothing.
    const std::string before = Snapshot();
    form.number = 121;
    EXPECT_THROW(form.save(*db_, *settings_, 99), tables::EngineError);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(NirHeaderTest, RenumberedNoteCarriesItsMovements) {
    const long long a = NewNote(1, 15, Day(5, 4, 2024));
    const long long b = NewNote(2, 16, Day(5, 4, 2024));
    AddNirLine(*db_, *settings_, a, Line("A", "2", "1"), kGradeAdmin);
    AddNirLine(*db_, *settings_, a, Line("B", "2", "1"), kGradeAdmin);
    AddNirLine(*db_, *settings_, b, Line("A", "2", "1"), kGradeAdmin);
    NirHeaderForm form;
    form.startEdit(*db_, *ReadNirNote(*db_, a));
    EXPECT_EQ(form.title(), "Modificare N.I.R.");
    EXPECT_FALSE(form.documentPanelEnabled());
    EXPECT_EQ(form.documentsFilter(), "");
    EXPECT_EQ(form.supplier, "ALFA SRL");
    form.number = 16;
    EXPECT_EQ(Problem(form, 1), "NrNirEdit: Nota de Receptie exista deja!");
    form.number = 15;  // itself is no collision
    EXPECT_EQ(Problem(form, 1), "ok");
    form.number = 30;
    form.date = Day(7, 4, 2024);
    form.receiver = "DAN";
    ASSERT_EQ(Problem(form, 1), "ok");
    EXPECT_EQ(form.save(*db_, *settings_, 1), a);
    const NirNote note = *ReadNirNote(*db_, a);
    EXPECT_EQ(note.nrNir, 30);
    EXPECT_EQ(note.dataNir, Day(7, 4, 2024));
    EXPECT_EQ(note.receptio, "DAN");
    EXPECT_EQ(note.idFact, 1);
    EXPECT_EQ(Count("Fise", "NRDOC=30 AND DINDATA='07.04.2024'"), 2);
    EXPECT_EQ(Count("Fise", "NRDOC=16 AND DINDATA='05.04.2024'"), 1);
    EXPECT_EQ(Count("Fise", "NRDOC=15"), 0);
    EXPECT_EQ(Counter("NRNIR"), "17");  // only a new note sets it
}

TEST_F(NirHeaderTest, NotesListJoinsOrdersAndFilters) {
    NewNote(2, 9, Day(6, 4, 2024));
    NewNote(1, 12, Day(5, 4, 2024));
    NewNote(3, 4, Day(6, 4, 2024));
    const long long gone = NewNote(4, 1, Day(1, 4, 2024));
    db_->execute("DELETE FROM FactIn WHERE IDFACT=4");
    tables::ResultSet notes = QueryNirNotes(*db_);
    std::vector<std::string> order;
    for (notes.first(); !notes.eof(); notes.next())
        order.push_back(notes.asText("NRNIR") + "/" + notes.asText("CUI"));
    EXPECT_EQ(order, (std::vector<std::string>{"12/RO123", "4/456", "9/RO123"}));
    EXPECT_FALSE(notes.locate("IDNIR", gone));

    EXPECT_EQ(NirNotesFilter("  alfa ", 0), "(FURNIZOR='alfa*')");
    EXPECT_EQ(NirNotesFilter("ALFA", 9), "(FURNIZOR='ALFA*') AND (NRNIR=9)");
    EXPECT_EQ(NirNotesFilter(" ", 0), "");
    EXPECT_EQ(NirNotesFilter("X)(Y", 0), "(FURNIZOR='X)(Y*')");  // one term, not split
    notes.setFilter(NirNotesFilter("ALFA", 0));
    EXPECT_EQ(notes.rowCount(), 2u);
    notes.setFilter(NirNotesFilter("", 4));
    ASSERT_EQ(notes.rowCount(), 1u);
    EXPECT_EQ(notes.asText("FURNIZOR"), "BETA SA");

    AddNirLine(*db_, *settings_, 1, Line("A", "1", "1"), kGradeAdmin);
    AddNirLine(*db_, *settings_, 2, Line("B", "1", "1"), kGradeAdmin);
    tables::ResultSet lines = QueryNirLines(*db_);
    lines.setFilter(NirLinesFilter(2));
    ASSERT_EQ(lines.rowCount(), 1u);
    EXPECT_EQ(lines.asText("PRODUS"), "B");
    lines.setFilter(NirLinesFilter(std::nullopt));
    EXPECT_TRUE(lines.empty());
}

TEST_F(NirHeaderTest, PrintPlaceholdersAndCounter) {
    const long long id = NewNote(1, 12, Day(5, 4, 2024));
    AddNirLine(*db_, *settings_, id, Line("A", "3", "10.00", "25"), kGradeAdmin);
    MarkNirNotePrinted(*db_, id);
    MarkNirNotePrinted(*db_, id);
    const NirNote note = *ReadNirNote(*db_, id);
    EXPECT_EQ(note.listat, 2);
    const auto tags = NirPrintPlaceholders(note, "TARVIX SRL", "RO123");
    const std::vector<std::pair<std::string, std::string>> expected{
        {"[SOC]", "TARVIX SRL"},
        {"[NRNIR]", "Nr. 12 din 05.04.2024"},
        {"[FURNIZOR]", "ALFA SRL, CUI: RO123"},
        {"[DELEGAT]", ""},
        {"[FACTURA]", "AB 100 / 01.04.2024"},
        {"[RECEPTIONER]", ""},
        {"[GESTIONAR]", ""},
        {"[NIRSUB1]", "30.00"},
        {"[NIRSUB2]", ""},
        {"[NIRSUB3]", "7.50"},
        {"[NIRSUB4]", "7.14"},
        {"[NIRSUB5]", "44.64"}};
    EXPECT_EQ(tags, expected);
}

}  // namespace
}  // namespace tvx::core::stocktest
