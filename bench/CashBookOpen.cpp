// tvxbench-cash: times opening the cash register book on a generated shop (tvxgen): the work
// table gathered from every payment and receipt, then the figures and rows of each day of
// the last month with operations, as the window computes them when it opens and the user
// steps through that month; then the book of the last whole year as the export reads it.
// Reports the first opening on a freshly opened data directory (files read from disk) and
// the median of the following ones, as wall time and as the CPU time of the process: on a
// shared machine the wall time mostly measures the other load.
//
//   tvxbench-cash DATA_DIR [--reps N]
// The work table is written beside DATA_DIR (its parent is the program folder).
// Exit status 0 on success, 1 on failure, 2 for bad arguments.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/purchases/CashBook.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the whole process (every thread), in ms.
double CpuMillis() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double buildTime = 0, monthTime = 0;
// When each step of the last build ended (progress 10, 50, 80, 100), from its start.
double stepTimes[4] = {0, 0, 0, 0};

// Builds the book and shows every day of the month of its last operation; returns the rows
// shown over the month.
size_t OpenMonth(tvx::core::CashBook& book, tvx::tables::Database& db) {
    Clock::time_point start = Clock::now();
    int step = 0;
    book.build([&](int) { stepTimes[step++] = MillisSince(start); });
    buildTime += MillisSince(start);
    start = Clock::now();
    tvx::tables::ResultSet last =
        db.query("SELECT MAX(DATAC) FROM " + tvx::core::QuotedPath(book.tableFile()));
    const tvx::tables::Date end = last.at(0, 0).date();
    size_t rows = 0;
    for (tvx::tables::Date day = tvx::tables::Date::fromYmd(end.year(), end.month(), 1); day <= end;
         day = day.addDays(1)) {
        book.showDay(day);
        rows += book.dayRows(day).rowCount();
    }
    monthTime += MillisSince(start);
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: tvxbench-cash DATA_DIR [--reps N]\n");
        return 2;
    }
    int reps = 10;
    if (argc == 4) {
        if (std::string(argv[2]) != "--reps") return 2;
        reps = std::max(1, std::atoi(argv[3]));
    }
    try {
        const std::filesystem::path data = std::filesystem::absolute(argv[1]);
        tvx::tables::Database db(data, data.parent_path());
        tvx::core::Settings settings(data / "Tvx2010.set", &db);
        tvx::core::CashBook book(db, settings, data.parent_path(), tvx::tables::Date());
        Clock::time_point start = Clock::now();
        double cpuStart = CpuMillis();
        const size_t rows = OpenMonth(book, db);
        const double first = MillisSince(start), firstCpu = CpuMillis() - cpuStart;
        const double firstBuild = buildTime, firstMonth = monthTime;
        std::printf("first build, steps ended at: %.1f, %.1f, %.1f, %.1f ms\n", stepTimes[0],
                    stepTimes[1], stepTimes[2], stepTimes[3]);
        buildTime = monthTime = 0;
        std::vector<double> times, cpuTimes;
        for (int i = 0; i < reps; ++i) {
            start = Clock::now();
            cpuStart = CpuMillis();
            OpenMonth(book, db);
            times.push_back(MillisSince(start));
            cpuTimes.push_back(CpuMillis() - cpuStart);
        }
        std::sort(times.begin(), times.end());
        std::sort(cpuTimes.begin(), cpuTimes.end());
        std::printf("last build, steps ended at: %.1f, %.1f, %.1f, %.1f ms\n", stepTimes[0],
                    stepTimes[1], stepTimes[2], stepTimes[3]);
        // The book of the last whole year as the export reads it (the workbook not written).
        tvx::tables::ResultSet last =
            db.query("SELECT MAX(DATAC) FROM " + tvx::core::QuotedPath(book.tableFile()));
        const int year = last.at(0, 0).date().year() - 1;
        start = Clock::now();
        cpuStart = CpuMillis();
        const tvx::core::CashBookPeriod period = book.period(
            tvx::tables::Date::fromYmd(year, 1, 1), tvx::tables::Date::fromYmd(year, 12, 31), "");
        const double periodTime = MillisSince(start), periodCpu = CpuMillis() - cpuStart;
        size_t yearRows = 0;
        for (const auto& day : period.days) yearRows += day.operations.size();
        book.drop();
        std::printf("cash book: %zu rows shown over the last month\n", rows);
        std::printf("year %d read for the export: %zu days, %zu rows: %.1f ms, CPU %.1f ms\n", year,
                    period.days.size(), yearRows, periodTime, periodCpu);
        std::printf(
            "first opening (fresh engine): %.1f ms, CPU %.1f ms (table %.1f ms, month %.1f ms)\n",
            first, firstCpu, firstBuild, firstMonth);
        std::printf(
            "later openings, median of %d: %.1f ms, CPU %.1f ms (mean: table %.1f ms, month"
            " %.1f ms)\n",
            reps, times[times.size() / 2], cpuTimes[cpuTimes.size() / 2], buildTime / reps,
            monthTime / reps);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
}
