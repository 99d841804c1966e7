// The results table of tvxbench in Markdown, with the targets the engine must meet:
// W1-W4 at most 1.0x SQLite with indexes cold and warm, W5 under 20 ms on each table, and
// peak memory at most the data directory's size.
#include "Report.h"

#include <algorithm>
#include <cstdio>

namespace tvx::bench {

namespace {

constexpr long long kFirstStatementTargetUs = 20000;
const char* const kVariants[] = {"tvx", "SQLite", "SQLite+idx"};

bool isWorkloadRatio(const std::string& w) {
    return w != "W5";
}

// Whether a / b, as printed, is at most 1.00.
bool atMostOne(long long a, long long b) {
    return b > 0 && (a * 100 + b / 2) / b <= 100;
}

long long mib(long long bytes) {
    return bytes / (1024 * 1024);
}

std::string agreement(const Outcome& t, const Outcome& s, const Outcome& i) {
    // Plain SQLite left out of the run (--no-plain): rows are compared with SQLite+idx alone.
    const bool plain = s.rows != 0 || s.affected != 0 || s.cold != 0;
    if (t.rows == i.rows && t.affected == i.affected &&
        (!plain || (t.rows == s.rows && t.affected == s.affected)))
        return "yes";
    return "NO: " + std::to_string(t.rows) + "/" + std::to_string(s.rows) + "/" +
           std::to_string(i.rows);
}

std::string verdict(const std::vector<std::string>& misses) {
    if (misses.empty()) return "met";
    std::string text = "NOT met (";
    for (size_t i = 0; i < misses.size(); ++i) text += (i ? ", " : "") + misses[i];
    return text + ")";
}

void printWorkloads(std::ostream& out, const RunFacts& facts, Results& results) {
    out << "| Workload | tvx cold | SQLite+idx cold | cold tvx / SQLite+idx | tvx warm | "
           "SQLite+idx warm | warm tvx / SQLite+idx | SQLite cold | SQLite warm | tvx peak MiB | "
           "SQLite+idx peak MiB | rows agree |\n"
        << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|\n";
    for (const auto& w : facts.workloads) {
        if (!isWorkloadRatio(w)) continue;
        auto& r = results[w];
        const Outcome &t = r["tvx"], &s = r["SQLite"], &i = r["SQLite+idx"];
        out << "| " << w << " | " << ms(t.cold) << " | " << ms(i.cold) << " | "
            << ratio(t.cold, i.cold) << " | " << ms(t.warm) << " | " << ms(i.warm) << " | "
            << ratio(t.warm, i.warm) << " | " << ms(s.cold) << " | " << ms(s.warm) << " | "
            << t.peak / 1024 << " | " << i.peak / 1024 << " | " << agreement(t, s, i) << " |\n";
    }
}

void printFirstStatements(std::ostream& out, const RunFacts& facts, Results& results) {
    auto& r = results["W5"];
    out << "\nW5, the first statement on each main table of a data directory opened in a fresh "
           "process (median of "
        << facts.reps << " processes, ms; target under 20 ms):\n\n"
        << "| Table | tvx | SQLite | SQLite+idx | tvx under 20 ms |\n|---|---:|---:|---:|---|\n";
    for (const auto& [table, us] : r["tvx"].parts) {
        out << "| " << table << " | " << ms(us);
        for (const char* v : {"SQLite", "SQLite+idx"}) {
            const auto& parts = r[v].parts;
            auto it = std::find_if(parts.begin(), parts.end(),
                                   [&](const auto& p) { return p.first == table; });
            out << " | " << (it == parts.end() ? "-" : ms(it->second));
        }
        out << " | " << (us < kFirstStatementTargetUs ? "yes" : "NO") << " |\n";
    }
    const Outcome &t = r["tvx"], &s = r["SQLite"], &i = r["SQLite+idx"];
    out << "| whole process (open and all) | " << ms(t.cold) << " | " << ms(s.cold) << " | "
        << ms(i.cold) << " | |\n\nW5 peak memory: tvx " << t.peak / 1024 << " MiB, SQLite+idx "
        << i.peak / 1024 << " MiB; rows agree: " << agreement(t, s, i) << ".\n";
}

void printParts(std::ostream& out, const RunFacts& facts, Results& results) {
    out << "\nParts of the warm runs (median ms):\n\n| Workload | Part | tvx | SQLite | SQLite+idx "
           "|\n|---|---|---:|---:|---:|\n";
    for (const auto& w : facts.workloads) {
        if (!isWorkloadRatio(w)) continue;
        auto& r = results[w];
        for (size_t p = 0; p < r["tvx"].parts.size(); ++p) {
            out << "| " << w << " | " << r["tvx"].parts[p].first;
            for (const char* v : kVariants) {
                const auto& parts = r[v].parts;
                out << " | " << (p < parts.size() ? ms(parts[p].second) : "-");
            }
            out << " |\n";
        }
    }
}

void printTargets(std::ostream& out, const RunFacts& facts, Results& results) {
    std::vector<std::string> cold, warm, first, memory;
    bool ranWorkloads = false, ranFirst = false;
    long long highest = 0;
    std::string highestAt;
    for (const auto& w : facts.workloads) {
        auto& r = results[w];
        const Outcome &t = r["tvx"], &i = r["SQLite+idx"];
        if (t.peak > highest) highest = t.peak, highestAt = w;
        if (t.peak * 1024 > facts.dataBytes)
            memory.push_back(w + " " + std::to_string(t.peak / 1024) + " MiB");
        if (!isWorkloadRatio(w)) {
            ranFirst = true;
            for (const auto& [table, us] : t.parts)
                if (us >= kFirstStatementTargetUs) first.push_back(table + " " + ms(us) + " ms");
            continue;
        }
        ranWorkloads = true;
        if (!atMostOne(t.cold, i.cold)) cold.push_back(w + " " + ratio(t.cold, i.cold));
        if (!atMostOne(t.warm, i.warm)) warm.push_back(w + " " + ratio(t.warm, i.warm));
    }
    out << "\nTargets:\n\n";
    if (ranWorkloads) {
        out << "- W1-W4 cold at most 1.0x SQLite+idx: " << verdict(cold) << ".\n"
            << "- W1-W4 warm at most 1.0x SQLite+idx: " << verdict(warm) << ".\n";
    }
    if (ranFirst) out << "- W5 under 20 ms on each table: " << verdict(first) << ".\n";
    out << "- Peak memory at most the data directory's size (" << mib(facts.dataBytes)
        << " MiB): " << verdict(memory) << "; highest tvx peak " << highest / 1024 << " MiB ("
        << highestAt << ").\n"
        << "- Start to a shown invoice list under 500 ms: measured by tvxbench-start.\n";
}

}  // namespace

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

std::string ratio(long long a, long long b) {
    if (b <= 0) return "-";
    const long long hundredths = (a * 100 + b / 2) / b;
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%02lldx", hundredths / 100, hundredths % 100);
    return text;
}

void printReport(std::ostream& out, const RunFacts& facts, Results& results) {
    out << "# Results";
    if (!facts.label.empty()) out << " (" << facts.label << ")";
    out << "\n\nMachine: " << facts.machine << "\n\n"
        << "Data directory: " << mib(facts.dataBytes) << " MiB on disk (of it "
        << mib(facts.indexFileBytes) << " MiB the engine's index files); SQLite without indexes "
        << mib(facts.plainBytes) << " MiB, with " << mib(facts.indexedBytes)
        << " MiB. Cold: the first run in a fresh process, median of " << facts.coldRuns
        << " processes (each on a fresh copy when the workload writes); warm: median of the "
        << facts.reps << " runs after it in the first process. Times in ms.\n\n";
    bool anyWorkload = false, anyFirst = false;
    for (const auto& w : facts.workloads) (isWorkloadRatio(w) ? anyWorkload : anyFirst) = true;
    if (anyWorkload) printWorkloads(out, facts, results);
    // Transactions show only in the workloads that write.
    int writing = 0, durable = 0;
    for (const auto& w : facts.workloads) {
        if (w != "W1" && w != "W3" && w != "W4") continue;
        ++writing;
        durable += results[w]["tvx"].durable ? 1 : 0;
    }
    if (anyWorkload)
        out << "\nEngine transactions: "
            << (writing == 0         ? "not exercised (no writing workload ran)"
                : durable == writing ? "yes, durable commits"
                                     : "not available in this build (writes not durable)")
            << ".\n";
    if (anyFirst) printFirstStatements(out, facts, results);
    if (anyWorkload) printParts(out, facts, results);
    printTargets(out, facts, results);
}

}  // namespace tvx::bench
