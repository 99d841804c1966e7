// The one place of the table engine that talks to the operating system's file calls
// directly: positioned reads and writes, truncation, flushing to the disk, and the
// exclusive lock that gives a data directory to one process at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tvx::tables::platform {

// A file opened for reading and writing (created when `create` is set). Errors throw
// EngineError naming the file.
class File {
  public:
    File(const std::filesystem::path& path, bool create);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    uint64_t size() const;
    std::string read(uint64_t offset, uint64_t length) const;
    void write(uint64_t offset, std::string_view bytes);
    void truncate(uint64_t size);
    // Waits until the file's data (and size) are on the disk.
    void sync();

  private:
    std::filesystem::path path_;
    intptr_t handle_ = -1;
};

// An exclusive advisory lock on a file (created when missing), held from a successful
// tryLock() until the object goes away; the system drops it when the process dies. The
// lock belongs to this object's own opening of the file, so a second FileLock on the same
// file is refused also within one process. Errors other than "held elsewhere" throw.
class FileLock {
  public:
    explicit FileLock(const std::filesystem::path& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // True when the lock is now held; false when someone else holds it.
    bool tryLock();
    // The file's content: who holds the lock, as its holder wrote it.
    std::string owner() const;
    // Replaces the file's content (call it while holding the lock).
    void setOwner(std::string_view text);

  private:
    std::filesystem::path path_;
    intptr_t handle_ = -1;
};

// This process's id, as text.
std::string processId();

// Size and modification time of a file in one call; false when it cannot be read.
bool fileStamp(const std::filesystem::path& path, uint64_t& size, int64_t& mtime);

// Replaces a file's whole content: writes "<file>.tmp" beside it, then renames that over the
// file, so the file is either as it was or whole. A failure removes the temporary file.
enum class Replaced { Done, WriteFailed, RenameFailed };
Replaced replaceWhole(const std::filesystem::path& file, std::string_view bytes);

// Makes a directory entry change (create, rename, delete) durable where the system needs it.
void syncDirectory(const std::filesystem::path& dir);

}  // namespace tvx::tables::platform
