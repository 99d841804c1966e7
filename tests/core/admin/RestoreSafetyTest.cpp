// What keeps a backup and a restore from losing or corrupting data: a backup of a working
// engine holds the tables and no journal, and restores into another folder with the same
// rows; hostile entry names are refused; a restore killed after any step is finished or
// undone by the next start; an archive without files restores to an empty directory; a
// folder in the restore's way is left alone.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <map>

#include "../CoreTestSupport.h"
#include "core/admin/Backup.h"
#include "core/admin/RestoreSwap.h"
#include "core/app/Session.h"
#include "core/app/Startup.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using testsupport::FileBytes;

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Every file under `dir` (relative path -> bytes); folders show as "<name>/".
std::map<std::string, std::string> Tree(const fs::path& dir) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        // The lock of whoever has the folder open is no data of it.
        if (entry.path().filename() == tables::kLockFileName) continue;
        const std::string name = fs::relative(entry.path(), dir).generic_string();
        tree[entry.is_directory() ? name + "/" : name] =
            entry.is_directory() ? "" : FileBytes(entry.path());
    }
    return tree;
}

std::string U32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}

// An archive written by hand, whatever the names.
std::string Archive(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out = U32(static_cast<uint32_t>(entries.size()));
    for (const auto& [name, data] : entries) {
        uLongf size = compressBound(data.size());
        std::string packed(size, '\0');
        compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), data.size(), 9);
        out += U32(static_cast<uint32_t>(name.size())) + name +
               U32(static_cast<uint32_t>(data.size())) + packed.substr(0, size);
    }
    return out;
}

TEST(RestoreSafetyTest, ABackupOfAWorkingEngineRestoresElsewhereWithTheSameRowsAndNoJournal) {
    testsupport::ScratchDir scratch;
    const fs::path original = scratch.path() / "unu" / "Data";
    const fs::path other = scratch.path() / "doi" / "Data";
    const fs::path archive = scratch.path() / "copie.tvx";
    fs::create_directories(original);
    fs::create_directories(other);
    Write(other / "Vechi.dbf", "to be replaced");
    {
        tables::Database db(original);
        db.execute("CREATE TABLE Clienti (ID DECIMAL(6,0), NUME CHAR(20))");
        db.atomically([&] { db.execute("INSERT INTO Clienti VALUES (1, 'ALFA')"); });
        db.atomically([&] { db.execute("INSERT INTO Clienti VALUES (2, 'BETA')"); });
        Write(original / "Tvx.jnl.new", "journal leftovers");
        Write(original / "Clienti.dbf.tmp", "half a table");
        db.begin();
        db.execute("INSERT INTO Clienti VALUES (3, 'GAMA')");
        EXPECT_THROW(SaveArchive(db, archive), tables::EngineError);  // inside a transaction
        EXPECT_FALSE(fs::exists(archive));
        db.rollback();
        ASSERT_GT(fs::file_size(original / "Tvx.jnl"), 0u);  // committed, not yet checkpointed
        ASSERT_GT(fs::file_size(original / "Tvx.lck"), 0u);  // the engine's lock, left out too
        SaveArchive(db, archive);
        EXPECT_EQ(fs::file_size(original / "Tvx.jnl"), 0u);
    }
    std::vector<std::string> saved;
    for (const ArchiveEntryInfo& entry : CheckArchive(archive)) saved.push_back(entry.fileName);
    EXPECT_EQ(saved, std::vector<std::string>{"Clienti.dbf"});

    const auto before = Tree(scratch.path() / "unu");
    RestoreArchive(other, archive);
    EXPECT_EQ(Tree(scratch.path() / "unu"), before);  // the original folder untouched
    fs::remove_all(scratch.path() / "unu");           // and then gone
    tables::Database restored(other);
    EXPECT_EQ(restored.query("SELECT NUME FROM Clienti").rowCount(), 2u);
    EXPECT_EQ(restored.query("SELECT NUME FROM Clienti WHERE ID=2").asText("NUME"), "BETA");
    EXPECT_FALSE(fs::exists(other / "Vechi.dbf"));
}

TEST(RestoreSafetyTest, HostileEntryNamesAreRefusedBeforeAnythingIsWritten) {
    testsupport::ScratchDir scratch;
    const fs::path data = scratch.path() / "Data";
    fs::create_directories(data);
    Write(data / "FactOut.dbf", "current");
    const fs::path archive = scratch.path() / "rau.tvx";
    const std::vector<std::vector<std::string>> cases = {
        {"Data\\tvx.JNL.new"}, {"Data\\Tvx.restore"},
        {"Data\\.."},          {"Data\\"},
        {"Data\\sub/x.dbf"},   {"Data\\C:x.dbf"},
        {"/etc/passwd"},       {"Data\\A.dbf", "Data\\a.DBF"}};
    for (const auto& names : cases) {
        std::vector<std::pair<std::string, std::string>> entries;
        for (const std::string& name : names) entries.emplace_back(name, "payload");
        Write(archive, Archive(entries));
        EXPECT_THROW(CheckArchive(archive), tables::EngineError) << names.back();
        EXPECT_THROW(RestoreArchive(data, archive), tables::EngineError) << names.back();
        EXPECT_EQ(
            Tree(scratch.path()),
            (std::map<std::string, std::string>{
                {"Data/", ""}, {"Data/FactOut.dbf", "current"}, {"rau.tvx", FileBytes(archive)}}))
            << names.back();
    }
}

// A restore stopped after each step of its swap, as if killed there, then the next start.
TEST(RestoreSafetyTest, ARestoreKilledAtAnyStepIsFinishedOrUndoneByTheNextStart) {
    for (int s = 0; s <= static_cast<int>(RestoreStep::PreviousRemoved); ++s) {
        const auto killedAfter = static_cast<RestoreStep>(s);
        const bool finished = killedAfter != RestoreStep::Unpacked;  // the files were complete
        testsupport::ScratchDir scratch;
        const fs::path data = scratch.path() / "Data";
        fs::create_directories(data / "Sub");
        Write(data / "Sub" / "inner.txt", "kept");
        Write(data / "FactOut.dbf", "new invoices");
        Write(data / "Nou.dbf", "only in the backup");
        const fs::path archive = data / "copie.tvx";  // in the data directory: it stays too
        {
            tables::Database db(data);
            SaveArchive(db, archive);
        }
        fs::remove(data / "Nou.dbf");
        Write(data / "FactOut.dbf", "old invoices");
        Write(data / "Vechi.dbf", "only now");
        const auto old = Tree(data);
        auto restored = old;
        restored.erase("Vechi.dbf");
        restored["FactOut.dbf"] = "new invoices";
        restored["Nou.dbf"] = "only in the backup";

        int stops = 0;
        RestoreArchive(data, archive, {}, [&](RestoreStep step) {
            stops += step == killedAfter;
            return step != killedAfter;
        });
        ASSERT_EQ(stops, 1);
        const auto notice = FinishInterruptedRestore(data);
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->text, finished ? "Restaurarea intrerupta a fost terminata."
                                         : "Restaurarea intrerupta a fost anulata; datele "
                                           "dinainte au fost pastrate.");
        EXPECT_EQ(Tree(data), finished ? restored : old) << s;
        EXPECT_FALSE(fs::exists(RestoreFolder(data)));
        EXPECT_FALSE(fs::exists(PreviousFolder(data)));
        EXPECT_FALSE(FinishInterruptedRestore(data));  // nothing left to do
    }
}

TEST(RestoreSafetyTest, StartUpFinishesARestoreKilledWhileTheDataDirectoryWasAway) {
    testsupport::ScratchDir scratch;
    const fs::path data = scratch.path() / "Data";
    const fs::path archive = scratch.path() / "copie.tvx";
    {
        Session session(scratch.path());
        PrepareData(session);
        session.db().execute("INSERT INTO Conturi (IDCONT, CONT) VALUES (7, 'RO49AAAA')");
        SaveArchive(session.db(), archive);
        session.db().execute("DELETE FROM Conturi");
    }
    RestoreArchive(data, archive, {},
                   [](RestoreStep step) { return step != RestoreStep::SetAside; });
    ASSERT_FALSE(fs::exists(data));
    Session next(scratch.path());
    const auto notice = PrepareData(next);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->text, "Restaurarea intrerupta a fost terminata.");
    EXPECT_EQ(next.db().query("SELECT IDCONT FROM Conturi").rowCount(), 1u);
}

// A folder in the restore's way is not the program's: left alone, also by start-up. Without
// it, an archive without files gives an empty data directory.
TEST(RestoreSafetyTest, AFolderInTheWayIsLeftAloneAndAnEmptyArchiveEmptiesTheDataDirectory) {
    testsupport::ScratchDir scratch;
    const fs::path data = scratch.path() / "Data";
    fs::create_directories(data / "Sub");
    Write(data / "FactOut.dbf", "current");
    const fs::path archive = scratch.path() / "gol.tvx";
    Write(archive, Archive({}));
    for (const fs::path& folder : {RestoreFolder(data), PreviousFolder(data)}) {
        fs::create_directories(folder);
        Write(folder / "lucru.txt", "the user's");
        const auto before = Tree(scratch.path());
        EXPECT_THROW(RestoreArchive(data, archive), tables::EngineError);
        EXPECT_FALSE(FinishInterruptedRestore(data));
        EXPECT_EQ(Tree(scratch.path()), before) << folder;
        fs::remove_all(folder);
    }
    RestoreArchive(data, archive);
    EXPECT_EQ(Tree(data), (std::map<std::string, std::string>{{"Sub/", ""}}));
}

}  // namespace
}  // namespace tvx::core
