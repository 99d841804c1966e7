// tvxbench import: times "Preluare Aviz" on delivery notes of growing size, each imported
// into a fresh data directory, and prints the time per product line at each size. A linear
// import keeps the time per line about the same as the note grows; a step that reads every
// line (or every card) again for each line shows as a time per line that grows with it.
//
//   tvxbench import --work DIR [--lines N]
//       notes of N/4, N/2 and N products (N = 2000 unless given), each product new.
#include "ImportBench.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "Workloads.h"
#include "core/admin/CompanyProfile.h"
#include "core/admin/Locations.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/purchases/DeliveryNoteImport.h"
#include "tables/Database.h"

namespace tvx::bench {

namespace fs = std::filesystem;

namespace {

// A note of `lines` different products, as the export writes it.
void WriteNote(const fs::path& file, int lines) {
    std::ofstream out(file, std::ios::binary);
    out << "AVZ 1\r\nFURNIZOR BENCH SRL\r\n19\r\n";
    for (int i = 1; i <= lines; ++i)
        out << "PRODUS DE PROBA " << i << "\r\nBUC\r\n"
            << 10 + i % 90 << ".25\r\n"
            << 1 + i % 7 << "\r\n";
}

struct ImportTime {
    long long wallMicros = 0;
    long long cpuMicros = 0;  // of this process: steadier on a busy machine
};

// One import of a `lines`-product note into a fresh data directory.
ImportTime TimeImport(const fs::path& work, int lines) {
    const fs::path root = work / ("import-" + std::to_string(lines));
    fs::remove_all(root);
    const fs::path data = root / "Data";
    fs::create_directories(data);
    tables::Database db(data, root);
    core::CreateMissingTables(db);
    core::Settings settings(data / "Tvx2010.set", &db);
    core::CompanyProfile company;
    company.codFisc = "RO14399840";
    core::Locations locations(data);
    locations.setNames({"MAGAZIN"});
    locations.save();
    const fs::path file = root / "aviz.avz";
    WriteNote(file, lines);

    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    const auto result = core::ImportDeliveryNote(db, settings, company, locations, file,
                                                 tables::Date::fromYmd(2024, 3, 15));
    ImportTime time;
    time.wallMicros = microsSince(start);
    time.cpuMicros = static_cast<long long>(std::clock() - cpuStart) * 1000000 / CLOCKS_PER_SEC;
    if (!result.imported) throw std::runtime_error("import refused: " + result.message.text);
    fs::remove_all(root);
    return time;
}

}  // namespace

int runImportBench(const fs::path& work, int lines) {
    if (lines < 4) throw std::invalid_argument("--lines must be at least 4");
    fs::create_directories(work);
    std::cout << "| Lines | Import ms | CPU ms | CPU us per line |\n|---:|---:|---:|---:|\n";
    double firstPerLine = 0, lastPerLine = 0;
    for (const int n : {lines / 4, lines / 2, lines}) {
        const ImportTime time = TimeImport(work, n);
        const double perLine = static_cast<double>(time.cpuMicros) / n;
        if (firstPerLine == 0) firstPerLine = perLine;
        lastPerLine = perLine;
        char row[128];
        std::snprintf(row, sizeof row, "| %d | %.1f | %.1f | %.0f |\n", n, time.wallMicros / 1000.0,
                      time.cpuMicros / 1000.0, perLine);
        std::cout << row;
    }
    char summary[128];
    std::snprintf(summary, sizeof summary,
                  "\nCPU time per line at %d lines / at %d lines: %.2f (1.00 is linear)\n", lines,
                  lines / 4, lastPerLine / firstPerLine);
    std::cout << summary;
    return 0;
}

}  // namespace tvx::bench
