// tvxcli einvoice DATA_DIR IDFACTO OUT.xml: the e-invoice of one stored invoice, as the
// invoice list's "XML e-Factura" writes it, with the unit codes stored in the settings file
// (nothing can be asked here: a unit without a stored code is refused).
#include <filesystem>
#include <ostream>

#include "Commands.h"
#include "core/app/Session.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/einvoice/EInvoice.h"
#include "tables/Database.h"

namespace tvx::cli {
namespace {

namespace fs = std::filesystem;

int RunEinvoice(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "error: usage: tvxcli einvoice DATA_DIR IDFACTO OUT.xml\n";
        return 2;
    }
    std::error_code ec;
    const fs::path dataDir = fs::absolute(args[0], ec);  // statements name tables by full path
    const fs::path file = args[2];
    long long idFacto = 0;
    try {
        size_t used = 0;
        idFacto = std::stoll(args[1], &used);
        if (used != args[1].size()) throw std::invalid_argument(args[1]);
    } catch (const std::exception&) {
        err << "error: IDFACTO \"" << args[1] << "\" is not a whole number\n";
        return 2;
    }
    if (!fs::is_directory(dataDir, ec)) {
        err << "error: the data directory " << dataDir.string() << " does not exist\n";
        return 1;
    }
    tables::Database db(dataDir);
    if (!fs::is_regular_file(core::TableFile(db, "FactOut"), ec)) {
        err << "error: " << dataDir.string() << " is not a data directory (no FactOut table)\n";
        return 1;
    }
    const core::Settings settings(dataDir / core::kSettingsFileName, &db);
    if (auto refusal = core::ExportEInvoice(db, settings, idFacto, file)) {
        err << "error: " << OneLine(refusal->text) << "\n";
        return 1;
    }
    out << "wrote " << file.string() << " (e-invoice of IDFACTO " << idFacto << ")\n";
    return 0;
}

const bool registered = RegisterCommand({
    "einvoice",
    "einvoice DATA_DIR IDFACTO OUT.xml",
    "writes the e-invoice XML (UBL 2.1, CIUS-RO) of the stored invoice IDFACTO",
    RunEinvoice,
});

}  // namespace
}  // namespace tvx::cli
