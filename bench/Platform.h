// The few operating-system facts the benchmark needs: the process's peak memory, a folder's
// size on disk, copying a data directory, and running a child process for its output.
#pragma once

#include <filesystem>
#include <string>

namespace tvx::bench {

// Peak resident memory of this process in KiB (VmHWM), 0 when the system does not say.
long long peakMemoryKiB();
// Bytes of all regular files below `dir` (or of `dir` itself when it is a file).
long long sizeOnDisk(const std::filesystem::path& dir);
// Copies a file or a folder with everything in it to `to` (replaced when it exists); every
// file keeps its modification time.
void copyAll(const std::filesystem::path& from, const std::filesystem::path& to);
// This program's own executable.
std::filesystem::path selfExecutable();
// Runs a shell command and returns its standard output; throws when it fails.
std::string runCapture(const std::string& command);
// One line about the machine: processors, CPU model, memory, disk of `dir`, load average.
std::string machineSummary(const std::filesystem::path& dir);

}  // namespace tvx::bench
