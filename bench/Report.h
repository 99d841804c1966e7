// The results of tvxbench as one table: per workload the cold figure (the first run in a
// fresh process) and the warm one (the later runs) side by side for the engine and SQLite,
// the ratios against SQLite with indexes, W5 per table, peak memory against the data
// directory's size, and which of the targets are met.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tvx::bench {

// One workload on one variant.
struct Outcome {
    long long cold = 0;  // median of the first runs, each in a fresh process
    long long warm = 0;  // median of the later runs of the first process (0: none)
    long long rows = 0, cells = 0, affected = 0, peak = 0;  // peak in KiB
    bool durable = false;
    std::vector<std::pair<std::string, long long>> parts;  // median time of each part
};

// Workload -> variant name ("tvx", "SQLite", "SQLite+idx") -> outcome.
using Results = std::map<std::string, std::map<std::string, Outcome>>;

struct RunFacts {
    std::string label, machine;
    long long dataBytes = 0, indexFileBytes = 0, plainBytes = 0, indexedBytes = 0;
    int reps = 0, coldRuns = 0;
    std::vector<std::string> workloads;
};

void printReport(std::ostream& out, const RunFacts& facts, Results& results);

long long median(std::vector<long long> values);
// Microseconds as milliseconds with one decimal.
std::string ms(long long micros);
// a / b with two decimals ("-" when b is 0).
std::string ratio(long long a, long long b);

}  // namespace tvx::bench
