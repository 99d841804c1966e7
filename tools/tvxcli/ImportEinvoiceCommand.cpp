// tvxcli import-einvoice DATA_DIR FILE [LOCATION]: a received e-invoice (XML, or the ZIP the
// national system delivers) recorded as an incoming document, with its goods received note
// in LOCATION when one is named, as "Preluare e-Factura" does after the user confirmed the
// preview. Nothing can be asked here: any note that would stop the window stops the command
// and nothing is written; the other notes are printed.
#include <algorithm>
#include <filesystem>
#include <ostream>

#include "Commands.h"
#include "core/admin/CompanyProfile.h"
#include "core/admin/Locations.h"
#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/einvoice/EInvoiceImport.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::cli {
namespace {

namespace fs = std::filesystem;

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2 && args.size() != 3) {
        err << "error: usage: tvxcli import-einvoice DATA_DIR FILE [LOCATION]\n";
        return 2;
    }
    std::error_code ec;
    const fs::path dataDir = fs::absolute(args[0], ec);
    const fs::path file = args[1];
    const std::string location = args.size() == 3 ? args[2] : std::string();
    if (!fs::is_directory(dataDir, ec)) {
        err << "error: the data directory " << dataDir.string() << " does not exist\n";
        return 1;
    }
    try {
        tables::Database db(dataDir);
        if (!fs::is_regular_file(core::TableFile(db, "FactIn"), ec)) {
            err << "error: " << dataDir.string() << " is not a data directory (no FactIn table)\n";
            return 1;
        }
        core::Settings settings(dataDir / core::kSettingsFileName, &db);
        if (!location.empty()) {
            core::Locations locations(dataDir);
            locations.load();
            const auto& names = locations.names();
            if (std::find(names.begin(), names.end(), location) == names.end()) {
                err << "error: the stock location \"" << location << "\" is not in "
                    << locations.file().string() << "\n";
                return 1;
            }
        }
        core::CompanyProfile company;
        company.load(settings);
        const core::EInvoiceImportRun run =
            core::ImportEInvoiceFile(db, settings, company, file, location, core::Today());
        if (!run.imported) {
            err << "error: " << OneLine(run.message.text) << "\n";
            return 1;
        }
        for (const core::ImportNote& note : run.notes) out << "note: " << note.text << "\n";
        out << "imported " << file.string() << " as IDFACT " << run.result.idFact;
        if (run.result.idNir > 0)
            out << " with N.I.R. nr. " << run.result.nrNir << " (IDNIR " << run.result.idNir
                << ") in " << location;
        out << "\n";
        return 0;
    } catch (const tables::EngineError& e) {
        err << "error: " << OneLine(e.what()) << "\n";
        return 1;
    }
}

const bool registered = RegisterCommand({
    "import-einvoice",
    "import-einvoice DATA_DIR FILE [LOCATION]",
    "records a received e-invoice (XML or ZIP) as an incoming document, with its N.I.R. in "
    "LOCATION when given",
    RunImport,
});

}  // namespace
}  // namespace tvx::cli
