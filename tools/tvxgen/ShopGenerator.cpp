// Creating the data directory's tables through the engine and filling them from the
// simulated shop; the stock location list is written beside them.
#include "ShopGenerator.h"

#include <fstream>
#include <system_error>

#include "ShopModel.h"
#include "ShopSettings.h"
#include "ShopWriter.h"
#include "core/app/Session.h"
#include "core/common/TableLayouts.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace fs = std::filesystem;

namespace tvx::gen {

size_t GeneratorStats::rowsOf(std::string_view table) const {
    for (const auto& [name, count] : rows)
        if (tables::equalsIgnoreCase(name, table)) return count;
    return 0;
}

namespace {

// The files this run made, removed again when it fails.
class Cleanup {
  public:
    void add(fs::path p) { files_.push_back(std::move(p)); }
    void release() { files_.clear(); }
    ~Cleanup() {
        std::error_code ec;
        for (const auto& f : files_) fs::remove(f, ec);
    }

  private:
    std::vector<fs::path> files_;
};

void writeLocationList(const fs::path& file, const std::vector<std::string>& locations) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const auto& l : locations) out << l << "\r\n";
    out.close();
    if (!out) throw tables::EngineError("Cannot write the stock location list " + file.string());
}

}  // namespace

GeneratorStats generateShop(const fs::path& folder, const GeneratorOptions& options) {
    volumesFor(options.scale);  // checks the scale before anything is written
    std::error_code ec;
    // Absolute: the engine takes a quoted relative table path from the data directory.
    const fs::path dataDir = fs::absolute(folder, ec);
    fs::create_directories(dataDir, ec);
    if (ec || !fs::is_directory(dataDir))
        throw tables::EngineError("Cannot create the data directory " + dataDir.string());
    tables::Database db(dataDir);
    const fs::path list = dataDir / "GesLista.txt";
    const fs::path settings = dataDir / core::kSettingsFileName;
    for (const auto& layout : core::permanentTables()) {
        const fs::path file = db.resolveTable(layout.name, false);
        if (db.tableExists(file))
            throw tables::EngineError("The data directory already holds " + file.string());
    }
    for (const auto& file : {list, settings})
        if (fs::exists(file))
            throw tables::EngineError("The data directory already holds " + file.string());

    Cleanup cleanup;
    for (const auto& layout : core::permanentTables()) {
        const fs::path file = dataDir / (layout.name + ".dbf");
        cleanup.add(file);
        db.execute(core::createTableStatement(layout, file));
    }
    const ShopModel shop = buildShop(options.scale, options.seed, options.vatPayer);
    GeneratorStats stats = writeShop(db, shop, options.seed);
    cleanup.add(list);
    writeLocationList(list, shop.locations);
    cleanup.add(settings);
    writeShopSettings(db, {options.vatPayer});
    cleanup.release();
    return stats;
}

}  // namespace tvx::gen
