// Filling a work table of the program folder whole (core/common): the rows are encoded with
// the engine's field codec and written to a new dBase file in one write, without the
// transaction journal. Only for work tables a window rebuilds from the stored tables every
// time it opens (a failure leaves nothing the next opening does not recreate); stored data
// always goes through the engine's statements.
#pragma once

#include <filesystem>
#include <vector>

#include "core/common/TableLayouts.h"
#include "tables/Value.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

// Deletes the work table `file` (nothing when it is absent); the engine forgets it. Throws
// EngineError when the file stays.
void DeleteWorkTable(tables::Database& db, const std::filesystem::path& file);

// Deletes `file` (through the engine, which forgets it) and writes it anew with `layout`'s
// fields and `rows`, each holding one value per field in layout order (NULL for a blank).
// Texts longer than their field are cut; a number that does not fit throws EngineError, and
// the file is then removed. The engine reads the file afresh at its next use.
void WriteWorkTable(tables::Database& db, const TableLayout& layout,
                    const std::filesystem::path& file,
                    const std::vector<std::vector<tables::Value>>& rows);

}  // namespace tvx::core
