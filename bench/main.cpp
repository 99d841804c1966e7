// tvxbench: times the workloads of the program on the table engine and on SQLite.
//
//   tvxbench all --data DIR --work DIR [--reps N] [--cold N] [--workloads W1,..]
//                [--label TEXT] [--no-plain]
//       prepares the inputs and the two SQLite copies of DIR (without and with indexes) in
//       the work folder, lets one untimed engine process read DIR (so that its index files
//       are current), then runs every workload on every variant in fresh processes (each on
//       a fresh copy, times kept, when the workload writes): the cold figure is the first
//       run of each of --cold processes (default 3), the warm one the median of the --reps
//       runs after it in the first process; prints both, the ratios, W5 per table, peak
//       memory and the targets met; --no-plain leaves SQLite without indexes out;
//   tvxbench child --workload W|warmup --backend tvx|sqlite --target PATH --inputs FILE
//                  [--program DIR] [--reps N]
//       one process: the opening and a first run (the cold figure), then N timed
//       repetitions (W5: one cold open and first queries); prints RESULT and PART lines.
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
#include "Report.h"
#include "Workloads.h"

namespace fs = std::filesystem;
using namespace tvx::bench;

namespace {

using Args = std::map<std::string, std::string>;

Args parseArgs(int argc, char** argv, int from) {
    Args args;
    for (int i = from; i < argc; ++i) {
        std::string key = argv[i];
        if (key.rfind("--", 0) != 0) throw std::invalid_argument(key);
        if (key == "--no-plain") {  // the one switch without a value
            args["no-plain"] = "1";
            continue;
        }
        if (i + 1 >= argc) throw std::invalid_argument(key);
        args[key.substr(2)] = argv[++i];
    }
    return args;
}

std::string need(const Args& a, const std::string& key) {
    auto it = a.find(key);
    if (it == a.end()) throw std::invalid_argument("--" + key + " is required");
    return it->second;
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
    const auto start = std::chrono::steady_clock::now();
    auto db = open(backend, a);
    if (workload == "warmup") {
        runWarmUp(*db, in);  // the engine saves its index files as the Database closes
        return 0;
    }
    // The first run counts the opening too: it is what a fresh process pays.
    for (int rep = 0; rep <= (workload == "W5" ? 0 : reps); ++rep) {
        const auto from = rep == 0 ? start : std::chrono::steady_clock::now();
        last = runOnce(workload, *db, in, rep);
        const long long us = microsSince(from);
        if (rep == 0) first = us;
        if (rep == 0 && workload != "W5") continue;
        times.push_back(us);
        for (const auto& p : last.parts) parts[p.name].push_back(p.micros);
    }
    durable = db->transactional();
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

long long field(const std::string& line, const std::string& key) {
    const size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) throw std::runtime_error("no " + key + " in: " + line);
    return std::stoll(line.substr(at + key.size() + 2));
}

// One child's RESULT and PART lines: its first run goes to `firsts`, the later runs to
// `times`, each part's median to `parts` (in the order the child printed them).
Outcome parseChild(const std::string& output, std::vector<long long>& firsts,
                   std::vector<long long>& times,
                   std::vector<std::pair<std::string, std::vector<long long>>>& parts) {
    Outcome o;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("RESULT", 0) == 0) {
            firsts.push_back(field(line, "first_us"));
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
            auto it = std::find_if(parts.begin(), parts.end(),
                                   [&](const auto& e) { return e.first == name; });
            if (it == parts.end()) it = parts.insert(parts.end(), {name, {}});
            it->second.push_back(us);
        }
    }
    return o;
}

std::string childCommand(const std::string& workload, const std::string& backend,
                         const fs::path& target, const fs::path& program, const fs::path& inputs,
                         int reps) {
    return "'" + selfExecutable().string() + "' child --workload " + workload + " --backend " +
           backend + " --target '" + target.string() + "' --program '" + program.string() +
           "' --inputs '" + inputs.string() + "' --reps " + std::to_string(reps);
}

// W1-W4: `coldRuns` fresh processes, the first of which also runs the `reps` warm runs;
// W5: `reps` fresh processes. A writing workload gets a fresh copy for each process.
Outcome runVariant(const std::string& workload, const Variant& v, const fs::path& work,
                   const fs::path& inputs, int reps, int coldRuns) {
    const fs::path scratch = work / "run";
    std::vector<long long> firsts, times;
    std::vector<std::pair<std::string, std::vector<long long>>> parts;
    Outcome o;
    const int processes = workload == "W5" ? reps : coldRuns;
    for (int i = 0; i < processes; ++i) {
        fs::remove_all(scratch);
        fs::create_directories(scratch);
        fs::path target = v.source;
        if (writes(workload)) {
            target = scratch / v.source.filename();
            copyAll(v.source, target);
        }
        const int warmRuns = workload == "W5" || i > 0 ? 0 : reps;
        Outcome one = parseChild(runCapture(childCommand(workload, v.backend, target,
                                                         scratch / "program", inputs, warmRuns)),
                                 firsts, times, parts);
        if (i == 0) o = one;
        o.peak = std::max(o.peak, one.peak);
    }
    o.cold = median(firsts);
    o.warm = median(times);
    for (const auto& [name, us] : parts) o.parts.emplace_back(name, median(us));
    fs::remove_all(scratch);
    return o;
}

// Bytes of the engine's index files in `dir`.
long long indexFileBytes(const fs::path& dir) {
    long long total = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file(ec) && e.path().extension() == ".tvi")
            total += static_cast<long long>(e.file_size(ec));
    return total;
}

int driver(const Args& a) {
    const fs::path data = fs::absolute(need(a, "data"));
    const fs::path work = fs::absolute(need(a, "work"));
    RunFacts facts;
    facts.reps = a.count("reps") ? std::stoi(a.at("reps")) : 5;
    facts.coldRuns = a.count("cold") ? std::stoi(a.at("cold")) : 3;
    if (facts.reps < 1 || facts.coldRuns < 1) throw std::invalid_argument("--reps and --cold");
    facts.workloads = {"W1", "W2", "W3", "W4", "W5"};
    if (a.count("workloads")) {
        facts.workloads.clear();
        std::istringstream list(a.at("workloads"));
        std::string w;
        while (std::getline(list, w, ',')) facts.workloads.push_back(w);
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
    // The engine's index files of the source directory are made current before any timing,
    // so that the copies carry them and a cold run measures a start, not a rebuild.
    std::cerr << "warming the index files of the data directory...\n";
    fs::remove_all(work / "run");
    runCapture(childCommand("warmup", "tvx", data, work / "run" / "program", inputs, 0));
    fs::remove_all(work / "run");

    std::vector<Variant> variants = {
        {"tvx", "tvx", data}, {"SQLite", "sqlite", plain}, {"SQLite+idx", "sqlite", indexed}};
    // Plain SQLite takes minutes a run on the full shop and is no target: it may be left out.
    if (a.count("no-plain")) variants.erase(variants.begin() + 1);
    Results results;
    for (const auto& w : facts.workloads) {
        for (const auto& v : variants) {
            std::cerr << w << " on " << v.name << "...\n";
            results[w][v.name] = runVariant(w, v, work, inputs, facts.reps, facts.coldRuns);
        }
    }
    facts.label = a.count("label") ? a.at("label") : "";
    facts.machine = machineSummary(work);
    facts.dataBytes = sizeOnDisk(data);
    facts.indexFileBytes = indexFileBytes(data);
    facts.plainBytes = sizeOnDisk(plain);
    facts.indexedBytes = sizeOnDisk(indexed);
    printReport(std::cout, facts, results);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: tvxbench all --data DIR --work DIR [--reps N] [--cold N] [--workloads "
                     "W1,..]\n"
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
