// Transactions: everything done inside is kept or undone as a whole -- rows, table
// files created, altered, packed or dropped, work tables outside the data directory and
// protected small files -- and a journal left by a dead process is played back.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <optional>

#include "TempDir.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

using namespace tvx::tables;
using tvx::testing::readFile;
using tvx::testing::TempDir;
namespace fs = std::filesystem;

namespace {

class TransactionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.execute(
            "CREATE TABLE CapFise (IDCAP DECIMAL(10,0), STOC DECIMAL(8,2), NRREC DECIMAL(8,0))");
        db.execute("INSERT INTO CapFise VALUES (1, 10, 1), (2, 20, 1)");
        db.execute("DELETE FROM CapFise WHERE IDCAP = 2");
        snapshot = readFile(dir / "CapFise.dbf");
    }
    std::string cell(const std::string& sql) {
        ResultSet rs = db.query(sql);
        return rs.empty() ? "<none>" : rs.at(0, 0).toString();
    }
    // A data directory belongs to one Database at a time: the fixture's one goes away
    // before another (or another process) opens the directory.
    void closeDb() { held.reset(); }
    TempDir dir, prog;
    std::optional<Database> held{std::in_place, dir.path(), prog.path()};
    Database& db = *held;
    std::string snapshot;
};

TEST_F(TransactionTest, RollbackUndoesRowsAndTableFiles) {
    std::ofstream(dir / "Tvx2010.set") << "[INDEX]\nIDCAP=3\n";
    std::string work = (prog / "Stoc.dbf").string();
    db.run("BEGIN TRANSACTION");
    EXPECT_THROW(db.begin(), EngineError);  // no nesting
    db.protectFile(dir / "Tvx2010.set");
    std::ofstream(dir / "Tvx2010.set") << "[INDEX]\nIDCAP=4\n";
    db.protectFile(dir / "New.set");
    std::ofstream(dir / "New.set") << "x";
    db.execute("INSERT INTO CapFise VALUES (3, 5, 1)");
    db.execute("UPDATE CapFise SET STOC = STOC - 1, NRREC = NRREC + 1 WHERE IDCAP = 1");
    db.execute("CREATE TABLE \"" + work + "\" (IDCAP DECIMAL(10,0))");
    db.execute("INSERT INTO \"" + work + "\" SELECT IDCAP FROM CapFise");
    db.execute("ALTER TABLE CapFise ADD XXX CHAR(13)");
    db.execute("UPDATE CapFise SET XXX = 'A'");
    db.pack(dir / "CapFise.dbf");
    db.execute("CREATE TABLE Fise (IDFISA DECIMAL(10,0))");
    db.execute("DROP TABLE Fise");
    // Inside, the transaction sees its own changes.
    EXPECT_EQ(cell("SELECT SUM(STOC) FROM CapFise"), "14.00");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM \"" + work + "\""), "2");
    db.run("ROLLBACK");

    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(readFile(dir / "CapFise.dbf"), snapshot);
    EXPECT_EQ(readFile(dir / "Tvx2010.set"), "[INDEX]\nIDCAP=3\n");
    EXPECT_FALSE(fs::exists(dir / "New.set"));
    EXPECT_FALSE(fs::exists(work));
    EXPECT_FALSE(fs::exists(dir / "Fise.dbf"));
    EXPECT_EQ(cell("SELECT SUM(STOC) FROM CapFise"), "10.00");
    EXPECT_THROW(db.query("SELECT XXX FROM CapFise"), EngineError);
    EXPECT_EQ(fs::file_size(dir / "Tvx.jnl"), 0u);
}

TEST_F(TransactionTest, DroppingATableIsUndoneToo) {
    db.begin();
    db.execute("DROP TABLE CapFise");
    EXPECT_THROW(db.query("SELECT * FROM CapFise"), EngineError);
    db.rollback();
    EXPECT_EQ(readFile(dir / "CapFise.dbf"), snapshot);
    EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise"), "1");
}

TEST_F(TransactionTest, AnExceptionLeavingTheGuardRollsBack) {
    try {
        Transaction t(db);
        db.execute("UPDATE CapFise SET STOC = 0");
        db.execute("INSERT INTO CapFise (IDCAP, STOC) VALUES (9, 1000000)");  // does not fit
        t.commit();
        FAIL() << "the insert should have failed";
    } catch (const EngineError&) {
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(readFile(dir / "CapFise.dbf"), snapshot);
    EXPECT_EQ(cell("SELECT STOC FROM CapFise"), "10.00");
}

TEST_F(TransactionTest, CommitKeepsEverythingForTheNextReader) {
    {
        Transaction t(db);
        db.execute("INSERT INTO CapFise VALUES (3, 5, 1)");
        db.execute("UPDATE CapFise SET STOC = STOC + 1");
        // Nothing reached the file yet: another reader still sees the old table.
        EXPECT_EQ(readFile(dir / "CapFise.dbf"), snapshot);
        t.commit();
    }
    EXPECT_THROW(db.commit(), EngineError);
    EXPECT_THROW(db.run("ROLLBACK"), EngineError);
    closeDb();
    Database other(dir.path());
    ResultSet rs = other.query("SELECT IDCAP, STOC FROM CapFise ORDER BY IDCAP");
    ASSERT_EQ(rs.rowCount(), 2u);
    EXPECT_EQ(rs.at(0, 1).toString(), "11.00");
    EXPECT_EQ(rs.at(1, 1).toString(), "6.00");
}

// A process that dies in the middle of a transaction leaves its journal; the next opening
// of the data directory puts every file back as it was.
TEST_F(TransactionTest, AJournalLeftByADeadProcessIsPlayedBack) {
    std::ofstream(dir / "Tvx2010.set") << "[INDEX]\nIDCAP=3\n";
    closeDb();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Database mine(dir.path());
        mine.begin();
        mine.protectFile(dir / "Tvx2010.set");
        std::ofstream(dir / "Tvx2010.set") << "[INDEX]\nIDCAP=9\n";
        mine.execute("INSERT INTO CapFise VALUES (3, 5, 1)");
        mine.execute("UPDATE CapFise SET STOC = 0");
        mine.execute("ALTER TABLE CapFise ADD XXX CHAR(5)");  // brings the writes to disk
        mine.execute("INSERT INTO CapFise (IDCAP) VALUES (4)");
        _exit(0);  // dies without commit or rollback
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(readFile(dir / "CapFise.dbf"), snapshot);  // the dead process changed it
    EXPECT_GT(fs::file_size(dir / "Tvx.jnl"), 0u);

    Database reopened(dir.path());
    EXPECT_EQ(readFile(dir / "CapFise.dbf"), snapshot);
    EXPECT_EQ(readFile(dir / "Tvx2010.set"), "[INDEX]\nIDCAP=3\n");
    EXPECT_EQ(fs::file_size(dir / "Tvx.jnl"), 0u);
    EXPECT_EQ(reopened.query("SELECT * FROM CapFise").rowCount(), 1u);
}

// A torn last journal entry (the process died while writing it) is ignored: the table
// write it was guarding never started.
TEST_F(TransactionTest, ATornJournalEntryIsIgnored) {
    closeDb();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Database mine(dir.path());
        mine.begin();
        mine.execute("UPDATE CapFise SET STOC = 0");
        mine.pack(dir / "CapFise.dbf");
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    auto journal = dir / "Tvx.jnl";
    std::string bytes = readFile(journal);
    ASSERT_GT(bytes.size(), 20u);
    std::ofstream(journal, std::ios::binary | std::ios::app) << std::string("W\x05\0\0", 4);
    Database reopened(dir.path());
    EXPECT_EQ(readFile(dir / "CapFise.dbf"), snapshot);
}

}  // namespace

namespace {

// A commit is durable through the log alone: when the table writes of a committed
// transaction are lost (they reach the disk only at a checkpoint), opening the directory
// writes them again; the unfinished transaction after it is undone.
TEST_F(TransactionTest, CommittedWritesLostBeforeACheckpointAreRedone) {
    std::ofstream(dir / "Tvx2010.set") << "[INDEX]\nIDCAP=3\n";
    closeDb();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Database mine(dir.path());
        mine.begin();
        mine.protectFile(dir / "Tvx2010.set");
        std::ofstream(dir / "Tvx2010.set") << "[INDEX]\nIDCAP=4\n";
        mine.execute("INSERT INTO CapFise VALUES (3, 5, 1)");
        mine.execute("UPDATE CapFise SET STOC = STOC - 1 WHERE IDCAP = 1");
        mine.commit();
        mine.begin();
        mine.protectFile(dir / "Tvx2010.set");
        std::ofstream(dir / "Tvx2010.set") << "[INDEX]\nIDCAP=5\n";
        mine.execute("INSERT INTO CapFise VALUES (4, 1, 1)");
        _exit(0);  // dies in the second transaction, before any checkpoint
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    // As if the committed table writes had never reached the disk.
    std::ofstream(dir / "CapFise.dbf", std::ios::binary | std::ios::trunc) << snapshot;
    std::ofstream(dir / "Tvx2010.set") << "garbage";

    Database reopened(dir.path());
    ResultSet rs = reopened.query("SELECT IDCAP, STOC FROM CapFise ORDER BY IDCAP");
    ASSERT_EQ(rs.rowCount(), 2u);
    EXPECT_EQ(rs.at(0, 1).toString(), "9.00");
    EXPECT_EQ(rs.at(1, 0).toString(), "3");
    EXPECT_EQ(readFile(dir / "Tvx2010.set"), "[INDEX]\nIDCAP=4\n");
    EXPECT_EQ(fs::file_size(dir / "Tvx.jnl"), 0u);
}

// After a rolled-back transaction that carried the settings file, a later change of
// that file outside any transaction is not undone when the log is played.
TEST_F(TransactionTest, ARolledBackCarriedFileIsNotPutBackLater) {
    std::ofstream(dir / "Tvx2010.set") << "old";
    closeDb();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Database mine(dir.path());
        mine.begin();
        mine.protectFile(dir / "Tvx2010.set");
        std::ofstream(dir / "Tvx2010.set") << "changed";
        mine.rollback();
        std::ofstream(dir / "Tvx2010.set") << "later";
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    Database reopened(dir.path());
    EXPECT_EQ(readFile(dir / "Tvx2010.set"), "later");
}

}  // namespace
