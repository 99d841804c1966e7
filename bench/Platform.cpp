// Linux implementations: /proc/self/status, /proc/cpuinfo, /proc/meminfo, popen.
#include "Platform.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace tvx::bench {

namespace {

// The number after `key` in a "key: value" file such as /proc/self/status.
std::string procValue(const char* file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            size_t at = line.find(':');
            if (at == std::string::npos) continue;
            size_t start = line.find_first_not_of(" \t", at + 1);
            return start == std::string::npos ? "" : line.substr(start);
        }
    }
    return "";
}

}  // namespace

long long peakMemoryKiB() {
    const std::string v = procValue("/proc/self/status", "VmHWM");
    return v.empty() ? 0 : std::stoll(v);
}

long long sizeOnDisk(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_regular_file(dir, ec)) return static_cast<long long>(fs::file_size(dir, ec));
    long long total = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir, ec))
        if (e.is_regular_file(ec)) total += static_cast<long long>(e.file_size(ec));
    return total;
}

void copyAll(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::remove_all(to, ec);
    // Each file keeps its modification time: the engine trusts its index files only while
    // the table's size and time are those they recorded, so a copy must not look changed.
    auto copyFile = [](const fs::path& source, const fs::path& target) {
        std::error_code error;
        fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
        if (!error) fs::last_write_time(target, fs::last_write_time(source, error), error);
        if (error)
            throw std::runtime_error("Cannot copy " + source.string() + " to " + target.string() +
                                     ": " + error.message());
    };
    if (!fs::is_directory(from, ec)) {
        copyFile(from, to);
        return;
    }
    fs::create_directories(to, ec);
    for (auto it = fs::recursive_directory_iterator(from, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path target = to / fs::relative(it->path(), from);
        if (it->is_directory())
            fs::create_directories(target, ec);
        else if (it->is_regular_file())
            copyFile(it->path(), target);
    }
    if (ec)
        throw std::runtime_error("Cannot copy " + from.string() + " to " + to.string() + ": " +
                                 ec.message());
}

fs::path selfExecutable() {
    return fs::read_symlink("/proc/self/exe");
}

std::string runCapture(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("Cannot run " + command);
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = ::pclose(pipe);
    if (status != 0)
        throw std::runtime_error("Command failed (status " + std::to_string(status) +
                                 "): " + command + "\n" + out);
    return out;
}

std::string machineSummary(const fs::path& dir) {
    const std::string cpu = procValue("/proc/cpuinfo", "model name");
    const std::string mem = procValue("/proc/meminfo", "MemTotal");
    std::string disk = "?";
    struct statvfs vfs {};
    if (::statvfs(dir.c_str(), &vfs) == 0)
        disk = std::to_string(static_cast<long long>(vfs.f_blocks) * vfs.f_frsize >> 30) + " GiB";
    std::string device = "?";
    try {
        device = runCapture("df --output=source,fstype '" + dir.string() + "' | tail -1");
        while (!device.empty() && (device.back() == '\n' || device.back() == ' '))
            device.pop_back();
    } catch (const std::exception&) {
    }
    // The machine may be shared: the load when the run began says how quiet it was.
    std::string load;
    std::ifstream("/proc/loadavg") >> load;
    return std::to_string(std::thread::hardware_concurrency()) + " CPUs (" +
           (cpu.empty() ? "unknown CPU" : cpu) + "), " + mem + " memory, disk " + device + " (" +
           disk + ")" + (load.empty() ? "" : ", load average " + load);
}

}  // namespace tvx::bench
