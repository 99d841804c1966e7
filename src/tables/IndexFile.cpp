// Index files: layout, checks and the test modes.
//
// Layout (little-endian):
//   0  "TVXINDEX"            8  format version      12 number of sections
//   16 table size            24 table mtime          32 record count
//   36 header length         40 header checksum      48 checksum of the sampled records
//   56 body checksum (everything from byte 64 on)
//   64 sections: field name (32 bytes, NUL padded), type, 3 spare bytes, entries, distinct
//      values, 4 spare bytes; then the keys (8 bytes each) and the records (4 bytes each).
#include "tables/IndexFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#include "tables/dbf/DbfFile.h"

namespace tvx::tables {

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[8] = {'T', 'V', 'X', 'I', 'N', 'D', 'E', 'X'};
// Changes whenever the layout or the keys change: older files are then rebuilt.
constexpr uint32_t kFormatVersion = 1;
constexpr size_t kHeaderSize = 64;
constexpr size_t kSectionHead = 48;
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

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Damage for the test mode: a byte changed, the file cut short, or the stamp moved.
void damage(std::string& bytes) {
    if (bytes.empty()) return;
    static std::mt19937_64 random(std::random_device{}());
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
        case ValueType::Number:
            return fnv(value.number().toPlainString(), 'N') | 1;
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

std::optional<std::vector<SortedIndex>> ReadIndexFile(const dbf::DbfFile& table) {
    const IndexFileMode mode = CurrentIndexFileMode();
    if (mode == IndexFileMode::Off) return std::nullopt;
    std::string bytes = readWhole(IndexFilePath(table.path()));
    if (mode == IndexFileMode::Damage) damage(bytes);
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, 8) != 0) return std::nullopt;
    const std::string_view in(bytes);
    if (get<uint32_t>(in, 8) != kFormatVersion) return std::nullopt;
    if (get<uint64_t>(in, 16) != table.diskSize() || get<int64_t>(in, 24) != table.diskMtime() ||
        get<uint32_t>(in, 32) != table.recordCount() ||
        get<uint32_t>(in, 36) != table.headerBytes().size() ||
        get<uint64_t>(in, 40) != checksum(table.headerBytes()))
        return std::nullopt;
    if (get<uint64_t>(in, 56) != checksum(in.substr(kHeaderSize))) return std::nullopt;
    if (get<uint64_t>(in, 48) != sampleChecksum(table)) return std::nullopt;

    std::vector<SortedIndex> indexes;
    const uint32_t sections = get<uint32_t>(in, 12);
    size_t at = kHeaderSize;
    for (uint32_t s = 0; s < sections; ++s) {
        if (in.size() - at < kSectionHead) return std::nullopt;
        SortedIndex idx;
        const char* name = in.data() + at;
        idx.field.assign(name, std::find(name, name + kNameSize, '\0'));
        const uint64_t entries = get<uint32_t>(in, at + 36);
        idx.distinct = get<uint32_t>(in, at + 40);
        at += kSectionHead;
        if ((in.size() - at) / 12 < entries || table.findField(idx.field) < 0) return std::nullopt;
        idx.keys.resize(entries);
        idx.records.resize(entries);
        std::memcpy(idx.keys.data(), in.data() + at, entries * 8);
        at += entries * 8;
        std::memcpy(idx.records.data(), in.data() + at, entries * 4);
        at += entries * 4;
        for (uint32_t r : idx.records)
            if (r >= table.recordCount()) return std::nullopt;
        indexes.push_back(std::move(idx));
    }
    if (at != in.size()) return std::nullopt;
    return indexes;
}

void WriteIndexFile(const dbf::DbfFile& table, const std::vector<const SortedIndex*>& indexes) {
    if (CurrentIndexFileMode() == IndexFileMode::Off || indexes.empty()) return;
    std::string body;
    for (const SortedIndex* idx : indexes) {
        std::string name = idx->field.substr(0, kNameSize - 1);
        name.resize(kNameSize, '\0');
        body += name;
        body += std::string(4, '\0');  // type and spare bytes
        put<uint32_t>(body, static_cast<uint32_t>(idx->keys.size()));
        put<uint32_t>(body, idx->distinct);
        put<uint32_t>(body, 0);
        body.append(reinterpret_cast<const char*>(idx->keys.data()), idx->keys.size() * 8);
        body.append(reinterpret_cast<const char*>(idx->records.data()), idx->records.size() * 4);
    }
    std::string out(kMagic, 8);
    put<uint32_t>(out, kFormatVersion);
    put<uint32_t>(out, static_cast<uint32_t>(indexes.size()));
    put<uint64_t>(out, table.diskSize());
    put<int64_t>(out, table.diskMtime());
    put<uint32_t>(out, table.recordCount());
    put<uint32_t>(out, static_cast<uint32_t>(table.headerBytes().size()));
    put<uint64_t>(out, checksum(table.headerBytes()));
    put<uint64_t>(out, sampleChecksum(table));
    put<uint64_t>(out, checksum(body));
    out += body;

    const fs::path target = IndexFilePath(table.path());
    fs::path temporary = target;
    temporary += ".tmp";
    std::error_code ec;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (file) file.write(out.data(), static_cast<std::streamsize>(out.size()));
        if (file) file.close();
        if (!file) {
            fs::remove(temporary, ec);
            return;
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) fs::remove(temporary, ec);
}

void RemoveIndexFile(const fs::path& tableFile) {
    std::error_code ec;
    fs::remove(IndexFilePath(tableFile), ec);
}

}  // namespace tvx::tables
