// Maintenance of table files used at start-up (core/common): packing away deleted rows and
// reading or changing one field's layout, thin over the table engine. Every failure is the
// engine's tables::EngineError, naming the table.
#pragma once

#include <filesystem>
#include <string_view>

#include "tables/Database.h"

namespace tvx::core {

// Rewrites the table file at `table` (a full path; the file name matches ignoring case)
// without its deleted rows.
void PackTable(tables::Database& db, const std::filesystem::path& table);

// Layout (name, type, width, decimals) of one field of the table `table` of the data
// directory ("ProdNIR" or "ProdNIR.dbf"); an absent table or field is an error. The dBase
// files know no field subtypes, so a layout has none.
tables::FieldLayout ReadFieldLayout(tables::Database& db, std::string_view table,
                                    std::string_view field);

// Changes one field in place keeping the data. In `change`, a zero type ('\0'), width or
// decimals keeps the current one (so decimals cannot be lowered to 0 this way), and an
// empty name keeps the name; a non-empty one renames the field.
void ChangeFieldLayout(tables::Database& db, std::string_view table, std::string_view field,
                       const tables::FieldLayout& change);

}  // namespace tvx::core
