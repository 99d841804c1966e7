// Transaction log: entry format, commit, rollback, checkpoint and recovery.
//
// Entry: kind (1 byte), path length (u32) and path, a (u64: offset or size), data length
// (u32) and data, then a checksum (u64, FNV-1a of everything before it). Kinds:
//   'N' new bytes at offset a (redo)        'F' new whole content of a carried file (redo)
//   'X' a carried file is absent (redo)     'C' commit mark
//   'R' old bytes at offset a (undo)        'S' old size a (undo)
//   'W' old whole content (undo)            'A' the file did not exist (undo)
// A segment is the run of entries up to a commit mark. Committed segments are redone,
// a last segment without its mark is undone. A torn last entry fails its checksum and
// ends the log: the write it announced never started.
#include "tables/Journal.h"

#include <algorithm>
#include <fstream>
#include <map>

#include "tables/EngineError.h"
#include "tables/platform/File.h"

namespace fs = std::filesystem;

namespace tvx::tables {

namespace {

// The log is brought to the tables and emptied once it grows beyond this.
constexpr uint64_t kCheckpointSize = 8u << 20;

uint64_t fnv(std::string_view s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    return h;
}

void putLE(std::string& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
uint64_t getLE(std::string_view s, size_t at, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

std::string makeEntry(char kind, const fs::path& file, uint64_t a, std::string_view data) {
    std::string e;
    // Absolute paths: the log may be played from another working folder.
    std::string p = file.empty() ? std::string() : fs::absolute(file).lexically_normal().string();
    e.push_back(kind);
    putLE(e, p.size(), 4);
    e += p;
    putLE(e, a, 8);
    putLE(e, data.size(), 4);
    e.append(data);
    putLE(e, fnv(e), 8);
    return e;
}

struct Entry {
    char kind;
    fs::path file;
    uint64_t a;
    std::string data;
};

bool knownKind(char k) {
    return std::string_view("NFXCRSWA").find(k) != std::string_view::npos;
}

std::vector<Entry> parseEntries(const std::string& s) {
    std::vector<Entry> out;
    size_t at = 0;
    while (at + 5 <= s.size()) {
        size_t start = at;
        char kind = s[at];
        uint64_t plen = getLE(s, at + 1, 4);
        if (!knownKind(kind) || plen > s.size() || at + 5 + plen + 12 > s.size()) break;
        size_t p = at + 5;
        uint64_t a = getLE(s, p + plen, 8);
        uint64_t dlen = getLE(s, p + plen + 8, 4);
        size_t d = p + plen + 12;
        if (dlen > s.size() || d + dlen + 8 > s.size()) break;
        if (getLE(s, d + dlen, 8) != fnv(std::string_view(s).substr(start, d + dlen - start)))
            break;
        out.push_back(Entry{kind, fs::path(s.substr(p, plen)), a, s.substr(d, dlen)});
        at = d + dlen + 8;
    }
    return out;
}

std::string readWhole(const fs::path& p) {
    std::error_code ec;
    if (!fs::is_regular_file(p, ec))
        throw EngineError("Not a file that can be carried: " + p.string());
    std::ifstream in(p, std::ios::binary);
    if (!in) throw EngineError("Cannot read " + p.string());
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes a whole file through a temporary file and a rename.
void writeWhole(const fs::path& p, const std::string& bytes, bool durable) {
    fs::path tmp = p;
    tmp += ".tvxtmp";
    {
        platform::File f(tmp, true);
        f.truncate(0);
        f.write(0, bytes);
        if (durable) f.sync();
    }
    std::error_code ec;
    fs::rename(tmp, p, ec);
    if (ec) throw EngineError("Cannot write " + p.string() + ": " + ec.message());
}

// Plays entries: committed segments forward (redo), the unfinished last one backward.
std::set<fs::path> play(const std::vector<Entry>& entries) {
    std::set<fs::path> written;
    size_t segmentStart = 0;
    std::map<fs::path, std::unique_ptr<platform::File>> open;
    auto fileFor = [&](const fs::path& p) -> platform::File& {
        auto& f = open[p];
        if (!f) f = std::make_unique<platform::File>(p, true);
        return *f;
    };
    auto closeAll = [&] {
        for (auto& [p, f] : open) f->sync();
        open.clear();
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].kind != 'C') continue;
        for (size_t j = segmentStart; j < i; ++j) {
            const Entry& e = entries[j];
            std::error_code ec;
            if (e.kind == 'N') {
                fileFor(e.file).write(e.a, e.data);
            } else if (e.kind == 'F') {
                open.erase(e.file);
                writeWhole(e.file, e.data, true);
            } else if (e.kind == 'X') {
                open.erase(e.file);
                fs::remove(e.file, ec);
            } else {
                continue;
            }
            written.insert(e.file);
        }
        segmentStart = i + 1;
    }
    closeAll();
    for (size_t k = entries.size(); k-- > segmentStart;) {
        const Entry& e = entries[k];
        std::error_code ec;
        switch (e.kind) {
            case 'R':
                if (fs::exists(e.file, ec)) fileFor(e.file).write(e.a, e.data);
                break;
            case 'S':
                if (fs::exists(e.file, ec)) fileFor(e.file).truncate(e.a);
                break;
            case 'W':
                open.erase(e.file);
                writeWhole(e.file, e.data, true);
                break;
            case 'A':
                open.erase(e.file);
                fs::remove(e.file, ec);
                break;
            default:
                continue;
        }
        written.insert(e.file);
    }
    closeAll();
    std::set<fs::path> dirs;
    for (const auto& p : written) dirs.insert(p.parent_path());
    for (const auto& d : dirs) platform::syncDirectory(d);
    return written;
}

}  // namespace

Journal::Journal(fs::path logFile) : path_(std::move(logFile)) {}

Journal::~Journal() {
    if (active_) return;
    try {
        checkpoint();
    } catch (...) {
    }
}

platform::File& Journal::log() {
    if (!file_) {
        bool existed = fs::exists(path_);
        file_ = std::make_unique<platform::File>(path_, true);
        logSize_ = file_->size();
        if (!existed) platform::syncDirectory(path_.parent_path());
    }
    return *file_;
}

void Journal::append(const std::string& entry, bool ofThisTransaction) {
    log().write(logSize_, entry);
    logSize_ += entry.size();
    if (ofThisTransaction) ownEntries_.push_back(entry);
}

void Journal::syncLog() {
    if (durable_) log().sync();
}

void Journal::truncateLog() {
    if (!file_ && logSize_ == 0 && !fs::exists(path_)) return;
    log().truncate(0);
    logSize_ = 0;
}

std::vector<fs::path> Journal::recover() {
    std::error_code ec;
    fs::path fresh = path_;
    fresh += ".new";
    fs::remove(fresh, ec);  // a checkpoint that died before its rename: the log still holds all
    if (!fs::exists(path_, ec) || fs::file_size(path_, ec) == 0) return {};
    std::set<fs::path> written = play(parseEntries(readWhole(path_)));
    truncateLog();
    log().sync();
    return {written.begin(), written.end()};
}

void Journal::begin(bool durable) {
    if (active_) throw EngineError("A transaction is already open");
    active_ = true;
    durable_ = durable;
    undoMode_ = false;
    pending_.clear();
    ownEntries_.clear();
    touched_.clear();
    sized_.clear();
    carried_.clear();
    protected_.clear();
}

bool Journal::takeWrite(dbf::DbfFile& file, uint64_t offset, std::string_view bytes) {
    if (!active_) return false;
    touched_.insert(file.path().string());
    pending_.push_back(Pending{&file, offset, std::string(bytes)});
    return true;
}

void Journal::carry(const fs::path& file) {
    if (!active_) throw EngineError("No transaction is open to carry " + file.string());
    std::string key = file.string();
    if (carried_.count(key)) return;
    carried_.insert(key);
    touched_.insert(key);
    logOldContent(file);
}

void Journal::logOldContent(const fs::path& file) {
    std::error_code ec;
    if (fs::exists(file, ec))
        append(makeEntry('W', file, 0, readWhole(file)), true);
    else
        append(makeEntry('A', file, 0, {}), true);
    syncLog();
}

void Journal::checkpoint() {
    if (dirty_.empty() && logSize_ == 0 && ownEntries_.empty()) return;
    for (const auto& p : dirty_) {
        std::error_code ec;
        if (durable_ && fs::exists(p, ec)) platform::File(p, false).sync();
    }
    dirty_.clear();
    if (ownEntries_.empty()) {
        truncateLog();
        log().sync();
        return;
    }
    // The open transaction's own entries (old contents of carried files) must stay in
    // the log at every moment: the shorter log is written beside it and renamed over it.
    fs::path fresh = path_;
    fresh += ".new";
    std::string own;
    for (const auto& e : ownEntries_) own += e;
    {
        platform::File f(fresh, true);
        f.truncate(0);
        f.write(0, own);
        f.sync();
    }
    file_.reset();
    std::error_code ec;
    fs::rename(fresh, path_, ec);
    if (ec) throw EngineError("Cannot replace the log " + path_.string() + ": " + ec.message());
    platform::syncDirectory(path_.parent_path());
    logSize_ = log().size();
}

void Journal::protectTable(const fs::path& file) {
    if (!active_) throw EngineError("No transaction is open to change " + file.string());
    if (!undoMode_) {
        // From here on this transaction writes its changes at once and logs how to undo
        // them; earlier committed ones are brought to the disk first.
        checkpoint();
        undoMode_ = true;
    }
    flushWithUndo();
    std::string key = file.string();
    touched_.insert(key);
    if (protected_.count(key)) return;
    protected_.insert(key);
    logOldContent(file);
    dirty_.insert(key);
}

void Journal::flushWithUndo() {
    if (pending_.empty()) return;
    std::map<dbf::DbfFile*, std::vector<std::pair<uint64_t, uint64_t>>> regions;
    for (const auto& p : pending_)
        regions[p.file].emplace_back(p.offset, p.offset + p.bytes.size());
    std::map<dbf::DbfFile*, std::unique_ptr<platform::File>> files;
    for (auto& [file, list] : regions) {
        auto f = std::make_unique<platform::File>(file->path(), false);
        uint64_t size = f->size();
        std::string key = file->path().string();
        if (!sized_.count(key)) {
            append(makeEntry('S', file->path(), size, {}), true);
            sized_.insert(key);
        }
        std::sort(list.begin(), list.end());
        uint64_t start = 0, end = 0;
        bool open = false;
        auto save = [&](uint64_t s, uint64_t e) {
            if (s >= size) return;
            e = std::min(e, size);
            append(makeEntry('R', file->path(), s, f->read(s, e - s)), true);
        };
        for (auto [s, e] : list) {
            if (open && s <= end) {
                end = std::max(end, e);
                continue;
            }
            if (open) save(start, end);
            start = s;
            end = e;
            open = true;
        }
        if (open) save(start, end);
        files[file] = std::move(f);
    }
    syncLog();
    for (const auto& p : pending_) files[p.file]->write(p.offset, p.bytes);
    for (auto& [file, list] : regions) {
        file->noteDiskWritten();
        dirty_.insert(file->path().string());
    }
    pending_.clear();
}

void Journal::commit() {
    if (!active_) throw EngineError("No transaction is open");
    try {
        if (undoMode_) {
            flushWithUndo();
            for (const auto& p : dirty_)
                if (durable_ && fs::exists(p)) platform::File(p, false).sync();
            for (const auto& c : carried_)
                if (durable_ && fs::exists(c)) platform::File(c, false).sync();
            dirty_.clear();
            append(makeEntry('C', {}, 0, {}), false);
            syncLog();
            truncateLog();
        } else {
            for (const auto& c : carried_) {
                std::error_code ec;
                if (fs::exists(c, ec))
                    append(makeEntry('F', c, 0, readWhole(c)), false);
                else
                    append(makeEntry('X', c, 0, {}), false);
            }
            for (const auto& p : pending_)
                append(makeEntry('N', p.file->path(), p.offset, p.bytes), false);
            append(makeEntry('C', {}, 0, {}), false);
            syncLog();
            std::map<dbf::DbfFile*, std::unique_ptr<platform::File>> files;
            for (const auto& p : pending_) {
                auto& f = files[p.file];
                if (!f) f = std::make_unique<platform::File>(p.file->path(), false);
                f->write(p.offset, p.bytes);
            }
            files.clear();
            std::set<dbf::DbfFile*> written;
            for (const auto& p : pending_) written.insert(p.file);
            for (dbf::DbfFile* f : written) {
                f->noteDiskWritten();
                dirty_.insert(f->path().string());
            }
            for (const auto& c : carried_) dirty_.insert(c);
            pending_.clear();
        }
    } catch (...) {
        rollback();
        throw;
    }
    active_ = false;
    ownEntries_.clear();
    if (logSize_ > kCheckpointSize) checkpoint();
}

std::vector<fs::path> Journal::rollback() {
    if (!active_) throw EngineError("No transaction is open");
    active_ = false;
    pending_.clear();
    std::vector<fs::path> touched(touched_.begin(), touched_.end());
    // Undo this transaction's own entries (old contents, sizes and bytes), newest first.
    std::string own;
    for (const auto& e : ownEntries_) own += e;
    play(parseEntries(own));
    bool logged = !ownEntries_.empty();
    ownEntries_.clear();
    if (undoMode_) {
        truncateLog();
        log().sync();
    } else if (logged) {
        // Closes the segment of the undone transaction: its old contents must not be put
        // back again over later changes when the log is played.
        append(makeEntry('C', {}, 0, {}), false);
        syncLog();
    }
    touched_.clear();
    return touched;
}

void Journal::release(dbf::DbfFile& file) {
    bool mine = std::any_of(pending_.begin(), pending_.end(),
                            [&](const Pending& p) { return p.file == &file; });
    if (!mine) return;
    if (!undoMode_) {
        checkpoint();
        undoMode_ = true;
    }
    flushWithUndo();
}

}  // namespace tvx::tables
