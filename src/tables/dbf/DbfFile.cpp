// Reading, validating and writing dBase table files. Two header layouts exist: the
// 32-byte header with 32-byte field descriptors (III, IV) and the 68-byte header with
// 48-byte descriptors (level 7). Small changes are written in place through writeAt;
// whole-file changes (create, pack, layout change) build the new image in memory and
// swap it in through a temporary file and a rename, so a failure never leaves half a file.
#include "tables/dbf/DbfFile.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <system_error>

#include "tables/EngineError.h"
#include "tables/platform/File.h"

namespace tvx::tables::dbf {

namespace fs = std::filesystem;

namespace {

constexpr char kTerminator = 0x0D;
constexpr char kEndMark = 0x1A;
constexpr uint8_t kLdidWindows1250 = 0xC8;
constexpr uint8_t kLdidWindowsAnsi = 0x57;  // the id that goes with "DBWINUS0"
constexpr char kLevel7DriverName[] = "DBWINUS0";

// Header offsets shared by both layouts.
constexpr std::size_t kDateAt = 1;
constexpr std::size_t kCountAt = 4;
constexpr std::size_t kHeaderLengthAt = 8;
constexpr std::size_t kRecordLengthAt = 10;
constexpr std::size_t kMdxFlagAt = 28;
constexpr std::size_t kLdidAt = 29;
constexpr std::size_t kDriverNameAt = 32;  // level 7, 32 bytes
constexpr std::size_t kDriverNameSize = 32;
// How much of a file is read for its header.
constexpr std::streamoff kHeadRead = 128 * 1024;

struct Layout {
    bool level7;
    std::size_t fixedSize;       // header bytes before the first field descriptor
    std::size_t descriptorSize;  // bytes per field descriptor
    std::size_t nameSize;        // name bytes in a descriptor, NUL padded
    std::size_t typeAt, widthAt, decimalsAt;
    std::size_t maxFields;
    int maxRecordLength;
};

constexpr Layout kLayout3{false, 32, 32, 11, 11, 16, 17, 255, 4000};
constexpr Layout kLayout7{true, 68, 48, 32, 32, 33, 34, 1024, 32767};

const Layout& layoutFor(bool level7) {
    return level7 ? kLayout7 : kLayout3;
}

[[noreturn]] void fail(const std::string& what, const fs::path& path) {
    throw EngineError(what + ": " + path.string());
}

[[noreturn]] void damaged(const std::string& why, const fs::path& path) {
    fail("Damaged table file (" + why + ")", path);
}

uint8_t byteAt(std::string_view data, std::size_t at) {
    return static_cast<uint8_t>(data[at]);
}

uint32_t readLe(std::string_view data, std::size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | byteAt(data, at + i);
    return value;
}

void writeLe(std::string& out, std::size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Today's local date as the three header bytes (years since 1900, month, day).
std::string todayBytes() {
    static std::mutex mutex;  // std::localtime shares one buffer
    std::lock_guard<std::mutex> lock(mutex);
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    std::string bytes(3, '\0');
    if (local) {
        bytes[0] = static_cast<char>(std::clamp(local->tm_year, 0, 255));
        bytes[1] = static_cast<char>(local->tm_mon + 1);
        bytes[2] = static_cast<char>(local->tm_mday);
    }
    return bytes;
}

// Bytes 1..7 of a header: today's date and the record count.
std::string dateAndCount(uint32_t count) {
    std::string bytes = todayBytes() + std::string(4, '\0');
    writeLe(bytes, 3, count, 4);
    return bytes;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && upper(a) == upper(b);
}

bool isPlainName(const std::string& name) {
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

// Checks a field list for a new layout. `carried` tells whether a field is kept unchanged
// from an existing file: such fields may have any type the file already had.
void checkFields(std::vector<FieldDescriptor>& fields, const Layout& layout, const fs::path& path,
                 const std::function<bool(const FieldDescriptor&)>& carried) {
    auto bad = [&](const FieldDescriptor& f, const std::string& why) {
        fail("Bad field " + (f.name.empty() ? std::string("(no name)") : f.name) + " (" + why +
                 ") for table file",
             path);
    };
    if (fields.empty()) fail("A table needs at least one field; table file", path);
    if (fields.size() > layout.maxFields) {
        fail("Too many fields (" + std::to_string(fields.size()) + ", at most " +
                 std::to_string(layout.maxFields) + ") for table file",
             path);
    }
    const std::size_t maxName = layout.nameSize - 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        FieldDescriptor& f = fields[i];
        f.name = upper(f.name);
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(f.type)));
        for (std::size_t j = 0; j < i; ++j) {
            if (fields[j].name == f.name) bad(f, "name used twice");
        }
        if (f.name.empty() || f.name.size() > maxName) {
            bad(f, "a name has 1 to " + std::to_string(maxName) + " characters");
        }
        if (carried(f)) {
            if (f.width < 1 || f.width > 255) bad(f, "width " + std::to_string(f.width));
            continue;
        }
        if (!isPlainName(f.name)) bad(f, "a name is a letter followed by letters, digits or _");
        const std::string width = std::to_string(f.width);
        switch (f.type) {
            case 'C':
                if (f.width < 1 || f.width > 254)
                    bad(f, "character width " + width + ", not 1..254");
                if (f.decimals != 0) bad(f, "a character field has no decimals");
                break;
            case 'N':
                if (f.width < 1 || f.width > 20) bad(f, "numeric width " + width + ", not 1..20");
                if (f.decimals < 0 || (f.decimals > 0 && f.decimals >= f.width - 1)) {
                    bad(f, std::to_string(f.decimals) + " decimals do not fit width " + width);
                }
                break;
            case 'D':
                if (f.width != 8) bad(f, "a date field has width 8, not " + width);
                if (f.decimals != 0) bad(f, "a date field has no decimals");
                break;
            default:
                bad(f, std::string("type '") + f.type + "' cannot be created, only C, N and D");
        }
    }
    const int recordLength = DbfFile::layoutFields(fields);
    if (recordLength > layout.maxRecordLength) {
        fail("Records of " + std::to_string(recordLength) + " bytes are too long (at most " +
                 std::to_string(layout.maxRecordLength) + ") for table file",
             path);
    }
}

// One field descriptor. `previous` (may be empty) is the descriptor the field had in the
// old layout: its reserved bytes (index flags, next autoincrement value) are kept.
std::string encodeDescriptor(const Layout& layout, const FieldDescriptor& f,
                             std::string_view previous) {
    std::string d = previous.size() == layout.descriptorSize
                        ? std::string(previous)
                        : std::string(layout.descriptorSize, '\0');
    std::fill_n(d.begin(), layout.nameSize, '\0');
    std::copy(f.name.begin(), f.name.end(), d.begin());
    d[layout.typeAt] = f.type;
    d[layout.widthAt] = static_cast<char>(f.width);
    d[layout.decimalsAt] = static_cast<char>(f.decimals);
    if (!layout.level7) writeLe(d, 12, 0, 4);  // in-memory address some writers leave here
    return d;
}

// A whole header: `fixed` (the bytes before the descriptors) with date, count and lengths
// set, then the descriptors and the terminator.
std::string buildHeader(std::string fixed, const Layout& layout,
                        const std::vector<FieldDescriptor>& fields, uint32_t count,
                        const std::function<std::string_view(const FieldDescriptor&)>& previous,
                        const fs::path& path) {
    std::string header = std::move(fixed);
    for (const FieldDescriptor& f : fields) header += encodeDescriptor(layout, f, previous(f));
    header += kTerminator;
    if (header.size() > 0xFFFF) fail("Too many fields for table file", path);
    int recordLength = 1;
    for (const FieldDescriptor& f : fields) recordLength += f.width;
    const std::string dc = dateAndCount(count);
    std::copy(dc.begin(), dc.end(), header.begin() + kDateAt);
    writeLe(header, kHeaderLengthAt, static_cast<uint32_t>(header.size()), 2);
    writeLe(header, kRecordLengthAt, static_cast<uint32_t>(recordLength), 2);
    return header;
}

// Reads records of a table file for its image. The file is opened for each read, so no
// handle is kept between statements (a table may be replaced or removed meanwhile; an image
// shared with a reader has read, before any change of the file, every chunk it may need).
class FileChunkSource final : public ChunkSource {
  public:
    FileChunkSource(fs::path path, int headerLength, int recordLength)
        : path_(std::move(path)), headerLength_(headerLength), recordLength_(recordLength) {}

    void readRecords(uint32_t first, char* out, size_t length) const override {
        std::ifstream in(path_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(headerLength_) +
                 static_cast<std::streamoff>(first) * recordLength_);
        if (in) in.read(out, static_cast<std::streamsize>(length));
        if (!in || in.gcount() != static_cast<std::streamsize>(length))
            fail("Cannot read table file", path_);
    }

  private:
    fs::path path_;
    int headerLength_;
    int recordLength_;
};

}  // namespace

std::unique_ptr<DbfFile> DbfFile::open(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) fail("Table file not found", path);
    if (!fs::is_regular_file(status)) fail("Not a dBase table file", path);

    std::unique_ptr<DbfFile> file(new DbfFile());
    file->path_ = path;
    file->rememberDiskState();  // before reading: a change in between reads as "changed"
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("Cannot read table file", path);
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length < 0) fail("Cannot read table file", path);
    in.seekg(0, std::ios::beg);
    // The header only (its length field allows at most 64 KiB, the descriptors' walk looks
    // a little further in a damaged file); the records come later, as they are needed.
    std::string head(static_cast<std::size_t>(std::min<std::streamoff>(length, kHeadRead)), '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (in.gcount() != static_cast<std::streamsize>(head.size()))
        fail("Cannot read table file", path);
    file->parseHeader(head, static_cast<uint64_t>(length));
    file->store_ = std::make_shared<RecordImage>(
        file->header_.recordLength, file->recordCount_,
        std::make_shared<FileChunkSource>(path, file->header_.headerLength,
                                          file->header_.recordLength));
    return file;
}

std::unique_ptr<DbfFile> DbfFile::create(const fs::path& path, std::vector<FieldDescriptor> fields,
                                         DbfLevel level) {
    const Layout& layout = layoutFor(level == DbfLevel::Level7);
    checkFields(fields, layout, path, [](const FieldDescriptor&) { return false; });
    std::error_code ec;
    if (fs::exists(path, ec)) fail("Table file already exists", path);
    const fs::path folder = path.parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec)) fail("Folder not found for table", path);

    std::string fixed(layout.fixedSize, '\0');
    if (layout.level7) {
        fixed[0] = 0x04;
        fixed[kLdidAt] = static_cast<char>(kLdidWindowsAnsi);
        std::copy_n(kLevel7DriverName, sizeof kLevel7DriverName - 1, fixed.begin() + kDriverNameAt);
    } else {
        fixed[0] = 0x03;
        fixed[kLdidAt] = static_cast<char>(kLdidWindows1250);
    }
    std::string image = buildHeader(
        std::move(fixed), layout, fields, 0,
        [](const FieldDescriptor&) { return std::string_view(); }, path);
    image += kEndMark;

    std::unique_ptr<DbfFile> file(new DbfFile());
    file->path_ = path;
    file->replaceFile(image);
    file->load(image);
    return file;
}

void DbfFile::load(std::string_view image) {
    parseHeader(image, image.size());
    auto records = std::make_shared<RecordImage>(header_.recordLength);
    const std::size_t recordLength = static_cast<std::size_t>(header_.recordLength);
    for (uint32_t r = 0; r < recordCount_; ++r)
        records->append(image.substr(head_.size() + r * recordLength, recordLength));
    store_ = std::move(records);
    reader_.forget();
}

void DbfFile::parseHeader(std::string_view data, uint64_t size) {
    if (size == 0) damaged("empty file", path_);
    const uint8_t version = byteAt(data, 0);
    // Bits 0-2 give the level: 3 for III/IV (bits 3-6 mark IV memo and SQL tables, bit 7 a
    // memo file), 4 for level 7. Other values are other products' formats.
    const int levelBits = version & 0x07;
    if (levelBits != 3 && levelBits != 4) fail("Not a dBase table file", path_);
    const Layout& layout = layoutFor(levelBits == 4);
    if (size < layout.fixedSize || data.size() < layout.fixedSize) {
        damaged("shorter than its " + std::to_string(layout.fixedSize) + "-byte header", path_);
    }

    DbfHeaderInfo info;
    info.version = version;
    info.level = layout.level7 ? 7 : ((version & 0x78) != 0 ? 4 : 3);
    info.languageDriverId = byteAt(data, kLdidAt);
    info.productionIndex = (byteAt(data, kMdxFlagAt) & 0x01) != 0;
    info.headerLength = static_cast<int>(readLe(data, kHeaderLengthAt, 2));
    info.recordLength = static_cast<int>(readLe(data, kRecordLengthAt, 2));
    if (layout.level7) {
        const char* name = data.data() + kDriverNameAt;
        info.languageDriverName.assign(name, std::find(name, name + kDriverNameSize, '\0'));
    }
    const uint32_t count = readLe(data, kCountAt, 4);
    const std::size_t headerLength = static_cast<std::size_t>(info.headerLength);

    // Field descriptors up to the terminator. A terminator beyond the header length (or none
    // at all) means the header is damaged.
    std::vector<FieldDescriptor> fields;
    std::size_t pos = layout.fixedSize;
    bool terminated = false;
    while (pos < data.size()) {
        if (data[pos] == kTerminator) {
            terminated = true;
            break;
        }
        if (pos + layout.descriptorSize > data.size() || fields.size() >= 2048) break;
        const char* d = data.data() + pos;
        FieldDescriptor f;
        f.name.assign(d, std::find(d, d + layout.nameSize, '\0'));
        while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
        f.type = d[layout.typeAt];
        f.width = static_cast<uint8_t>(d[layout.widthAt]);
        f.decimals = static_cast<uint8_t>(d[layout.decimalsAt]);
        if (f.width == 0 && pos < headerLength) {
            damaged("field " + std::to_string(fields.size() + 1) + " has width 0", path_);
        }
        fields.push_back(std::move(f));
        pos += layout.descriptorSize;
    }
    if (!terminated) damaged("no end of the field descriptors", path_);
    if (pos + 1 > headerLength) {
        damaged("header length " + std::to_string(headerLength) +
                    " is smaller than the field descriptors need (" + std::to_string(pos + 1) + ")",
                path_);
    }
    if (fields.empty()) damaged("no fields", path_);
    const int widths = layoutFields(fields);
    if (widths != info.recordLength) {
        damaged("record length " + std::to_string(info.recordLength) +
                    " does not match the field widths (" + std::to_string(widths) + ")",
                path_);
    }
    if (size < headerLength) {
        damaged("shorter than its header length " + std::to_string(headerLength), path_);
    }
    const uint64_t needed = headerLength + uint64_t{count} * static_cast<uint64_t>(widths);
    if (size < needed) {
        damaged("record count " + std::to_string(count) + " does not match file size", path_);
    }

    header_ = std::move(info);
    fields_ = std::move(fields);
    recordCount_ = count;
    head_.assign(data.substr(0, headerLength));
    store_ = std::make_shared<RecordImage>(header_.recordLength);
    reader_.forget();
}

std::string DbfFile::tableName() const {
    return path_.stem().string();
}

int DbfFile::findField(std::string_view name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (sameName(fields_[i].name, name)) return static_cast<int>(i);
    }
    return -1;
}

bool DbfFile::isDeleted(uint32_t record) const {
    checkRecord(record);
    return store_->flag(record) == '*';
}

void DbfFile::checkRecord(uint32_t record) const {
    if (record >= recordCount_) {
        fail("Record " + std::to_string(record) + " is beyond the " + std::to_string(recordCount_) +
                 " records of table file",
             path_);
    }
}

std::string_view DbfFile::rawRecord(uint32_t record) const {
    checkRecord(record);
    return reader_.read(*store_, record, 0, static_cast<std::size_t>(header_.recordLength));
}

std::string_view DbfFile::rawField(uint32_t record, int field) const {
    if (field < 0 || static_cast<std::size_t>(field) >= fields_.size()) {
        fail("Field number " + std::to_string(field) + " does not exist in table file", path_);
    }
    checkRecord(record);
    const FieldDescriptor& f = fields_[static_cast<std::size_t>(field)];
    return reader_.read(*store_, record, static_cast<std::size_t>(f.offset),
                        static_cast<std::size_t>(f.width));
}

std::string DbfFile::blankRecord() const {
    return std::string(static_cast<std::size_t>(header_.recordLength), ' ');
}

uint32_t DbfFile::appendRecord(std::string_view record) {
    if (record.size() != static_cast<std::size_t>(header_.recordLength)) {
        fail("Record of " + std::to_string(record.size()) + " bytes does not fit the " +
                 std::to_string(header_.recordLength) + "-byte records of table file",
             path_);
    }
    return appendRecords(record);
}

uint32_t DbfFile::appendRecords(std::string_view records) {
    const auto length = static_cast<std::size_t>(header_.recordLength);
    if (records.size() % length != 0) {
        fail("Records of " + std::to_string(records.size()) + " bytes do not fit the " +
                 std::to_string(header_.recordLength) + "-byte records of table file",
             path_);
    }
    const auto count = static_cast<uint32_t>(records.size() / length);
    if (recordCount_ > UINT32_MAX - count) fail("Too many records in table file", path_);
    const uint32_t number = recordCount_;
    std::string bytes(records);
    bytes += kEndMark;
    writeAt(dataEnd(), bytes);
    const std::string head = dateAndCount(number + count);
    writeAt(kDateAt, head);
    // Memory follows only once both writes went through.
    for (uint32_t i = 0; i < count; ++i) edit(number + i).append(records.substr(i * length, length));
    std::copy(head.begin(), head.end(), head_.begin() + kDateAt);
    recordCount_ = number + count;
    return number;
}

void DbfFile::writeRecord(uint32_t record, std::string_view bytes) {
    checkRecord(record);
    if (bytes.size() != static_cast<std::size_t>(header_.recordLength)) {
        fail("Record of " + std::to_string(bytes.size()) + " bytes does not fit the " +
                 std::to_string(header_.recordLength) + "-byte records of table file",
             path_);
    }
    writeAt(recordOffset(record), bytes);
    edit(record).replace(record, bytes);
}

void DbfFile::setDeleted(uint32_t record, bool deleted) {
    checkRecord(record);
    const char flag = deleted ? '*' : ' ';
    if (store_->flag(record) == flag) return;
    writeAt(recordOffset(record), std::string_view(&flag, 1));
    edit(record).setFlag(record, flag);
}

void DbfFile::pack() {
    const std::size_t headerLength = static_cast<std::size_t>(header_.headerLength);
    uint32_t live = 0;
    for (uint32_t r = 0; r < recordCount_; ++r) live += isDeleted(r) ? 0 : 1;
    if (live == recordCount_ && diskSize_ == dataEnd() + 1) return;  // nothing to tidy

    // The header is kept as it is (level 7 field properties, padding), with a new count.
    std::string image = head_.substr(0, headerLength);
    const std::string head = dateAndCount(live);
    std::copy(head.begin(), head.end(), image.begin() + kDateAt);
    image.reserve(headerLength + static_cast<std::size_t>(live) * header_.recordLength + 1);
    for (uint32_t r = 0; r < recordCount_; ++r) {
        if (!isDeleted(r)) image += rawRecord(r);
    }
    image += kEndMark;
    replaceFile(image);
    load(image);
}

void DbfFile::rewriteLayout(
    std::vector<FieldDescriptor> fields,
    const std::function<std::string(std::string_view oldRecord)>& makeRecord) {
    const Layout& layout = layoutFor(header_.level == 7);
    auto previousField = [this](const FieldDescriptor& f) -> const FieldDescriptor* {
        const int i = findField(f.name);
        if (i < 0 || fields_[static_cast<std::size_t>(i)].type != f.type) return nullptr;
        return &fields_[static_cast<std::size_t>(i)];
    };
    checkFields(fields, layout, path_, [&](const FieldDescriptor& f) {
        const FieldDescriptor* old = previousField(f);
        return old && old->width == f.width && old->decimals == f.decimals;
    });
    const int recordLength = layoutFields(fields);

    // The level's fixed header part is kept (version, flags, language driver); anything
    // between the terminator and the data (field properties, padding) describes the old
    // fields and is dropped.
    std::string fixed = head_.substr(0, layout.fixedSize);
    std::string image = buildHeader(
        std::move(fixed), layout, fields, recordCount_,
        [&](const FieldDescriptor& f) {
            const FieldDescriptor* old = previousField(f);
            if (!old) return std::string_view();
            const std::size_t index = static_cast<std::size_t>(old - fields_.data());
            return std::string_view(head_).substr(layout.fixedSize + index * layout.descriptorSize,
                                                  layout.descriptorSize);
        },
        path_);
    image.reserve(image.size() + static_cast<std::size_t>(recordCount_) * recordLength + 1);
    for (uint32_t r = 0; r < recordCount_; ++r) {
        std::string record = makeRecord(rawRecord(r));
        if (record.size() != static_cast<std::size_t>(recordLength)) {
            fail("Layout change made a record of " + std::to_string(record.size()) +
                     " bytes instead of " + std::to_string(recordLength) + " in table file",
                 path_);
        }
        record[0] = isDeleted(r) ? '*' : ' ';
        image += record;
    }
    image += kEndMark;
    replaceFile(image);
    load(image);
}

void DbfFile::clearProductionIndexFlag() {
    if (head_[kMdxFlagAt] == '\0') return;
    const char zero = '\0';
    writeAt(kMdxFlagAt, std::string_view(&zero, 1));
    head_[kMdxFlagAt] = zero;
    header_.productionIndex = false;
}

uint32_t DbfFile::countDeletedInFile() const {
    constexpr std::size_t kBlock = 4 * 1024 * 1024;
    const auto length = static_cast<std::size_t>(header_.recordLength);
    const uint32_t perBlock = static_cast<uint32_t>(std::max<std::size_t>(1, kBlock / length));
    std::ifstream in(path_, std::ios::binary);
    in.seekg(header_.headerLength);
    std::string block;
    uint32_t deleted = 0;
    for (uint32_t done = 0; done < recordCount_;) {
        const uint32_t n = std::min(perBlock, recordCount_ - done);
        block.resize(n * length);
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        if (!in) fail("Cannot read table file", path_);
        for (uint32_t i = 0; i < n; ++i) deleted += block[i * length] == '*';
        done += n;
    }
    return deleted;
}

bool DbfFile::changedOnDisk() const {
    uint64_t size = 0;
    int64_t mtime = 0;
    if (!platform::fileStamp(path_, size, mtime)) return true;
    return size != diskSize_ || mtime != diskMtime_;
}

int DbfFile::layoutFields(std::vector<FieldDescriptor>& fields) {
    int offset = 1;
    for (FieldDescriptor& f : fields) {
        f.offset = offset;
        offset += f.width;
    }
    return offset;
}

void DbfFile::writeAt(uint64_t offset, std::string_view bytes) {
    if (hook_ && hook_->takeWrite(*this, offset, bytes)) return;
    {
        std::fstream out(path_, std::ios::in | std::ios::out | std::ios::binary);
        if (!out) fail("Cannot open table file for writing", path_);
        out.seekp(static_cast<std::streamoff>(offset));
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) fail("Cannot write table file", path_);
    }
    rememberDiskState();
}

void DbfFile::keepForReaders(const std::function<void(const RecordImage&)>& keep) {
    std::vector<std::weak_ptr<const RecordImage>> alive;
    for (const auto& held : readers_)
        if (auto image = held.lock()) {
            keep(*image);
            alive.push_back(held);
        }
    readers_ = std::move(alive);
}

void DbfFile::replaceFile(const std::string& bytes) {
    // The file is made anew: what readers hold of the old one is read in full first.
    if (store_.use_count() > 1) readers_.push_back(store_);
    keepForReaders([](const RecordImage& image) { image.loadAll(); });
    if (hook_) hook_->beforeReplace(path_);
    switch (platform::replaceWhole(path_, bytes)) {
        case platform::Replaced::WriteFailed:
            fail("Cannot write table file", fs::path(path_.string() + ".tmp"));
        case platform::Replaced::RenameFailed:
            fail("Cannot replace table file", path_);
        case platform::Replaced::Done:
            break;
    }
    rememberDiskState();
}

void DbfFile::rememberDiskState() {
    if (!platform::fileStamp(path_, diskSize_, diskMtime_)) {
        diskSize_ = UINT64_MAX;
        diskMtime_ = INT64_MIN;
    }
}

}  // namespace tvx::tables::dbf
