// Rollback journal: entry format, commit order, rollback and recovery.
//
// Entry: kind (1 byte: 'R' region, 'S' size, 'W' whole file, 'A' absent file), path
// length (u32) and path, a (u64: offset or size), data length (u32) and data, then a
// checksum (u64, FNV-1a of everything before it). Entries are only ever appended; a torn
// last entry fails its checksum and is ignored (the table write it guards never began).
#include "tables/Journal.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>

#include "tables/EngineError.h"
#include "tables/platform/File.h"

namespace fs = std::filesystem;

namespace tvx::tables {

namespace {

uint64_t fnv(std::string_view s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    return h;
}

void putU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void putU64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
uint64_t getLE(std::string_view s, size_t at, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

std::string makeEntry(char kind, const fs::path& file, uint64_t a, std::string_view data) {
    std::string e;
    std::string p = file.string();
    e.push_back(kind);
    putU32(e, static_cast<uint32_t>(p.size()));
    e += p;
    putU64(e, a);
    putU32(e, static_cast<uint32_t>(data.size()));
    e.append(data);
    putU64(e, fnv(e));
    return e;
}

struct Entry {
    char kind;
    fs::path file;
    uint64_t a;
    std::string data;
};

std::vector<Entry> parseEntries(const std::string& s) {
    std::vector<Entry> out;
    size_t at = 0;
    while (at + 1 + 4 <= s.size()) {
        size_t start = at;
        char kind = s[at];
        uint64_t plen = getLE(s, at + 1, 4);
        if (plen > s.size() || at + 5 + plen + 8 + 4 > s.size()) break;
        size_t p = at + 5;
        std::string path = s.substr(p, plen);
        uint64_t a = getLE(s, p + plen, 8);
        uint64_t dlen = getLE(s, p + plen + 8, 4);
        size_t d = p + plen + 12;
        if (dlen > s.size() || d + dlen + 8 > s.size()) break;
        std::string data = s.substr(d, dlen);
        uint64_t sum = getLE(s, d + dlen, 8);
        if (sum != fnv(std::string_view(s).substr(start, d + dlen - start))) break;
        if (kind != 'R' && kind != 'S' && kind != 'W' && kind != 'A') break;
        out.push_back(Entry{kind, fs::path(path), a, std::move(data)});
        at = d + dlen + 8;
    }
    return out;
}

std::string readWhole(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw EngineError("Cannot read " + p.string());
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes a whole file through a temporary file and a rename.
void writeWhole(const fs::path& p, const std::string& bytes) {
    fs::path tmp = p;
    tmp += ".tvxtmp";
    {
        platform::File f(tmp, true);
        f.truncate(0);
        f.write(0, bytes);
        f.sync();
    }
    std::error_code ec;
    fs::rename(tmp, p, ec);
    if (ec) throw EngineError("Cannot restore " + p.string() + ": " + ec.message());
}

void undo(const std::vector<Entry>& entries) {
    std::set<fs::path> dirs;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const Entry& e = *it;
        std::error_code ec;
        switch (e.kind) {
            case 'R': {
                if (!fs::exists(e.file, ec)) break;
                platform::File f(e.file, false);
                f.write(e.a, e.data);
                f.sync();
                break;
            }
            case 'S': {
                if (!fs::exists(e.file, ec)) break;
                platform::File f(e.file, false);
                if (f.size() != e.a) f.truncate(e.a);
                f.sync();
                break;
            }
            case 'W':
                writeWhole(e.file, e.data);
                dirs.insert(e.file.parent_path());
                break;
            case 'A':
                fs::remove(e.file, ec);
                dirs.insert(e.file.parent_path());
                break;
        }
    }
    for (const auto& d : dirs) platform::syncDirectory(d);
}

}  // namespace

Journal::Journal(fs::path journalFile) : path_(std::move(journalFile)) {}
Journal::~Journal() = default;

platform::File& Journal::journal() {
    if (!file_) {
        bool existed = fs::exists(path_);
        file_ = std::make_unique<platform::File>(path_, true);
        journalSize_ = file_->size();
        if (!existed) platform::syncDirectory(path_.parent_path());
    }
    return *file_;
}

std::vector<fs::path> Journal::recover() {
    std::vector<fs::path> restored;
    std::error_code ec;
    if (!fs::exists(path_, ec) || fs::file_size(path_, ec) == 0) return restored;
    std::vector<Entry> entries = parseEntries(readWhole(path_));
    undo(entries);
    for (const auto& e : entries) restored.push_back(e.file);
    journal().truncate(0);
    journal().sync();
    journalSize_ = 0;
    return restored;
}

void Journal::begin(bool durable) {
    if (active_) throw EngineError("A transaction is already open");
    active_ = true;
    durable_ = durable;
    pending_.clear();
    touched_.clear();
    sized_.clear();
    wholeSaved_.clear();
}

void Journal::append(const std::string& entry) {
    journal().write(journalSize_, entry);
    journalSize_ += entry.size();
}

void Journal::syncJournal() {
    if (durable_) journal().sync();
}

void Journal::empty() {
    if (!file_ && journalSize_ == 0) return;
    journal().truncate(0);
    if (durable_) journal().sync();
    journalSize_ = 0;
}

bool Journal::takeWrite(dbf::DbfFile& file, uint64_t offset, std::string_view bytes) {
    if (!active_) return false;
    touched_.insert(file.path().string());
    pending_.push_back(Pending{&file, offset, std::string(bytes)});
    return true;
}

void Journal::protect(const fs::path& file) {
    if (!active_) throw EngineError("No transaction is open to carry " + file.string());
    flush();
    std::string key = file.string();
    touched_.insert(key);
    if (wholeSaved_.count(key)) return;
    wholeSaved_.insert(key);
    std::error_code ec;
    if (fs::exists(file, ec))
        append(makeEntry('W', file, 0, readWhole(file)));
    else
        append(makeEntry('A', file, 0, {}));
    syncJournal();
}

void Journal::flush() {
    if (pending_.empty()) return;
    // Per file: the old size once, and the old bytes of every region about to change.
    std::map<dbf::DbfFile*, std::vector<std::pair<uint64_t, uint64_t>>> regions;
    for (const auto& p : pending_) regions[p.file].emplace_back(p.offset, p.offset + p.bytes.size());
    std::map<dbf::DbfFile*, std::unique_ptr<platform::File>> files;
    for (auto& [file, list] : regions) {
        auto f = std::make_unique<platform::File>(file->path(), false);
        uint64_t size = f->size();
        std::string key = file->path().string();
        if (!sized_.count(key)) {
            append(makeEntry('S', file->path(), size, {}));
            sized_.insert(key);
        }
        std::sort(list.begin(), list.end());
        uint64_t curStart = 0, curEnd = 0;
        bool open = false;
        auto save = [&](uint64_t s, uint64_t e) {
            if (s >= size) return;
            e = std::min(e, size);
            append(makeEntry('R', file->path(), s, f->read(s, e - s)));
        };
        for (auto [s, e] : list) {
            if (open && s <= curEnd) {
                curEnd = std::max(curEnd, e);
                continue;
            }
            if (open) save(curStart, curEnd);
            curStart = s;
            curEnd = e;
            open = true;
        }
        if (open) save(curStart, curEnd);
        files[file] = std::move(f);
    }
    syncJournal();
    for (const auto& p : pending_) files[p.file]->write(p.offset, p.bytes);
    for (auto& [file, f] : files) {
        if (durable_) f->sync();
    }
    files.clear();
    for (auto& [file, list] : regions) file->noteDiskWritten();
    pending_.clear();
}

void Journal::commit() {
    if (!active_) throw EngineError("No transaction is open");
    try {
        flush();
    } catch (...) {
        rollback();
        throw;
    }
    empty();
    active_ = false;
}

std::vector<fs::path> Journal::rollback() {
    if (!active_) throw EngineError("No transaction is open");
    active_ = false;
    pending_.clear();
    std::vector<fs::path> touched;
    for (const auto& t : touched_) touched.emplace_back(t);
    if (journalSize_ > 0) {
        std::vector<Entry> entries = parseEntries(journal().read(0, journalSize_));
        undo(entries);
    }
    empty();
    touched_.clear();
    return touched;
}

void Journal::release(dbf::DbfFile& file) {
    bool mine = std::any_of(pending_.begin(), pending_.end(),
                            [&](const Pending& p) { return p.file == &file; });
    if (mine) flush();
}

}  // namespace tvx::tables
