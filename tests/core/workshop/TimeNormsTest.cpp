// The time norms in core: the two lists and the grid they narrow, an operation added for a
// new car type, modified and deleted, the quantity and standard time set on an operation,
// the rate of a whole section of a car type, the refusals of an empty grid, and the ordered
// checks of the operation, rate and quantity dialogs with the rate proposed from settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../CoreTestSupport.h"
#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/workshop/TimeNorms.h"
#include "tables/Database.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using tables::Decimal;
using Strings = std::vector<std::string>;

Decimal D(const char* text) {
    return *Decimal::parse(text);
}

class TimeNormsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data_ = dir_.path() / "Data";
        fs::create_directories(data_);
        db_ = std::make_unique<tables::Database>(data_, dir_.path());
        db_->setDurable(false);
        CreateMissingTables(*db_);
        settings_ = std::make_unique<Settings>(data_ / "Tvx2010.set", db_.get());
        settings_->setIndex("IDTIMP", "50");
        norms_.emplace(*db_, *settings_);
    }

    // An operation stored as an earlier use of the window leaves it.
    void Seed(long long id, const char* car, const char* section, const char* code,
              const char* name, const char* hours, const char* rate, const char* cant = "0") {
        db_->execute(
            "INSERT INTO Timp (IDTIMP, TIPAUTO, SECTIA, DENUMIRE, COD, TIMP, LEIORA, CANT)"
            " VALUES (:id, :t, :s, :d, :c, :h, :r, :q)",
            {{"id", id},
             {"t", car},
             {"s", section},
             {"d", name},
             {"c", code},
             {"h", D(hours)},
             {"r", D(rate)},
             {"q", D(cant)}});
    }
    void SeedShop() {
        Seed(1, "DACIA", "MECANICA", "M02", "SCHIMB ULEI", "0.5", "100");
        Seed(2, "DACIA", "MECANICA", "M01", "DISTRIBUTIE", "3", "100");
        Seed(3, "DACIA", "ELECTRICA", "E01", "ALTERNATOR", "1.2", "90");
        Seed(4, "FORD", "MECANICA", "M01", "DISTRIBUTIE", "3.5", "110");
    }
    // "id|TIMP|LEIORA|CANT" of an operation.
    std::string Row(long long id) {
        auto rs = db_->query("SELECT TIMP, LEIORA, CANT FROM Timp WHERE IDTIMP=:id", {{"id", id}});
        if (rs.empty()) return "none";
        return std::to_string(id) + "|" + rs.asNumber("TIMP").toString() + "|" +
               rs.asNumber("LEIORA").toString() + "|" + rs.asNumber("CANT").toString();
    }
    Strings Shown(const char* field) {
        Strings values;
        auto& rows = norms_->rows();
        for (size_t i = 0; i < rows.rowCount(); ++i)
            values.push_back(rows.at(i, rows.fieldIndex(field)).toString());
        return values;
    }
    void Choose(const std::string& car, const std::string& section) {
        norms_->chooseCarType(SelectListItem(norms_->carTypes(), car));
        norms_->chooseSection(SelectListItem(norms_->sections(), section));
    }
    TimeNormEntry Entry(const char* car, const char* section, const char* name, const char* code,
                        const char* hours, const char* rate) {
        TimeNormEntry e;
        norms_->startAdd(e);
        e.carType = car;
        e.section = section;
        e.name = name;
        e.code = code;
        e.hours = hours;
        e.rate = rate;
        EXPECT_FALSE(e.check());
        return e;
    }

    testsupport::ScratchDir dir_;
    fs::path data_;
    std::unique_ptr<tables::Database> db_;
    std::unique_ptr<Settings> settings_;
    std::optional<TimeNorms> norms_;
};

TEST_F(TimeNormsTest, NothingChosenAtOpeningAndTheListsNarrowTheGrid) {
    SeedShop();
    norms_->open();
    EXPECT_EQ(norms_->carTypes(), (Strings{"DACIA", "FORD"}));
    EXPECT_EQ(norms_->sections(), (Strings{"ELECTRICA", "MECANICA"}));
    EXPECT_EQ(norms_->carTypeIndex(), -1);
    EXPECT_EQ(norms_->sectionIndex(), -1);
    EXPECT_TRUE(norms_->rows().empty());
    norms_->chooseCarType(0);
    EXPECT_TRUE(norms_->rows().empty()) << "one list chosen is not enough";
    norms_->chooseSection(1);
    EXPECT_EQ(Shown("COD"), (Strings{"M01", "M02"}));
    // Moving to the second row, then another car type: the row is kept where it still shows.
    norms_->rows().locate("IDTIMP", 1LL);
    norms_->chooseCarType(1);
    EXPECT_EQ(Shown("IDTIMP"), (Strings{"4"}));
    norms_->chooseCarType(0);
    EXPECT_EQ(norms_->currentId(), 2) << "row 1 was not shown under FORD, so the first row";
    norms_->rows().locate("IDTIMP", 1LL);
    norms_->chooseSection(1);
    EXPECT_EQ(norms_->currentId(), 1);
}

TEST_F(TimeNormsTest, EmptyGridRefusesEachCommandAtTheGrid) {
    norms_->open();
    TimeNormEntry entry;
    const std::vector<std::pair<std::optional<FieldProblem>, const char*>> refusals = {
        {norms_->startEdit(entry), "Nu aveti ce modifica!"},
        {norms_->deleteRefusal(), "Nu aveti ce sterge!"},
        {norms_->quantityRefusal(), "Nu aveti nici o operatiune!"},
        {norms_->printRefusal(), "Nu aveti ce lista!"}};
    for (const auto& [problem, message] : refusals) {
        ASSERT_TRUE(problem) << message;
        EXPECT_EQ(problem->message, message);
        EXPECT_EQ(problem->field, TimeNorms::kGrid);
    }
}

TEST_F(TimeNormsTest, AddingForANewCarTypeChoosesItAndShowsTheOperation) {
    SeedShop();
    settings_->writeSetting("DACIA", "MECANICA", "85");
    norms_->open();
    TimeNormEntry e;
    norms_->startAdd(e);
    EXPECT_EQ(e.rate, "0");
    Choose("DACIA", "MECANICA");
    norms_->startAdd(e);
    EXPECT_EQ(e.carType, "DACIA");
    EXPECT_EQ(e.section, "MECANICA");
    EXPECT_EQ(e.hours, "0");
    EXPECT_EQ(e.rate, "85") << "proposed for the car type and section shown";
    EXPECT_EQ(e.carTypes, norms_->carTypes());
    const long long id =
        norms_->add(Entry(" renault  clio ", "caroserie", "Vopsit \"usa\"", "c1", "0", "120.5"));
    EXPECT_EQ(id, 50);
    EXPECT_EQ(settings_->peekIndex("IDTIMP"), "51");
    EXPECT_EQ(norms_->carTypes(), (Strings{"DACIA", "FORD", "RENAULT CLIO"}));
    EXPECT_EQ(norms_->carType(), "RENAULT CLIO");
    EXPECT_EQ(norms_->section(), "CAROSERIE");
    EXPECT_EQ(norms_->currentId(), 50);
    EXPECT_EQ(norms_->rows().asText("DENUMIRE"), "Vopsit `usa`");
    EXPECT_EQ(norms_->rows().asText("COD"), "C1");
    EXPECT_EQ(Row(50), "50|0.00|120.50|0.00");
}

TEST_F(TimeNormsTest, ModifyingKeepsTheListsAndAMovedOperationLeavesTheGrid) {
    SeedShop();
    norms_->open();
    Choose("DACIA", "MECANICA");
    norms_->rows().locate("IDTIMP", 1LL);
    Seed(9, "DACIA", "MECANICA", "M03", "X", "1", "1", "2");
    TimeNormEntry e;
    ASSERT_FALSE(norms_->startEdit(e));
    EXPECT_EQ(e.name, "SCHIMB ULEI");
    EXPECT_EQ(e.hours, "0.5");
    EXPECT_EQ(e.rate, "100");
    e.hours = "0.75";
    ASSERT_FALSE(e.check());
    norms_->update(e);
    EXPECT_EQ(Row(1), "1|0.75|100.00|0.00");
    EXPECT_EQ(norms_->currentId(), 1);

    ASSERT_FALSE(norms_->startEdit(e));
    e.carType = "SKODA";
    ASSERT_FALSE(e.check());
    norms_->update(e);
    EXPECT_EQ(Shown("IDTIMP"), (Strings{"2", "9"}));
    EXPECT_EQ(norms_->carTypes(), (Strings{"DACIA", "FORD"})) << "the lists are not refilled";
    EXPECT_EQ(Row(9), "9|1.00|1.00|2.00") << "other rows untouched";
}

TEST_F(TimeNormsTest, DeletingRemovesOnlyTheCurrentOperation) {
    SeedShop();
    norms_->open();
    Choose("DACIA", "MECANICA");
    EXPECT_EQ(TimeNorms::deleteQuestion().title, "Stergere operatiune");
    EXPECT_EQ(TimeNorms::deleteQuestion().text, "Stergem operatiunea aleasa?");
    norms_->rows().locate("IDTIMP", 1LL);
    norms_->remove();
    EXPECT_EQ(Row(1), "none");
    EXPECT_EQ(Shown("IDTIMP"), (Strings{"2"}));
    EXPECT_NE(Row(4), "none");
}

TEST_F(TimeNormsTest, QuantitySetsCantAndTheNewStandardTime) {
    SeedShop();
    norms_->open();
    Choose("DACIA", "MECANICA");
    norms_->rows().locate("IDTIMP", 1LL);
    EXPECT_EQ(norms_->currentHours(), D("0.5"));
    EXPECT_FALSE(norms_->setQuantity(D("2"), D("0.6")));
    EXPECT_EQ(Row(1), "1|0.60|100.00|2.00");
    EXPECT_EQ(norms_->currentId(), 1);
    // Refused values change nothing.
    const auto refused = norms_->setQuantity(D("1"), D("1000"));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->field, "TimpEd");
    EXPECT_EQ(Row(1), "1|0.60|100.00|2.00");
}

TEST_F(TimeNormsTest, RateChangesEverySectionOfThatCarTypeOnly) {
    SeedShop();
    norms_->open();
    Choose("DACIA", "MECANICA");
    norms_->rows().locate("IDTIMP", 1LL);
    HourlyRateEntry rate;
    norms_->startRate(rate);
    EXPECT_EQ(rate.carTypes, (Strings{"DACIA", "FORD"}));
    EXPECT_EQ(rate.carType, "");
    EXPECT_EQ(rate.rate, "0");
    rate.carType = "DACIA";
    rate.section = "MECANICA";
    rate.rate = "120";
    ASSERT_FALSE(rate.check());
    EXPECT_EQ(norms_->setRate(rate), 2);
    EXPECT_EQ(Row(1), "1|0.50|120.00|0.00");
    EXPECT_EQ(Row(2), "2|3.00|120.00|0.00");
    EXPECT_EQ(Row(3), "3|1.20|90.00|0.00");
    EXPECT_EQ(Row(4), "4|3.50|110.00|0.00");
    EXPECT_EQ(norms_->currentId(), 1);
}

TEST_F(TimeNormsTest, ResetZeroesEveryQuantity) {
    Seed(1, "DACIA", "MECANICA", "M01", "A", "1", "100", "3");
    Seed(2, "FORD", "ELECTRICA", "E01", "B", "1", "100", "1.5");
    ResetTimeQuantities(*db_);
    EXPECT_EQ(Row(1), "1|1.00|100.00|0.00");
    EXPECT_EQ(Row(2), "2|1.00|100.00|0.00");
}

// ---- Dialog checks ----

struct OperationCase {
    const char *car, *section, *name, *hours, *rate;
    const char* field;  // nullptr: accepted
    const char* message;
};

TEST(TimeNormEntryTest, OperationChecksInOrder) {
    const std::vector<OperationCase> cases = {
        {" ", "MEC", "X", "1", "100", "TipAuto", "Lipseste marca masinii!"},
        {"DACIA", "", "", "1", "0", "Sectia", "Lipseste Denumirea atelierului!"},
        {"DACIA", "MEC", " \t", "1", "0", "Denumire", "Lipseste Denumirea Operatiunii!"},
        {"DACIA", "MEC", "X", "0", "0", "Tarif", "Lipseste Tariful!"},
        {"DACIA", "MEC", "X", "0", "-5", "Tarif", "Lipseste Tariful!"},
        {"DACIA", "MEC", "X", "0", "", "Tarif", "Lipseste Tariful!"},
        {"DACIA", "MEC", "X", "0", "1000", "Tarif", "Tarif incorect!"},
        {"DACIA", "MEC", "X", "1.234", "10", "Timp", "Timp incorect!"},
        {"DACIA", "MEC", "X", "0", "0.01", nullptr, nullptr},
        {"DACIA", "MEC", "X", "999.99", "999,99", nullptr, nullptr},
    };
    for (const OperationCase& c : cases) {
        TimeNormEntry e;
        e.startNew({}, {}, c.car, c.section);
        e.name = c.name;
        e.hours = c.hours;
        e.rate = c.rate;
        const auto problem = e.check();
        SCOPED_TRACE(std::string(c.name) + "/" + c.hours + "/" + c.rate);
        if (!c.field) {
            EXPECT_FALSE(problem) << problem->message;
            continue;
        }
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->field, c.field);
        EXPECT_EQ(problem->message, c.message);
    }
    TimeNormEntry e;
    e.startNew({}, {}, "dacia", "mec");
    e.name = "x";
    e.rate = "999,99";
    ASSERT_FALSE(e.check());
    EXPECT_EQ(e.norm().rate, D("999.99"));
    EXPECT_EQ(e.carType, "DACIA");
}

TEST(TimeNormEntryTest, RateDialogAndQuantityDialogChecks) {
    HourlyRateEntry r;
    r.start({"DACIA"}, {"MECANICA"});
    r.carType = "  ";
    EXPECT_EQ(r.check()->message, "Nu ati specificat marca !");
    r.carType = "DACIA";
    EXPECT_EQ(r.check()->message, "Nu ati specificat Atelierul !");
    EXPECT_EQ(r.check()->field, "Sectia");
    r.section = "MECANICA";
    EXPECT_FALSE(r.check()) << "a rate of 0 is set as typed";
    r.rate = "100000";  // LEIORA holds 99999.99
    EXPECT_EQ(r.check()->field, "Tarif");
    r.rate = "99999";
    EXPECT_FALSE(r.check());
    EXPECT_EQ(r.value(), Decimal(99999));

    struct Q {
        const char *quantity, *hours, *field;
    };
    for (const Q& q : std::vector<Q>{{"2", "1.5", nullptr},
                                     {"0", "0", nullptr},
                                     {"-1", "1", "CantEd"},
                                     {"1", "-1", "TimpEd"},
                                     {"1", "1000", "TimpEd"},
                                     {"100000", "0", "CantEd"},
                                     {"1000", "100", "CantEd"}}) {
        const auto problem = CheckNormQuantity(D(q.quantity), D(q.hours));
        SCOPED_TRACE(std::string(q.quantity) + " x " + q.hours);
        if (!q.field) {
            EXPECT_FALSE(problem);
        } else {
            ASSERT_TRUE(problem);
            EXPECT_EQ(problem->field, q.field);
        }
    }
}

TEST_F(TimeNormsTest, ProposedRateComesFromTheCarTypeSectionOfTheSettings) {
    settings_->writeSetting("DACIA", "MECANICA", "85.5");
    settings_->writeSetting("FORD", "MECANICA", "mult");
    TimeNormEntry e;
    e.startNew({}, {}, "DACIA", "MECANICA");
    e.proposeRate(*settings_);
    EXPECT_EQ(e.rate, "85.5");
    e.carType = "FORD";
    e.proposeRate(*settings_);
    EXPECT_EQ(e.rate, "0") << "not a number";
    e.carType = "DACIA";
    e.section = "ELECTRICA";
    e.proposeRate(*settings_);
    EXPECT_EQ(e.rate, "0") << "no such key";
}

}  // namespace
}  // namespace tvx::core
