// tvxbench-saga: times the export to SAGA of one month on a generated shop (tvxgen): the two
// sources read, the three work files written and placed in a folder. Reports the first export
// on a freshly opened data directory (tables read from disk) and the median of the following
// ones (tables cached, as in a running program), with the rows written.
//
//   tvxbench-saga DATA_DIR OUT_DIR [--month MM.yyyy] [--reps N]
// Without --month, the last whole month before the shop's last invoice. Exit status 0 on
// success, 1 on failure, 2 for bad arguments.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "core/exports/SagaExport.h"
#include "tables/Database.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using tvx::tables::Date;

double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int Usage() {
    std::fprintf(stderr, "usage: tvxbench-saga DATA_DIR OUT_DIR [--month MM.yyyy] [--reps N]\n");
    return 2;
}

tvx::core::SagaPeriod LastWholeMonth(tvx::tables::Database& db) {
    const auto last = db.query("SELECT MAX(DATAOUT) FROM " +
                               tvx::core::QuotedPath(tvx::core::TableFile(db, "FactOut")))
                          .at(0, 0);
    if (!last.isDate()) throw std::runtime_error("no invoices in the data directory");
    const Date first = Date::fromYmd(last.date().year(), last.date().month(), 1);
    const Date from = tvx::core::AddMonths(first, -1);
    return {from, first.addDays(-1), ""};
}

// One export into `out`, whose files are removed afterwards.
tvx::core::SagaFiles ExportOnce(tvx::tables::Database& db, const fs::path& out,
                                const tvx::core::SagaPeriod& period) {
    const auto work = tvx::core::WriteSagaWorkFiles(db, out, period);
    const auto placed = tvx::core::PlaceSagaFiles(work, out, period.from, period.to, true);
    tvx::core::RemoveSagaFiles(placed);
    return placed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const fs::path dataDir = fs::absolute(argv[1]);
    const fs::path out = fs::absolute(argv[2]);
    std::string month;
    int reps = 5;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return Usage();
        if (arg == "--month") {
            month = argv[++i];
        } else if (arg == "--reps") {
            reps = std::max(1, std::atoi(argv[++i]));
        } else {
            return Usage();
        }
    }
    try {
        fs::create_directories(out);
        const Clock::time_point opened = Clock::now();
        tvx::tables::Database db(dataDir, out);
        tvx::core::SagaPeriod period;
        if (month.empty()) {
            period = LastWholeMonth(db);
        } else {
            const auto first = Date::parseDayFirst("01." + month);
            if (!first) return Usage();
            period = {*first, tvx::core::AddMonths(*first, 1).addDays(-1), ""};
        }
        const Clock::time_point start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        const auto files = ExportOnce(db, out, period);
        const double first = MillisSince(start);
        const double firstCpu =
            1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const double withOpening = MillisSince(opened);
        std::vector<double> times;
        for (int r = 0; r < reps; ++r) {
            const Clock::time_point again = Clock::now();
            ExportOnce(db, out, period);
            times.push_back(MillisSince(again));
        }
        std::sort(times.begin(), times.end());
        std::printf("period %s - %s: %zu articles, %zu entry lines, %zu exit lines\n",
                    period.from.toString().c_str(), period.to.toString().c_str(), files.articleRows,
                    files.entryRows, files.exitRows);
        std::printf(
            "first export (tables read from disk): %.1f ms, CPU %.1f ms (%.1f ms with "
            "opening)\n",
            first, firstCpu, withOpening);
        std::printf("following exports, median of %d: %.1f ms\n", reps, times[times.size() / 2]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tvxbench-saga: %s\n", e.what());
        return 1;
    }
}
