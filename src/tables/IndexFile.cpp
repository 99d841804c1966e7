// Index files: layout, checks and the test modes.
//
// Layout (little-endian):
//   0  "TVXINDEX"            8  format version      12 number of sections
//   16 table size            24 table mtime          32 record count
//   36 header length         40 header checksum      48 checksum of the sampled records
//   56 checksum of bytes 8..55 and of bytes 64 to the directory's end
//   64 records marked deleted    68 spare
//   72 directory, 64 bytes a section: field name (32 bytes, NUL padded), entries, distinct
//      values, offset of the section (8 bytes), checksum of the section (8), 8 spare bytes
//   then each section: its keys (8 bytes each), then its records (4 bytes each).
#include "tables/IndexFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#include "tables/dbf/DbfFile.h"
#include "tables/platform/File.h"

namespace tvx::tables {

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[8] = {'T', 'V', 'X', 'I', 'N', 'D', 'E', 'X'};
// Changes whenever the layout or the keys change: older files are then rebuilt.
constexpr uint32_t kFormatVersion = 3;
constexpr size_t kHeaderSize = 72;
constexpr size_t kChecksumAt = 56;
constexpr size_t kDirectoryEntry = 64;
constexpr uint32_t kMaxSections = 1024;
constexpr size_t kNameSize = 32;
// Records at each end of the table whose bytes the file's stamp covers.
constexpr uint32_t kSampledRecords = 64;

uint64_t mix(uint64_t h, uint64_t word) {
    h ^= word;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 31);
}

// A fast checksum of a byte string (eight bytes at a time).
uint64_t checksum(std::string_view bytes) {
    uint64_t h = 0x6A09E667F3BCC909ull ^ bytes.size();
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, bytes.data() + i, 8);
        h = mix(h, w);
    }
    uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    return mix(h, tail);
}

uint64_t fnv(std::string_view bytes, uint64_t seed) {
    uint64_t h = 0xCBF29CE484222325ull ^ seed;
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001B3ull;
    return h;
}

template <typename T>
void put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T>
T get(std::string_view in, size_t at) {
    T value;
    std::memcpy(&value, in.data() + at, sizeof(T));
    return value;
}

// The checksum of a header and directory: of the stamp and of everything after the checksum.
uint64_t headChecksum(std::string_view head) {
    return mix(checksum(head.substr(8, kChecksumAt - 8)), checksum(head.substr(kChecksumAt + 8)));
}

// `length` bytes of a file from `offset`; empty when it cannot give them all.
std::string readPart(const fs::path& path, uint64_t offset, uint64_t length) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<size_t>(length), '\0');
    in.seekg(static_cast<std::streamoff>(offset));
    if (in) in.read(bytes.data(), static_cast<std::streamsize>(length));
    if (!in || in.gcount() != static_cast<std::streamsize>(length)) return {};
    return bytes;
}

// The bytes of the first and last records, as the table holds them.
uint64_t sampleChecksum(const dbf::DbfFile& table) {
    const uint32_t n = table.recordCount();
    std::string bytes;
    auto take = [&](uint32_t from, uint32_t to) {
        for (uint32_t r = from; r < to; ++r) bytes += table.rawRecord(r);
    };
    take(0, std::min(n, kSampledRecords));
    take(std::max(std::min(n, kSampledRecords), n - std::min(n, kSampledRecords)), n);
    return checksum(bytes);
}


// Damage for the test mode: a byte changed, the file cut short, or the stamp moved.
void damage(std::string& bytes) {
    static std::mt19937_64 random(std::random_device{}());
    if (bytes.empty() || random() % 2 == 0) return;
    switch (random() % 3) {
        case 0:
            bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
            break;
        case 1:
            bytes.resize(random() % bytes.size());
            break;
        default:
            if (bytes.size() >= 32) bytes[24 + random() % 8] ^= 0x10;
            break;
    }
}

}  // namespace

fs::path IndexFilePath(const fs::path& tableFile) {
    fs::path p = tableFile;
    p.replace_extension(kIndexFileExtension);
    return p;
}

uint64_t IndexKey(const Value& value) {
    switch (value.type()) {
        case ValueType::Null:
            return 0;
        case ValueType::Date:
            return (uint64_t{1} << 63) + static_cast<uint64_t>(
                                             static_cast<int64_t>(value.date().dayNumber()));
        case ValueType::Text: {
            std::string_view t = value.text();
            while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
            return fnv(t, 'T') | 1;
        }
        case ValueType::Number: {
            // The value without trailing zeros: 1.5 and 1.50 are one key.
            const Decimal n = value.number().normalized();
            const auto units = static_cast<unsigned __int128>(n.units());
            const uint64_t words[3] = {static_cast<uint64_t>(units),
                                       static_cast<uint64_t>(units >> 64),
                                       static_cast<uint64_t>(n.scale())};
            return fnv(std::string_view(reinterpret_cast<const char*>(words), sizeof words), 'N') |
                   1;
        }
        case ValueType::Logical:
            return value.logical() ? 3 : 5;
    }
    return 0;
}

IndexFileMode CurrentIndexFileMode() {
    static const IndexFileMode mode = [] {
        const char* v = std::getenv("TVX_INDEX_FILES");
        if (!v) return IndexFileMode::Normal;
        std::string s(v);
        if (s == "off") return IndexFileMode::Off;
        if (s == "damage") return IndexFileMode::Damage;
        return IndexFileMode::Normal;
    }();
    return mode;
}

std::optional<IndexFileReader> IndexFileReader::open(const dbf::DbfFile& table) {
    const IndexFileMode mode = CurrentIndexFileMode();
    if (mode == IndexFileMode::Off) return std::nullopt;
    IndexFileReader reader;
    reader.path_ = IndexFilePath(table.path());
    std::error_code ec;
    reader.fileSize_ = fs::file_size(reader.path_, ec);
    if (ec || reader.fileSize_ < kHeaderSize) return std::nullopt;
    std::string head = readPart(reader.path_, 0, kHeaderSize);
    if (head.size() != kHeaderSize || std::memcmp(head.data(), kMagic, 8) != 0) return std::nullopt;
    const uint32_t sections = get<uint32_t>(head, 12);
    if (get<uint32_t>(head, 8) != kFormatVersion || sections > kMaxSections ||
        reader.fileSize_ < kHeaderSize + uint64_t{sections} * kDirectoryEntry)
        return std::nullopt;
    head += readPart(reader.path_, kHeaderSize, uint64_t{sections} * kDirectoryEntry);
    if (mode == IndexFileMode::Damage) damage(head);
    const std::string_view in(head);
    if (in.size() != kHeaderSize + size_t{sections} * kDirectoryEntry ||
        get<uint64_t>(in, kChecksumAt) != headChecksum(in))
        return std::nullopt;
    if (get<uint64_t>(in, 16) != table.diskSize() || get<int64_t>(in, 24) != table.diskMtime() ||
        get<uint32_t>(in, 32) != table.recordCount() ||
        get<uint32_t>(in, 36) != table.headerBytes().size() ||
        get<uint64_t>(in, 40) != checksum(table.headerBytes()) ||
        get<uint64_t>(in, 48) != sampleChecksum(table))
        return std::nullopt;
    reader.recordCount_ = table.recordCount();
    reader.deleted_ = get<uint32_t>(in, 64);
    if (reader.deleted_ != kUnknownCount && reader.deleted_ > reader.recordCount_)
        return std::nullopt;
    for (uint32_t i = 0; i < sections; ++i) {
        const size_t at = kHeaderSize + size_t{i} * kDirectoryEntry;
        Section section;
        const char* name = in.data() + at;
        section.field.assign(name, std::find(name, name + kNameSize, '\0'));
        section.entries = get<uint32_t>(in, at + 32);
        section.distinct = get<uint32_t>(in, at + 36);
        section.offset = get<uint64_t>(in, at + 40);
        section.checksum = get<uint64_t>(in, at + 48);
        if (section.offset > reader.fileSize_ ||
            (reader.fileSize_ - section.offset) / 12 < section.entries)
            return std::nullopt;
        reader.sections_.push_back(std::move(section));
    }
    return reader;
}

std::vector<std::string> IndexFileReader::fields() const {
    std::vector<std::string> out;
    for (const Section& s : sections_) out.push_back(s.field);
    return out;
}

std::optional<SortedIndex> IndexFileReader::read(std::string_view field) const {
    auto it = std::find_if(sections_.begin(), sections_.end(),
                           [&](const Section& s) { return s.field == field; });
    if (it == sections_.end()) return std::nullopt;
    std::string bytes = readPart(path_, it->offset, uint64_t{it->entries} * 12);
    if (CurrentIndexFileMode() == IndexFileMode::Damage) damage(bytes);
    if (bytes.size() != size_t{it->entries} * 12 || checksum(bytes) != it->checksum)
        return std::nullopt;
    SortedIndex idx;
    idx.field = it->field;
    idx.distinct = it->distinct;
    idx.keys.resize(it->entries);
    idx.records.resize(it->entries);
    std::memcpy(idx.keys.data(), bytes.data(), size_t{it->entries} * 8);
    std::memcpy(idx.records.data(), bytes.data() + size_t{it->entries} * 8,
                size_t{it->entries} * 4);
    for (uint32_t r : idx.records)
        if (r >= recordCount_) return std::nullopt;
    return idx;
}

void WriteIndexFile(const dbf::DbfFile& table, const std::vector<const SortedIndex*>& indexes,
                    uint32_t deleted) {
    if (CurrentIndexFileMode() == IndexFileMode::Off) return;
    if ((indexes.empty() && deleted == kUnknownCount) || indexes.size() > kMaxSections) return;
    std::string out(kMagic, 8);
    put<uint32_t>(out, kFormatVersion);
    put<uint32_t>(out, static_cast<uint32_t>(indexes.size()));
    put<uint64_t>(out, table.diskSize());
    put<int64_t>(out, table.diskMtime());
    put<uint32_t>(out, table.recordCount());
    put<uint32_t>(out, static_cast<uint32_t>(table.headerBytes().size()));
    put<uint64_t>(out, checksum(table.headerBytes()));
    put<uint64_t>(out, sampleChecksum(table));
    put<uint64_t>(out, 0);  // the checksum, below
    put<uint32_t>(out, deleted);
    put<uint32_t>(out, 0);
    std::string body;
    uint64_t offset = kHeaderSize + indexes.size() * kDirectoryEntry;
    for (const SortedIndex* idx : indexes) {
        std::string section;
        section.append(reinterpret_cast<const char*>(idx->keys.data()), idx->keys.size() * 8);
        section.append(reinterpret_cast<const char*>(idx->records.data()),
                       idx->records.size() * 4);
        std::string name = idx->field.substr(0, kNameSize - 1);
        name.resize(kNameSize, '\0');
        out += name;
        put<uint32_t>(out, static_cast<uint32_t>(idx->keys.size()));
        put<uint32_t>(out, idx->distinct);
        put<uint64_t>(out, offset);
        put<uint64_t>(out, checksum(section));
        put<uint64_t>(out, 0);
        offset += section.size();
        body += section;
    }
    const uint64_t sum = headChecksum(out);
    std::memcpy(out.data() + kChecksumAt, &sum, sizeof sum);
    out += body;

    // A failure only leaves the table without an index file: it is a cache.
    platform::replaceWhole(IndexFilePath(table.path()), out);
}

void RemoveIndexFile(const fs::path& tableFile) {
    std::error_code ec;
    fs::remove(IndexFilePath(tableFile), ec);
}

}  // namespace tvx::tables
