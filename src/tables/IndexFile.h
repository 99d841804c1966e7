// The index file of a table (tables/ layer): the table's field indexes and its count of
// deleted records kept beside it as "<table>.tvi", so a new process answers a look-up (or
// finds nothing to pack) without reading the table. The file is
// a cache, never the truth: it records the table's size, modification time, record count,
// a checksum of its header and of its first and last records, and a checksum of its own
// body; it is used only when all of them match, and rebuilt otherwise. Deleting it changes
// nothing but speed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/Value.h"

namespace tvx::tables {

namespace dbf {
class DbfFile;
}

inline constexpr const char* kIndexFileExtension = ".tvi";

// The index file that goes with a table file.
std::filesystem::path IndexFilePath(const std::filesystem::path& tableFile);

// The key a value is indexed under. Equal values (in the engine's sense: text without
// trailing blanks, numbers whatever their decimals, dates) give equal keys; different
// values almost always different ones (the look-up's own comparison settles the rest).
// Dates keep their order, after the empty date.
uint64_t IndexKey(const Value& value);

// One field's index: keys in ascending order with their records (ascending within a key).
struct SortedIndex {
    std::string field;  // name as in the table
    std::vector<uint64_t> keys;
    std::vector<uint32_t> records;
    uint32_t distinct = 0;
};

inline constexpr uint32_t kUnknownCount = UINT32_MAX;

// An index file found current for its table: its header and directory are read and checked
// at opening, each field's index only when asked for (and checked then), so a look-up reads
// the part of the file it needs.
class IndexFileReader {
  public:
    // Nullopt when the file is missing, damaged, from another format, or stale.
    static std::optional<IndexFileReader> open(const dbf::DbfFile& table);
    // Records marked deleted when the file was written (kUnknownCount: not counted), so a
    // pack with nothing to do reads no record.
    uint32_t deleted() const { return deleted_; }
    std::vector<std::string> fields() const;
    // One field's index; nullopt when the file has none for it or that part is damaged.
    std::optional<SortedIndex> read(std::string_view field) const;

  private:
    struct Section {
        std::string field;
        uint32_t entries = 0;
        uint32_t distinct = 0;
        uint64_t offset = 0;
        uint64_t checksum = 0;
    };
    std::filesystem::path path_;
    uint64_t fileSize_ = 0;
    uint32_t recordCount_ = 0;
    uint32_t deleted_ = kUnknownCount;
    std::vector<Section> sections_;
};

// Writes the index file of `table` (through a temporary file and a rename). The table's
// file must hold what the indexes and the count describe. A failure only leaves no file.
void WriteIndexFile(const dbf::DbfFile& table, const std::vector<const SortedIndex*>& indexes,
                    uint32_t deleted);
// Removes the index file of a table (before the table changes, or when it is dropped).
void RemoveIndexFile(const std::filesystem::path& tableFile);

// How index files are treated, for tests: normally read and written; "off" (environment
// TVX_INDEX_FILES=off) never reads nor writes them; "damage" (TVX_INDEX_FILES=damage)
// damages what it reads at random, so every use must see the damage and rebuild.
enum class IndexFileMode { Normal, Off, Damage };
IndexFileMode CurrentIndexFileMode();

}  // namespace tvx::tables
