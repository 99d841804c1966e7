// The parent's checks after a kill: the data directory is opened again (which plays back
// an unfinished journal) and read both against its own rules (documents whole, stock cards
// matching the movements, counters ahead of the numbers used, table files framed right)
// and against the model of what was committed. dbf-dump is run separately (Dumper.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Model.h"
#include "Schema.h"

namespace tvx::crash {

struct CheckStats {
    long long journalsPlayedBack = 0;    // reopening found entries in the journal
    long long inflightKept = 0;          // the transaction cut by the kill had committed
    long long inflightUndone = 0;        // ... had not, and left nothing behind
    std::vector<std::string> leftovers;  // files in the directory that nobody owns
};

// Opens the directory and checks it. `inflight` is the transaction the kill cut short (if
// any); its outcome is read from the data and folded into `model`. Returns the first
// violation, or "" when everything holds.
std::string checkDirectory(const Paths& paths, Model& model, const std::optional<Intent>& inflight,
                           CheckStats& stats);

}  // namespace tvx::crash
