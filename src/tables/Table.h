// A cached table of the engine (tables/ layer): the dBase file plus field indexes, read from
// the table's index file or built on demand, and kept in step with every write through it.
// An index is a sorted list of (key, record) as read or built, plus the changes made since;
// the index file is rewritten with them when the engine closes (see saveIndexes).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "tables/FieldCodec.h"
#include "tables/IndexFile.h"
#include "tables/Value.h"
#include "tables/dbf/DbfFile.h"

namespace tvx::tables {

class Table {
  public:
    explicit Table(std::unique_ptr<dbf::DbfFile> file);

    dbf::DbfFile& file() { return *file_; }
    const dbf::DbfFile& file() const { return *file_; }
    const std::string& name() const { return name_; }
    const std::vector<dbf::FieldDescriptor>& fields() const { return file_->fields(); }
    int findField(std::string_view field) const { return file_->findField(field); }
    uint32_t recordCount() const { return file_->recordCount(); }
    bool isDeleted(uint32_t record) const { return file_->isDeleted(record); }
    Value value(uint32_t record, int field) const {
        return decodeField(file_->rawField(record, field), file_->fields()[field]);
    }

    // Records (deleted ones included, ascending) whose field equals `key`; `key` must
    // already have the field's type (see coerceForField). May hold a few more records
    // (keys are hashed): the caller's own comparison still decides.
    std::vector<uint32_t> lookup(int field, const Value& key);
    // Records of a date field between two dates (inclusive; a missing bound is open), in
    // ascending record order; empty dates are never among them.
    std::vector<uint32_t> lookupDates(int field, const std::optional<Date>& from,
                                      const std::optional<Date>& to);
    // About how many records hold `key` in a field (a plan's estimate; exact but for the
    // records written since the index was read): no list is made.
    size_t countOf(int field, const Value& key);
    // Number of distinct values of a field (builds or reads its index).
    size_t distinctValues(int field);
    // Whether a field's index is at hand (built, or in the index file): counting with it
    // reads no record.
    bool hasIndex(int field);

    // Writes the index file when an index was built or changed since it was read. Call it
    // only when the table file holds every change (no transaction open).
    void saveIndexes();

    // Writes through the file and keeps the indexes in step.
    uint32_t append(const std::string& record);
    void write(uint32_t record, const std::string& bytes);
    void remove(uint32_t record);
    // Number of records marked deleted (counted once, then kept in step).
    uint32_t deletedCount();
    // After the file was rewritten (pack, layout change, read again).
    void reset(std::unique_ptr<dbf::DbfFile> file);
    void dropIndexes();
    // Changes whenever the file was read again or rewritten (pack, layout change): what
    // was bound to its fields before may no longer hold.
    uint64_t generation() const { return generation_; }

  private:
    struct FieldIndex {
        SortedIndex base;  // as read or built
        // Changes since: records whose entry in `base` no longer holds, and the current
        // key of every record written or added since.
        std::unordered_set<uint32_t> moved;
        std::unordered_map<uint64_t, std::vector<uint32_t>> added;
    };
    FieldIndex& index(int field);
    // Opens the index file once after the table was read, when it matches the table.
    void openIndexFile();
    void noteChange();
    static SortedIndex merged(const FieldIndex& idx);

    std::unique_ptr<dbf::DbfFile> file_;
    std::string name_;
    std::unordered_map<int, FieldIndex> indexes_;
    std::optional<IndexFileReader> indexFile_;  // current for the table as read
    bool fileTried_ = false;   // the index file was looked at since the table was read
    bool changed_ = false;     // written through since it was read
    bool unsaved_ = false;     // indexes hold what the index file does not
    int64_t deleted_ = -1;     // -1: not counted yet
    // Unique across all tables of the process, so a table made anew at the address of a
    // dropped one never matches what was bound to the old one.
    static uint64_t nextGeneration();
    uint64_t generation_ = nextGeneration();
};

}  // namespace tvx::tables
