// The incoming documents list: adding (a fiscal receipt pays itself), modifying (REST moves
// by the change of the total; the supplier follows on payments and notes), the supplier
// search and ordering, payments lowering and raising what is left to pay, the refusals and
// questions of the buttons, deleting, and that a failed document leaves nothing behind.
#include <gtest/gtest.h>

#include "PurchasesTestSupport.h"
#include "core/purchases/IncomingDocument.h"
#include "core/purchases/IncomingInvoiceEditor.h"
#include "core/purchases/IncomingInvoices.h"
#include "core/purchases/PaymentEntry.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;

const Date kToday = Date::fromYmd(2024, 3, 15);

class ListTest : public purchasestest::PurchasesTest {
  protected:
    void SetUp() override {
        PurchasesTest::SetUp();
        list_ = std::make_unique<IncomingInvoices>(db(), settings());
    }
    // Adds a document through the editor as "Adauga Intrare" does.
    long long Add(const std::string& supplier, const std::string& kind, const std::string& gross,
                  int vat = 19, Date date = kToday, const std::string& number = "A 1") {
        IncomingInvoiceEditor editor(db());
        editor.startNew(settings(), kToday);
        editor.furnizor = supplier;
        editor.numeFact = kind;
        editor.seriaNr = number;
        editor.dataIn = date;
        editor.dataScad = date;
        editor.cui = "14399840";
        editor.tvaProc = std::to_string(vat);
        editor.totalCuTva = gross;
        EXPECT_FALSE(editor.check());
        return list_->addDocument(editor);
    }
    long long Pay(const std::string& sum, const std::string& kind = "CHITANTA") {
        PaymentEntry entry;
        list_->startNewPayment(entry);
        entry.docJus = kind;
        entry.seriaNr = " ch 7 ";
        entry.suma = sum;
        EXPECT_FALSE(entry.check());
        return list_->addPayment(entry);
    }
    std::string Rest(long long id) { return ReadIncomingDocument(db(), id)->rest.toString(); }
    std::vector<std::string> Suppliers(tables::ResultSet rs) {
        std::vector<std::string> names;
        for (rs.first(); !rs.eof(); rs.next()) names.push_back(rs.asText("FURNIZOR"));
        return names;
    }
    std::unique_ptr<IncomingInvoices> list_;
};

TEST_F(ListTest, AFiscalReceiptIsPaidByItsOwnPaymentOtherKindsOweTheirTotal) {
    settings().setIndex("IDCHIT", "40");  // shared with the outgoing receipts
    const long long invoice = Add("ALFA", "FACTURA FISCALA", "119");
    const long long receipt =
        Add("BETA", "BON FISCAL", "59.5", 19, Date::fromYmd(2024, 3, 2), "BF 9");
    EXPECT_EQ(invoice, 1);
    EXPECT_EQ(receipt, 2);
    EXPECT_EQ(Rest(invoice), "119.00");
    EXPECT_EQ(Rest(receipt), "0.00");
    EXPECT_EQ(ReadIncomingDocument(db(), invoice)->valoare.toString(), "100.00");

    list_->current = receipt;
    auto payments = list_->payments();
    ASSERT_EQ(payments.rowCount(), 1u);
    payments.first();
    EXPECT_EQ(payments.asText("IDCHIT"), "40");
    EXPECT_EQ(payments.asText("DOCJUS"), "BON FISCAL");
    EXPECT_EQ(payments.asText("SERIANR"), "BF 9");
    EXPECT_EQ(payments.asText("DATAC"), "02.03.2024");
    EXPECT_EQ(payments.asText("PLATIT"), "59.50");
    EXPECT_EQ(payments.asText("INCLTVA"), "59.50");
    EXPECT_EQ(payments.asText("REPREZ"), "Bon Fiscal : BETA");
    EXPECT_EQ(settings().peekIndex("IDCHIT"), "41");

    list_->current = invoice;
    EXPECT_TRUE(list_->payments().empty());
}

TEST_F(ListTest, PaymentsLowerWhatIsLeftAndChangesMoveItBack) {
    const long long id =
        Add("ALFA SRL", "FACTURA FISCALA", "119", 19, Date::fromYmd(2024, 3, 5), "AB 77");
    list_->current = id;
    PaymentEntry entry;
    list_->startNewPayment(entry);
    EXPECT_EQ(entry.title(), std::string("Adaugare plata"));
    EXPECT_EQ(entry.suma, "119.00");  // proposed: what is left
    EXPECT_EQ(entry.dataC, Date::fromYmd(2024, 3, 5));
    EXPECT_EQ(entry.docJus, "CHITANTA");
    EXPECT_EQ(entry.documentText, "FACTURA FISCALA nr.AB 77 / 05.03.2024");
    EXPECT_EQ(entry.restText, "119.00 lei.");

    const long long first = Pay("50");
    EXPECT_EQ(Rest(id), "69.00");
    auto paid = *ReadPayment(db(), first);
    EXPECT_EQ(paid.seriaNr, "CH 7");
    EXPECT_EQ(paid.furnizor, "ALFA SRL");
    EXPECT_EQ(paid.inclTva.toString(), "7.98");  // 50 x 19 / 119 = 7.9831...
    EXPECT_EQ(paid.reprez, "achitat ALFA SRL cvf.AB 77/05.03.2024");

    Pay("80");  // more than is left: REST goes below zero
    EXPECT_EQ(Rest(id), "-11.00");

    list_->currentPayment = first;
    list_->startEditPayment(entry);
    EXPECT_EQ(entry.title(), std::string("Modificare plata"));
    EXPECT_EQ(entry.suma, "50.00");
    entry.suma = "39";
    entry.docJus = "ordin de plata";
    ASSERT_FALSE(entry.check());
    list_->updatePayment(entry);
    EXPECT_EQ(Rest(id), "0.00");  // -11 + 50 - 39
    paid = *ReadPayment(db(), first);
    EXPECT_EQ(paid.platit.toString(), "39.00");
    EXPECT_EQ(paid.inclTva.toString(), "6.23");  // 39 x 19 / 119 = 6.2268...
    EXPECT_EQ(paid.docJus, "ORDIN DE PLATA");

    EXPECT_EQ(list_->deletePaymentQuestion().text, "Doriti sa stergeti ORDIN DE PLATA  nr.CH 7?");
    list_->removePayment();
    EXPECT_EQ(Rest(id), "39.00");
    EXPECT_EQ(list_->currentPayment, 0);
    EXPECT_EQ(list_->payments().rowCount(), 1u);
}

TEST_F(ListTest, TheSumIsRefusedWhenZeroOrNotANumber) {
    list_->current = Add("ALFA", "FACTURA FISCALA", "10");
    PaymentEntry entry;
    list_->startNewPayment(entry);
    for (const char* bad : {"0", "0.00", "-0", "", "abc", "10000000", "-10000000"}) {
        entry.suma = bad;
        const auto problem = entry.check();
        ASSERT_TRUE(problem) << bad;
        EXPECT_EQ(problem->field, PaymentEntry::kSumField);
        EXPECT_EQ(problem->message, "Suma incorecta!");
    }
    entry.suma = "9999999.99";
    EXPECT_FALSE(entry.check());
}

TEST_F(ListTest, AnOverpaidDocumentTakesTheProposedNegativeRestAsARefund) {
    const long long id = Add("ALFA", "FACTURA FISCALA", "10");
    list_->current = id;
    Pay("12.50");
    EXPECT_EQ(Rest(id), "-2.50");
    PaymentEntry entry;
    list_->startNewPayment(entry);
    EXPECT_EQ(entry.suma, "-2.50");
    ASSERT_FALSE(entry.check());
    list_->addPayment(entry);
    EXPECT_EQ(Rest(id), "0.00");
}

TEST_F(ListTest, AlreadyPaidQuestionOnlyAtRestExactlyZero) {
    const long long id = Add("ALFA", "FACTURA FISCALA", "10");
    list_->current = id;
    EXPECT_FALSE(list_->alreadyPaidQuestion());
    Pay("9.99");
    EXPECT_FALSE(list_->alreadyPaidQuestion());
    Pay("0.01");
    const auto question = list_->alreadyPaidQuestion();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->title, "Adaugare plata");
    EXPECT_EQ(question->text, "Factura aleasa este deja achitata!\rContinuati totusi ?");
    EXPECT_EQ(question->kind, MessageKind::Warning);
    Pay("1");
    EXPECT_FALSE(list_->alreadyPaidQuestion());  // overpaid is not "paid"
}

TEST_F(ListTest, ModifyingMovesRestByTheChangeOfTotalAndRenamesEverywhere) {
    const long long id = Add("ALFA", "FACTURA FISCALA", "100");
    const long long other = Add("ALFA", "FACTURA FISCALA", "30");
    list_->current = id;
    Pay("40");
    db().execute("INSERT INTO " + table("CapNIR") +
                     " (IDNIR, NRNIR, DATANIR, IDFACT, FURNIZOR, NUMEFACT, SERIENR, TVAPROC)"
                     " VALUES (1, 12, \"10.03.2024\", :id, 'ALFA', 'FACTURA FISCALA', 'A 1', 19)",
                 {{"id", id}});

    IncomingInvoiceEditor editor(db());
    list_->startEdit(editor);
    editor.furnizor = "gama";
    editor.seriaNr = "g 5";
    editor.tvaProc = "9";
    editor.dataIn = Date::fromYmd(2024, 3, 1);
    editor.dataScad = Date::fromYmd(2024, 4, 1);
    editor.totalCuTva = "120";
    ASSERT_FALSE(editor.check());
    list_->updateDocument(editor);

    const auto doc = *ReadIncomingDocument(db(), id);
    EXPECT_EQ(doc.rest.toString(), "80.00");
    EXPECT_EQ(doc.total.toString(), "120.00");
    EXPECT_EQ(doc.furnizor, "GAMA");
    EXPECT_EQ(value("SELECT FURNIZOR FROM " + table("ChitIn") + " WHERE IDFACT=:id", {{"id", id}}),
              "GAMA");
    auto note = db().query("SELECT * FROM " + table("CapNIR"));
    note.first();
    EXPECT_EQ(note.asText("FURNIZOR"), "GAMA");
    EXPECT_EQ(note.asText("SERIENR"), "G 5");
    EXPECT_EQ(note.asText("TVAPROC"), "9");
    EXPECT_EQ(note.asText("DATAFACT"), "01.03.2024");
    EXPECT_EQ(note.asText("NRNIR"), "12");  // the note's own fields stay
    EXPECT_EQ(ReadIncomingDocument(db(), other)->furnizor, "ALFA");
}

TEST_F(ListTest, SupplierSearchFiltersByPrefixAndTheOrderFollowsTheTitleClicked) {
    Add("ALFA", "FACTURA FISCALA", "300", 19, Date::fromYmd(2024, 1, 3));
    Add("ALBASTRU", "FACTURA FISCALA", "100", 19, Date::fromYmd(2024, 1, 2));
    Add("BETA ALFA", "FACTURA FISCALA", "200", 19, Date::fromYmd(2024, 1, 1));
    Add("O'NEIL", "FACTURA FISCALA", "50", 19, Date::fromYmd(2024, 1, 4));

    EXPECT_EQ(Suppliers(list_->documents()),
              (std::vector<std::string>{"BETA ALFA", "ALBASTRU", "ALFA", "O`NEIL"}));
    list_->searchText = "  al ";
    EXPECT_EQ(Suppliers(list_->documents()), (std::vector<std::string>{"ALBASTRU", "ALFA"}));
    list_->searchText = "alf";
    EXPECT_EQ(Suppliers(list_->documents()), (std::vector<std::string>{"ALFA"}));
    list_->searchText = "o'n";
    EXPECT_EQ(Suppliers(list_->documents()), (std::vector<std::string>{"O`NEIL"}));
    list_->searchText = "ZZ";
    EXPECT_TRUE(list_->documents().empty());
    EXPECT_EQ(IncomingInvoices::SupplierFilter("   "), "");

    list_->searchText.clear();
    list_->sortBy("total");
    EXPECT_EQ(Suppliers(list_->documents()),
              (std::vector<std::string>{"O`NEIL", "ALBASTRU", "BETA ALFA", "ALFA"}));
    EXPECT_THROW(list_->sortBy("TOTAL; DELETE FROM FactIn"), tables::EngineError);
    EXPECT_EQ(list_->sortField(), "TOTAL");
}

TEST_F(ListTest, PaymentsListShowsOnlyTheCurrentDocumentsNeverTheCashBooks) {
    const long long a = Add("ALFA", "FACTURA FISCALA", "10");
    const long long b = Add("BETA", "FACTURA FISCALA", "10");
    list_->current = a;
    Pay("1");
    Pay("2");
    list_->current = b;
    Pay("3");
    db().execute("INSERT INTO " + table("ChitIn") +
                 " (IDCHIT, IDFACT, DOCJUS, PLATIT) VALUES (99, -1, 'CHITANTA', 5)");
    EXPECT_EQ(list_->payments().rowCount(), 1u);
    list_->current = a;
    EXPECT_EQ(list_->payments().rowCount(), 2u);
    list_->current = 0;
    EXPECT_TRUE(list_->payments().empty());
}

TEST_F(ListTest, ButtonsOnAnEmptyListGiveTheirBalloons) {
    using L = IncomingInvoices;
    const std::vector<std::pair<std::optional<FieldProblem>, FieldProblem>> cases = {
        {list_->editProblem(), {L::kEditDocumentButton, "Nu aveti ce modifica!"}},
        {list_->deleteProblem(), {L::kDeleteDocumentButton, "Nu aveti ce sterge!"}},
        {list_->addPaymentProblem(),
         {L::kAddPaymentButton, "Alegeti sau adaugati mai intai o factura!"}},
        {list_->editPaymentProblem(), {L::kEditPaymentButton, "Nu exista nici o plata!"}},
        {list_->deletePaymentProblem(), {L::kDeletePaymentButton, "Nu aveti ce sterge!"}}};
    for (const auto& [got, expected] : cases) {
        ASSERT_TRUE(got) << expected.message;
        EXPECT_EQ(got->field, expected.field);
        EXPECT_EQ(got->message, expected.message);
    }
    Add("ALFA", "FACTURA FISCALA", "10");
    EXPECT_FALSE(list_->editProblem() || list_->deleteProblem() || list_->addPaymentProblem());
    EXPECT_TRUE(list_->editPaymentProblem());
}

TEST_F(ListTest, ADocumentWithANoteCannotBeDeletedWithoutItGoesWithItsPayments) {
    const long long id = Add("ALFA", "FACTURA FISCALA", "100", 19, kToday, "F 10");
    const long long other = Add("BETA", "FACTURA FISCALA", "50");
    list_->current = other;
    Pay("5");
    list_->current = id;
    Pay("10");
    Pay("20");
    db().execute("INSERT INTO " + table("CapNIR") +
                     " (IDNIR, NRNIR, DATANIR, IDFACT) VALUES (3, 41, \"07.03.2024\", :id)",
                 {{"id", id}});

    const auto refusal = list_->deleteRefusal();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->title, "Stergere Factura");
    EXPECT_EQ(refusal->text, "Stergeti mai intai Nota de receptie\rnr. 41 / 07.03.2024!");
    EXPECT_EQ(refusal->kind, MessageKind::Error);
    const auto before = snapshot();
    EXPECT_THROW(list_->removeDocument(), tables::EngineError);
    EXPECT_EQ(snapshot(), before);

    db().execute("DELETE FROM " + table("CapNIR"));
    EXPECT_FALSE(list_->deleteRefusal());
    const Message question = list_->deleteQuestion();
    EXPECT_EQ(question.text, "Sunteti sigur ca vreti sa stergeti FACTURA FISCALA F 10 ?");
    EXPECT_EQ(question.kind, MessageKind::Warning);
    list_->removeDocument();
    EXPECT_EQ(list_->current, 0);
    EXPECT_FALSE(ReadIncomingDocument(db(), id));
    EXPECT_EQ(count("ChitIn"), "1");
    EXPECT_EQ(value("SELECT IDFACT FROM " + table("ChitIn")), std::to_string(other));
}

TEST_F(ListTest, AFailedDocumentLeavesTablesAndCountersAsTheyWere) {
    Add("ALFA", "BON FISCAL", "10", 9);
    const auto before = snapshot();
    // A total wider than its field fails at the insert, after the counters were taken.
    EXPECT_THROW(Add("BETA", "BON FISCAL", "123456789012", 5), tables::EngineError);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(settings().readVatRate(), 9);
    EXPECT_EQ(settings().peekIndex("IDFACT"), "2");

    list_->current = 1;
    PaymentEntry entry;
    list_->startNewPayment(entry);
    entry.suma = "5";
    ASSERT_FALSE(entry.check());
    list_->current = 77;  // a document that is gone
    EXPECT_THROW(list_->addPayment(entry), tables::EngineError);
    EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace tvx::core
