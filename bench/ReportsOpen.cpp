// tvxbench-reports: times the stock, activity, declaration 394 and client reports on a
// generated shop (tvxgen), each for the busiest month and the busiest year of the data and
// laid out in its layout as the preview shows it. Reports the first run on a freshly opened
// data directory (files read from disk) and the median of the following ones.
//
//   tvxbench-reports DATA_DIR [--reps N]
// Exit status 0 on success, 1 on failure, 2 for bad arguments.
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/reports/Declaration394.h"
#include "core/sales/ClientStatements.h"
#include "tables/Database.h"
#include "ui/printing/ActivityReports.h"

namespace {

using Clock = std::chrono::steady_clock;
using tvx::core::StockPeriod;
using tvx::tables::Date;

double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this process: on a loaded machine the wall clock says little.
double CpuMillis() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

struct Report {
    const char* name;
    std::function<tvx::printing::LaidOutReport(const StockPeriod&)> make;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tvxbench-reports DATA_DIR [--reps N]\n");
        return 2;
    }
    int reps = 5;
    if (argc == 4 && std::string(argv[2]) == "--reps") reps = std::max(1, std::atoi(argv[3]));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        const std::filesystem::path data = argv[1];
        tvx::tables::Database db(data, data.parent_path());
        const std::string company = "FIRMA";
        // The last full year and its last month of the generated ten years.
        const StockPeriod year{Date::fromYmd(2025, 1, 1), Date::fromYmd(2025, 12, 31)};
        const StockPeriod month{Date::fromYmd(2025, 12, 1), Date::fromYmd(2025, 12, 31)};
        std::string buyer;
        const std::vector<Report> reports = {
            {"goods in",
             [&](const StockPeriod& p) {
                 return tvx::ui::PrepareStockMovesReport(db, company,
                                                         tvx::core::StockMoveKind::GoodsIn, p);
             }},
            {"goods out",
             [&](const StockPeriod& p) {
                 return tvx::ui::PrepareStockMovesReport(db, company,
                                                         tvx::core::StockMoveKind::GoodsOut, p);
             }},
            {"transfers",
             [&](const StockPeriod& p) {
                 return tvx::ui::PrepareStockMovesReport(db, company,
                                                         tvx::core::StockMoveKind::Transfers, p);
             }},
            {"consumption",
             [&](const StockPeriod& p) { return tvx::ui::PrepareConsumptionReport(db, p); }},
            {"mark-up",
             [&](const StockPeriod& p) {
                 return tvx::ui::PrepareMarkupReport(db, company, true, p);
             }},
            {"activity",
             [&](const StockPeriod& p) {
                 return tvx::ui::PrepareActivityReport(db, company, true, p);
             }},
            {"declaration 394",
             [&](const StockPeriod& p) {
                 return tvx::ui::PrepareDeclaration394Report(tvx::core::QueryDeclaration394(db, p),
                                                             company, p);
             }},
            {"client statement",
             [&](const StockPeriod& p) {
                 return tvx::ui::PrepareClientStatementReport(db, company, "RO1", buyer, p.from);
             }},
            {"unpaid selection",
             [&](const StockPeriod& p) {
                 return tvx::ui::PrepareUnpaidSelectionReport(
                     tvx::core::QueryUnpaidSelection(db, {"", p.from, p.to}, {}), "* toate *",
                     p.to);
             }},
        };
        buyer = tvx::core::BuyerNames(db).front();
        std::printf("%-18s %-6s %10s %10s %10s %7s\n", "report", "period", "first ms", "median ms",
                    "cpu ms", "pages");
        for (const Report& report : reports)
            for (const auto& [label, period] : {std::pair{"month", month}, {"year", year}}) {
                auto start = Clock::now();
                size_t pages = report.make(period).pages.size();
                const double first = MillisSince(start);
                std::vector<double> times, cpu;
                for (int i = 0; i < reps; ++i) {
                    start = Clock::now();
                    const double cpuStart = CpuMillis();
                    pages = report.make(period).pages.size();
                    times.push_back(MillisSince(start));
                    cpu.push_back(CpuMillis() - cpuStart);
                }
                std::sort(times.begin(), times.end());
                std::sort(cpu.begin(), cpu.end());
                std::printf("%-18s %-6s %10.1f %10.1f %10.1f %7zu\n", report.name, label, first,
                            times[times.size() / 2], cpu[cpu.size() / 2], pages);
            }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tvxbench-reports: %s\n", error.what());
        return 1;
    }
    return 0;
}
