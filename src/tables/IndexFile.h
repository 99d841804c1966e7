// The index file of a table (tables/ layer): the table's field indexes kept beside it as
// "<table>.tvi", so a new process answers a look-up without reading the table. The file is
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

// Reads the index file of `table` when it is there and matches the table as it is now on
// disk; nullopt otherwise (missing, damaged, from another format, stale).
std::optional<std::vector<SortedIndex>> ReadIndexFile(const dbf::DbfFile& table);
// Writes the index file of `table` (through a temporary file and a rename). The table's
// file must hold what the indexes describe. A failure only leaves no index file.
void WriteIndexFile(const dbf::DbfFile& table, const std::vector<const SortedIndex*>& indexes);
// Removes the index file of a table (before the table changes, or when it is dropped).
void RemoveIndexFile(const std::filesystem::path& tableFile);

// How index files are treated, for tests: normally read and written; "off" (environment
// TVX_INDEX_FILES=off) never reads nor writes them; "damage" (TVX_INDEX_FILES=damage)
// damages what it reads at random, so every use must see the damage and rebuild.
enum class IndexFileMode { Normal, Off, Damage };
IndexFileMode CurrentIndexFileMode();

}  // namespace tvx::tables
