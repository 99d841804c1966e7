// Writing, checking and restoring backup archives of the data directory with zlib.
#include "core/admin/Backup.h"

#include <zlib.h>

#include <fstream>
#include <limits>
#include <system_error>

#include "core/common/AtomicFile.h"
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

// Reads the archive entry by entry; `sink` gets each entry's file name and size and returns
// the stream its data goes to (null to only check it).
template <typename Sink>
std::vector<ArchiveEntryInfo> ReadEntries(const fs::path& archive, const BackupProgress& progress,
                                          Sink&& sink) {
    ArchiveReader reader(archive);
    const auto count = static_cast<int32_t>(reader.readU32("the file count"));
    if (count < 0) reader.damaged("its file count is negative");
    std::vector<ArchiveEntryInfo> entries;
    for (int32_t i = 0; i < count; ++i) {
        const std::string what = "entry " + std::to_string(i + 1);
        const uint32_t nameLength = reader.readU32("the name length of " + what);
        if (nameLength > kMaxNameLength) reader.damaged("the name of " + what + " is too long");
        const std::string name = reader.readBytes(nameLength, "the name of " + what);
        const std::string prefix = name.substr(0, 5);
        std::string fileName = name.substr(std::min<size_t>(5, name.size()));
        if (tables::toUpperAscii(prefix) != "DATA\\" || fileName.empty() || fileName == "." ||
            fileName == ".." || fileName.find_first_of("\\/:") != std::string::npos ||
            fileName.find('\0') != std::string::npos)
            reader.damaged(what + " is named \"" + name + "\", not a file of the data directory");
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

}  // namespace

std::vector<fs::path> ListDataFiles(const fs::path& dataDir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dataDir, ec)) {
        std::error_code entryError;
        if (!entry.is_regular_file(entryError)) continue;
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

void SaveArchive(const fs::path& dataDir, const fs::path& archive, const BackupProgress& progress) {
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
                    const BackupProgress& progress) {
    const fs::path parent = dataDir.parent_path();
    const std::string base = dataDir.filename().string();
    const fs::path staging = parent / (base + ".restore");
    const fs::path previous = parent / (base + ".previous");
    std::error_code ec;
    if (fs::exists(previous, ec) && !fs::is_empty(previous, ec))
        throw EngineError("An earlier restore was interrupted; the data it replaced is in " +
                          previous.string() + ". Move it away before restoring again");

    // 1. Unpack into a folder beside the data directory; a damaged archive stops here.
    RemoveAll(staging);
    fs::create_directories(staging, ec);
    if (ec) throw EngineError("Cannot create the folder " + staging.string() + ": " + ec.message());
    std::vector<ArchiveEntryInfo> entries;
    try {
        std::ofstream out;
        entries = ReadEntries(archive, progress, [&](const std::string& name, uint32_t) {
            if (out.is_open()) out.close();
            out.open(staging / name, std::ios::binary | std::ios::trunc);
            if (!out) throw EngineError("Cannot write the file " + (staging / name).string());
            return static_cast<std::ostream*>(&out);
        });
        out.close();
        if (!out) throw EngineError("Cannot write the restored files in " + staging.string());
    } catch (...) {
        RemoveAll(staging);
        throw;
    }

    // 2. Move the current files aside, then the restored ones in; undo both on a failure.
    fs::create_directories(previous, ec);
    std::vector<std::string> setAside;
    std::vector<std::string> placed;
    try {
        if (ec) throw EngineError("Cannot create the folder " + previous.string());
        for (const auto& entry : fs::directory_iterator(dataDir)) {
            if (!entry.is_regular_file() || SameFile(entry.path(), archive)) continue;
            const std::string name = entry.path().filename().string();
            fs::rename(entry.path(), previous / name);
            setAside.push_back(name);
        }
        for (const auto& entry : fs::directory_iterator(staging)) {
            const std::string name = entry.path().filename().string();
            fs::rename(entry.path(), dataDir / name);
            placed.push_back(name);
        }
    } catch (const std::exception& error) {
        for (const std::string& name : placed) fs::remove(dataDir / name, ec);
        for (const std::string& name : setAside) fs::rename(previous / name, dataDir / name, ec);
        RemoveAll(staging);
        if (fs::is_empty(previous, ec)) RemoveAll(previous);
        throw EngineError("Cannot put the restored files into " + dataDir.string() + ": " +
                          error.what() + "; the current data was kept");
    }
    RemoveAll(previous);
    RemoveAll(staging);
}

}  // namespace tvx::core
