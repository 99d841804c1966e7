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
//
// The log names its files relative to the folder they lie in, the data directory or the
// program folder, so a folder copied or restored elsewhere plays its log on its own files.
// A log is played only when every file it names lies inside those two folders and every
// write stays within its file; any other log is set aside whole (renamed, never deleted)
// and the reason given back as a notice.
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
    // `logFile` lies in `dataDir`; `programDir` (may be empty) holds the work tables.
    Journal(std::filesystem::path logFile, const std::filesystem::path& dataDir,
            const std::filesystem::path& programDir);
    ~Journal() override;

    // Plays the log left by an earlier process. Returns the files it wrote; a log that
    // cannot be played safely is set aside instead and the reason added to `notices`.
    std::vector<std::filesystem::path> recover(std::vector<std::string>& notices);

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
    // An entry naming `file` relative to the folder it lies in.
    std::string entry(char kind, const std::filesystem::path& file, uint64_t a,
                      std::string_view data) const;
    void append(const std::string& entry, bool ofThisTransaction);
    void syncLog();
    void truncateLog();
    platform::File& log();
    // Logs (durably) the whole content of a file, or that it does not exist.
    void logOldContent(const std::filesystem::path& file);
    // Undo mode: writes the held-back changes now, logging their old bytes first.
    void flushWithUndo();

    std::filesystem::path path_;
    std::filesystem::path dataDir_;     // absolute, normalised
    std::filesystem::path programDir_;  // absolute, normalised; empty when none
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
