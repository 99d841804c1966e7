// The transaction log of a data directory (tables/ layer).
//
// Inside a transaction, writes to table files are held back in memory. A commit appends
// the new bytes to the log with a commit mark, waits for the log to reach the disk (one
// flush per commit), and only then writes the table files. The tables reach the disk at
// a checkpoint (when the log grows large, before a whole-file change, at close), after
// which the log is emptied. Small files carried by a transaction (the settings file)
// have their old content logged before they change and their new content logged at
// commit. Whole-file changes of tables (create, pack, layout change, drop) first make a
// checkpoint, then log the old file, so the transaction can be undone.
//
// When a data directory is opened, the log is played: committed transactions are written
// again (harmless when already there), an unfinished one is undone. So a transaction is
// kept whole or not at all, also when the process was killed mid-way.
#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tables/dbf/DbfFile.h"

namespace tvx::tables {

namespace platform {
class File;
}

class Journal : public dbf::WriteHook {
  public:
    explicit Journal(std::filesystem::path logFile);
    ~Journal() override;

    // Plays the log left by an earlier process. Returns the files it wrote.
    std::vector<std::filesystem::path> recover();

    void begin(bool durable);
    bool active() const { return active_; }
    void commit();
    // Drops what was held back and undoes what reached the disk. Returns the files
    // touched (their cached copies are stale).
    std::vector<std::filesystem::path> rollback();

    // A small file (not a table) joins the open transaction: its content (or absence) is
    // logged before it changes, and its new content at commit.
    void carry(const std::filesystem::path& file);
    // A table file is about to be created, replaced or deleted as a whole.
    void protectTable(const std::filesystem::path& file);

    bool takeWrite(dbf::DbfFile& file, uint64_t offset, std::string_view bytes) override;
    void beforeReplace(const std::filesystem::path& file) override { protectTable(file); }

    // A table object goes away: its held-back writes must not dangle.
    void release(dbf::DbfFile& file);
    // Brings every committed change to the disk and empties the log.
    void checkpoint();

  private:
    struct Pending {
        dbf::DbfFile* file;
        uint64_t offset;
        std::string bytes;
    };
    void append(const std::string& entry, bool ofThisTransaction);
    void syncLog();
    void truncateLog();
    platform::File& log();
    // Logs (durably) the whole content of a file, or that it does not exist.
    void logOldContent(const std::filesystem::path& file);
    // Undo mode: writes the held-back changes now, logging their old bytes first.
    void flushWithUndo();

    std::filesystem::path path_;
    std::unique_ptr<platform::File> file_;
    uint64_t logSize_ = 0;
    bool active_ = false;
    bool durable_ = true;
    bool undoMode_ = false;  // this transaction replaced a table file
    std::vector<Pending> pending_;
    std::vector<std::string> ownEntries_;  // log entries of the open transaction
    std::set<std::string> touched_;        // files this transaction changed or will change
    std::set<std::string> sized_;          // undo mode: files whose old size is logged
    std::set<std::string> carried_;        // small files carried by this transaction
    std::set<std::string> protected_;      // table files saved whole in this transaction
    std::set<std::string> dirty_;          // files written since the last checkpoint
};

}  // namespace tvx::tables
