// Tests of the settings file: counters from a missing file, case-insensitive names, values
// holding "=", other lines kept in place, Windows-1250 on disk, atomic replacement without
// leftovers, refusal of bad input without touching the file, and counters given back by a
// rolled-back transaction.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "../CoreTestSupport.h"
#include "core/common/Settings.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

class SettingsFile : public ::testing::Test {
  protected:
    std::string bytes() {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void setBytes(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

    ScratchDir dir;
    fs::path file = dir.path() / "Tvx2010.set";
    Settings settings{file};
};

TEST_F(SettingsFile, FirstCounterWithoutFileCreatesItAndPeekDoesNotAdvance) {
    EXPECT_EQ(settings.readSetting("INDEX", "IDFACT"), "");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(settings.nextIndex("IDFACT"), "1");
    EXPECT_EQ(bytes(), "[INDEX]\r\nIDFACT=2\r\n");
    settings.setIndex("FACTNR", "41");
    EXPECT_EQ(settings.peekIndex("FACTNR"), "41");
    EXPECT_EQ(settings.peekIndex("FACTNR"), "41");
    EXPECT_EQ(settings.nextIndex("FACTNR"), "41");
    EXPECT_EQ(settings.peekIndex("FACTNR"), "42");
    EXPECT_EQ(settings.peekIndex("CHITNR"), "1");
    EXPECT_EQ(settings.readSetting("INDEX", "CHITNR"), "");
}

TEST_F(SettingsFile, VatRateDefaultsTo19WhenAbsentOrNotAWholeRate) {
    EXPECT_EQ(settings.readVatRate(), 19);
    for (const char* stored : {"abc", "19.5", "-5", "101"}) {
        settings.writeSetting("CONS", "TVAPROC", stored);
        EXPECT_EQ(settings.readVatRate(), 19) << stored;
    }
    settings.writeVatRate(0);
    EXPECT_EQ(settings.readSetting("cons", "tvaproc"), "0");
    EXPECT_EQ(settings.readVatRate(), 0);
    EXPECT_THROW(settings.writeVatRate(-1), tables::EngineError);
}

TEST_F(SettingsFile, NamesIgnoreCaseAndValuesKeepEqualsSigns) {
    settings.writeSetting("setari", "codfisc", "RO123");
    EXPECT_EQ(settings.readSetting("SETARI", "CodFisc"), "RO123");
    settings.writeSetting("SETARI", "CODFISC", "a=b = c");
    EXPECT_EQ(bytes(), "[setari]\r\ncodfisc=a=b = c\r\n");
    EXPECT_EQ(settings.readSetting("Setari", "CODFISC"), "a=b = c");
    settings.writeSetting("SETARI", "CODFISC", "");
    EXPECT_EQ(bytes(), "[setari]\r\ncodfisc=\r\n");
    settings.deleteSetting("Setari", "CODFISC");
    EXPECT_EQ(bytes(), "[setari]\r\n");
}

TEST_F(SettingsFile, KeysAreLookedUpOnlyInTheirOwnSection) {
    setBytes("[IDFACT]\r\nX=5\r\n[INDEX]\r\nIDFACT=7\r\n[SETARI]\r\nINDEX=zz\r\n");
    EXPECT_EQ(settings.peekIndex("IDFACT"), "7");
    EXPECT_EQ(settings.readSetting("SETARI", "INDEX"), "zz");
    EXPECT_EQ(settings.nextIndex("X"), "1");
    EXPECT_EQ(bytes(), "[IDFACT]\r\nX=5\r\n[INDEX]\r\nIDFACT=7\r\nX=2\r\n[SETARI]\r\nINDEX=zz\r\n");
}

TEST_F(SettingsFile, ChangingOneKeyKeepsCommentsBlankLinesAndOrder) {
    setBytes("; note\n[SETARI]\nDENUMIRE = Firma\nJUDET=Cluj\n\n[CONS]\nTVAPROC=19\n# x\nU=x\n");
    settings.writeSetting("SETARI", "Denumire", "Alta");
    settings.writeSetting("SETARI", "TELFAX", "0264");
    settings.writeSetting("VAR", "ADAOSP", "30");
    // Lines keep their bytes; new ones end as the file's lines do.
    EXPECT_EQ(bytes(),
              "; note\n[SETARI]\nDENUMIRE=Alta\nJUDET=Cluj\nTELFAX=0264\n\n"
              "[CONS]\nTVAPROC=19\n# x\nU=x\n[VAR]\nADAOSP=30\n");
}

TEST_F(SettingsFile, TextIsWindows1250OnDiskAndUtf8InMemory) {
    settings.writeSetting("SETARI", "Localit", "T\xC3\xA2rgu Mure\xC5\x9F");  // Târgu Mureş
    EXPECT_EQ(bytes(), "[SETARI]\r\nLocalit=T\xE2rgu Mure\xBA\r\n");
    setBytes(
        "[SETARI]\r\nADRESA=\xC8"
        "ampului\r\n");  // Č in Windows-1250
    EXPECT_EQ(settings.readSetting("SETARI", "ADRESA"),
              "\xC4\x8C"
              "ampului");
}

TEST_F(SettingsFile, WritesLeaveNoTemporaryFileBehind) {
    setBytes("");
    std::ofstream(dir.path() / "Tvx2010.set.tvxnew") << "stale";
    for (int i = 0; i < 3; ++i) settings.nextIndex("IDPROD");
    std::vector<fs::path> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path());
    EXPECT_EQ(names, std::vector<fs::path>{file});
    EXPECT_EQ(settings.peekIndex("IDPROD"), "4");
}

TEST_F(SettingsFile, ACounterThatIsNotANumberIsAnErrorAndStaysAsItWas) {
    setBytes("[INDEX]\r\nIDFISA=12a\r\nIDCAP=\r\nIDNIR=7\r\n");
    EXPECT_THROW(settings.nextNumber("IDFISA"), tables::EngineError);
    try {
        settings.nextIndex("IDFISA");  // a restart at 1 would repeat an identifier
        FAIL() << "a counter holding text gave out a number";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    }
    EXPECT_EQ(bytes(), "[INDEX]\r\nIDFISA=12a\r\nIDCAP=\r\nIDNIR=7\r\n");
    EXPECT_EQ(settings.nextNumber("IDCAP"), 1);
    EXPECT_EQ(settings.nextIndex("IDCAP"), "2");
    EXPECT_EQ(settings.nextIndex("IDNIR"), "7");
}

TEST_F(SettingsFile, LinesAWriteDoesNotChangeKeepTheirBytes) {
    // 0x81 and 0x98 have no character in Windows-1250; one line ends with LF alone, the
    // last one has no line end.
    const std::string kept = "[SETARI]\r\n; \x81\x98 note\nDENUMIRE=Firma \x81\r\nADRESA=x\x98\r\n";
    setBytes(kept + "JUDET=Cluj");
    settings.writeSetting("SETARI", "JUDET", "Alba");
    EXPECT_EQ(bytes(), kept + "JUDET=Alba");
    settings.writeSetting("setari", "TELFAX", "0264");
    EXPECT_EQ(bytes(), kept + "JUDET=Alba\r\nTELFAX=0264\r\n");
    EXPECT_EQ(settings.readSetting("SETARI", "ADRESA"), "x?");
}

TEST_F(SettingsFile, BadInputIsRefusedWithoutWriting) {
    setBytes("[INDEX]\r\nIDNIR=12a\r\n");
    EXPECT_THROW(settings.writeSetting("FACTURA", "A=B", "x"), tables::EngineError);
    EXPECT_THROW(settings.writeSetting("FACT]URA", "A", "x"), tables::EngineError);
    EXPECT_THROW(settings.writeSetting("", "A", "x"), tables::EngineError);
    EXPECT_THROW(settings.writeSetting("FACTURA", "OPERATOR", "a\r\nIDFACT=1"),
                 tables::EngineError);
    EXPECT_EQ(bytes(), "[INDEX]\r\nIDNIR=12a\r\n");
}

TEST(SettingsErrors, UnreadableOrUnwritablePlacesGiveAnErrorNamingTheFile) {
    ScratchDir dir;
    fs::create_directory(dir.path() / "Tvx2010.set");
    EXPECT_EQ(Settings(dir.path() / "Tvx2010.set").readSetting("A", "B"), "");
    EXPECT_THROW(Settings(dir.path() / "Tvx2010.set").writeSetting("A", "B", "C"),
                 tables::EngineError);
    try {
        Settings(dir.path() / "missing" / "Tvx2010.set").nextIndex("IDFACT");
        FAIL() << "writing into a missing folder succeeded";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("Tvx2010.set"), std::string::npos) << e.what();
    }
}

TEST(SettingsTransactions, RolledBackTransactionGivesCountersBack) {
    ScratchDir dir;
    tables::Database db(dir.path());
    Settings settings(dir.path() / "Tvx2010.set", &db);
    {
        tables::Transaction tx(db);
        EXPECT_EQ(settings.nextIndex("IDNIR"), "1");
    }
    EXPECT_FALSE(fs::exists(settings.path()));  // the file the transaction created is gone
    settings.setIndex("IDFACTO", "5");
    db.begin();
    EXPECT_EQ(settings.nextIndex("IDFACTO"), "5");
    EXPECT_EQ(settings.nextIndex("IDFACTO"), "6");
    EXPECT_EQ(settings.nextIndex("FACTNR"), "1");
    db.rollback();
    EXPECT_EQ(settings.peekIndex("IDFACTO"), "5");
    EXPECT_EQ(settings.readSetting("INDEX", "FACTNR"), "");
    db.begin();
    EXPECT_EQ(settings.nextIndex("IDFACTO"), "5");
    db.commit();
    EXPECT_EQ(settings.peekIndex("IDFACTO"), "6");
}

TEST(SettingsTransactions, CountersOfAProcessKilledInATransactionComeBackAtTheNextOpen) {
    ScratchDir dir;
    const fs::path file = dir.path() / "Tvx2010.set";
    Settings(file).setIndex("IDFACT", "10");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        tables::Database db(dir.path());
        Settings settings(file, &db);
        db.begin();
        settings.nextIndex("IDFACT");
        settings.nextIndex("IDCHIT");
        ::_exit(settings.peekIndex("IDFACT") == "11" ? 0 : 1);  // dies without rollback
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Settings(file).peekIndex("IDFACT"), "11");  // on disk until the directory opens
    tables::Database reopened(dir.path());
    Settings settings(file, &reopened);
    EXPECT_EQ(settings.peekIndex("IDFACT"), "10");
    EXPECT_EQ(settings.readSetting("INDEX", "IDCHIT"), "");
}

// A setting written outside a transaction after a committed one that carried the file: a
// kill before the next commit must not let the journal put the older copy back.
TEST(SettingsTransactions, AWriteOutsideATransactionOutlivesTheJournalOfAKilledProcess) {
    ScratchDir dir;
    const fs::path file = dir.path() / "Tvx2010.set";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        tables::Database db(dir.path());
        Settings settings(file, &db);
        db.execute("CREATE TABLE Fise (IDFISA DECIMAL(10,0))");
        {
            tables::Transaction tx(db);
            db.execute("INSERT INTO Fise VALUES (:id)",
                       {{"id", tables::Value(settings.nextNumber("IDFISA"))}});
            tx.commit();
        }
        settings.writeSetting("CONSTANTE", "EUROVAL", "4.97");
        db.begin();
        db.execute("INSERT INTO Fise VALUES (2)");
        ::_exit(0);  // killed before the next commit, the journal not yet emptied
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    tables::Database reopened(dir.path());
    Settings settings(file, &reopened);
    EXPECT_EQ(settings.readSetting("CONSTANTE", "EUROVAL"), "4.97");
    EXPECT_EQ(settings.peekIndex("IDFISA"), "2");
    EXPECT_EQ(reopened.query("SELECT COUNT(*) FROM Fise").at(0, 0).toString(), "1");
}

}  // namespace
}  // namespace tvx::core
