// Stock locations: the list file, the checks of add / rename / delete with their texts, the
// rename across the three tables as one whole, and the refusals of a location in use.
#include <gtest/gtest.h>

#include <fstream>

#include "../CoreTestSupport.h"
#include "core/admin/Locations.h"
#include "core/common/Schema.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    return testsupport::FileBytes(file);
}

class LocationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data_ = dir_.path() / "Data";
        fs::create_directories(data_);
        db_ = std::make_unique<tables::Database>(data_, dir_.path());
        CreateMissingTables(*db_);
        locations_ = std::make_unique<Locations>(data_);
    }
    void Add(const std::string& name) {
        locations_->editText = name;
        ASSERT_FALSE(locations_->add()) << name;
    }
    void Select(const std::string& name) {
        const auto& names = locations_->names();
        locations_->selected =
            static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
    }
    std::string Count(const std::string& table, const std::string& location) {
        return db_->query("SELECT COUNT(*) FROM " + table + " WHERE GESTIUNE=:g", {{"g", location}})
            .at(0, 0)
            .toString();
    }

    testsupport::ScratchDir dir_;
    fs::path data_;
    std::unique_ptr<tables::Database> db_;
    std::unique_ptr<Locations> locations_;
};

TEST_F(LocationsTest, AddKeepsTheFileSortedUpperCaseWithCrLf) {
    Add("  magazin   central ");
    Add("DEPOZIT");
    Add("o gestiune cu un nume mult prea lung");
    EXPECT_EQ(Bytes(data_ / "GesLista.txt"),
              "DEPOZIT\r\nMAGAZIN CENTRAL\r\nO GESTIUNE CU UN NUME MU\r\n");
    EXPECT_EQ(locations_->names()[locations_->selected], "O GESTIUNE CU UN NUME MU");
    EXPECT_TRUE(locations_->editText.empty());

    Locations reread(data_);
    reread.load();
    EXPECT_EQ(reread.names(), locations_->names());
}

TEST_F(LocationsTest, AddRefusesEmptyAndDuplicateNames) {
    Add("DEPOZIT");
    locations_->editText = "   ";
    auto problem = locations_->add();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, "Nu ati scris nici o gestiune!");
    EXPECT_EQ(problem->field, Locations::kEditField);
    locations_->editText = "depozit";
    problem = locations_->add();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, "DEPOZIT exista deja in lista!");
    EXPECT_EQ(problem->field, Locations::kListField);
    EXPECT_EQ(locations_->names().size(), 1u);
}

TEST_F(LocationsTest, RenameChecksComeInTheirOrder) {
    locations_->editText = "";
    EXPECT_EQ(locations_->renameProblem()->message, "Nu ati scris noua denumire!");
    locations_->editText = "NOU";
    EXPECT_EQ(locations_->renameProblem()->message, "Nu aveti ce inlocui! Lista e goala!");
    Add("A");
    Add("B");
    locations_->selected = -1;
    locations_->editText = "NOU";
    EXPECT_EQ(locations_->renameProblem()->message, "Alegeti din lista ce gestiune schimbam!");
    Select("A");
    locations_->editText = "a";
    EXPECT_EQ(locations_->renameProblem()->message, "De fapt nu vreti sa schimbati nimic!");
    locations_->editText = "B";
    EXPECT_EQ(locations_->renameProblem()->message, "Noua denumire exista deja in lista!");
    locations_->editText = "C";
    EXPECT_FALSE(locations_->renameProblem());
    EXPECT_EQ(locations_->renameQuestion().text,
              "Doriti sa inlocuiti denumirea \rgestiunii A cu C?");
}

TEST_F(LocationsTest, RenameChangesAllThreeTablesAndTheList) {
    Add("MAGAZIN");
    Add("DEPOZIT");
    db_->execute("INSERT INTO ProdNIR (IDPROD, GESTIUNE) VALUES (1, \"MAGAZIN\")");
    db_->execute("INSERT INTO ProdNIR (IDPROD, GESTIUNE) VALUES (2, \"DEPOZIT\")");
    db_->execute("INSERT INTO CapFise (IDCAP, GESTIUNE) VALUES (1, \"MAGAZIN\")");
    db_->execute("INSERT INTO FactOut (IDFACTO, GESTIUNE) VALUES (1, \"MAGAZIN\")");
    Select("MAGAZIN");
    locations_->editText = "AAA";
    ASSERT_FALSE(locations_->renameProblem());
    std::vector<std::string> texts;
    locations_->rename(*db_, [&](const std::string& text, int) { texts.push_back(text); });
    for (const char* table : {"ProdNIR", "CapFise", "FactOut"}) {
        EXPECT_EQ(Count(table, "AAA"), "1") << table;
        EXPECT_EQ(Count(table, "MAGAZIN"), "0") << table;
    }
    EXPECT_EQ(Count("ProdNIR", "DEPOZIT"), "1");
    EXPECT_EQ(Bytes(data_ / "GesLista.txt"), "AAA\r\nDEPOZIT\r\n");
    EXPECT_EQ(locations_->names()[locations_->selected], "AAA");
    EXPECT_EQ(texts.back(), "Terminat...");
}

TEST_F(LocationsTest, FailedRenameLeavesEverythingAsItWas) {
    Add("MAGAZIN");
    db_->execute("INSERT INTO ProdNIR (IDPROD, GESTIUNE) VALUES (1, \"MAGAZIN\")");
    db_->execute("INSERT INTO CapFise (IDCAP, GESTIUNE) VALUES (1, \"MAGAZIN\")");
    db_->execute("ALTER TABLE FactOut DROP GESTIUNE");  // the third update fails
    Select("MAGAZIN");
    locations_->editText = "NOU";
    EXPECT_THROW(locations_->rename(*db_), tables::EngineError);
    EXPECT_EQ(Count("ProdNIR", "MAGAZIN"), "1");
    EXPECT_EQ(Count("CapFise", "MAGAZIN"), "1");
    EXPECT_EQ(Bytes(data_ / "GesLista.txt"), "MAGAZIN\r\n");
    EXPECT_EQ(locations_->names(), std::vector<std::string>{"MAGAZIN"});
}

TEST_F(LocationsTest, DeleteIsRefusedForALocationInANirLine) {
    Add("MAGAZIN");
    db_->execute("INSERT INTO CapNIR (IDNIR, NRNIR, DATANIR) VALUES (4, 27, \"15.03.2023\")");
    db_->execute(
        "INSERT INTO ProdNIR (IDPROD, IDNIR, GESTIUNE, PRODUS) VALUES (1, 4, \"MAGAZIN\", "
        "\"ULEI 5W30\")");
    db_->execute(
        "INSERT INTO FactOut (IDFACTO, SERIA, NR, GESTIUNE) VALUES (1, \"AB\", 3, "
        "\"MAGAZIN\")");
    Select("MAGAZIN");
    const auto refusal = locations_->remove(*db_);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->title, "Stergere Gestiune");
    EXPECT_EQ(refusal->text,
              "Gestiunea MAGAZIN nu poate fi stearsa\rpentru ca apare in N.I.R.nr.27 din "
              "15.03.2023\rla produsul ULEI 5W30 !");
    EXPECT_EQ(locations_->names().size(), 1u);
}

TEST_F(LocationsTest, DeleteIsRefusedForALocationInAnInvoiceThenAllowed) {
    Add("MAGAZIN");
    Add("DEPOZIT");
    db_->execute(
        "INSERT INTO FactOut (IDFACTO, SERIA, NR, DATAOUT, GESTIUNE) VALUES (1, \"AB\", 3, "
        "\"02.01.2024\", \"MAGAZIN\")");
    Select("MAGAZIN");
    const auto refusal = locations_->remove(*db_);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text,
              "Gestiunea MAGAZIN nu poate fi stearsa\rpentru ca apare in Factura de vanzare AB "
              "nr.3 din 02.01.2024 !");

    Select("DEPOZIT");
    EXPECT_EQ(locations_->deleteQuestion().text, "Sigur stergem gestiunea DEPOZIT?");
    EXPECT_FALSE(locations_->remove(*db_));
    EXPECT_EQ(Bytes(data_ / "GesLista.txt"), "MAGAZIN\r\n");
    EXPECT_EQ(locations_->deleteProblem()->message, "Alegeti mai intai o gestiune din lista!");

    db_->execute("DELETE FROM FactOut");
    Select("MAGAZIN");
    EXPECT_FALSE(locations_->remove(*db_));
    EXPECT_FALSE(fs::exists(data_ / "GesLista.txt"));  // an empty list has no file
    EXPECT_EQ(locations_->deleteProblem()->message, "Nu aveti ce sterge!");
}

}  // namespace
}  // namespace tvx::core
