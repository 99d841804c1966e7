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
// A path is "<D>" or "<P>" and a path relative to the data directory or the program
// folder; a path without a tag is absolute (a file outside both folders, which only this
// process's own rollback plays, or the log of an older version).
#include "tables/Journal.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>

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

// Tags of a stored path: relative to the data directory, or to the program folder.
constexpr std::string_view kDataTag = "<D>";
constexpr std::string_view kProgramTag = "<P>";

std::string makeEntry(char kind, const std::string& storedPath, uint64_t a, std::string_view data) {
    std::string e;
    e.push_back(kind);
    putLE(e, storedPath.size(), 4);
    e += storedPath;
    putLE(e, a, 8);
    putLE(e, data.size(), 4);
    e.append(data);
    putLE(e, fnv(e), 8);
    return e;
}

fs::path normalFolder(const fs::path& dir) {
    if (dir.empty()) return {};
    fs::path p = fs::absolute(dir).lexically_normal();
    if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p;
}

// A relative path that cannot leave the folder it is taken from.
bool staysInside(const fs::path& rel) {
    if (rel.empty() || rel.has_root_name() || rel.has_root_directory()) return false;
    for (const auto& part : rel)
        if (part == "..") return false;
    return true;
}

// `file` (absolute, normalised) relative to `folder`, or empty when it lies outside.
fs::path relativeInside(const fs::path& file, const fs::path& folder) {
    if (folder.empty()) return {};
    fs::path rel = file.lexically_relative(folder);
    return staysInside(rel) && rel != "." ? rel : fs::path();
}

struct Entry {
    char kind;
    std::string path;  // as stored
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
        out.push_back(Entry{kind, s.substr(p, plen), a, s.substr(d, dlen)});
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

// The file an entry names. Nullopt when it lies outside the folders, unless `own` (the
// entries of this process's open transaction) lets an absolute path stand as it is.
std::optional<fs::path> resolve(const std::string& stored, const fs::path& dataDir,
                                const fs::path& programDir, bool own) {
    std::string_view text(stored);
    for (auto [tag, folder] :
         {std::pair{kDataTag, &dataDir}, std::pair{kProgramTag, &programDir}}) {
        if (text.substr(0, tag.size()) != tag) continue;
        fs::path rel(std::string(text.substr(tag.size())));
        if (folder->empty() || !staysInside(rel)) return std::nullopt;
        return (*folder / rel).lexically_normal();
    }
    fs::path p(stored);
    if (!p.is_absolute()) return std::nullopt;
    p = p.lexically_normal();
    if (own || !relativeInside(p, dataDir).empty() || !relativeInside(p, programDir).empty())
        return p;
    return std::nullopt;
}

// What playing a log does, in order: the entries of committed segments forward (redo),
// then those of an unfinished last segment newest first (undo). Commit marks drop out.
struct Step {
    const Entry* entry;
    std::optional<fs::path> file;
};

std::vector<Step> stepsOf(const std::vector<Entry>& entries, const fs::path& dataDir,
                          const fs::path& programDir, bool own) {
    std::vector<Step> steps;
    auto add = [&](const Entry& e) {
        steps.push_back(Step{&e, resolve(e.path, dataDir, programDir, own)});
    };
    size_t segmentStart = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].kind != 'C') continue;
        for (size_t j = segmentStart; j < i; ++j)
            if (std::string_view("NFX").find(entries[j].kind) != std::string_view::npos)
                add(entries[j]);
        segmentStart = i + 1;
    }
    for (size_t k = entries.size(); k-- > segmentStart;)
        if (std::string_view("RSWA").find(entries[k].kind) != std::string_view::npos)
            add(entries[k]);
    return steps;
}

// Why the steps must not be played, or empty text when they may: every file inside the
// folders, and no write starting further beyond the end of its file (as it will be then)
// than the log's own size. A redo may legitimately start past the end of a file that the
// unfinished transaction replaced (its undo then puts the whole old file back), but a
// log can never have seen a file larger than the file plus everything the log holds: a
// forged offset that would make a giant sparse file is refused.
std::string problemOf(const std::vector<Step>& steps, uint64_t logBytes) {
    std::map<fs::path, std::optional<uint64_t>> sizes;  // nullopt: the file is absent
    for (const Step& step : steps) {
        const Entry& e = *step.entry;
        if (!step.file)
            return "it names a file outside the data directory and the program folder (" + e.path +
                   ")";
        auto it = sizes.find(*step.file);
        if (it == sizes.end()) {
            std::error_code ec;
            uint64_t size = fs::file_size(*step.file, ec);
            it = sizes.emplace(*step.file, ec ? std::nullopt : std::optional(size)).first;
        }
        std::optional<uint64_t>& size = it->second;
        switch (e.kind) {
            case 'R':
            case 'S':
                if (!size) break;  // played only on a file that is there
                if (e.kind == 'S') {
                    size = std::min(*size, e.a);
                    break;
                }
                [[fallthrough]];
            case 'N':
                if (e.a > size.value_or(0) + logBytes)
                    return "it writes at offset " + std::to_string(e.a) + " beyond the end of " +
                           step.file->string();
                size = std::max<uint64_t>(size.value_or(0), e.a + e.data.size());
                break;
            case 'F':
            case 'W':
                size = e.data.size();
                break;
            default:
                size = std::nullopt;
        }
    }
    return {};
}

// Plays the steps (all resolved). Returns the files written.
std::set<fs::path> play(const std::vector<Step>& steps) {
    std::set<fs::path> written;
    std::map<fs::path, std::unique_ptr<platform::File>> open;
    auto fileFor = [&](const fs::path& p) -> platform::File& {
        auto& f = open[p];
        if (!f) f = std::make_unique<platform::File>(p, true);
        return *f;
    };
    for (const Step& step : steps) {
        const Entry& e = *step.entry;
        const fs::path& file = *step.file;
        std::error_code ec;
        switch (e.kind) {
            case 'N':
                fileFor(file).write(e.a, e.data);
                break;
            case 'R':
                if (fs::exists(file, ec)) fileFor(file).write(e.a, e.data);
                break;
            case 'S':
                // An undo only ever shortens a file.
                if (fs::exists(file, ec) && fileFor(file).size() > e.a) fileFor(file).truncate(e.a);
                break;
            case 'F':
            case 'W':
                open.erase(file);
                writeWhole(file, e.data, true);
                break;
            case 'X':
            case 'A':
                open.erase(file);
                fs::remove(file, ec);
                break;
            default:
                continue;
        }
        written.insert(file);
    }
    for (auto& [p, f] : open) f->sync();
    open.clear();
    std::set<fs::path> dirs;
    for (const auto& p : written) dirs.insert(p.parent_path());
    for (const auto& d : dirs) platform::syncDirectory(d);
    return written;
}

}  // namespace

Journal::Journal(fs::path logFile, const fs::path& dataDir, const fs::path& programDir)
    : path_(std::move(logFile)),
      dataDir_(normalFolder(dataDir)),
      programDir_(normalFolder(programDir)) {}

std::string Journal::entry(char kind, const fs::path& file, uint64_t a,
                           std::string_view data) const {
    std::string stored;
    if (!file.empty()) {
        fs::path p = fs::absolute(file).lexically_normal();
        if (fs::path rel = relativeInside(p, dataDir_); !rel.empty())
            stored = std::string(kDataTag) + rel.generic_string();
        else if (fs::path relp = relativeInside(p, programDir_); !relp.empty())
            stored = std::string(kProgramTag) + relp.generic_string();
        else
            stored = p.string();
    }
    return makeEntry(kind, stored, a, data);
}

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

std::vector<fs::path> Journal::recover(std::vector<std::string>& notices) {
    std::error_code ec;
    fs::path fresh = path_;
    fresh += ".new";
    fs::remove(fresh, ec);  // a checkpoint that died before its rename: the log still holds all
    if (!fs::exists(path_, ec) || fs::file_size(path_, ec) == 0) return {};
    const std::string logText = readWhole(path_);
    const std::vector<Entry> entries = parseEntries(logText);
    const std::vector<Step> steps = stepsOf(entries, dataDir_, programDir_, false);
    if (std::string problem = problemOf(steps, logText.size()); !problem.empty()) {
        // Kept for whoever can tell what it held; the folder's files stay as they are.
        fs::path aside;
        for (int n = 1; aside.empty() || fs::exists(aside, ec); ++n)
            aside = fs::path(path_.string() + ".old-" + std::to_string(n));
        file_.reset();
        fs::rename(path_, aside, ec);
        if (ec)
            throw EngineError("Cannot set aside the log " + path_.string() + ": " + ec.message());
        platform::syncDirectory(path_.parent_path());
        logSize_ = 0;
        notices.push_back("The journal " + path_.string() + " was not played: " + problem +
                          ". It was kept as " + aside.filename().string() +
                          "; the tables were left as they were found.");
        return {};
    }
    std::set<fs::path> written = play(steps);
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
        append(entry('W', file, 0, readWhole(file)), true);
    else
        append(entry('A', file, 0, {}), true);
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
            append(entry('S', file->path(), size, {}), true);
            sized_.insert(key);
        }
        std::sort(list.begin(), list.end());
        uint64_t start = 0, end = 0;
        bool open = false;
        auto save = [&](uint64_t s, uint64_t e) {
            if (s >= size) return;
            e = std::min(e, size);
            append(entry('R', file->path(), s, f->read(s, e - s)), true);
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
            append(entry('C', {}, 0, {}), false);
            syncLog();
            truncateLog();
        } else {
            for (const auto& c : carried_) {
                std::error_code ec;
                if (fs::exists(c, ec))
                    append(entry('F', c, 0, readWhole(c)), false);
                else
                    append(entry('X', c, 0, {}), false);
            }
            for (const auto& p : pending_)
                append(entry('N', p.file->path(), p.offset, p.bytes), false);
            append(entry('C', {}, 0, {}), false);
            syncLog();
            std::map<dbf::DbfFile*, std::unique_ptr<platform::File>> files;
            for (const auto& p : pending_) {
                auto& f = files[p.file];
                if (!f) f = std::make_unique<platform::File>(p.file->path(), false);
                f->write(p.offset, p.bytes);
            }
            // A file outside the folders is never played from the log: it reaches the disk now.
            for (auto& [file, f] : files) {
                fs::path p = fs::absolute(file->path()).lexically_normal();
                if (durable_ && relativeInside(p, dataDir_).empty() &&
                    relativeInside(p, programDir_).empty())
                    f->sync();
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
    const std::vector<Entry> entries = parseEntries(own);
    play(stepsOf(entries, dataDir_, programDir_, true));
    bool logged = !ownEntries_.empty();
    ownEntries_.clear();
    if (undoMode_) {
        truncateLog();
        log().sync();
    } else if (logged) {
        // Closes the segment of the undone transaction: its old contents must not be put
        // back again over later changes when the log is played.
        append(entry('C', {}, 0, {}), false);
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
