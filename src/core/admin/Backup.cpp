// Writing, checking and restoring backup archives of the data directory with zlib.
#include "core/admin/Backup.h"

#include <zlib.h>

#include <fstream>
#include <limits>
#include <set>
#include <string_view>
#include <system_error>

#include "core/admin/RestoreSwap.h"
#include "core/common/AtomicFile.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::EngineError;

namespace {

constexpr size_t kChunk = 1 << 16;
constexpr uint32_t kMaxNameLength = 4096;
constexpr const char* kNamePrefix = "Data\\";

void PutU32(std::ostream& out, uint32_t value) {
    const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                           static_cast<char>((value >> 16) & 0xFF),
                           static_cast<char>((value >> 24) & 0xFF)};
    out.write(bytes, 4);
}

// Appends `data` to `out` as one complete zlib stream at the highest level.
void Deflate(const std::string& data, std::ostream& out, const fs::path& file) {
    z_stream stream{};
    if (deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK)
        throw EngineError("Cannot start compressing " + file.string());
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string chunk(kChunk, '\0');
    int result = Z_OK;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        result = deflate(&stream, Z_FINISH);
        if (result == Z_STREAM_ERROR) break;
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size() - stream.avail_out));
    } while (result != Z_STREAM_END);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw EngineError("Cannot compress " + file.string());
}

// Sequential reader of an archive that knows where each zlib stream ends.
class ArchiveReader {
  public:
    explicit ArchiveReader(const fs::path& archive)
        : path_(archive), in_(archive, std::ios::binary) {
        if (!in_) throw EngineError("Cannot open the backup archive " + archive.string());
    }

    [[noreturn]] void damaged(const std::string& detail) const {
        throw EngineError("The backup archive " + path_.string() + " is damaged: " + detail);
    }
    [[noreturn]] void refused(const std::string& detail) const {
        throw EngineError("The backup archive " + path_.string() +
                          " cannot be restored: " + detail);
    }

    uint32_t readU32(const std::string& what) {
        const std::string bytes = readBytes(4, what);
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[0])) |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[2])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[3])) << 24;
    }

    std::string readBytes(size_t count, const std::string& what) {
        std::string out;
        while (out.size() < count) {
            if (pos_ == len_ && !fill()) damaged("it ends inside " + what);
            const size_t take = std::min(count - out.size(), len_ - pos_);
            out.append(buffer_.data() + pos_, take);
            pos_ += take;
        }
        return out;
    }

    // Inflates one zlib stream that must give exactly `size` bytes; `out` may be null.
    void inflateEntry(uint32_t size, std::ostream* out, const std::string& what) {
        z_stream stream{};
        if (inflateInit(&stream) != Z_OK) damaged("cannot start reading " + what);
        std::string chunk(kChunk, '\0');
        uint64_t total = 0;
        int result = Z_OK;
        try {
            while (result != Z_STREAM_END) {
                if (pos_ == len_ && !fill()) damaged("it ends inside " + what);
                stream.next_in = reinterpret_cast<Bytef*>(buffer_.data() + pos_);
                stream.avail_in = static_cast<uInt>(len_ - pos_);
                stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
                stream.avail_out = static_cast<uInt>(chunk.size());
                result = inflate(&stream, Z_NO_FLUSH);
                if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
                    damaged("the data of " + what + " cannot be read (" +
                            (stream.msg ? stream.msg : zError(result)) + ")");
                pos_ = len_ - stream.avail_in;
                const size_t produced = chunk.size() - stream.avail_out;
                total += produced;
                if (total > size) damaged(what + " holds more than its stored size");
                if (out && produced > 0) {
                    out->write(chunk.data(), static_cast<std::streamsize>(produced));
                    if (!*out) throw EngineError("Cannot write the restored file of " + what);
                }
            }
        } catch (...) {
            inflateEnd(&stream);
            throw;
        }
        inflateEnd(&stream);
        if (total != size)
            damaged(what + " holds " + std::to_string(total) + " bytes instead of " +
                    std::to_string(size));
    }

    bool atEnd() { return pos_ == len_ && !fill(); }

  private:
    bool fill() {
        in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        len_ = static_cast<size_t>(in_.gcount());
        pos_ = 0;
        if (in_.bad()) throw EngineError("Cannot read the backup archive " + path_.string());
        return len_ > 0;
    }

    fs::path path_;
    std::ifstream in_;
    std::string buffer_ = std::string(kChunk, '\0');
    size_t pos_ = 0;
    size_t len_ = 0;
};

// Why an entry's file name cannot come back into the data directory; empty when it can.
// Names that could leave the folder or that Windows refuses, and the files the program keeps
// for itself: the engine's journal would be played on the next start, the marker would pass
// a half-written restore for a complete one.
std::string NameProblem(const std::string& fileName) {
    if (fileName.empty() || fileName == "." || fileName == "..") return "is not a file name";
    for (const char c : fileName)
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return "is not a file of the data directory";
    const std::string upper = tables::toUpperAscii(fileName);
    if (upper.starts_with(tables::toUpperAscii(tables::kJournalFileName)))
        return "is the table engine's journal, which no backup holds";
    if (upper == tables::toUpperAscii(kRestoreMarkerName))
        return "is the marker of a restore, which no backup holds";
    return {};
}

// Reads the archive entry by entry; `sink` gets each entry's file name and size and returns
// the stream its data goes to (null to only check it). Every name is checked before its data
// is read.
template <typename Sink>
std::vector<ArchiveEntryInfo> ReadEntries(const fs::path& archive, const BackupProgress& progress,
                                          Sink&& sink) {
    ArchiveReader reader(archive);
    const auto count = static_cast<int32_t>(reader.readU32("the file count"));
    if (count < 0) reader.damaged("its file count is negative");
    std::vector<ArchiveEntryInfo> entries;
    std::set<std::string> seen;  // upper-case: one file whatever the case on Windows
    for (int32_t i = 0; i < count; ++i) {
        const std::string what = "entry " + std::to_string(i + 1);
        const uint32_t nameLength = reader.readU32("the name length of " + what);
        if (nameLength > kMaxNameLength) reader.damaged("the name of " + what + " is too long");
        const std::string name = reader.readBytes(nameLength, "the name of " + what);
        const std::string prefix = name.substr(0, 5);
        std::string fileName = name.substr(std::min<size_t>(5, name.size()));
        if (tables::toUpperAscii(prefix) != "DATA\\")
            reader.damaged(what + " is named \"" + name + "\", not a file of the data directory");
        if (const std::string problem = NameProblem(fileName); !problem.empty())
            reader.refused(what + " is named \"" + name + "\", which " + problem);
        if (!seen.insert(tables::toUpperAscii(fileName)).second)
            reader.refused(what + " repeats the file " + fileName);
        const uint32_t size = reader.readU32("the size of " + what);
        if (progress) progress(i + 1, count);
        std::ostream* out = sink(fileName, size);
        reader.inflateEntry(size, out, what + " (" + fileName + ")");
        entries.push_back({fileName, size});
    }
    if (!reader.atEnd()) reader.damaged("there are bytes after its last entry");
    return entries;
}

void RemoveAll(const fs::path& folder) {
    std::error_code ec;
    fs::remove_all(folder, ec);
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// The engine's journal and lock, its half-written tables and a restore's marker: files of
// one moment of a run, never part of a backup.
bool KeptOutOfArchives(const std::string& fileName) {
    const std::string upper = tables::toUpperAscii(fileName);
    return upper.starts_with(tables::toUpperAscii(tables::kJournalFileName)) ||
           upper == tables::toUpperAscii(tables::kLockFileName) ||
           upper.ends_with(".DBF.TMP") || upper == tables::toUpperAscii(kRestoreMarkerName) ||
           // The tables' index files: caches, rebuilt from the tables restored.
           upper.ends_with(".TVI") || upper.ends_with(".TVI.TMP");
}

}  // namespace

std::vector<fs::path> ListDataFiles(const fs::path& dataDir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dataDir, ec)) {
        std::error_code entryError;
        if (!entry.is_regular_file(entryError)) continue;
        if (KeptOutOfArchives(entry.path().filename().string())) continue;
        if (entry.file_size(entryError) > 0 && !entryError) files.push_back(entry.path());
    }
    if (ec) throw EngineError("Cannot list the data directory " + dataDir.string());
    return files;
}

Message ReplaceArchiveQuestion(const fs::path& archive) {
    return {"Atentionare", "Vreti sa inlocuiti salvarea " + archive.string() + "?",
            MessageKind::Warning};
}

Message SaveDoneNotice() {
    return {"Informatie", "Salvare incheiata cu succes !", MessageKind::Information};
}

void SaveArchive(tables::Database& db, const fs::path& archive, const BackupProgress& progress) {
    db.checkpoint();  // the table files hold every committed change; refused inside a transaction
    const fs::path& dataDir = db.dataDir();
    std::vector<fs::path> files = ListDataFiles(dataDir);
    std::erase_if(files, [&](const fs::path& f) { return SameFile(f, archive); });
    if (files.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw EngineError("Too many files in " + dataDir.string());
    fs::path temp = archive;
    temp += ".part";
    try {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw EngineError("Cannot write the backup archive " + temp.string());
        const int count = static_cast<int>(files.size());
        PutU32(out, static_cast<uint32_t>(count));
        for (int i = 0; i < count; ++i) {
            if (progress) progress(i, count);
            const std::optional<std::string> content = ReadWholeFile(files[i]);
            if (!content) throw EngineError("The file " + files[i].string() + " disappeared");
            const std::string& data = *content;
            if (data.size() > std::numeric_limits<uint32_t>::max())
                throw EngineError("The file " + files[i].string() + " is too large to save");
            const std::string name = kNamePrefix + files[i].filename().string();
            PutU32(out, static_cast<uint32_t>(name.size()));
            out.write(name.data(), static_cast<std::streamsize>(name.size()));
            PutU32(out, static_cast<uint32_t>(data.size()));
            Deflate(data, out, files[i]);
            if (!out) throw EngineError("Cannot write the backup archive " + temp.string());
        }
        out.close();
        if (!out) throw EngineError("Cannot write the backup archive " + temp.string());
        std::error_code ec;
        fs::rename(temp, archive, ec);
        if (ec)
            throw EngineError("Cannot replace the backup archive " + archive.string() + ": " +
                              ec.message());
    } catch (...) {
        std::error_code ec;
        fs::remove(temp, ec);
        throw;
    }
}

std::optional<Message> MissingArchiveProblem(const fs::path& archive) {
    std::error_code ec;
    if (fs::is_regular_file(archive, ec)) return std::nullopt;
    return Message{"Eroare", "Salvarea " + archive.string() + " nu exista !", MessageKind::Error};
}

Message RestoreQuestion() {
    return {"Incarcare date",
            "ATENTIE !!\rSe vor sterge DEFINITIV datele actuale si vor fi inlocuite\rcu cele "
            "indicate de dvs!\rContinuam restaurarea ?",
            MessageKind::Warning};
}

Message RestoreDoneNotice() {
    return {"Informatie",
            "Restaurare incheiata cu succes !\r\nVa rog sa porniti programul din nou !",
            MessageKind::Information};
}

std::vector<ArchiveEntryInfo> CheckArchive(const fs::path& archive) {
    return ReadEntries(archive, {},
                       [](const std::string&, uint32_t) -> std::ostream* { return nullptr; });
}

void RestoreArchive(const fs::path& dataDir, const fs::path& archive,
                    const BackupProgress& progress, const RestoreStepHook& afterStep) {
    const auto goOn = [&](RestoreStep step) { return !afterStep || afterStep(step); };
    const fs::path staging = RestoreFolder(dataDir);
    // Start-up puts an interrupted restore right, so these folders are not the program's:
    // they are left to the user rather than deleted.
    for (const fs::path& folder : {staging, PreviousFolder(dataDir)}) {
        std::error_code ec;
        if (fs::exists(fs::symlink_status(folder, ec)))
            throw EngineError("The folder " + folder.string() +
                              " is in the way of the restore; move it elsewhere and restore "
                              "again. Nothing was changed");
    }
    // Subfolders stay in the data directory, and so does the archive when it lies there: no
    // restored file may take one of their names.
    std::set<std::string> taken;
    std::vector<std::string> keep;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dataDir, ec)) {
        std::error_code entryError;
        if (entry.is_directory(entryError))
            taken.insert(tables::toUpperAscii(entry.path().filename().string()));
        else if (SameFile(entry.path(), archive))
            keep.push_back(entry.path().filename().string());
    }
    if (ec) throw EngineError("Cannot list the data directory " + dataDir.string());
    for (const std::string& name : keep) taken.insert(tables::toUpperAscii(name));

    // 1. Unpack into a folder beside the data directory, check, mark complete; a damaged
    // archive stops here with the data directory untouched.
    try {
        StartRestoreFolder(dataDir);
        std::ofstream out;
        const auto closeFile = [&] {
            if (!out.is_open()) return;
            out.close();
            if (!out) throw EngineError("Cannot write the restored files in " + staging.string());
        };
        ReadEntries(archive, progress, [&](const std::string& name, uint32_t) {
            if (taken.count(tables::toUpperAscii(name)))
                throw EngineError("The backup archive " + archive.string() + " holds the file " +
                                  name + ", whose name is taken in " + dataDir.string() +
                                  " by a folder or by the archive itself. Nothing was changed");
            closeFile();
            out.open(staging / name, std::ios::binary | std::ios::trunc);
            if (!out) throw EngineError("Cannot write the file " + (staging / name).string());
            return static_cast<std::ostream*>(&out);
        });
        closeFile();
        if (!goOn(RestoreStep::Unpacked)) return;
        MarkRestoreComplete(dataDir, keep);
    } catch (...) {
        RemoveAll(staging);
        throw;
    }
    if (!goOn(RestoreStep::Marked)) return;

    // 2. The swap; before the restored folder takes the data directory's name it can be
    // undone, after that the restored data stands.
    try {
        if (!FinishRestore(dataDir, afterStep)) return;
    } catch (const std::exception& error) {
        if (!fs::exists(staging, ec))
            throw EngineError(std::string("The restored files are in place, but: ") + error.what());
        try {
            UndoRestore(dataDir);
        } catch (const std::exception& undoError) {
            throw EngineError("Cannot put the restored files into " + dataDir.string() + ": " +
                              error.what() + "; the next start finishes the restore (" +
                              undoError.what() + ")");
        }
        throw EngineError("Cannot put the restored files into " + dataDir.string() + ": " +
                          error.what() + "; the current data was kept");
    }
    if (fs::exists(PreviousFolder(dataDir), ec))
        throw EngineError("The restored files are in place; " + PreviousFolder(dataDir).string() +
                          " was kept, as restored files took names of its content");
}

}  // namespace tvx::core
