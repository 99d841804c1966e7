// The company profile (load, checks, save, the save of the whole window as one), the bank
// accounts of Conturi and the stamp picture.
#include <gtest/gtest.h>

#include <fstream>

#include "../CoreTestSupport.h"
#include "core/admin/BankAccounts.h"
#include "core/admin/CompanyProfile.h"
#include "core/admin/Locations.h"
#include "core/admin/StampPicture.h"
#include "core/admin/Users.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    return testsupport::FileBytes(file);
}

class AdminTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data_ = dir_.path() / "Data";
        fs::create_directories(data_);
        db_ = std::make_unique<tables::Database>(data_, dir_.path());
        CreateMissingTables(*db_);
        settings_ = std::make_unique<Settings>(data_ / "Tvx2010.set", db_.get());
    }
    testsupport::ScratchDir dir_;
    fs::path data_;
    std::unique_ptr<tables::Database> db_;
    std::unique_ptr<Settings> settings_;
};

TEST_F(AdminTest, EmptySettingsLoadTheDefaults) {
    settings_->writeSetting("SETARI", "JUDET", "ATLANTIDA");
    CompanyProfile profile;
    profile.domeniu = "X";
    profile.capital = "9";
    profile.splitTva = true;
    profile.load(*settings_);
    EXPECT_EQ(profile.domeniu, "GENERAL");
    EXPECT_EQ(profile.capital, "0");
    EXPECT_EQ(profile.factNr, "1");
    EXPECT_EQ(profile.judet, "");  // not a county: nothing chosen
    EXPECT_FALSE(profile.splitTva);
    EXPECT_FALSE(profile.workshop());
}

TEST_F(AdminTest, SavedProfileLoadsBack) {
    CompanyProfile profile;
    profile.denumire = "FIRMA SRL";
    profile.codFisc = " RO12345674 ";
    profile.judet = "CLUJ";
    profile.localit = "DEJ";
    profile.capital = "00200";
    profile.domeniu = "SERVICE AUTO";
    profile.factSeria = "FX";
    profile.factNr = "120";
    profile.chitNr = "7";
    profile.splitTva = true;
    profile.officeOld = true;
    ASSERT_FALSE(profile.checkForSave());
    EXPECT_EQ(profile.codFisc, "RO12345674");
    profile.save(*settings_);
    EXPECT_EQ(settings_->readSetting("SETARI", "CAPSOC"), "200");
    EXPECT_EQ(settings_->readSetting("SETARI", "TVALAINC"), "NU");
    EXPECT_EQ(settings_->peekIndex("FACTNR"), "120");

    CompanyProfile loaded;
    loaded.load(*settings_);
    EXPECT_EQ(loaded.denumire, "FIRMA SRL");
    EXPECT_EQ(loaded.codFisc, "RO12345674");
    EXPECT_EQ(loaded.judet, "CLUJ");
    EXPECT_EQ(CountyCode(loaded.judet), "RO-CJ");
    EXPECT_EQ(loaded.chitNr, "7");
    EXPECT_TRUE(loaded.splitTva);
    EXPECT_TRUE(loaded.officeOld);
    EXPECT_TRUE(loaded.workshop());
    EXPECT_TRUE(loaded.vatPayer());
}

TEST_F(AdminTest, ChecksAndTheSplitVatRule) {
    CompanyProfile profile;
    profile.factNr = "1";
    profile.chitNr = "1";
    EXPECT_FALSE(profile.checkForSave());  // an empty tax code is allowed
    profile.codFisc = "RO12345675";
    auto problem = profile.checkForSave();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "CodFisc");
    EXPECT_EQ(problem->message, "Cod Fiscal incorect!");

    profile.codFisc = "12345674";
    profile.splitTva = true;
    ASSERT_FALSE(profile.checkForSave());
    profile.save(*settings_);
    EXPECT_FALSE(profile.splitTva);
    EXPECT_EQ(settings_->readSetting("SETARI", "SPLITTVA"), "NU");
}

TEST_F(AdminTest, WindowSaveWritesProfileLocationsAndUsersTogether) {
    WriteUsersFile(data_ / "s.mpg", {{"ADMIN", "735", kGradeAdmin}});
    UserList users(*db_, dir_.path(), data_ / "s.mpg");
    users.add("ANA", "A", kGradeCasier);
    Locations locations(data_);
    locations.setNames({"B", "A"});
    CompanyProfile profile;
    profile.denumire = "NOUA";
    profile.factNr = "5";
    profile.chitNr = "6";
    SaveAdministration(*db_, *settings_, profile, locations, &users);
    EXPECT_EQ(settings_->readSetting("SETARI", "DENUMIRE"), "NOUA");
    EXPECT_EQ(Bytes(data_ / "GesLista.txt"), "A\r\nB\r\n");
    EXPECT_EQ(ReadUsersFile(data_ / "s.mpg").size(), 2u);
}

TEST_F(AdminTest, FailedWindowSaveWritesNothing) {
    settings_->writeSetting("SETARI", "DENUMIRE", "VECHE");
    std::ofstream(data_ / "GesLista.txt", std::ios::binary) << "VECHI\r\n";
    UserList users(*db_, dir_.path(), data_ / "s.mpg");
    fs::remove(dir_.path() / "u.dbf");  // the users cannot be read back: the last step fails
    Locations locations(data_);
    locations.setNames({"NOU"});
    CompanyProfile profile;
    profile.denumire = "NOUA";
    profile.factNr = "5";
    profile.chitNr = "6";
    EXPECT_THROW(SaveAdministration(*db_, *settings_, profile, locations, &users),
                 tables::EngineError);
    EXPECT_EQ(settings_->readSetting("SETARI", "DENUMIRE"), "VECHE");
    EXPECT_EQ(settings_->peekIndex("FACTNR"), "1");
    EXPECT_EQ(Bytes(data_ / "GesLista.txt"), "VECHI\r\n");
}

TEST_F(AdminTest, BankAccountsAddChangeAndDelete) {
    BankAccounts accounts(*db_);
    accounts.load();
    EXPECT_FALSE(accounts.canChange());
    settings_->setIndex("IDCONT", "3");
    const std::string bt = "RO37BTRL0000000000000001";
    const std::string bcr = "RO83RNCB0000000000000002";
    ASSERT_FALSE(accounts.add(*settings_, bt, BankNameOf(bt)));
    const auto duplicate = accounts.add(*settings_, bt, "");
    ASSERT_TRUE(duplicate);
    EXPECT_EQ(duplicate->text, "\rContul IBAN exista deja in lista!");
    auto rs = db_->query("SELECT IDCONT, CONT, BANCA FROM Conturi");
    ASSERT_EQ(rs.rowCount(), 1u);
    EXPECT_EQ(rs.at(0, 0).toString(), "3");
    EXPECT_FALSE(rs.at(0, 2).text().empty());
    EXPECT_EQ(settings_->peekIndex("IDCONT"), "4");

    ASSERT_FALSE(accounts.add(*settings_, bcr, BankNameOf(bcr)));
    accounts.load();
    ASSERT_EQ(accounts.accounts().size(), 2u);
    EXPECT_EQ(accounts.selected, 0);  // an opened window shows a saved account with its bank
    EXPECT_EQ(accounts.selectedBank(), BankNameOf(bt));  // the first in sorted order
    accounts.selected = -1;
    const auto unchosen = accounts.choiceProblem();  // changing needs a chosen account
    ASSERT_TRUE(unchosen);
    EXPECT_EQ(unchosen->field, "Cont");
    accounts.selected = 0;
    EXPECT_FALSE(accounts.choiceProblem());
    EXPECT_EQ(accounts.selectedBank(), BankNameOf(accounts.accounts()[0]));
    EXPECT_TRUE(accounts.modify(accounts.accounts()[1], ""));  // another listed IBAN
    EXPECT_FALSE(accounts.modify("RO49AAAA1B31007593840000", "X"));
    EXPECT_EQ(db_->query("SELECT BANCA FROM Conturi WHERE CONT=\"RO49AAAA1B31007593840000\"")
                  .at(0, 0)
                  .text(),
              "X");
    accounts.selected = 0;
    EXPECT_EQ(accounts.deleteQuestion().text,
              "\r Doriti sa stergeti contul " + accounts.accounts()[0] + " ?");
    accounts.remove();
    EXPECT_EQ(db_->query("SELECT COUNT(*) FROM Conturi").at(0, 0).toString(), "1");
    EXPECT_EQ(accounts.accounts().size(), 1u);
}

TEST_F(AdminTest, StampPictureIsStoredUnchangedAndDeleted) {
    const fs::path bmp = dir_.path() / "poza.bmp";
    const std::string bytes = std::string("BM") + std::string(100, '\x7f') + '\0';
    std::ofstream(bmp, std::ios::binary) << bytes;
    std::ofstream(StampFile(data_), std::ios::binary) << "old";
    EXPECT_EQ(StorePicture(data_, bmp).text, "\rPoza a fost memorata!");
    EXPECT_EQ(Bytes(data_ / "Stamp.jpg"), bytes);
    EXPECT_THROW(StorePicture(data_, dir_.path() / "lipsa.jpg"), tables::EngineError);
    EXPECT_EQ(Bytes(data_ / "Stamp.jpg"), bytes);
    EXPECT_EQ(DeletePicture(data_).text, "\rPoza cu stampila a fost stearsa.");
    EXPECT_FALSE(fs::exists(data_ / "Stamp.jpg"));
}

}  // namespace
}  // namespace tvx::core
