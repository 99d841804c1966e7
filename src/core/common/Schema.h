// Start-up table work of the data directory (core/common): creating the permanent tables
// that are missing, bringing tables of older program versions to the current layout, packing
// the table files and dropping the old index of Timp. Every step that changes stored data
// runs as one transaction of the engine, so it happens whole or not at all.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

// The data directory of a program folder ("Data" beside the executable), created with any
// missing parents when absent. Throws EngineError naming the folder when it cannot be made.
std::filesystem::path EnsureDataDirectory(const std::filesystem::path& programFolder);

// A file path as a quoted table name inside statement text; throws EngineError when the
// path holds a double quote.
std::string QuotedPath(const std::filesystem::path& file);

// The file of a permanent table: the existing file when one matches ignoring case, else
// name + ".dbf" in the data directory.
std::filesystem::path TableFile(const tables::Database& db, std::string_view table);

// Creates every permanent table whose file is missing, in creation order, with its full
// field list; existing files are never touched. Returns the names of the tables created.
std::vector<std::string> CreateMissingTables(tables::Database& db);

// What the layout probes of the upgrade found.
struct LayoutProbe {
    bool catalogWithoutObs = false;
    bool prodOutWithoutIdCat = false;
    bool factOutNarrowCui = false;
    bool factOutNarrowCui2 = false;
    bool factOutNarrowSeria = false;
    bool factOutWithoutLoc2 = false;
    bool factOutWithoutListari = false;
    bool factOutWithoutReprez = false;
    int prodNirCantfWidth = 0;
};

// Reads the field layouts the later upgrade steps test (CapNIR.LISTAT is probed by its step).
LayoutProbe ProbeLayouts(tables::Database& db);

// The upgrade steps, one function each, in the order UpgradeSchema runs them. Each tests its
// condition itself (from the probe where the old layout is told by it) and returns true when
// it changed something. Statement groups run in one transaction; an engine error propagates.
namespace upgrade {
bool MoveBankAccount(tables::Database& db, Settings& settings);
bool RenameOldSettingsFile(const std::filesystem::path& dataDir, const Settings& settings);
bool AddFactOutListari(tables::Database& db, const LayoutProbe& probe);
bool AddChitInReprez(tables::Database& db);
bool AddTimpColumns(tables::Database& db, Settings& settings);
bool WidenFactOutCode(tables::Database& db, const std::string& field);  // CUI or CUI2
bool AddFactInCui(tables::Database& db);
bool AddCapNirListat(tables::Database& db);
// Errors of the single layout changes are ignored, as the next one is still worth trying.
bool WidenQuantities(tables::Database& db, const LayoutProbe& probe);
bool AddFactOutReprez(tables::Database& db, const LayoutProbe& probe);
bool WidenSeria(tables::Database& db, const LayoutProbe& probe);
bool AddProdOutIdCat(tables::Database& db, const LayoutProbe& probe);
bool AddCatalogObs(tables::Database& db, const LayoutProbe& probe);
bool AddFactOutLoc2(tables::Database& db, const LayoutProbe& probe);
}  // namespace upgrade

// Runs the upgrade steps in order on the data directory of `db`; `settings` is the settings
// file of that directory ("Tvx2010.set"). Returns the names of the steps that changed
// something (empty for a current data directory, which is left byte for byte as it was).
std::vector<std::string> UpgradeSchema(tables::Database& db, Settings& settings);

// Tables packed at start-up, in order, with the progress each adds (the bar ends at 100).
struct PackStep {
    const char* table;
    int progress;
};
const std::vector<PackStep>& PackOrder();

// Packs the tables of PackOrder(); `advanced` (optional) gets the bar position after each.
// The first engine error propagates and the remaining tables stay as they are.
void PackTables(tables::Database& db, const std::function<void(int position)>& advanced = {});

// When "Timp.mdx" is in the data directory, drops the index of Timp on COD. Errors are
// ignored: the file may be held or damaged and the table works without it. Returns whether
// the statement ran and succeeded.
bool DropTimpIndex(tables::Database& db);

// The tidy-up after the profile is loaded: PackTables, then DropTimpIndex. An engine error
// stops it and comes back as its message (empty when all went well); the caller reports it
// and shows the main window all the same.
std::string TidyTables(tables::Database& db,
                       const std::function<void(int position)>& advanced = {});

}  // namespace tvx::core
