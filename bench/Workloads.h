// The benchmark workloads, written once against the Backend interface with the statements
// the program runs:
//   W1 posting  -- invoices posted line by line, one transaction per invoice;
//   W2 lists    -- the outgoing invoice list, product-card movements and the warehouse
//                  view of one location;
//   W3 lookups  -- lot look-ups by their five-field key and stock-card updates by id;
//   W4 reports  -- a year's purchase journal, activity summary, declaration 394, and
//                  the recalculation of goods received note totals;
//   W5 cold     -- the first query on each main table of a freshly opened directory.
// Each of W1-W4 is timed cold (its first run in a fresh process) and warm (later runs).
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "Backend.h"
#include "Inputs.h"

namespace tvx::bench {

struct PartTime {
    std::string name;
    long long micros = 0;
};

struct WorkloadRun {
    ReadTotals read;
    long long affected = 0;
    std::vector<PartTime> parts;  // time of each part of the workload
};

// Repetition `rep` posts invoices with identifiers and numbers after those of earlier ones.
WorkloadRun runPosting(Backend& db, const Inputs& in, int rep);
WorkloadRun runLists(Backend& db, const Inputs& in);
WorkloadRun runLookups(Backend& db, const Inputs& in);
WorkloadRun runReports(Backend& db, const Inputs& in);
WorkloadRun runFirstQueries(Backend& db, const Inputs& in);
// One read of every table the workloads look up by identifier, key or date, and nothing
// written: run once over the source directory before timing, so that the engine's index
// files there exist and are current (it saves them when its Database closes).
WorkloadRun runWarmUp(Backend& db, const Inputs& in);

inline long long microsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

}  // namespace tvx::bench
