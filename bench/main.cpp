// tvxbench: times the workloads of the program on the table engine and on SQLite.
//
//   tvxbench all --data DIR --work DIR [--reps N] [--workloads W1,..] [--label TEXT]
//       prepares the inputs and the two SQLite copies of DIR (without and with indexes) in
//       the work folder, runs every workload on every variant in a fresh process (on a
//       fresh copy when the workload writes) and prints medians, ratios and peak memory;
//   tvxbench child --workload W --backend tvx|sqlite --target PATH --inputs FILE
//                  [--program DIR] [--reps N]
//       one process: a first, untimed-for-the-median run, then N timed repetitions
//       (W5: one cold open and first queries); prints RESULT and PART lines.
//   tvxbench import --work DIR [--lines N]
//       the delivery-note import at N/4, N/2 and N product lines (N = 2000), time per line.
// Exit status 0 on success, 1 on failure, 2 for bad arguments.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Backend.h"
#include "ImportBench.h"
#include "Inputs.h"
#include "Platform.h"
#include "Workloads.h"

namespace fs = std::filesystem;
using namespace tvx::bench;

namespace {

using Args = std::map<std::string, std::string>;

Args parseArgs(int argc, char** argv, int from) {
    Args args;
    for (int i = from; i < argc; ++i) {
        std::string key = argv[i];
        if (key.rfind("--", 0) != 0 || i + 1 >= argc) throw std::invalid_argument(key);
        args[key.substr(2)] = argv[++i];
    }
    return args;
}

std::string need(const Args& a, const std::string& key) {
    auto it = a.find(key);
    if (it == a.end()) throw std::invalid_argument("--" + key + " is required");
    return it->second;
}

long long median(std::vector<long long> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string ms(long long micros) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%01lld", micros / 1000, (micros % 1000) / 100);
    return text;
}

// ratio a / b with two decimals, from whole numbers.
std::string ratio(long long a, long long b) {
    if (b <= 0) return "-";
    const long long hundredths = (a * 100 + b / 2) / b;
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%02lldx", hundredths / 100, hundredths % 100);
    return text;
}

bool writes(const std::string& workload) {
    return workload == "W1" || workload == "W3" || workload == "W4";
}

// --- one benchmark process ------------------------------------------------------------

WorkloadRun runOnce(const std::string& workload, Backend& db, const Inputs& in, int rep) {
    if (workload == "W1") return runPosting(db, in, rep);
    if (workload == "W2") return runLists(db, in);
    if (workload == "W3") return runLookups(db, in);
    if (workload == "W4") return runReports(db, in);
    if (workload == "W5") return runFirstQueries(db, in);
    throw std::invalid_argument("unknown workload " + workload);
}

std::unique_ptr<Backend> open(const std::string& backend, const Args& a) {
    if (backend == "tvx") {
        const fs::path program = need(a, "program");
        fs::create_directories(program);
        return openEngine(need(a, "target"), program);
    }
    if (backend == "sqlite") return openSqlite(need(a, "target"));
    throw std::invalid_argument("unknown backend " + backend);
}

int child(const Args& a) {
    const std::string workload = need(a, "workload");
    const std::string backend = need(a, "backend");
    const Inputs in = loadInputs(need(a, "inputs"));
    const int reps = a.count("reps") ? std::stoi(a.at("reps")) : 5;
    std::vector<long long> times;
    std::map<std::string, std::vector<long long>> parts;
    WorkloadRun last;
    long long first = 0;
    bool durable = false;
    if (workload == "W5") {
        const auto start = std::chrono::steady_clock::now();
        auto db = open(backend, a);
        last = runOnce(workload, *db, in, 0);
        first = microsSince(start);
        times.push_back(first);
        for (const auto& p : last.parts) parts[p.name].push_back(p.micros);
    } else {
        auto db = open(backend, a);
        for (int rep = 0; rep <= reps; ++rep) {
            const auto start = std::chrono::steady_clock::now();
            last = runOnce(workload, *db, in, rep);
            const long long us = microsSince(start);
            if (rep == 0) {
                first = us;  // loads tables and caches: reported apart
                continue;
            }
            times.push_back(us);
            for (const auto& p : last.parts) parts[p.name].push_back(p.micros);
        }
        durable = db->transactional();
    }
    std::cout << "RESULT first_us=" << first << " us=";
    for (size_t i = 0; i < times.size(); ++i) std::cout << (i ? "," : "") << times[i];
    std::cout << " rows=" << last.read.rows << " cells=" << last.read.cells
              << " affected=" << last.affected << " peak_kib=" << peakMemoryKiB()
              << " durable=" << (durable ? 1 : 0) << "\n";
    for (const auto& [name, us] : parts) {
        std::string shown = name;
        std::replace(shown.begin(), shown.end(), ' ', '_');
        std::cout << "PART " << shown << " " << median(us) << "\n";
    }
    return 0;
}

// --- the driver -----------------------------------------------------------------------

struct Variant {
    std::string name, backend;
    fs::path source;  // data directory or SQLite file
};

struct Outcome {
    long long median = 0, first = 0, rows = 0, cells = 0, affected = 0, peak = 0;
    bool durable = false;
    std::vector<std::pair<std::string, long long>> parts;
};

long long field(const std::string& line, const std::string& key) {
    const size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) throw std::runtime_error("no " + key + " in: " + line);
    return std::stoll(line.substr(at + key.size() + 2));
}

Outcome parseChild(const std::string& output, std::vector<long long>& times) {
    Outcome o;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("RESULT", 0) == 0) {
            o.first = field(line, "first_us");
            o.rows = field(line, "rows");
            o.cells = field(line, "cells");
            o.affected = field(line, "affected");
            o.peak = field(line, "peak_kib");
            o.durable = field(line, "durable") != 0;
            std::string list = line.substr(line.find(" us=") + 4);
            list = list.substr(0, list.find(' '));
            std::istringstream items(list);
            std::string item;
            while (std::getline(items, item, ',')) times.push_back(std::stoll(item));
        } else if (line.rfind("PART ", 0) == 0) {
            std::istringstream p(line.substr(5));
            std::string name;
            long long us = 0;
            p >> name >> us;
            std::replace(name.begin(), name.end(), '_', ' ');
            o.parts.emplace_back(name, us);
        }
    }
    return o;
}

Outcome runVariant(const std::string& workload, const Variant& v, const fs::path& work,
                   const fs::path& inputs, int reps) {
    const fs::path scratch = work / "run";
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    fs::path target = v.source;
    if (writes(workload)) {
        target = scratch / v.source.filename();
        copyAll(v.source, target);
    }
    const std::string command = "'" + selfExecutable().string() + "' child --workload " + workload +
                                " --backend " + v.backend + " --target '" + target.string() +
                                "' --program '" + (scratch / "program").string() + "' --inputs '" +
                                inputs.string() + "' --reps " + std::to_string(reps);
    std::vector<long long> times;
    Outcome o;
    const int processes = workload == "W5" ? reps : 1;
    for (int i = 0; i < processes; ++i) {
        Outcome one = parseChild(runCapture(command), times);
        if (i == 0) o = one;
        o.peak = std::max(o.peak, one.peak);
    }
    o.median = median(times);
    fs::remove_all(scratch);
    return o;
}

int driver(const Args& a) {
    const fs::path data = fs::absolute(need(a, "data"));
    const fs::path work = fs::absolute(need(a, "work"));
    const int reps = a.count("reps") ? std::stoi(a.at("reps")) : 5;
    std::vector<std::string> workloads = {"W1", "W2", "W3", "W4", "W5"};
    if (a.count("workloads")) {
        workloads.clear();
        std::istringstream list(a.at("workloads"));
        std::string w;
        while (std::getline(list, w, ',')) workloads.push_back(w);
    }
    fs::create_directories(work);
    const fs::path inputs = work / "inputs.txt";
    const fs::path plain = work / "plain.db", indexed = work / "indexed.db";
    if (!fs::exists(inputs)) {
        std::cerr << "drawing workload inputs...\n";
        saveInputs(makeInputs(data, 2024), inputs);
    }
    for (const auto& [file, withIndexes] : {std::pair{plain, false}, std::pair{indexed, true}}) {
        if (fs::exists(file)) continue;
        std::cerr << "loading " << file.filename().string() << "...\n";
        const auto start = std::chrono::steady_clock::now();
        const long long rows = loadSqlite(data, file, withIndexes);
        std::cerr << "  " << rows << " rows in " << ms(microsSince(start)) << " ms\n";
    }
    const std::vector<Variant> variants = {
        {"tvx", "tvx", data}, {"SQLite", "sqlite", plain}, {"SQLite+idx", "sqlite", indexed}};
    std::map<std::string, std::map<std::string, Outcome>> results;
    for (const auto& w : workloads) {
        for (const auto& v : variants) {
            std::cerr << w << " on " << v.name << "...\n";
            results[w][v.name] = runVariant(w, v, work, inputs, reps);
        }
    }

    std::cout << "# Results";
    if (a.count("label")) std::cout << " (" << a.at("label") << ")";
    std::cout << "\n\nMachine: " << machineSummary(work) << "\n\n"
              << "Data directory: " << sizeOnDisk(data) / (1024 * 1024) << " MiB on disk; "
              << "SQLite without indexes " << sizeOnDisk(plain) / (1024 * 1024) << " MiB, with "
              << sizeOnDisk(indexed) / (1024 * 1024) << " MiB. Medians of " << reps
              << " repetitions, times in ms.\n\n"
              << "| Workload | tvx | SQLite | SQLite+idx | tvx / SQLite+idx | tvx first run | "
                 "tvx peak MiB | SQLite+idx peak MiB | rows agree |\n"
              << "|---|---:|---:|---:|---:|---:|---:|---:|---|\n";
    for (const auto& w : workloads) {
        auto& r = results[w];
        const Outcome &t = r["tvx"], &s = r["SQLite"], &i = r["SQLite+idx"];
        const bool agree = t.rows == s.rows && t.rows == i.rows && t.affected == s.affected &&
                           t.affected == i.affected;
        std::cout << "| " << w << " | " << ms(t.median) << " | " << ms(s.median) << " | "
                  << ms(i.median) << " | " << ratio(t.median, i.median) << " | " << ms(t.first)
                  << " | " << t.peak / 1024 << " | " << i.peak / 1024 << " | "
                  << (agree ? "yes"
                            : "NO: " + std::to_string(t.rows) + "/" + std::to_string(s.rows) + "/" +
                                  std::to_string(i.rows))
                  << " |\n";
    }
    // Transactions show only in the workloads that write.
    int writing = 0, durable = 0;
    for (const auto& w : workloads) {
        if (!writes(w)) continue;
        ++writing;
        durable += results[w]["tvx"].durable ? 1 : 0;
    }
    std::cout << "\nEngine transactions: "
              << (writing == 0         ? "not exercised (no writing workload ran)"
                  : durable == writing ? "yes, durable commits"
                                       : "not available in this build (writes not durable)")
              << ".\n\nParts (median ms):\n\n| Workload | Part | tvx | SQLite | SQLite+idx |\n"
              << "|---|---|---:|---:|---:|\n";
    for (const auto& w : workloads) {
        auto& r = results[w];
        for (size_t p = 0; p < r["tvx"].parts.size(); ++p) {
            std::cout << "| " << w << " | " << r["tvx"].parts[p].first;
            for (const char* v : {"tvx", "SQLite", "SQLite+idx"}) {
                const auto& parts = r[v].parts;
                std::cout << " | " << (p < parts.size() ? ms(parts[p].second) : "-");
            }
            std::cout << " |\n";
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: tvxbench all --data DIR --work DIR [--reps N] [--workloads W1,..]\n"
                     "       tvxbench child --workload W --backend tvx|sqlite --target PATH "
                     "--inputs FILE [--program DIR] [--reps N]\n"
                     "       tvxbench import --work DIR [--lines N]\n";
        return 2;
    }
    const std::string mode = argv[1];
    try {
        const Args args = parseArgs(argc, argv, 2);
        if (mode == "all") return driver(args);
        if (mode == "child") return child(args);
        if (mode == "import")
            return runImportBench(fs::absolute(need(args, "work")),
                                  args.count("lines") ? std::stoi(args.at("lines")) : 2000);
        std::cerr << "tvxbench: unknown mode " << mode << "\n";
        return 2;
    } catch (const std::invalid_argument& e) {
        std::cerr << "tvxbench: bad arguments: " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "tvxbench: " << e.what() << "\n";
        return 1;
    }
}
