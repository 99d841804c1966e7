// The independent reader of the crash test: dbf-dump run on copies of the table files.
// A run takes about as long as several kills (one Python start per file), so it goes on
// in the background on a copy of one recovered state while the next children work, and
// the next run starts once it is done. The copies stay behind when a run complains.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "Schema.h"

namespace tvx::crash {

class Dumper {
  public:
    // `copies`: a folder of its own for the copies (created, emptied per run).
    explicit Dumper(fs::path copies) : copies_(std::move(copies)) {}
    ~Dumper();
    Dumper(const Dumper&) = delete;
    Dumper& operator=(const Dumper&) = delete;

    bool busy() const { return !runs_.empty(); }
    // Copies the files and starts dbf-dump on each copy; `label` names the state in
    // messages. Only when no run is going.
    void start(const std::vector<fs::path>& files, const std::string& label);
    // Takes the outcome of the current run when it is finished (waits for it when `wait`).
    // Returns the first complaint, or "" (also while the run is still going).
    std::string collect(bool wait);

    const fs::path& copies() const { return copies_; }
    long long filesChecked() const { return filesChecked_; }

  private:
    struct Run {
        fs::path file;  // the copy
        pid_t pid = -1;
        int fd = -1;  // its output; -1 once read to the end
        std::string output;
        int status = 0;
    };
    bool pump(bool wait);  // true when every run has ended
    fs::path copies_;
    std::string label_;
    std::vector<Run> runs_;
    long long filesChecked_ = 0;
};

}  // namespace tvx::crash
