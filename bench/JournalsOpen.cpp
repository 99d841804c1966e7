// tvxbench-journals: times the journals and summaries of the report menu on a generated shop
// (tvxgen): for one month and for one year, each report read, laid out and its first page drawn
// as the preview shows it. Reports the first run on a freshly opened data directory (tables
// read from disk) and the median of the following runs.
//
//   tvxbench-journals DATA_DIR [--reps N] [--year YYYY]
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

#include "core/admin/CompanyProfile.h"
#include "core/reports/Journals.h"
#include "printing/ReportPainter.h"
#include "tables/Database.h"
#include "ui/printing/JournalReports.h"

namespace {

using Clock = std::chrono::steady_clock;
using tvx::tables::Date;

double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Report {
    const char* name;
    std::function<tvx::printing::LaidOutReport(tvx::tables::Database&, Date, Date)> prepare;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tvxbench-journals DATA_DIR [--reps N] [--year YYYY]\n");
        return 2;
    }
    int reps = 5, year = 2024;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--reps")
            reps = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--year")
            year = std::atoi(argv[i + 1]);
        else
            return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        const std::filesystem::path data = argv[1];
        tvx::core::CompanyProfile company;
        company.denumire = "FIRMA SRL";
        company.codFisc = "RO123";
        std::string agent;
        {
            tvx::tables::Database probe(data, data.parent_path());
            tvx::tables::ResultSet agents =
                probe.query("SELECT REPREZ FROM FactOut WHERE REPREZ<>'' ORDER BY REPREZ");
            if (!agents.empty()) agent = agents.asText("REPREZ");
        }
        const std::vector<Report> reports = {
            {"Facturi de plata",
             [&](auto& db, Date, Date) {
                 return tvx::ui::PreparePayablesReport(db, company, Date::fromYmd(year, 12, 31));
             }},
            {"Facturi de incasat",
             [&](auto& db, Date, Date) {
                 return tvx::ui::PrepareReceivablesReport(tvx::core::QueryReceivables(db),
                                                          "FIRMA SRL", Date::fromYmd(year, 12, 31));
             }},
            {"Centralizator N.I.R.",
             [&](auto& db, Date f, Date t) {
                 return tvx::ui::PrepareNirSummaryReport(db, company, f, t);
             }},
            {"Jurnal cumparari",
             [&](auto& db, Date f, Date t) {
                 tvx::core::ClearPurchaseWorkTable(db);
                 return tvx::ui::PreparePurchaseJournalReport(db, company, f, t);
             }},
            {"Jurnal incasari",
             [&](auto& db, Date f, Date t) {
                 return tvx::ui::PrepareReceiptsJournalReport(db, company, f, t);
             }},
            {"Vanzari pe Reprezentant",
             [&](auto& db, Date f, Date t) {
                 return tvx::ui::PrepareSalesByAgentReport(db, agent, f, t);
             }},
        };
        const struct {
            const char* name;
            Date from, to;
        } periods[] = {{"month", Date::fromYmd(year, 6, 1), Date::fromYmd(year, 6, 30)},
                       {"year", Date::fromYmd(year, 1, 1), Date::fromYmd(year, 12, 31)}};
        std::printf("%-26s %-6s %8s %10s %12s %14s\n", "report", "period", "pages", "first ms",
                    "median ms", "median CPU ms");
        for (const auto& period : periods) {
            for (const Report& report : reports) {
                // A fresh engine: the first run reads the tables from disk.
                tvx::tables::Database db(data, data.parent_path());
                db.setDurable(false);
                size_t pages = 0;
                auto once = [&] {
                    const auto laid = report.prepare(db, period.from, period.to);
                    pages = laid.pages.size();
                    tvx::printing::renderPage(laid, 0, 96);  // what the preview draws first
                };
                Clock::time_point start = Clock::now();
                once();
                const double first = MillisSince(start);
                std::vector<double> times, cpu;
                for (int i = 0; i < reps; ++i) {
                    start = Clock::now();
                    const std::clock_t cpuStart = std::clock();
                    once();
                    cpu.push_back(1000.0 * (std::clock() - cpuStart) / CLOCKS_PER_SEC);
                    times.push_back(MillisSince(start));
                }
                std::sort(times.begin(), times.end());
                std::sort(cpu.begin(), cpu.end());
                std::printf("%-26s %-6s %8zu %10.1f %12.1f %14.1f\n", report.name, period.name,
                            pages, first, times[times.size() / 2], cpu[cpu.size() / 2]);
            }
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
}
