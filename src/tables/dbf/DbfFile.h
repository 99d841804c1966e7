// One dBase table file (tables/ layer, byte level): the header as it is, the records
// read from the file a chunk at a time as they are needed, held folded (RecordImage) and
// unfolded when read. Reads dBase III
// (0x03, 0x83), IV and level 7 (0x04: 68-byte header, 48-byte field descriptors); writes
// new files as 0x03 with the Windows-1250 language driver, or level 7 "DBWINUS0".
// Field contents are handled here as raw bytes of the code page; FieldCodec turns them
// into Values. Every change is written through to disk at once, via writeAt/replaceFile,
// which tell the installed WriteHook first (the transaction journal uses it).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/dbf/RecordImage.h"

namespace tvx::tables::dbf {

struct FieldDescriptor {
    std::string name;  // upper case as stored, at most 10 (III/IV) or 31 (level 7) chars
    char type = 'C';   // 'C', 'N', 'D', 'F', 'L', 'M', ... as in the file
    int width = 0;     // bytes in the record
    int decimals = 0;
    int offset = 0;  // byte offset within the record (0 is the deletion flag)
};

enum class DbfLevel { III, Level7 };

struct DbfHeaderInfo {
    uint8_t version = 0x03;          // byte 0 as read
    int level = 3;                   // 3, 4 (IV) or 7
    uint8_t languageDriverId = 0;    // byte 29
    std::string languageDriverName;  // level 7 only (bytes 32..63)
    bool productionIndex = false;    // byte 28 bit 0 (an .mdx exists)
    int headerLength = 0;
    int recordLength = 0;
};

class DbfFile;

// Sees every change of a table file before it reaches the disk: the transaction journal.
class WriteHook {
  public:
    virtual ~WriteHook() = default;
    // A write of `bytes` at `offset` (the in-memory image changes regardless). Returns true
    // when the hook takes the write over and brings it to the file later; false lets the
    // file write it at once.
    virtual bool takeWrite(DbfFile& file, uint64_t offset, std::string_view bytes) = 0;
    // The whole file is about to be replaced (pack, layout change).
    virtual void beforeReplace(const std::filesystem::path& file) = 0;
};

class DbfFile {
  public:
    // Reads and validates the header; records are read when first needed. Throws
    // EngineError naming the file when it is missing, unreadable, not a dBase file, or
    // damaged (header/length disagreement).
    static std::unique_ptr<DbfFile> open(const std::filesystem::path& path);
    // Creates a new empty table file (replacing none: an existing file is an error).
    static std::unique_ptr<DbfFile> create(const std::filesystem::path& path,
                                           std::vector<FieldDescriptor> fields,
                                           DbfLevel level = DbfLevel::III);

    const std::filesystem::path& path() const { return path_; }
    std::string tableName() const;  // file name without extension
    const DbfHeaderInfo& header() const { return header_; }
    const std::vector<FieldDescriptor>& fields() const { return fields_; }
    int findField(std::string_view name) const;  // case-insensitive; -1 when absent

    uint32_t recordCount() const { return recordCount_; }  // deleted records included
    bool isDeleted(uint32_t record) const;
    // The bytes of a field or record. The view is good until the next rawField/rawRecord
    // call on this file or the next change of it.
    std::string_view rawField(uint32_t record, int field) const;
    std::string_view rawRecord(uint32_t record) const;  // recordLength bytes, flag first
    std::string blankRecord() const;                    // ' ' flag and blanks everywhere

    // Appends one record (recordLength bytes incl. flag): writes the record and the end
    // mark, then the header's count and date. Returns the new record's number.
    uint32_t appendRecord(std::string_view record);
    // Appends whole records at once (a multiple of the record length, flags included) in one
    // write, as appendRecord does for one: a work table filled whole. Returns the number of
    // the first one.
    uint32_t appendRecords(std::string_view records);
    // Rewrites one record in place.
    void writeRecord(uint32_t record, std::string_view bytes);
    void setDeleted(uint32_t record, bool deleted);
    // Rewrites the file without deleted records (through a temporary file and a rename).
    void pack();
    // Rewrites the file with a new field list. `makeRecord(old record bytes)` returns the
    // new record's bytes (flag included); deleted records keep their flag.
    void rewriteLayout(std::vector<FieldDescriptor> fields,
                       const std::function<std::string(std::string_view oldRecord)>& makeRecord);
    // Clears the production-index flag (byte 28) in the header.
    void clearProductionIndexFlag();

    // Records marked deleted, counted in the file itself by large reads that keep nothing
    // (the file must hold what this object holds: nothing written since it was read).
    uint32_t countDeletedInFile() const;
    // True when the file on disk holds more than the header, the records and the end mark
    // (as it was read or written last): a pack would shorten it.
    bool hasBytesAfterRecords() const { return diskSize_ != dataEnd() + 1; }
    // True when the file on disk differs (size or modification time) from what was read
    // or written last; the cache then reads it again.
    bool changedOnDisk() const;

    // The file's size and modification time as read or written last, and its header bytes.
    uint64_t diskSize() const { return diskSize_; }
    int64_t diskMtime() const { return diskMtime_; }
    std::string_view headerBytes() const { return head_; }

    void setWriteHook(WriteHook* hook) { hook_ = hook; }  // nullptr: no hook
    // The hook wrote held-back changes to the file: remember the file's new state.
    void noteDiskWritten() { rememberDiskState(); }

    // The current records, shared: they never change under the holder.
    std::shared_ptr<const RecordImage> shareImage() const { return store_; }
    // For its lifetime, a walk over every record: the chunks not held are read and let go
    // (RecordImage::beginWalk), on the image of the moment it was made.
    class RecordWalk {
      public:
        explicit RecordWalk(std::shared_ptr<const RecordImage> image) : image_(std::move(image)) {
            image_->beginWalk();
        }
        ~RecordWalk() { image_->endWalk(); }
        RecordWalk(const RecordWalk&) = delete;
        RecordWalk& operator=(const RecordWalk&) = delete;

      private:
        std::shared_ptr<const RecordImage> image_;
    };
    RecordWalk walkAll() const { return RecordWalk(store_); }

    // Lays out offsets of `fields` (from 1) and returns the record length.
    static int layoutFields(std::vector<FieldDescriptor>& fields);

  private:
    DbfFile() = default;
    void writeAt(uint64_t offset, std::string_view bytes);
    void replaceFile(const std::string& bytes);
    void rememberDiskState();
    // Reads and checks the header from the first bytes of a file of `size` bytes; `head`
    // holds at least the header length or 128 KiB of it, whichever is less.
    void parseHeader(std::string_view head, uint64_t size);
    // Takes a whole file image (header, records, end mark) as the new content.
    void load(std::string_view image);
    void checkRecord(uint32_t record) const;  // throws when beyond the records
    uint64_t recordOffset(uint32_t record) const {
        return static_cast<uint64_t>(header_.headerLength) +
               uint64_t{record} * static_cast<uint64_t>(header_.recordLength);
    }
    uint64_t dataEnd() const {
        return static_cast<uint64_t>(header_.headerLength) +
               uint64_t{recordCount_} * static_cast<uint64_t>(header_.recordLength);
    }

    std::filesystem::path path_;
    DbfHeaderInfo header_;
    std::vector<FieldDescriptor> fields_;
    std::string head_;  // the header bytes (headerLength of them)
    // The records. Result sets may share them; a change then works on a copy, so what they
    // read stays as it was (copy on write, chunk by chunk).
    std::shared_ptr<RecordImage> store_ = std::make_shared<RecordImage>(1);
    // The image for a change of `record` (or an append when it is the record count): an
    // image still shared with a reader is copied, and every image readers still hold gets
    // the record's chunk read before the file changes under it.
    RecordImage& edit(uint32_t record) {
        reader_.forget();
        if (store_.use_count() > 1) {
            readers_.push_back(store_);
            store_ = std::make_shared<RecordImage>(*store_);
        }
        keepForReaders([record](const RecordImage& image) { image.ensureLoaded(record); });
        return *store_;
    }
    // Runs `keep` on each image readers still hold (the ones left behind by edits).
    void keepForReaders(const std::function<void(const RecordImage&)>& keep);
    // Images left behind for result sets, which read the chunks they hold not from the file.
    std::vector<std::weak_ptr<const RecordImage>> readers_;
    mutable RecordReader reader_;  // unfolds the record last read
    WriteHook* hook_ = nullptr;
    uint32_t recordCount_ = 0;
    uint64_t diskSize_ = 0;
    int64_t diskMtime_ = 0;
};

}  // namespace tvx::tables::dbf
