// The writing side of the crash test: an endless stream of randomised transactions on the
// data directory (documents posted, documents removed, table maintenance undone on
// purpose), each announced to the parent before it begins and reported when it ends.
#pragma once

#include <cstdint>

#include "Schema.h"

namespace tvx::crash {

// Runs transactions until the process is killed. Events go to `reportFd` as lines (see
// Model.h). A failure the child notices itself (an unexpected exception, data that reads
// wrong inside the process) is reported as an "E" line and ends the process with status 3.
[[noreturn]] void runWorkload(const Paths& paths, uint64_t seed, int reportFd);

}  // namespace tvx::crash
