// The rollback journal of a data directory (tables/ layer). Inside a transaction the
// writes to table files are held back; at commit the journal first records, durably,
// what the affected bytes were (and each file's size), then the writes reach the files,
// then the journal is emptied. Whole-file changes (create, pack, layout change, drop,
// protected small files) record the whole old file first. An unfinished journal found
// when a data directory is opened is played backwards, so a transaction is kept whole
// or not at all, also when the process was killed.
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
    explicit Journal(std::filesystem::path journalFile);
    ~Journal() override;

    // Plays back an unfinished journal left by a process that stopped mid-transaction.
    // Returns the files it restored.
    std::vector<std::filesystem::path> recover();

    void begin(bool durable);
    bool active() const { return active_; }
    // Writes everything held back, durably when asked, and empties the journal.
    void commit();
    // Undoes what reached the disk, drops what was held back, empties the journal.
    // Returns the files touched (their cached copies are stale).
    std::vector<std::filesystem::path> rollback();

    // Records the whole file (or its absence) before it changes.
    void protect(const std::filesystem::path& file);

    bool takeWrite(dbf::DbfFile& file, uint64_t offset, std::string_view bytes) override;
    void beforeReplace(const std::filesystem::path& file) override { protect(file); }

    // Forget a table object that goes away (its pending writes are flushed first).
    void release(dbf::DbfFile& file);

private:
    struct Pending {
        dbf::DbfFile* file;
        uint64_t offset;
        std::string bytes;
    };
    // Journals and applies the held-back writes (the journal reaches the disk first).
    void flush();
    void append(const std::string& entry);
    void syncJournal();
    void empty();
    platform::File& journal();

    std::filesystem::path path_;
    std::unique_ptr<platform::File> file_;
    uint64_t journalSize_ = 0;
    bool active_ = false;
    bool durable_ = true;
    std::vector<Pending> pending_;
    std::set<std::string> touched_;       // files with journal entries or pending writes
    std::set<std::string> sized_;         // files whose old size is journaled
    std::set<std::string> wholeSaved_;    // files saved whole in this transaction
};

}  // namespace tvx::tables
