// A cached table of the engine (tables/ layer): the dBase file in memory plus equality
// indexes built on demand per field and kept in step with every write through it.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "tables/FieldCodec.h"
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
    // already have the field's type (see coerceForField). Builds the index on first use.
    const std::vector<uint32_t>& lookup(int field, const Value& key);
    // Number of distinct values of a field (builds its index).
    size_t distinctValues(int field);

    // Writes through the file and keeps the indexes in step.
    uint32_t append(const std::string& record);
    void write(uint32_t record, const std::string& bytes);
    void remove(uint32_t record);
    // Number of records marked deleted (counted once, then kept in step).
    uint32_t deletedCount();
    // After the file was rewritten (pack, layout change, read again).
    void reset(std::unique_ptr<dbf::DbfFile> file);
    void dropIndexes() {
        indexes_.clear();
        deleted_ = -1;
        generation_ = nextGeneration();
    }
    // Changes whenever the file was read again or rewritten (pack, layout change): what
    // was bound to its fields before may no longer hold.
    uint64_t generation() const { return generation_; }

  private:
    struct KeyHash {
        size_t operator()(const Value& v) const { return hashValue(v); }
    };
    struct KeyEqual {
        bool operator()(const Value& a, const Value& b) const { return sameKey(a, b); }
    };
    using Index = std::unordered_map<Value, std::vector<uint32_t>, KeyHash, KeyEqual>;
    Index& index(int field);

    std::unique_ptr<dbf::DbfFile> file_;
    std::string name_;
    std::unordered_map<int, Index> indexes_;
    int64_t deleted_ = -1;  // -1: not counted yet
    // Unique across all tables of the process, so a table made anew at the address of a
    // dropped one never matches what was bound to the old one.
    static uint64_t nextGeneration();
    uint64_t generation_ = nextGeneration();
};

}  // namespace tvx::tables
