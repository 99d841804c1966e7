// Fork, kill and waitpid for the writing children; ptrace for the system-call kills.
#include "Child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "Workload.h"
#include "tables/Database.h"

namespace tvx::crash {

namespace {

using Clock = std::chrono::steady_clock;

// Reads what the pipe holds now (all of it, to the end, when `toEnd`). False at its end.
bool drain(int fd, EventLog& log, bool toEnd) {
    char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            log.feed(buffer, static_cast<size_t>(n));
            if (!toEnd) return true;
            continue;
        }
        if (n == 0) return false;
        if (errno == EINTR) continue;
        if (errno == EAGAIN && !toEnd) return true;
        if (errno == EAGAIN) {
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, -1);
            continue;
        }
        return false;
    }
}

void waitFor(pid_t pid, int& status) {
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Forks a child running the workload; `traced` children stop first for the tracer.
pid_t startChild(const Paths& paths, uint64_t seed, bool traced, int& readFd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("Cannot make a pipe");
    ::fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);  // room for a burst of events
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("Cannot fork");
    if (pid == 0) {
        ::close(fds[0]);
        if (traced) {
            if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) ::_exit(5);
            ::raise(SIGSTOP);
        }
        runWorkload(paths, seed, fds[1]);
    }
    ::close(fds[1]);
    readFd = fds[0];
    return pid;
}

// System calls that change files (or wait for them to reach the disk).
bool changesFiles(const __ptrace_syscall_info& info) {
    const auto nr = static_cast<long>(info.entry.nr);
    const auto writable = [](uint64_t flags) {
        return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
    };
    switch (nr) {
        case SYS_write:
        case SYS_pwrite64:
        case SYS_writev:
        case SYS_pwritev:
        case SYS_ftruncate:
        case SYS_truncate:
        case SYS_renameat:
        case SYS_renameat2:
        case SYS_unlinkat:
        case SYS_fsync:
        case SYS_fdatasync:
#ifdef SYS_rename
        case SYS_rename:
#endif
#ifdef SYS_unlink
        case SYS_unlink:
#endif
            return true;
        case SYS_openat:
            return writable(info.entry.args[2]);
#ifdef SYS_open
        case SYS_open:
            return writable(info.entry.args[1]);
#endif
        default:
            return false;
    }
}

// Text of a path argument in the stopped child's memory.
std::string pathAt(pid_t pid, uint64_t address) {
    std::string text(4096, '\0');
    int fd = ::open(("/proc/" + std::to_string(pid) + "/mem").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "?";
    ssize_t n = ::pread(fd, text.data(), text.size(), static_cast<off_t>(address));
    ::close(fd);
    if (n <= 0) return "?";
    text.resize(::strnlen(text.data(), static_cast<size_t>(n)));
    return fs::path(text).filename().string();
}

// The file behind a descriptor of the stopped child.
std::string fileOf(pid_t pid, uint64_t fd) {
    char target[4096];
    std::string link = "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd);
    ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0) return "fd " + std::to_string(fd);
    return fs::path(std::string(target, static_cast<size_t>(n))).filename().string();
}

// The system call the child is about to make, as "pwrite64(Tvx.jnl, 135 bytes at 562)".
std::string describeCall(pid_t pid, const __ptrace_syscall_info& info) {
    const uint64_t* a = info.entry.args;
    switch (static_cast<long>(info.entry.nr)) {
        case SYS_write:
            return "write(" + fileOf(pid, a[0]) + ", " + std::to_string(a[2]) + " bytes)";
        case SYS_pwrite64:
            return "pwrite64(" + fileOf(pid, a[0]) + ", " + std::to_string(a[2]) + " bytes at " +
                   std::to_string(a[3]) + ")";
        case SYS_ftruncate:
            return "ftruncate(" + fileOf(pid, a[0]) + ", " + std::to_string(a[1]) + ")";
        case SYS_fsync:
            return "fsync(" + fileOf(pid, a[0]) + ")";
        case SYS_fdatasync:
            return "fdatasync(" + fileOf(pid, a[0]) + ")";
        case SYS_openat:
            return "openat(" + pathAt(pid, a[1]) + ", for writing)";
        case SYS_renameat:
        case SYS_renameat2:
            return "rename(" + pathAt(pid, a[1]) + " -> " + pathAt(pid, a[3]) + ")";
        case SYS_unlinkat:
            return "unlink(" + pathAt(pid, a[1]) + ")";
#ifdef SYS_rename
        case SYS_rename:
            return "rename(" + pathAt(pid, a[0]) + " -> " + pathAt(pid, a[1]) + ")";
#endif
#ifdef SYS_unlink
        case SYS_unlink:
            return "unlink(" + pathAt(pid, a[0]) + ")";
#endif
#ifdef SYS_open
        case SYS_open:
            return "open(" + pathAt(pid, a[0]) + ", for writing)";
#endif
        default:
            return "system call " + std::to_string(info.entry.nr);
    }
}

}  // namespace

ChildEnd runTimedChild(const Paths& paths, uint64_t seed, std::chrono::microseconds delay,
                       EventLog& log) {
    int fd = -1;
    const auto deadline = Clock::now() + delay;
    pid_t pid = startChild(paths, seed, false, fd);
    bool open = true;
    while (open) {
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        timespec wait{static_cast<time_t>(left.count() / 1000000000),
                      static_cast<long>(left.count() % 1000000000)};
        pollfd p{fd, POLLIN, 0};
        if (::ppoll(&p, 1, &wait, nullptr) > 0) open = drain(fd, log, false);
    }
    ChildEnd end;
    end.how = std::to_string(delay.count() / 1000) + " ms after its start";
    if (open) ::kill(pid, SIGKILL);
    drain(fd, log, true);
    ::close(fd);
    waitFor(pid, end.status);
    end.killed = open && WIFSIGNALED(end.status) && WTERMSIG(end.status) == SIGKILL;
    log.finish();
    return end;
}

ChildEnd runTracedChild(const Paths& paths, uint64_t seed, long long target,
                        std::chrono::milliseconds limit, EventLog& log) {
    int fd = -1;
    const auto deadline = Clock::now() + limit;
    pid_t pid = startChild(paths, seed, true, fd);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ChildEnd end;
    waitFor(pid, end.status);
    if (!WIFSTOPPED(end.status) ||
        ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) != 0) {
        ::kill(pid, SIGKILL);
        waitFor(pid, end.status);
        ::close(fd);
        throw std::runtime_error("The child cannot be traced (ptrace); use --time-kills-only");
    }
    int deliver = 0;
    bool alive = true;
    std::string recent;
    for (long long stops = 0; alive; ++stops) {
        if (::ptrace(PTRACE_SYSCALL, pid, nullptr, deliver) != 0) break;
        deliver = 0;
        waitFor(pid, end.status);
        if (WIFEXITED(end.status) || WIFSIGNALED(end.status)) {
            alive = false;
            break;
        }
        if (stops % 64 == 0) drain(fd, log, false);
        int sig = WSTOPSIG(end.status);
        if (sig != (SIGTRAP | 0x80)) {
            deliver = sig == SIGTRAP || sig == SIGSTOP ? 0 : sig;
            continue;
        }
        __ptrace_syscall_info info{};
        if (::ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0) continue;
        if (info.op != PTRACE_SYSCALL_INFO_ENTRY) continue;
        if (changesFiles(info)) {
            std::string call = describeCall(pid, info);
            if (++end.calls >= target) {
                end.how = "on entry to its file-changing system call " + std::to_string(end.calls) +
                          ", " + call + "; the calls before it:" + recent;
                break;
            }
            recent += "\n    " + call;
            // The last dozen calls are enough to tell where the child was.
            if (std::count(recent.begin(), recent.end(), '\n') > 12)
                recent.erase(0, recent.find('\n', 1));
        }
        if (Clock::now() > deadline) {
            end.how = "after " + std::to_string(limit.count()) + " ms, short of system call " +
                      std::to_string(target);
            break;
        }
    }
    if (alive) {
        ::kill(pid, SIGKILL);
        waitFor(pid, end.status);
        end.killed = WIFSIGNALED(end.status) && WTERMSIG(end.status) == SIGKILL;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    drain(fd, log, true);
    ::close(fd);
    log.finish();
    return end;
}

bool cutRecovery(const Paths& paths, std::chrono::microseconds delay) {
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("Cannot fork");
    if (pid == 0) {
        try {
            tables::Database db(paths.dir);
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    ::usleep(static_cast<useconds_t>(delay.count()));
    ::kill(pid, SIGKILL);
    int status = 0;
    waitFor(pid, status);
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        throw std::runtime_error("Recovery failed in a separate process");
    return WIFSIGNALED(status);
}

}  // namespace tvx::crash
