// Background dbf-dump runs: fork/exec per file, output read through non-blocking pipes so
// that a long list of complaints cannot stall the reader.
#include "Dumper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "support/TestPaths.h"

namespace tvx::crash {

namespace {
const std::string kTool = std::string(TVX_SHARED_DIR) + "/tools/dbf-dump";
}

Dumper::~Dumper() {
    for (auto& run : runs_) {
        if (run.fd >= 0) ::close(run.fd);
        ::kill(run.pid, SIGKILL);
        ::waitpid(run.pid, nullptr, 0);
    }
}

void Dumper::start(const std::vector<fs::path>& files, const std::string& label) {
    if (busy()) throw std::logic_error("dbf-dump is still running");
    fs::remove_all(copies_);
    fs::create_directories(copies_);
    label_ = label;
    for (const auto& file : files) {
        Run run;
        run.file = copies_ / file.filename();
        fs::copy_file(file, run.file);
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            throw std::runtime_error("Cannot make a pipe");
        run.pid = ::fork();
        if (run.pid == 0) {
            ::dup2(fds[1], 1);
            ::dup2(fds[1], 2);
            int flags = ::fcntl(1, F_GETFL);
            ::fcntl(1, F_SETFL, flags & ~O_NONBLOCK);
            ::execl(kTool.c_str(), kTool.c_str(), "--no-rows", "--deleted", run.file.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        if (run.pid < 0) {
            ::close(fds[0]);
            throw std::runtime_error("Cannot start dbf-dump");
        }
        run.fd = fds[0];
        runs_.push_back(std::move(run));
    }
}

bool Dumper::pump(bool wait) {
    for (;;) {
        std::vector<pollfd> polls;
        for (const auto& run : runs_)
            if (run.fd >= 0) polls.push_back(pollfd{run.fd, POLLIN, 0});
        if (polls.empty()) break;
        int ready = ::poll(polls.data(), polls.size(), wait ? -1 : 0);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        for (auto& run : runs_) {
            if (run.fd < 0) continue;
            char buffer[8192];
            ssize_t n;
            while ((n = ::read(run.fd, buffer, sizeof buffer)) > 0)
                run.output.append(buffer, static_cast<size_t>(n));
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
                ::close(run.fd);
                run.fd = -1;
            }
        }
    }
    // Every output is at its end: the processes have ended or are about to.
    for (auto& run : runs_) {
        while (::waitpid(run.pid, &run.status, 0) < 0 && errno == EINTR) {
        }
    }
    return true;
}

std::string Dumper::collect(bool wait) {
    if (!busy() || !pump(wait)) return {};
    std::string complaint;
    for (const auto& run : runs_) {
        ++filesChecked_;
        bool clean = WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0 &&
                     run.output.find("WARN") == std::string::npos;
        if (!clean && complaint.empty()) {
            complaint = "dbf-dump does not read " + run.file.filename().string() + " cleanly (" +
                        label_ + "; " +
                        (WIFEXITED(run.status) ? "exit " + std::to_string(WEXITSTATUS(run.status))
                                               : std::string("killed")) +
                        "; the copy it read: " + run.file.string() + "):\n" + run.output;
        }
    }
    runs_.clear();
    return complaint;
}

}  // namespace tvx::crash
