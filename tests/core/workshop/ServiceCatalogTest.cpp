// The service catalog in core: the cascading lists and the grid they filter (also for stored
// texts holding quotes or a final '*'), an empty catalog, adding in a new group, a service
// without a category, modifying and deleting, the counter that only a saved add moves, and
// the ordered checks of the service dialog.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../CoreTestSupport.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/workshop/ServiceCatalog.h"
#include "core/workshop/ServiceEntry.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class ServiceCatalogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data_ = dir_.path() / "Data";
        fs::create_directories(data_);
        db_ = std::make_unique<tables::Database>(data_, dir_.path());
        db_->setDurable(false);
        CreateMissingTables(*db_);
        settings_ = std::make_unique<Settings>(data_ / "Tvx2010.set", db_.get());
        settings_->setIndex("IDCAT", "100");
        catalog_.emplace(*db_, *settings_);
    }

    std::string table() { return QuotedPath(TableFile(*db_, "Catalog")); }
    // A row stored as an earlier version or another program may have left it.
    void Seed(long long id, const std::string& group, const std::string& subgroup,
              const std::string& category, const std::string& product, const char* price = "10") {
        db_->execute("INSERT INTO " + table() +
                         " (IDCAT, GRUPA, SUBGRUPA, CATEG, PRODUS, UM, VALOUT, OBS) VALUES"
                         " (:id, :g, :s, :c, :p, 'ORA', :v, '')",
                     {{"id", id},
                      {"g", group},
                      {"s", subgroup},
                      {"c", category},
                      {"p", product},
                      {"v", *tables::Decimal::parse(price)}});
    }
    long long Count() {
        return db_->query("SELECT COUNT(*) FROM " + table()).at(0, 0).number().toLongLong();
    }
    // The column of every row the grid shows.
    Strings Shown(const char* field) {
        Strings values;
        auto& rows = catalog_->rows();
        for (size_t i = 0; i < rows.rowCount(); ++i)
            values.push_back(rows.at(i, rows.fieldIndex(field)).toString());
        return values;
    }
    // A dialog filled for adding and checked.
    ServiceEntry Entry(const std::string& group, const std::string& subgroup,
                       const std::string& category, const std::string& product,
                       const char* price = "25.5") {
        ServiceEntry entry(*db_);
        catalog_->startAdd(entry);
        entry.group = group;
        entry.subgroup = subgroup;
        entry.category = category;
        entry.product = product;
        entry.unit = "buc";
        entry.price = price;
        EXPECT_FALSE(entry.check());
        return entry;
    }

    testsupport::ScratchDir dir_;
    fs::path data_;
    std::unique_ptr<tables::Database> db_;
    std::unique_ptr<Settings> settings_;
    std::optional<ServiceCatalog> catalog_;
};

TEST_F(ServiceCatalogTest, EmptyCatalogShowsNothingButStillAdds) {
    catalog_->open();
    EXPECT_TRUE(catalog_->groups().empty());
    EXPECT_TRUE(catalog_->subgroups().empty());
    EXPECT_TRUE(catalog_->categories().empty());
    EXPECT_EQ(catalog_->groupIndex(), -1);
    EXPECT_FALSE(catalog_->hasRow());
    EXPECT_FALSE(catalog_->choose());
    EXPECT_THROW(catalog_->remove(), tables::EngineError);

    ServiceEntry entry(*db_);
    catalog_->startAdd(entry);
    EXPECT_EQ(entry.group, "");
    EXPECT_EQ(entry.price, "0");
    EXPECT_TRUE(entry.adding());
    EXPECT_STREQ(entry.title(), "Adaugare Serviciu");

    const long long id = catalog_->add(Entry("MECANICA", "MOTOR", "DISTRIBUTIE", "KIT"));
    EXPECT_EQ(id, 100);
    EXPECT_TRUE(catalog_->hasRow());
    EXPECT_EQ(catalog_->choose()->product, "KIT");
}

TEST_F(ServiceCatalogTest, ListsCascadeAndFilterTheGrid) {
    Seed(1, "MECANICA", "MOTOR", "REVIZIE", "SCHIMB ULEI");
    Seed(2, "MECANICA", "MOTOR", "REVIZIE", "FILTRU AER");
    Seed(3, "MECANICA", "MOTOR", "DISTRIBUTIE", "KIT");
    Seed(4, "MECANICA", "FRANE", "DISCURI", "DISC");
    Seed(5, "ELECTRICA", "LUMINI", "FARURI", "BEC");
    catalog_->open();
    EXPECT_EQ(catalog_->groups(), (Strings{"ELECTRICA", "MECANICA"}));
    EXPECT_EQ(catalog_->subgroups(), (Strings{"LUMINI"}));
    EXPECT_EQ(Shown("PRODUS"), (Strings{"BEC"}));

    catalog_->chooseGroup(1);
    EXPECT_EQ(catalog_->subgroups(), (Strings{"FRANE", "MOTOR"}));
    EXPECT_EQ(catalog_->categories(), (Strings{"DISCURI"}));
    EXPECT_EQ(Shown("PRODUS"), (Strings{"DISC"}));

    catalog_->chooseSubgroup(1);
    EXPECT_EQ(catalog_->categories(), (Strings{"DISTRIBUTIE", "REVIZIE"}));
    EXPECT_EQ(catalog_->category(), "DISTRIBUTIE");
    catalog_->chooseCategory(1);
    EXPECT_EQ(Shown("PRODUS"), (Strings{"FILTRU AER", "SCHIMB ULEI"}));
    const auto chosen = catalog_->choose();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->idCat, 2);
    EXPECT_EQ(chosen->unit, "ORA");
    EXPECT_EQ(chosen->price, tables::Decimal(10));
}

// Stored values may hold quotes or end in '*': each still selects exactly its own rows.
TEST_F(ServiceCatalogTest, QuotedAndStarredValuesSelectExactlyTheirRows) {
    const Strings groups = {"A'B", "C\"D", "E'F\"G", "H*", "HX"};
    for (size_t i = 0; i < groups.size(); ++i)
        Seed(static_cast<long long>(i + 1), groups[i], groups[i] + " S", groups[i] + " C",
             "P" + std::to_string(i + 1));
    catalog_->open();
    ASSERT_EQ(catalog_->groups(), groups);
    for (size_t i = 0; i < groups.size(); ++i) {
        catalog_->chooseGroup(static_cast<int>(i));
        EXPECT_EQ(catalog_->subgroups(), Strings{groups[i] + " S"});
        EXPECT_EQ(catalog_->categories(), Strings{groups[i] + " C"});
        EXPECT_EQ(Shown("PRODUS"), Strings{"P" + std::to_string(i + 1)}) << groups[i];
    }
}

TEST_F(ServiceCatalogTest, AddingInANewGroupShowsItAndMakesTheRowCurrent) {
    Seed(1, "ELECTRICA", "LUMINI", "FARURI", "BEC");
    Seed(2, "ELECTRICA", "LUMINI", "FARURI", "ALT BEC");
    catalog_->open();
    const long long id = catalog_->add(Entry("TINICHIGERIE", "CAROSERIE", "VOPSIT", "ARIPA"));
    EXPECT_EQ(catalog_->groups(), (Strings{"ELECTRICA", "TINICHIGERIE"}));
    EXPECT_EQ(catalog_->group(), "TINICHIGERIE");
    EXPECT_EQ(catalog_->subgroup(), "CAROSERIE");
    EXPECT_EQ(catalog_->category(), "VOPSIT");
    EXPECT_EQ(catalog_->choose()->idCat, id);

    // A second service of an existing category becomes current, not the first row.
    const long long other = catalog_->add(Entry("ELECTRICA", "LUMINI", "FARURI", "C BEC"));
    EXPECT_EQ(Shown("PRODUS"), (Strings{"ALT BEC", "BEC", "C BEC"}));
    EXPECT_EQ(catalog_->choose()->idCat, other);
    EXPECT_EQ(catalog_->choose()->unit, "BUC");
    EXPECT_EQ(catalog_->choose()->price.toString(), "25.50");
}

TEST_F(ServiceCatalogTest, ServiceWithoutCategoryIsStoredButNeverShown) {
    Seed(1, "MECANICA", "MOTOR", "REVIZIE", "SCHIMB ULEI");
    catalog_->open();
    catalog_->add(Entry("MECANICA", "MOTOR", "", "DIAGNOZA"));
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(catalog_->categories(), (Strings{"REVIZIE"}));
    EXPECT_EQ(catalog_->category(), "");
    EXPECT_FALSE(catalog_->hasRow());
    catalog_->chooseCategory(0);
    EXPECT_EQ(Shown("PRODUS"), (Strings{"SCHIMB ULEI"}));

    // Alone in its subgroup it is not shown either.
    catalog_->add(Entry("MECANICA", "CUTIE", "", "ULEI CUTIE"));
    catalog_->chooseGroup(0);
    catalog_->chooseSubgroup(0);
    EXPECT_EQ(catalog_->subgroup(), "CUTIE");
    EXPECT_TRUE(catalog_->categories().empty());
    EXPECT_FALSE(catalog_->hasRow());
}

TEST_F(ServiceCatalogTest, ModifyingKeepsTheIdAndFollowsTheRow) {
    Seed(7, "MECANICA", "MOTOR", "REVIZIE", "SCHIMB ULEI", "150.50");
    Seed(8, "MECANICA", "MOTOR", "REVIZIE", "FILTRU");
    catalog_->open();
    catalog_->rows().moveTo(1);  // the grid's current row: SCHIMB ULEI

    ServiceEntry entry(*db_);
    catalog_->startEdit(entry);
    EXPECT_FALSE(entry.adding());
    EXPECT_STREQ(entry.title(), "Modificare Serviciu");
    EXPECT_EQ(entry.product, "SCHIMB ULEI");
    EXPECT_EQ(entry.price, "150.50");
    EXPECT_EQ(entry.unit, "ORA");
    entry.group = "INTRETINERE";
    entry.price = "175";
    ASSERT_FALSE(entry.check());
    catalog_->update(entry);

    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(settings_->peekNumber("IDCAT"), 100);
    EXPECT_EQ(catalog_->group(), "INTRETINERE");
    const auto current = catalog_->choose();
    ASSERT_TRUE(current);
    EXPECT_EQ(current->idCat, 7);
    EXPECT_EQ(current->price, tables::Decimal(175));
    auto rs = db_->query("SELECT GRUPA FROM " + table() + " WHERE IDCAT=8");
    EXPECT_EQ(rs.at(0, 0).toString(), "MECANICA");
}

TEST_F(ServiceCatalogTest, DeletingAsksThenRemovesTheCurrentRow) {
    Seed(1, "ELECTRICA", "LUMINI", "FARURI", "BEC");
    Seed(2, "MECANICA", "MOTOR", "REVIZIE", "SCHIMB ULEI");
    catalog_->open();
    catalog_->chooseGroup(1);
    const Message question = catalog_->deleteQuestion();
    EXPECT_EQ(question.title, "Stergere Serviciu");
    EXPECT_EQ(question.text, "\rDoriti sa stergeti serviciul selectat?");
    EXPECT_EQ(question.kind, MessageKind::Confirmation);

    catalog_->remove();
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(catalog_->groups(), (Strings{"ELECTRICA"}));
    EXPECT_EQ(catalog_->groupIndex(), 0);
    EXPECT_EQ(Shown("PRODUS"), (Strings{"BEC"}));
}

TEST_F(ServiceCatalogTest, OnlyASavedAddMovesTheCounter) {
    catalog_->open();
    ServiceEntry entry(*db_);
    catalog_->startAdd(entry);
    entry.product = "KIT";
    EXPECT_TRUE(entry.check());  // no group: nothing is saved
    EXPECT_EQ(settings_->peekNumber("IDCAT"), 100);

    // A counter that holds no number stops the add: neither row nor counter change.
    settings_->setIndex("IDCAT", "1x");
    EXPECT_THROW(catalog_->add(Entry("G", "S", "C", "KIT")), tables::EngineError);
    EXPECT_EQ(settings_->peekIndex("IDCAT"), "1x");
    EXPECT_EQ(Count(), 0);
    settings_->setIndex("IDCAT", "100");

    EXPECT_EQ(catalog_->add(Entry("G", "S", "C", "KIT")), 100);
    EXPECT_EQ(catalog_->add(Entry("G", "S", "C", "KIT 2")), 101);
    EXPECT_EQ(settings_->peekNumber("IDCAT"), 102);
}

TEST(ServiceEntryCheck, RunsInOrderOnCleanedTexts) {
    testsupport::ScratchDir dir;
    tables::Database db(dir.path());
    ServiceEntry e(db);
    e.group = "   ";
    e.product = "  SCHIMB  \"ULEI\"  ";
    auto problem = e.check();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "Grupa");
    EXPECT_EQ(problem->message, "Lipseste grupa!");
    EXPECT_EQ(e.product, "SCHIMB `ULEI`");  // cleaned and written back before the tests

    e.group = "MECANICA";
    problem = e.check();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "SubGrupa");
    EXPECT_EQ(problem->message, "Lipseste subgrupa!");

    e.subgroup = "MOTOR";
    e.product = " ";
    problem = e.check();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "Produs");
    EXPECT_EQ(problem->message, "Lipseste Produsul!");

    e.product = std::string(250, 'X');
    e.unit = " litri ";
    e.obs = std::string(70, 'o');
    e.price = " 012.50 ";
    EXPECT_FALSE(e.check());
    EXPECT_EQ(e.product.size(), 240u);
    EXPECT_EQ(e.unit, "LITR");
    EXPECT_EQ(e.obs.size(), 64u);
    EXPECT_EQ(e.price, "12.5");
    EXPECT_EQ(e.service().price, *tables::Decimal::parse("12.5"));
}

TEST(ServiceEntryCheck, PriceFitsItsColumnWithTwoDecimals) {
    EXPECT_EQ(ReadServicePrice("")->toString(), "0");
    EXPECT_EQ(ReadServicePrice("9999999.99")->toString(), "9999999.99");
    EXPECT_EQ(ReadServicePrice("3,40")->toString(), "3.4");
    EXPECT_FALSE(ReadServicePrice("10000000"));
    EXPECT_FALSE(ReadServicePrice("1.234"));
    EXPECT_FALSE(ReadServicePrice("12a"));

    testsupport::ScratchDir dir;
    tables::Database db(dir.path());
    ServiceEntry e(db);
    e.group = "G";
    e.subgroup = "S";
    e.product = "P";
    e.price = "1.999";
    const auto problem = e.check();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "ValOut");
}

}  // namespace
}  // namespace tvx::core
