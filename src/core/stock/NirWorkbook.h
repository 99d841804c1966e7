// "&Listeaza Receptia" (core/stock): the goods received note printed into the data
// directory's workbook template "NIRTVA.xls" (its placeholders, one row per line of the note)
// and its print counter LISTAT raised, which locks the note for a cashier.
#pragma once

#include <filesystem>
#include <string>

#include "core/reports/WorkbookExports.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

// Writes the note `idNir` into a new XLSTmp<n>.xls of `programFolder` from the template of
// `dataDir`, shown when `show`; LISTAT grows by one only when the workbook was written.
// Throws EngineError when a statement fails.
WorkbookResult PrintNirNote(tables::Database& db, const std::filesystem::path& dataDir,
                            const std::filesystem::path& programFolder, const std::string& company,
                            long long idNir, bool show);

}  // namespace tvx::core
