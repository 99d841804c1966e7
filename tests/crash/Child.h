// Running one writing child and killing it: after a random delay, or on entry to its n-th
// file-changing system call (the child runs under ptrace and is stopped at every system
// call; the kill lands before that call runs, so every boundary between two writes, syncs,
// truncations or renames is as likely a crash point as any other, however short).
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "Model.h"
#include "Schema.h"

namespace tvx::crash {

struct ChildEnd {
    bool killed = false;  // by our SIGKILL, as planned
    int status = 0;       // waitpid status
    long long calls = 0;  // file-changing system calls seen (traced children only)
    std::string how;      // where the kill landed, for messages
};

// Starts a child running the workload and kills it `delay` after its start. Its events
// go into `log`.
ChildEnd runTimedChild(const Paths& paths, uint64_t seed, std::chrono::microseconds delay,
                       EventLog& log);

// Starts a traced child and kills it on entry to its `target`-th file-changing system call
// (or after `limit` when it never gets there).
ChildEnd runTracedChild(const Paths& paths, uint64_t seed, long long target,
                        std::chrono::milliseconds limit, EventLog& log);

// Opens the directory in a child (which starts the recovery) and kills it `delay` later.
// Returns true when the child was still at work. A recovery that fails throws.
bool cutRecovery(const Paths& paths, std::chrono::microseconds delay);

}  // namespace tvx::crash
