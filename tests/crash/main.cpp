// tvxcrash: crash test of the table engine's transactions. A child process runs a long
// stream of postings on a data directory and is killed with SIGKILL at a random moment;
// the parent reopens the directory (the engine plays back the unfinished journal), checks
// that every transaction was kept whole or not at all, and starts the next child on the
// recovered data. Linux only: fork, kill, waitpid, ptrace.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "Child.h"
#include "Dumper.h"
#include "Model.h"
#include "Schema.h"
#include "Verify.h"

namespace {

using namespace tvx::crash;
using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;

const char* const kUsage =
    R"(usage: tvxcrash [--kills N] [--seconds S] [--seed X] [--dir D] [--dump-all]
                [--time-kills-only]

Crash test of the table engine's transactions. A child process posts invoices (header,
lines, stock movements, relative stock updates, the document counter in a settings file
carried by the transaction), removes documents, and packs or alters tables in transactions
it rolls back. It is killed with SIGKILL: every other time 2 to 100 ms after it starts,
and in between on entry to its n-th file-changing system call (n from 1 to 400; the child
runs under ptrace), so that short windows between two writes are hit as well. After every
kill the data directory is opened again, which plays back the journal, and checked:
documents whole or absent, committed ones all there, rolled-back ones gone, the counters
equal to the next numbers after the last commit, stock cards equal to the opening stock
minus the movements, no throw-away column or table left, the journal empty, every table
file framed right. Then the next child goes on with the recovered data. dbf-dump reads
copies of the recovered tables in the background, as often as it keeps up, and always
the final state.

  --kills N       stop after N kills (default 40)
  --seconds S     stop after S seconds even when fewer kills were made (default 40)
  --seed X        seed of the random choices (default: from the clock); the kill moments
                  still differ from run to run
  --dir D         data directory to create (must be absent or empty; kept afterwards);
                  default: a new folder under $TMPDIR or /tmp, removed after a pass
  --dump-all      run dbf-dump after every kill and wait for it (slow: a Python start
                  per table file)
  --time-kills-only  no system-call kills (where ptrace is not allowed)

Short run (ctest crash_short): tvxcrash --kills 40 --seconds 40
Long run:                      build/bin/tvxcrash --kills 500 --seconds 600

Exit status: 0 all checks held, 1 a check failed (the message names it, the directory is
left in place), 2 bad arguments or the directory could not be set up.
)";

struct Options {
    long long kills = 40;
    double seconds = 40;
    uint64_t seed = 0;
    bool seedGiven = false;
    fs::path dir;
    bool dumpAll = false;
    bool timeKillsOnly = false;
};

bool parseNumber(const char* text, long long& out) {
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text, &end, 0);
    if (errno || !end || *end || v < 0) return false;
    out = v;
    return true;
}

// Returns an error message, or "" when the arguments are good.
std::string parseArguments(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-h" || a == "--help") return "help";
        if (a == "--dump-all" || a == "--time-kills-only") {
            (a == "--dump-all" ? o.dumpAll : o.timeKillsOnly) = true;
            continue;
        }
        if (i + 1 >= argc) return "missing value after " + a;
        const char* v = argv[++i];
        long long n = 0;
        if (a == "--kills" && parseNumber(v, n) && n > 0) {
            o.kills = n;
        } else if (a == "--seconds" && parseNumber(v, n) && n > 0) {
            o.seconds = static_cast<double>(n);
        } else if (a == "--seed" && parseNumber(v, n)) {
            o.seed = static_cast<uint64_t>(n);
            o.seedGiven = true;
        } else if (a == "--dir" && *v) {
            o.dir = v;
        } else {
            return "bad option or value: " + a + " " + v;
        }
    }
    return {};
}

std::string describeStatus(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

struct Counts {
    long long kills, callKills, killsInTransaction, cutRecoveries, rolledBack, dumped;
};

void printSummary(const Options& o, double seconds, const Counts& n, const Model& model,
                  const CheckStats& stats) {
    std::cout << "tvxcrash: passed, " << n.kills << " kills in " << seconds << " s (seed " << o.seed
              << ")\n"
              << "  transactions committed: " << model.posted + model.removed + model.maintained
              << " (documents posted " << model.posted << ", removed " << model.removed
              << ", table maintenance " << model.maintained << "); documents live now "
              << model.docs.size() << ", next IDFACTO " << model.settings.idFacto << "\n"
              << "  rolled back by the child (explicitly or by an exception) and checked gone: "
              << n.rolledBack << "\n"
              << "  kills at a chosen file-changing system call: " << n.callKills
              << "; kills inside a transaction: " << n.killsInTransaction << "\n"
              << "  kills after which the journal held entries, played on reopening: "
              << stats.journalsPlayedBack << "; the document transaction cut by the kill was "
              << "found committed " << stats.inflightKept << " times, undone "
              << stats.inflightUndone << " times\n"
              << "  recoveries killed midway and redone: " << n.cutRecoveries << "\n"
              << "  table files read cleanly by dbf-dump: " << n.dumped << "\n";
    if (!stats.leftovers.empty()) {
        std::cout << "  temporary files left in the directory by kills:";
        for (const auto& name : stats.leftovers) std::cout << " " << name;
        std::cout << "\n";
    }
}

fs::path makeDirectory(const Options& o) {
    if (!o.dir.empty()) {
        std::error_code ec;
        if (fs::exists(o.dir, ec) && !fs::is_empty(o.dir, ec))
            throw std::runtime_error("The directory " + o.dir.string() + " is not empty");
        fs::create_directories(o.dir);
        return fs::absolute(o.dir);
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tvxcrash-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("Cannot create " + pattern);
    return fs::absolute(pattern);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::string error = parseArguments(argc, argv, o);
    if (error == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (!error.empty()) {
        std::cerr << "tvxcrash: " << error << "\n" << kUsage;
        return 2;
    }
    if (!o.seedGiven)
        o.seed =
            static_cast<uint64_t>(Clock::now().time_since_epoch().count()) ^ std::random_device{}();

    Paths paths;
    Model model;
    try {
        paths = pathsFor(makeDirectory(o));
        createDataDirectory(paths);
        model.settings = readSettings(paths.settings);
    } catch (const std::exception& e) {
        std::cerr << "tvxcrash: cannot set up the data directory: " << e.what() << "\n";
        return 2;
    }

    std::cout << "tvxcrash: seed " << o.seed << ", data directory " << paths.dir.string()
              << std::endl;
    CheckStats stats;
    EventLog log(model);
    Dumper dumper(paths.dir.string() + "-dump");
    const fs::path killed = paths.dir.string() + "-killed";
    std::mt19937_64 rng(o.seed);
    long long kills = 0, killsInTransaction = 0, callKills = 0, cutRecoveries = 0;
    const auto start = Clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    auto fail = [&](const std::string& what) {
        std::cerr << "tvxcrash: FAILED after " << kills << " kills, " << elapsed() << " s (seed "
                  << o.seed << "):\n  " << what
                  << "\n  data directory left for inspection: " << paths.dir.string() << "\n";
        return 1;
    };
    // dbf-dump on the state just checked: in the background unless asked to wait.
    auto dump = [&](bool wait, const std::string& label) {
        std::string complaint = dumper.collect(wait);
        if (complaint.empty() && !dumper.busy()) {
            dumper.start(tableFiles(paths), label);
            if (wait) complaint = dumper.collect(true);
        }
        return complaint;
    };

    std::string violation = checkDirectory(paths, model, std::nullopt, stats);
    if (!violation.empty()) return fail("the new data directory: " + violation);
    try {
        while (kills < o.kills && elapsed() < o.seconds) {
            ChildEnd end;
            if (!o.timeKillsOnly && kills % 2 == 1) {
                long long target = std::uniform_int_distribution<long long>(1, 400)(rng);
                end = runTracedChild(paths, rng(), target, std::chrono::milliseconds(3000), log);
                if (end.calls >= target) ++callKills;
            } else {
                microseconds delay(std::uniform_int_distribution<long long>(2000, 100000)(rng));
                end = runTimedChild(paths, rng(), delay, log);
            }
            if (!log.childError().empty()) return fail(log.childError());
            if (!end.killed)
                return fail("the writing child ended by itself (" + describeStatus(end.status) +
                            ")");
            ++kills;
            if (log.inflight()) ++killsInTransaction;
            // The directory as the kill left it, kept for inspection until the next kill.
            fs::remove_all(killed);
            fs::copy(paths.dir, killed);
            std::error_code ec;
            if (fs::exists(paths.journal, ec) && fs::file_size(paths.journal, ec) > 0 &&
                std::uniform_int_distribution<int>(0, 3)(rng) == 0) {
                microseconds cut(std::uniform_int_distribution<long long>(0, 3000)(rng));
                if (cutRecovery(paths, cut)) ++cutRecoveries;
            }
            violation = checkDirectory(paths, model, log.inflight(), stats);
            log.clearInflight();
            if (!violation.empty())
                return fail(
                    violation + "\n  the kill landed " + end.how +
                    "\n  the directory as the kill left it (before recovery): " + killed.string());
            violation = dump(o.dumpAll, "the state after kill " + std::to_string(kills));
            if (!violation.empty()) return fail(violation);
        }
        violation = dumper.collect(true);
        if (violation.empty()) violation = dump(true, "the final state");
        if (!violation.empty()) return fail(violation);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    if (kills == 0) return fail("no child was killed within " + std::to_string(o.seconds) + " s");

    Counts counts{kills,         callKills,        killsInTransaction,
                  cutRecoveries, log.rolledBack(), dumper.filesChecked()};
    printSummary(o, elapsed(), counts, model, stats);
    {
        std::error_code ec;
        fs::remove_all(dumper.copies(), ec);
        fs::remove_all(killed, ec);
    }
    if (o.dir.empty()) {
        std::error_code ec;
        fs::remove_all(paths.dir, ec);
    } else {
        std::cout << "  data directory: " << paths.dir.string() << "\n";
    }
    return 0;
}
