// Start-up table work on scratch data directories: creating missing tables, every upgrade
// step on tables built in the older layouts, a current directory left byte for byte as it
// was, packing, and the drop of the old Timp index.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "../CoreTestSupport.h"
#include "core/common/Checks.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TableLayouts.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using tables::Database;

std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        // The engine's journal is its own business; tables and settings are compared.
        if (!entry.is_regular_file() || entry.path().extension() == ".jnl") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] =
            std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    return files;
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

class SchemaTest : public ::testing::Test {
  protected:
    fs::path data() const { return dir_.path() / "Data"; }
    void SetUp() override {
        fs::create_directories(data());
        db_ = std::make_unique<Database>(data(), dir_.path());
        settings_ = std::make_unique<Settings>(data() / "Tvx2010.set", db_.get());
    }

    // Creates `table` in an older layout: the current fields minus `dropped`, some changed.
    void CreateOld(const std::string& table, const std::vector<std::string>& dropped,
                   const std::map<std::string, FieldSpec>& changed = {}) {
        TableLayout layout = tableLayout(table);
        std::erase_if(layout.fields, [&](const FieldSpec& f) {
            return std::find(dropped.begin(), dropped.end(), f.name) != dropped.end();
        });
        for (FieldSpec& f : layout.fields)
            if (auto it = changed.find(f.name); it != changed.end()) f = it->second;
        db_->execute(createTableStatement(layout, data() / (table + ".dbf")));
    }

    std::optional<tables::FieldLayout> Field(const std::string& table, const std::string& f) {
        return db_->readFieldLayout(data() / (table + ".dbf"), f);
    }

    tables::ResultSet Rows(const std::string& sql) { return db_->query(sql); }

    testsupport::ScratchDir dir_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<Settings> settings_;
};

TEST_F(SchemaTest, EmptyDirectoryGetsEveryPermanentTableWithItsLayout) {
    const auto created = CreateMissingTables(*db_);
    ASSERT_EQ(created.size(), 14u);
    EXPECT_EQ(created.front(), "Conturi");
    EXPECT_EQ(created.back(), "Precom");
    for (const TableLayout& layout : permanentTables()) {
        EXPECT_TRUE(Rows("SELECT * FROM " + layout.name).empty());
        // The independent reader is slow; the widest and the most changed tables suffice.
        if (layout.name != "Conturi" && layout.name != "FactOut" && layout.name != "Precom")
            continue;
        const auto fields = testsupport::dumpFields(data() / (layout.name + ".dbf"));
        ASSERT_EQ(fields.size(), layout.fields.size()) << layout.name;
        for (size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(fields[i].name, layout.fields[i].name) << layout.name;
            EXPECT_EQ(fields[i].width, layout.fields[i].width) << layout.fields[i].name;
        }
    }
    EXPECT_TRUE(UpgradeSchema(*db_, *settings_).empty());
}

TEST_F(SchemaTest, CurrentDirectoryPassesUnchangedByteForByte) {
    CreateMissingTables(*db_);
    db_->execute("INSERT INTO FactOut (IDFACTO, SERIA, CUI) VALUES (1, \"AB\", \"RO1\")");
    db_->execute("INSERT INTO Timp (IDTIMP, DENUMIRE) VALUES (1, \"Schimb ulei\")");
    settings_->writeSetting("SETARI", "DENUMIRE", "FIRMA");
    settings_->writeSetting("CONSTANTE", "TARIF", "50");
    const auto before = Snapshot(data());
    EXPECT_TRUE(UpgradeSchema(*db_, *settings_).empty());
    EXPECT_TRUE(UpgradeSchema(*db_, *settings_).empty());
    EXPECT_EQ(Snapshot(data()), before);
}

TEST_F(SchemaTest, OldestDirectoryReachesTheCurrentLayoutAndThenStays) {
    CreateOld("FactOut", {"LISTARI", "REPREZ", "LOC2"},
              {{"CUI", {"CUI", 'C', 10, 0}},
               {"CUI2", {"CUI2", 'C', 10, 0}},
               {"SERIA", {"SERIA", 'C', 8, 0}}});
    CreateOld("ChitOut", {}, {{"SERIA", {"SERIA", 'C', 8, 0}}});
    CreateOld("ChitIn", {"REPREZ"});
    CreateOld("FactIn", {"CUI"});
    CreateOld("CapNIR", {"LISTAT"});
    CreateOld("ProdOut", {"IDCAT"}, {{"CANT", {"CANT", 'N', 6, 2}}});
    CreateOld("Catalog", {"OBS"});
    CreateOld("Timp", {"IDTIMP", "TIPAUTO", "SECTIA", "LEIORA", "CANT"});
    CreateOld("ProdNIR", {}, {{"CANTF", {"CANTF", 'N', 6, 2}}, {"CANTR", {"CANTR", 'N', 6, 2}}});
    CreateOld("Fise", {}, {{"CANTIN", {"CANTIN", 'N', 6, 2}}, {"CANTOUT", {"CANTOUT", 'N', 6, 2}}});
    CreateOld("CapFise", {}, {{"STOC", {"STOC", 'N', 6, 2}}});
    CreateMissingTables(*db_);
    db_->execute("INSERT INTO ProdNIR (IDPROD, CANTF) VALUES (1, 999.5)");
    db_->execute(
        "INSERT INTO FactOut (IDFACTO, SERIA, CUI, CUI2) VALUES (7, \"ABCDEFGH\", "
        "\"RO12345674\", \"18590109\")");
    db_->execute("INSERT INTO ChitOut (IDCHIT, SERIA) VALUES (3, \"CH\")");
    db_->execute("INSERT INTO CapNIR (IDNIR, NRNIR) VALUES (1, 10)");
    db_->execute("INSERT INTO ProdOut (IDFACTO, PRODUS) VALUES (1, \"P\")");

    const auto steps = UpgradeSchema(*db_, *settings_);
    EXPECT_EQ(steps.size(), 13u);
    for (const TableLayout& layout : permanentTables())
        for (const FieldSpec& wanted : layout.fields) {
            const auto field = Field(layout.name, wanted.name);
            ASSERT_TRUE(field) << layout.name << "." << wanted.name;
            EXPECT_EQ(field->width, wanted.width) << layout.name << "." << wanted.name;
            EXPECT_EQ(field->decimals, wanted.decimals) << layout.name << "." << wanted.name;
        }
    EXPECT_FALSE(Field("FactOut", "XXX"));
    EXPECT_EQ(Rows("SELECT CANTF FROM ProdNIR").at(0, 0).toString(), "999.50");
    // Moved tax codes keep one leading blank; series keep their text in the wider field.
    auto rs = Rows("SELECT CUI, CUI2, SERIA, LISTARI FROM FactOut");
    EXPECT_EQ(rs.at(0, 0).text(), " RO12345674");
    EXPECT_EQ(rs.at(0, 1).text(), " 18590109");
    EXPECT_EQ(rs.at(0, 2).text(), "ABCDEFGH");
    EXPECT_EQ(rs.at(0, 3).toString(), "0");
    EXPECT_EQ(Rows("SELECT SERIA FROM ChitOut").at(0, 0).text(), "CH");
    EXPECT_EQ(Rows("SELECT LISTAT FROM CapNIR").at(0, 0).toString(), "1");
    EXPECT_EQ(Rows("SELECT IDCAT FROM ProdOut").at(0, 0).toString(), "0");

    const auto upgraded = Snapshot(data());
    EXPECT_TRUE(UpgradeSchema(*db_, *settings_).empty());
    EXPECT_EQ(Snapshot(data()), upgraded);
}

TEST_F(SchemaTest, ChitInRepresentativeFollowsTheDocumentKind) {
    CreateOld("ChitIn", {"REPREZ"});
    CreateMissingTables(*db_);
    const char* rows[][3] = {{"1", "CHITANTA", "5"},
                             {"2", "BON FISCAL", "0"},
                             {"3", "ORDIN DE PLATA", "3"},
                             {"4", "ORDIN DE PLATA", "-1"},
                             {"5", "CHITANTA", "-1"}};
    for (const auto& r : rows)
        db_->execute(
            "INSERT INTO ChitIn (IDCHIT, DOCJUS, IDFACT, FURNIZOR) VALUES (:i, :d, :f, "
            "\"FURN SRL\")",
            {{"i", r[0]}, {"d", r[1]}, {"f", r[2]}});
    EXPECT_TRUE(upgrade::AddChitInReprez(*db_));
    auto rs = Rows("SELECT REPREZ FROM ChitIn ORDER BY IDCHIT");
    EXPECT_EQ(rs.at(0, 0).text(), "achitat FURN SRL");
    EXPECT_EQ(rs.at(1, 0).text(), "alte plati");  // pays nothing: the second update wins
    EXPECT_EQ(rs.at(2, 0).text(), "");
    EXPECT_EQ(rs.at(3, 0).text(), "alte plati");
    EXPECT_EQ(rs.at(4, 0).text(), "alte plati");
    EXPECT_FALSE(upgrade::AddChitInReprez(*db_));
}

TEST_F(SchemaTest, OldTimpRowsGetConsecutiveIdsAndTheOldRate) {
    CreateOld("Timp", {"IDTIMP", "TIPAUTO", "SECTIA", "LEIORA", "CANT"});
    const std::string oldFile = Snapshot(data())["Timp.dbf"];
    EXPECT_EQ(CreateMissingTables(*db_).size(), 13u);
    EXPECT_EQ(Snapshot(data())["Timp.dbf"], oldFile);  // an existing file is never touched
    for (const char* name : {"Distributie", "Frane", "Ambreiaj"})
        db_->execute("INSERT INTO Timp (DENUMIRE, COD, TIMP) VALUES (:n, \"C1\", 1.5)",
                     {{"n", name}});
    db_->execute("DELETE FROM Timp WHERE DENUMIRE=\"Frane\"");
    db_->execute("INSERT INTO Timp (DENUMIRE, TIMP) VALUES (\"Roti\", 0.5)");
    settings_->setIndex("IDTIMP", "41");
    settings_->writeSetting("CONSTANTE", "TARIF", "62.5");
    EXPECT_TRUE(upgrade::AddTimpColumns(*db_, *settings_));
    auto rs = Rows("SELECT IDTIMP, TIPAUTO, SECTIA, LEIORA, CANT, DENUMIRE FROM Timp");
    ASSERT_EQ(rs.rowCount(), 3u);
    const char* names[] = {"Distributie", "Ambreiaj", "Roti"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rs.at(i, 0).toString(), std::to_string(41 + i));
        EXPECT_EQ(rs.at(i, 1).text(), "DACIA");
        EXPECT_EQ(rs.at(i, 2).text(), "MECANICA");
        EXPECT_EQ(rs.at(i, 3).toString(), "62.50");
        EXPECT_EQ(rs.at(i, 4).toString(), "0.00");
        EXPECT_EQ(rs.at(i, 5).text(), names[i]);
    }
    EXPECT_EQ(settings_->peekIndex("IDTIMP"), "44");
}

TEST_F(SchemaTest, FailingTimpUpgradeLeavesTableAndCounterAsTheyWere) {
    CreateOld("Timp", {"IDTIMP", "TIPAUTO", "SECTIA", "LEIORA", "CANT"});
    db_->execute("INSERT INTO Timp (DENUMIRE) VALUES (\"X\")");
    settings_->setIndex("IDTIMP", "12345678901");  // does not fit IDTIMP DECIMAL(10,0)
    const auto before = Snapshot(data());
    EXPECT_THROW(upgrade::AddTimpColumns(*db_, *settings_), tables::EngineError);
    EXPECT_EQ(Snapshot(data()), before);
}

TEST_F(SchemaTest, QuantityWideningGoesOnPastAFieldThatFails) {
    CreateOld("ProdNIR", {}, {{"CANTF", {"CANTF", 'N', 6, 2}}, {"CANTR", {"CANTR", 'N', 6, 2}}});
    CreateOld("Fise", {"CANTIN"}, {{"CANTOUT", {"CANTOUT", 'N', 6, 2}}});
    CreateOld("CapFise", {}, {{"STOC", {"STOC", 'N', 6, 2}}});
    CreateMissingTables(*db_);
    LayoutProbe probe = ProbeLayouts(*db_);
    EXPECT_EQ(probe.prodNirCantfWidth, 6);
    EXPECT_TRUE(upgrade::WidenQuantities(*db_, probe));
    EXPECT_EQ(Field("Fise", "CANTOUT")->width, 8);
    EXPECT_EQ(Field("CapFise", "STOC")->width, 8);
    EXPECT_EQ(Field("ProdNIR", "CANTR")->width, 8);
}

TEST_F(SchemaTest, BankAccountOfTheSettingsMovesIntoConturi) {
    CreateMissingTables(*db_);
    const std::string iban = "RO37BTRL0000000000000001";
    settings_->writeSetting("SETARI", "CONT", iban);
    settings_->writeSetting("SETARI", "BANCA", "BT");
    settings_->setIndex("IDCONT", "5");
    EXPECT_EQ(UpgradeSchema(*db_, *settings_), std::vector<std::string>{"bank account"});
    auto rs = Rows("SELECT IDCONT, CONT, BANCA FROM Conturi");
    ASSERT_EQ(rs.rowCount(), 1u);
    EXPECT_EQ(rs.at(0, 0).toString(), "5");
    EXPECT_EQ(rs.at(0, 1).text(), iban);
    std::string normalised = iban, bank;
    CheckIBAN(normalised, bank);
    EXPECT_FALSE(bank.empty());
    EXPECT_EQ(rs.at(0, 2).text(), bank);
    EXPECT_EQ(settings_->readSetting("SETARI", "CONT"), "");
    EXPECT_EQ(settings_->readSetting("SETARI", "BANCA"), "");
    EXPECT_EQ(settings_->peekIndex("IDCONT"), "6");
}

TEST_F(SchemaTest, OldSettingsFileAccountArrivesOnTheFollowingStart) {
    CreateMissingTables(*db_);
    WriteText(data() / "Tvx2007.ini",
              "[SETARI]\r\nCONT=RO83RNCB0000000000000002\r\nDENUMIRE=VECHE\r\n");
    EXPECT_EQ(UpgradeSchema(*db_, *settings_), std::vector<std::string>{"settings file"});
    EXPECT_FALSE(fs::exists(data() / "Tvx2007.ini"));
    EXPECT_TRUE(Rows("SELECT * FROM Conturi").empty());
    EXPECT_EQ(settings_->readSetting("SETARI", "DENUMIRE"), "VECHE");

    EXPECT_EQ(UpgradeSchema(*db_, *settings_), std::vector<std::string>{"bank account"});
    EXPECT_EQ(Rows("SELECT CONT FROM Conturi").at(0, 0).text(), "RO83RNCB0000000000000002");

    WriteText(data() / "Tvx2007.ini", "[SETARI]\r\nDENUMIRE=ALTA\r\n");  // new name taken
    EXPECT_TRUE(UpgradeSchema(*db_, *settings_).empty());
    EXPECT_TRUE(fs::exists(data() / "Tvx2007.ini"));
    EXPECT_EQ(settings_->readSetting("SETARI", "DENUMIRE"), "VECHE");
}

TEST_F(SchemaTest, PackingRemovesDeletedRowsAndEndsTheBarAt100) {
    CreateMissingTables(*db_);
    for (int i = 0; i < 20; ++i) db_->execute("INSERT INTO Fise (IDFISA) VALUES (:i)", {{"i", i}});
    db_->execute("DELETE FROM Fise WHERE IDFISA>=5");
    const auto sizeBefore = fs::file_size(data() / "Fise.dbf");
    std::vector<int> positions;
    EXPECT_EQ(TidyTables(*db_, [&](int position) { positions.push_back(position); }), "");
    EXPECT_LT(fs::file_size(data() / "Fise.dbf"), sizeBefore);
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM Fise").at(0, 0).toString(), "5");
    ASSERT_EQ(positions.size(), PackOrder().size());
    EXPECT_EQ(positions.back(), 100);

    // A table that cannot be packed stops the tidy-up with the engine's message.
    fs::remove(data() / "Comenzi.dbf");
    db_->forget(data() / "Comenzi.dbf");
    WriteText(data() / "Timp.mdx", "index");
    EXPECT_NE(TidyTables(*db_).find("Comenzi"), std::string::npos);
    EXPECT_TRUE(fs::exists(data() / "Timp.mdx"));
}

TEST_F(SchemaTest, TimpIndexIsDroppedOnlyWhenItsFileExists) {
    CreateMissingTables(*db_);
    const fs::path timp = data() / "Timp.dbf";
    EXPECT_FALSE(DropTimpIndex(*db_));
    {
        std::fstream f(timp, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(28);
        f.put('\x01');
    }
    WriteText(data() / "Timp.mdx", std::string(512, '\0'));
    db_->forget(timp);
    EXPECT_TRUE(DropTimpIndex(*db_));
    EXPECT_FALSE(fs::exists(data() / "Timp.mdx"));
    std::ifstream in(timp, std::ios::binary);
    in.seekg(28);
    EXPECT_EQ(in.get(), 0);
}

}  // namespace
}  // namespace tvx::core
