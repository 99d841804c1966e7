// POSIX implementation of the engine's file calls (a Windows branch keeps the sources
// portable).
#include "tables/platform/File.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "tables/EngineError.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/locking.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tvx::tables::platform {

namespace {
[[noreturn]] void fail(const char* what, const std::filesystem::path& path) {
    throw EngineError(std::string(what) + " " + path.string() + ": " + std::strerror(errno));
}
}  // namespace

#ifdef _WIN32

File::File(const std::filesystem::path& path, bool create) : path_(path) {
    int flags = _O_RDWR | _O_BINARY | (create ? _O_CREAT : 0);
    handle_ = _wopen(path.wstring().c_str(), flags, _S_IREAD | _S_IWRITE);
    if (handle_ < 0) fail("Cannot open", path);
}
File::~File() {
    if (handle_ >= 0) _close(static_cast<int>(handle_));
}
uint64_t File::size() const {
    auto end = _lseeki64(static_cast<int>(handle_), 0, SEEK_END);
    if (end < 0) fail("Cannot read the size of", path_);
    return static_cast<uint64_t>(end);
}
std::string File::read(uint64_t offset, uint64_t length) const {
    std::string out(length, '\0');
    if (_lseeki64(static_cast<int>(handle_), static_cast<__int64>(offset), SEEK_SET) < 0)
        fail("Cannot read", path_);
    int n = _read(static_cast<int>(handle_), out.data(), static_cast<unsigned>(length));
    if (n < 0) fail("Cannot read", path_);
    out.resize(static_cast<size_t>(n));
    return out;
}
void File::write(uint64_t offset, std::string_view bytes) {
    if (_lseeki64(static_cast<int>(handle_), static_cast<__int64>(offset), SEEK_SET) < 0 ||
        _write(static_cast<int>(handle_), bytes.data(), static_cast<unsigned>(bytes.size())) !=
            static_cast<int>(bytes.size()))
        fail("Cannot write", path_);
}
void File::truncate(uint64_t size) {
    if (_chsize_s(static_cast<int>(handle_), static_cast<__int64>(size)) != 0)
        fail("Cannot truncate", path_);
}
void File::sync() {
    if (_commit(static_cast<int>(handle_)) != 0) fail("Cannot flush", path_);
}
void syncDirectory(const std::filesystem::path&) {}

bool fileStamp(const std::filesystem::path& path, uint64_t& size, int64_t& mtime) {
    struct _stat64 st;
    if (_wstat64(path.wstring().c_str(), &st) != 0) return false;
    size = static_cast<uint64_t>(st.st_size);
    mtime = static_cast<int64_t>(st.st_mtime);
    return true;
}

FileLock::FileLock(const std::filesystem::path& path) : path_(path) {
    handle_ = _wopen(path.wstring().c_str(), _O_RDWR | _O_BINARY | _O_CREAT | _O_NOINHERIT,
                     _S_IREAD | _S_IWRITE);
    if (handle_ < 0) fail("Cannot open", path);
}
FileLock::~FileLock() {
    if (handle_ >= 0) _close(static_cast<int>(handle_));  // releases the lock
}
bool FileLock::tryLock() {
    // The lock covers the byte far beyond any content, so the owner text stays readable.
    if (_lseeki64(static_cast<int>(handle_), 1 << 30, SEEK_SET) < 0) fail("Cannot lock", path_);
    if (_locking(static_cast<int>(handle_), _LK_NBLCK, 1) == 0) return true;
    if (errno == EACCES || errno == EDEADLOCK) return false;
    fail("Cannot lock", path_);
}
std::string processId() {
    return std::to_string(_getpid());
}

#else

File::File(const std::filesystem::path& path, bool create) : path_(path) {
    int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0);
    handle_ = ::open(path.c_str(), flags, 0644);
    if (handle_ < 0) fail("Cannot open", path);
}
File::~File() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}
uint64_t File::size() const {
    struct stat st;
    if (::fstat(static_cast<int>(handle_), &st) != 0) fail("Cannot read the size of", path_);
    return static_cast<uint64_t>(st.st_size);
}
std::string File::read(uint64_t offset, uint64_t length) const {
    std::string out(length, '\0');
    size_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(static_cast<int>(handle_), out.data() + done, length - done,
                            static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("Cannot read", path_);
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    out.resize(done);
    return out;
}
void File::write(uint64_t offset, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(static_cast<int>(handle_), bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("Cannot write", path_);
        }
        done += static_cast<size_t>(n);
    }
}
void File::truncate(uint64_t size) {
    if (::ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) != 0)
        fail("Cannot truncate", path_);
}
void File::sync() {
    if (::fdatasync(static_cast<int>(handle_)) != 0) fail("Cannot flush", path_);
}
FileLock::FileLock(const std::filesystem::path& path) : path_(path) {
    handle_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (handle_ < 0) fail("Cannot open", path);
}
FileLock::~FileLock() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));  // releases the lock
}
bool FileLock::tryLock() {
    // flock: bound to this opening of the file, not to the process (unlike fcntl locks,
    // which closing any other descriptor of the file would drop).
    while (::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return false;
        fail("Cannot lock", path_);
    }
    return true;
}
std::string processId() {
    return std::to_string(::getpid());
}

bool fileStamp(const std::filesystem::path& path, uint64_t& size, int64_t& mtime) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    size = static_cast<uint64_t>(st.st_size);
    mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

void syncDirectory(const std::filesystem::path& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

#endif

std::string FileLock::owner() const {
    std::string text;
    char buffer[64];
    for (uint64_t at = 0; text.size() < 256;) {
#ifdef _WIN32
        if (_lseeki64(static_cast<int>(handle_), static_cast<__int64>(at), SEEK_SET) < 0) break;
        int n = _read(static_cast<int>(handle_), buffer, sizeof buffer);
#else
        ssize_t n =
            ::pread(static_cast<int>(handle_), buffer, sizeof buffer, static_cast<off_t>(at));
#endif
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
        at += static_cast<uint64_t>(n);
    }
    return text;
}

void FileLock::setOwner(std::string_view text) {
    // Through a second opening: truncation and writes do not touch the lock.
    File file(path_, false);
    file.truncate(0);
    file.write(0, text);
}

Replaced replaceWhole(const std::filesystem::path& file, std::string_view bytes) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    std::error_code ec;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (out) out.close();
        if (!out) {
            std::filesystem::remove(temporary, ec);
            return Replaced::WriteFailed;
        }
    }
    std::filesystem::rename(temporary, file, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return Replaced::RenameFailed;
    }
    return Replaced::Done;
}

}  // namespace tvx::tables::platform
