// tvxbench-einvoice: times the e-invoice of the invoice with the most lines on a generated
// shop (tvxgen): gathering the document, its unit codes and the company profile, the checks,
// the XML and the atomic write. A unit without a stored code counts as "H87", so the timing
// does not depend on how far the shop's settings are filled in. Reports the first export on a
// freshly opened data directory and the median of the following ones.
//
//   tvxbench-einvoice DATA_DIR [--reps N]
// Exit status 0 on success, 1 on failure, 2 for bad arguments.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/app/Session.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/einvoice/EInvoice.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long long LongestInvoice(tvx::tables::Database& db) {
    tvx::tables::ResultSet counts =
        db.query("SELECT IDFACTO, COUNT(*) AS N FROM " +
                 tvx::core::QuotedPath(tvx::core::TableFile(db, "ProdOut")) +
                 " GROUP BY IDFACTO ORDER BY N DESC");
    if (counts.empty()) throw std::runtime_error("no invoice lines in the data directory");
    return counts.asNumber("IDFACTO").toLongLong();
}

size_t Export(tvx::tables::Database& db, const tvx::core::Settings& settings, long long id,
              const fs::path& file) {
    tvx::core::EInvoice invoice = tvx::core::LoadEInvoice(db, settings, id);
    tvx::core::ResolveUnitCodes(invoice, settings, [&](const std::string& unit) {
        const std::string code = tvx::core::StoredUnitCode(settings, unit);
        return std::optional<std::string>(code.empty() ? "H87" : code);
    });
    (void)tvx::core::EInvoiceRefusal(invoice, true);
    tvx::core::WriteEInvoice(invoice, file);
    return invoice.lines.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: tvxbench-einvoice DATA_DIR [--reps N]\n");
        return 2;
    }
    int reps = 20;
    if (argc == 4) {
        if (std::string(argv[2]) != "--reps") return 2;
        reps = std::max(1, std::atoi(argv[3]));
    }
    try {
        const fs::path data = argv[1];
        const fs::path file = fs::temp_directory_path() / "tvxbench-einvoice.xml";
        long long id = 0;
        {
            tvx::tables::Database probe(data, data.parent_path());
            id = LongestInvoice(probe);
        }
        tvx::tables::Database db(data, data.parent_path());
        const tvx::core::Settings settings(data / tvx::core::kSettingsFileName, &db);
        Clock::time_point start = Clock::now();
        const size_t lines = Export(db, settings, id, file);
        const double first = MillisSince(start);
        std::vector<double> times;
        for (int i = 0; i < reps; ++i) {
            start = Clock::now();
            Export(db, settings, id, file);
            times.push_back(MillisSince(start));
        }
        std::sort(times.begin(), times.end());
        std::printf("e-invoice of IDFACTO %lld: %zu lines, %ju bytes\n", id, lines,
                    static_cast<uintmax_t>(fs::file_size(file)));
        std::printf("first export (fresh engine): %.1f ms\n", first);
        std::printf("later exports, median of %d: %.1f ms\n", reps, times[times.size() / 2]);
        fs::remove(file);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
}
