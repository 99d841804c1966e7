// tvxcli saga DATA_DIR FROM TO OUT_DIR [LOCATION]: the export to SAGA of a period (dates
// dd.MM.yyyy, both included), optionally of one stock location, as the three dated tables
// in OUT_DIR. The work files are made in a folder of this run under the system's temporary
// folder, removed whatever happens; files of the same names already in OUT_DIR are never
// replaced (the command refuses instead), and no other file there is touched.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "core/common/Schema.h"
#include "core/exports/SagaExport.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/platform/File.h"

namespace tvx::cli {

namespace {

namespace fs = std::filesystem;
using tables::Date;
using tables::EngineError;

// A folder of this run for the work files, removed with everything in it when left.
class WorkFolder {
  public:
    WorkFolder()
        : path_(fs::temp_directory_path() / ("tvxcli-saga-" + tables::platform::processId())) {
        std::error_code ec;
        fs::remove_all(path_, ec);  // left by a killed run of the same process id
        if (!fs::create_directory(path_, ec))
            throw EngineError("folderul de lucru " + path_.string() + " nu poate fi facut");
    }
    ~WorkFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

constexpr const char* kUsage = "saga DATA_DIR FROM TO OUT_DIR [LOCATION]";

Date DateArgument(const std::string& text) {
    const std::optional<Date> date = Date::parseDayFirst(text);
    if (!date) throw EngineError("data \"" + text + "\" nu este o data zz.ll.aaaa valida");
    return *date;
}

int RunSaga(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 4 && args.size() != 5) {
        err << "error: usage: tvxcli " << kUsage << "\n";
        return 2;
    }
    // Absolute: the engine takes a quoted relative table path from the data directory.
    const fs::path dataDir = fs::absolute(args[0]);
    core::SagaPeriod period{DateArgument(args[1]), DateArgument(args[2]),
                            args.size() == 5 ? args[4] : std::string()};
    const fs::path outDir = fs::absolute(args[3]);
    if (period.to < period.from)
        throw EngineError("data de sfarsit " + args[2] + " este inaintea datei de inceput " +
                          args[1]);
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec))
        throw EngineError("directorul de date " + dataDir.string() + " nu exista");
    if (!fs::is_directory(outDir, ec))
        throw EngineError("folderul " + outDir.string() + " nu exista");
    const auto existing = core::ExistingSagaFiles(outDir, period.from, period.to);
    if (!existing.empty())
        throw EngineError("in folderul " + outDir.string() + " exista deja " + existing[0] +
                          "; nu il inlocuiesc");

    tables::Database db(dataDir, dataDir.parent_path());
    for (const char* table : {"CapNIR", "ProdNIR", "FactOut", "ProdOut"})
        if (!db.tableExists(core::TableFile(db, table)))
            throw EngineError("directorul de date " + dataDir.string() + " nu are tabelul " +
                              table);
    const WorkFolder workFolder;
    const core::SagaFiles work = core::WriteSagaWorkFiles(db, workFolder.path(), period);
    const core::SagaFiles placed =
        core::PlaceSagaFiles(work, outDir, period.from, period.to, false);
    out << "wrote " << placed.articles.string() << " (" << placed.articleRows << " rows), "
        << placed.entries.filename().string() << " (" << placed.entryRows << " rows), "
        << placed.exits.filename().string() << " (" << placed.exitRows << " rows)\n";
    return 0;
}

const bool registered = RegisterCommand(
    {"saga", kUsage,
     "the export to SAGA of a period (dates dd.MM.yyyy), optionally of one stock location",
     [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
         return RunSaga(args, out, err);
     }});

}  // namespace

}  // namespace tvx::cli
