// The exit and transfer dialog: the numbers proposed from each document name's counter, the
// names offered for an exit and for a transfer, the value leaving, and the checks of
// "Memoreaza" in their order.
#include <tuple>

#include "StockTestSupport.h"
#include "core/stock/ExitForm.h"
#include "core/stock/StockCards.h"

namespace tvx::core::stocktest {
namespace {

class ExitFormTest : public StockTest {
  protected:
    ExitCard Card() {
        ExitCard c;
        c.idCap = 1;
        c.location = "MAGAZIN";
        c.product = "ULEI";
        c.unit = "L";
        c.salePrice = D("2.50");
        c.stock = D("5");
        c.stockValue = D("12.5");
        return c;
    }
    void Reset(bool transfer = false) {
        form_.reset(*db_, Card(), transfer, {"DEPOZIT", "MAGAZIN", "SERVICE"}, Day(9, 12, 2026));
    }
    // Chooses `name` from the list and saves with the number proposed, or `number` typed.
    std::optional<FieldProblem> Save(const std::string& name, const std::string& number = {}) {
        Reset();
        form_.docJus = name;
        form_.documentChosen(*settings_);
        if (!number.empty()) form_.number = number;
        form_.quantity = "1";
        auto problem = form_.save();
        if (!problem) RecordExitNumber(*settings_, form_.document());  // as the posting does
        return problem;
    }
    // A movement of document `name` bringing `in` into a new card and taking `out` out.
    void Moved(const std::string& name, const char* in, const char* out) {
        const long long card =
            FindOrCreateLot(*db_, *settings_, "MAGAZIN", "MARFA", "X", "BUC", D("1"), D("1"));
        Movement m = D(in).isZero() ? ExitMovement(D(out), D(out)) : EntryMovement(D(in), D(in));
        m.idFisa = settings_->nextNumber("IDFISA");
        m.docJus = name;
        PostExit(*db_, card, m);
    }
    ExitForm form_;
};

TEST_F(ExitFormTest, NumbersComeFromEachNamesCounter) {
    Reset();
    form_.docJus = ExitForm::kConsumptionVoucher;
    form_.documentChosen(*settings_);
    EXPECT_EQ(form_.number, "1");
    ASSERT_FALSE(Save(ExitForm::kConsumptionVoucher));
    EXPECT_EQ(form_.document().nrDoc, 1);
    Reset();
    form_.docJus = ExitForm::kConsumptionVoucher;
    form_.documentChosen(*settings_);
    EXPECT_EQ(form_.number, "2");
    // A number typed instead moves the counter past it.
    ASSERT_FALSE(Save(ExitForm::kConsumptionVoucher, "7"));
    EXPECT_EQ(Counter("BON DE CONSUM"), "8");
    EXPECT_EQ(Counter("AVIZ DE INSOTIRE MARFA"), "1");  // untouched
    // A new name typed keeps the number typed; its counter is created at the save.
    Reset();
    form_.docJus = "proces  verbal";
    form_.number = "15";
    form_.quantity = "2";
    ASSERT_FALSE(form_.save());
    EXPECT_EQ(Counter("proces verbal"), "1");  // absent until the exit is posted
    RecordExitNumber(*settings_, form_.document());
    EXPECT_EQ(form_.docJus, "proces verbal");
    EXPECT_EQ(Counter("proces verbal"), "16");
    const ExitDocument doc = form_.document();
    EXPECT_EQ(doc.docJus, "proces verbal");
    EXPECT_EQ(doc.nrDoc, 15);
    EXPECT_EQ(doc.date, Day(9, 12, 2026));
    EXPECT_EQ(doc.quantity, D("2"));
    EXPECT_EQ(doc.value, D("5"));
    EXPECT_TRUE(doc.destination.empty());
}

TEST_F(ExitFormTest, ExitsAndTransfersAreOfferedTheirOwnNames) {
    Moved("BON INTERN", "0", "1");
    Moved("TRANSFER DEPOZIT", "0", "2");  // the source half...
    Moved("TRANSFER DEPOZIT", "2", "0");  // ...and the destination half
    Moved(ExitForm::kDeliveryNote, "0", "1");
    Moved(ExitForm::kDeliveryNote, "1", "0");
    Moved(kNirDocument, "0", "1");
    Moved("", "0", "1");
    EXPECT_EQ(ExitForm::DocumentNames(*db_, false),
              (std::vector<std::string>{"BON INTERN", ExitForm::kConsumptionVoucher,
                                        ExitForm::kDeliveryNote}));
    EXPECT_EQ(ExitForm::DocumentNames(*db_, true),
              (std::vector<std::string>{ExitForm::kDeliveryNote, "TRANSFER DEPOZIT"}));
    Reset(true);
    EXPECT_EQ(form_.title(), "Transfer produs");
    EXPECT_EQ(form_.destinationList, (std::vector<std::string>{"DEPOZIT", "SERVICE"}));
}

TEST_F(ExitFormTest, ValueFollowsTheQuantityAndShowsAnExcess) {
    Reset();
    for (const auto& [typed, value, over] :
         {std::tuple{"3", "7.5000", false}, std::tuple{"5.01", "12.5250", true},
          std::tuple{"1,5", "3.7500", false}, std::tuple{"abc", "0.0000", false}}) {
        form_.quantity = typed;
        form_.quantityChanged();
        EXPECT_EQ(form_.value.toString(), value) << typed;
        EXPECT_EQ(form_.overStock, over) << typed;
    }
}

TEST_F(ExitFormTest, ChecksRunInOrderAndPointAtTheirField) {
    struct Case {
        bool transfer;
        std::string name, number, quantity, destination;
        const char* field;
        std::string message;
    };
    using F = ExitForm;
    const Case cases[] = {
        {false, "   ", "0", "0", "", F::kDocumentField, "Nu ati scris documentul!"},
        {false, "N.I.R.", "0", "0", "", F::kDocumentField,
         "Numele documentului nu poate fi N.I.R.!"},
        {false, "IDFISA", "1", "1", "", F::kDocumentField,
         "Acest nume de document nu poate fi folosit!"},
        {false, "BON=2", "1", "1", "", F::kDocumentField,
         "Acest nume de document nu poate fi folosit!"},
        {false, "BON", "0", "0", "", F::kNumberField, "Nu ati scris numarul documentului!"},
        {false, "BON", "-3", "1", "", F::kNumberField, "Nu ati scris numarul documentului!"},
        {false, "BON", "1.5", "1", "", F::kNumberField,
         "Numarul documentului poate contine doar cifre!"},
        {false, "BON", "12345678901", "1", "", F::kNumberField,
         "Numarul documentului are cel mult 10 cifre!"},
        {false, "BON", "3", "0", "", F::kQuantityField, "Cantitatea iesita este incorecta!"},
        {false, "BON", "3", "x", "", F::kQuantityField, "Cantitatea iesita este incorecta!"},
        {false, "BON", "3", "1.005", "", F::kQuantityField,
         "Cantitatea iesita are cel mult 5 cifre si 2 zecimale!"},
        {false, "BON", "3", "5.01", "", F::kQuantityField,
         "Cantitatea iesita este mai mare decat stocul!"},
        {true, "BON", "3", "5", "", F::kDestinationField, "Nu ati ales Beneficiarul!"},
        {true, "BON", "3", "5", "MAGAZIN", F::kDestinationField, "Nu ati ales Beneficiarul!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " / " + c.number + " / " + c.quantity);
        Reset(c.transfer);
        form_.docJus = c.name;
        form_.number = c.number;
        form_.quantity = c.quantity;
        form_.destination = c.destination;
        const auto problem = form_.save();
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->field, c.field);
        EXPECT_EQ(problem->message, c.message);
    }
    // No failed check wrote a counter.
    EXPECT_EQ(Counter("BON"), "1");
    EXPECT_EQ(Counter("IDFISA"), "1");
    // The whole stock to a location of the list passes.
    Reset(true);
    form_.docJus = "BON";
    form_.number = "3";
    form_.quantity = "5";
    form_.destination = "DEPOZIT";
    ASSERT_FALSE(form_.save());
    EXPECT_EQ(form_.document().destination, "DEPOZIT");
    EXPECT_EQ(form_.document().value, D("12.5"));
    // A value the movement cannot hold is refused, never cut.
    ExitCard dear = Card();
    dear.salePrice = D("9999999.99");
    dear.stock = D("99999.99");
    form_.reset(*db_, dear, false, {}, Day(1, 1, 2026));
    form_.docJus = "BON";
    form_.number = "1";
    form_.quantity = "2";
    const auto problem = form_.save();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, "Valoarea iesita este prea mare!");
}

}  // namespace
}  // namespace tvx::core::stocktest
