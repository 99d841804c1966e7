// A data directory belongs to one Database and changes only its own files: a journal copied
// with its folder is played on the copy, a journal naming anything outside the folders is
// set aside whole with a notice, a second opener is refused while the first writes, and
// the temporary files of a killed table rewrite are removed at the next opening.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "TempDir.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

using namespace tvx::tables;
using tvx::testing::readFile;
using tvx::testing::TempDir;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// Runs `work` in a child process; `work` ends with _exit, so its Database is never closed.
template <typename F>
void inDyingChild(F work) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

std::string count(Database& db, const std::string& table) {
    return db.query("SELECT COUNT(*) FROM " + table).at(0, 0).toString();
}

TEST(DataDirectory, AJournalCopiedWithItsFoldersIsPlayedOnTheCopyAlone) {
    TempDir dir, prog;
    const std::string work = "\"" + (prog / "Work.dbf").string() + "\"";
    {
        Database db(dir.path(), prog.path());
        db.execute("CREATE TABLE CapFise (IDCAP DECIMAL(10,0))");
        db.execute("CREATE TABLE " + work + " (IDCAP DECIMAL(10,0))");
    }
    const std::string before = readFile(dir / "CapFise.dbf");
    const std::string workBefore = readFile(prog / "Work.dbf");
    inDyingChild([&] {
        Database db(dir.path(), prog.path());
        Transaction t(db);
        db.execute("INSERT INTO CapFise VALUES (1)");
        db.execute("INSERT INTO " + work + " VALUES (1)");
        t.commit();  // the journal keeps the transaction until a checkpoint
        _exit(0);
    });
    // Two copies of both folders, each as if the committed writes had not reached its tables.
    TempDir copies[2], copyProgs[2];
    for (int i = 0; i < 2; ++i) {
        fs::copy(dir.path(), copies[i].path(), fs::copy_options::recursive);
        fs::copy(prog.path(), copyProgs[i].path(), fs::copy_options::recursive);
        writeFile(copies[i] / "CapFise.dbf", before);
        writeFile(copyProgs[i] / "Work.dbf", workBefore);
    }
    writeFile(dir / "CapFise.dbf", before);  // the original, changed since by someone
    writeFile(prog / "Work.dbf", workBefore);
    {
        Database copy(copies[0].path(), copyProgs[0].path());
        EXPECT_EQ(count(copy, "CapFise"), "1");
        EXPECT_EQ(count(copy, "\"" + (copyProgs[0] / "Work.dbf").string() + "\""), "1");
        EXPECT_TRUE(copy.notices().empty());
    }
    EXPECT_EQ(readFile(dir / "CapFise.dbf"), before);
    EXPECT_EQ(readFile(prog / "Work.dbf"), workBefore);
    EXPECT_GT(fs::file_size(dir / "Tvx.jnl"), 0u);

    fs::remove_all(dir.path());
    fs::remove_all(prog.path());
    Database copy(copies[1].path(), copyProgs[1].path());
    EXPECT_EQ(count(copy, "CapFise"), "1");
    EXPECT_FALSE(fs::exists(dir.path()));
}

// A journal entry as the log stores it: kind, path, a number, data, checksum.
std::string entry(char kind, const std::string& path, uint64_t a, const std::string& data) {
    std::string e(1, kind);
    auto put = [&](uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) e.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put(path.size(), 4);
    e += path;
    put(a, 8);
    put(data.size(), 4);
    e += data;
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : e) h = (h ^ c) * 1099511628211ull;
    put(h, 8);
    return e;
}

TEST(DataDirectory, AJournalNamingAnythingOutsideItsFoldersIsSetAsideWhole) {
    TempDir outside;
    struct Case {
        std::string path;  // of the second entry
        uint64_t offset;
        bool played;
    };
    const std::string inside = "<D>Note.dbf";
    const Case cases[] = {
        {"<D>../Victim.dbf", 0, false},
        {(outside / "Victim.dbf").string(), 0, false},
        {"<P>Victim.dbf", 0, false},                // opened without a program folder
        {"<D>Note.dbf", uint64_t(1) << 40, false},  // a giant sparse file
        {"<D>Note.dbf", 4096, false},  // further past the end than the log could have seen
        {"<D>Note.dbf", 9, true},      // a file the unfinished transaction had replaced
        {"<D>Note.dbf", 8, true},      // appends
    };
    for (const Case& c : cases) {
        TempDir dir;
        writeFile(dir / "Note.dbf", "12345678");
        std::string victim =
            c.path.substr(0, 3) == "<D>" ? (dir / c.path.substr(3)).string() : c.path;
        const std::string log = entry('N', inside, 0, "AB") + entry('N', c.path, c.offset, "CD") +
                                entry('C', "", 0, "");
        writeFile(dir / "Tvx.jnl", log);
        Database db(dir.path());
        if (c.played) {
            EXPECT_EQ(readFile(dir / "Note.dbf"),
                      "AB345678" + std::string(c.offset - 8, '\0') + "CD");
            EXPECT_TRUE(db.notices().empty());
            EXPECT_EQ(fs::file_size(dir / "Tvx.jnl"), 0u);
            continue;
        }
        SCOPED_TRACE(c.path + " at " + std::to_string(c.offset));
        EXPECT_EQ(readFile(dir / "Note.dbf"), "12345678");  // not even the first entry
        if (c.path.find("Victim") != std::string::npos) EXPECT_FALSE(fs::exists(victim));
        EXPECT_LE(fs::file_size(dir / "Note.dbf"), 8u);
        EXPECT_FALSE(fs::exists(dir / "Tvx.jnl"));
        EXPECT_EQ(readFile(dir / "Tvx.jnl.old-1"), log);
        ASSERT_EQ(db.notices().size(), 1u);
        EXPECT_NE(db.notices()[0].find("Tvx.jnl.old-1"), std::string::npos) << db.notices()[0];
    }
}

TEST(DataDirectory, AnOlderJournalWithAbsolutePathsIsPlayedInsideItsFolder) {
    TempDir dir;
    writeFile(dir / "Note.dbf", "12345678");
    writeFile(dir / "Tvx.jnl", entry('N', (dir / "Note.dbf").string(), 2, "AB") +
                                   entry('C', "", 0, "") +
                                   entry('S', (dir / "Note.dbf").string(), 9, ""));
    Database db(dir.path());
    EXPECT_EQ(readFile(dir / "Note.dbf"), "12AB5678");  // an undo never lengthens a file
    EXPECT_TRUE(db.notices().empty());
}

TEST(DataDirectory, ASecondOpenerIsRefusedWhileTheFirstWritesAndNothingIsLost) {
    TempDir dir;
    {
        Database db(dir.path());
        db.execute("CREATE TABLE CapFise (IDCAP DECIMAL(10,0))");
        EXPECT_THROW(Database(dir.path()), EngineError);  // within one process as well
    }
    int ready[2], stop[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(stop), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Database db(dir.path());
        fcntl(stop[0], F_SETFL, O_NONBLOCK);
        int committed = 0;
        char c = 0;
        if (write(ready[1], &c, 1) != 1) _exit(1);
        while (read(stop[0], &c, 1) != 1 && committed < 100000) {
            db.execute("INSERT INTO CapFise VALUES (:n)", {{"n", Value(++committed)}});
        }
        if (write(ready[1], &committed, sizeof committed) != sizeof committed) _exit(1);
        _exit(0);  // dies with its journal full of committed work
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    int refused = 0;
    std::string message;
    for (int i = 0; i < 20; ++i) {
        try {
            Database intruder(dir.path());
        } catch (const EngineError& e) {
            ++refused;
            message = e.what();
        }
        usleep(2000);
    }
    ASSERT_EQ(write(stop[1], &c, 1), 1);
    int committed = 0;
    ASSERT_EQ(read(ready[0], &committed, sizeof committed), static_cast<ssize_t>(sizeof committed));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(refused, 20);
    EXPECT_NE(message.find(dir.path().string()), std::string::npos) << message;
    EXPECT_NE(message.find("process " + std::to_string(child)), std::string::npos) << message;
    Database after(dir.path());
    EXPECT_EQ(count(after, "CapFise"), std::to_string(committed));
    EXPECT_EQ(after.query("SELECT MAX(IDCAP) FROM CapFise").at(0, 0).toString(),
              std::to_string(committed));
}

TEST(DataDirectory, TemporaryFilesOfAKilledTableRewriteAreRemovedAtTheNextOpening) {
    TempDir dir, prog;
    for (const fs::path& p :
         {dir / "CapFise.dbf.tmp", prog / "Fact.DBF.TMP", dir / "Note.tmp", dir / "Keep.dbf"})
        writeFile(p, "x");
    Database db(dir.path(), prog.path());
    EXPECT_FALSE(fs::exists(dir / "CapFise.dbf.tmp"));
    EXPECT_FALSE(fs::exists(prog / "Fact.DBF.TMP"));
    EXPECT_TRUE(fs::exists(dir / "Note.tmp"));
    EXPECT_TRUE(fs::exists(dir / "Keep.dbf"));
}

}  // namespace
