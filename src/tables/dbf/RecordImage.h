// The records of a table file held compactly in memory (tables/ layer, byte level).
// dBase records are mostly blanks (text padded to its width, numbers aligned right), so
// each record is kept with its runs of blanks folded; a record is unfolded when read.
// Records sit in chunks of a fixed count; an image shared with a result set stays as it
// is while the table changes: a change copies the chunk list and the one chunk it touches.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::tables::dbf {

class RecordImage {
  public:
    explicit RecordImage(int recordLength) : recordLength_(recordLength) {}

    int recordLength() const { return recordLength_; }
    uint32_t count() const { return count_; }
    // The deletion flag byte ('*' when deleted).
    char flag(uint32_t record) const;
    // Unfolds `length` bytes of a record from byte `from` on into `out`.
    void read(uint32_t record, size_t from, size_t length, char* out) const;
    // Bytes held (for the curious; the records only).
    size_t heldBytes() const;

    // Changes; `record` has recordLength bytes.
    void append(std::string_view record);
    void replace(uint32_t record, std::string_view bytes);
    void setFlag(uint32_t record, char flag);

  private:
    friend class RecordReader;
    static constexpr uint32_t kChunkShift = 7;  // 128 records per chunk
    static constexpr uint32_t kChunkSize = 1u << kChunkShift;
    struct Chunk {
        std::string bytes;           // folded records, one after the other
        std::vector<uint32_t> ends;  // end of each record in `bytes`
    };
    // The chunk for a change: copied first when an older image still shares it.
    Chunk& own(size_t chunk);
    std::pair<const char*, const char*> folded(uint32_t record) const;

    int recordLength_;
    uint32_t count_ = 0;
    std::vector<std::shared_ptr<Chunk>> chunks_;
};

// Unfolds one record at a time, only as far as asked: fields read left to right cost one
// pass over the folded record. The view it gives is good until its next call, and only
// while the image it read is not changed.
class RecordReader {
  public:
    std::string_view read(const RecordImage& image, uint32_t record, size_t from, size_t length);
    void forget() { record_ = UINT32_MAX; }

  private:
    const RecordImage* image_ = nullptr;
    uint32_t record_ = UINT32_MAX;
    const char* next_ = nullptr;  // next control byte of the folded record
    const char* end_ = nullptr;
    size_t done_ = 0;  // bytes unfolded into buffer_
    std::string buffer_;
};

// Folds a record: its first byte (the deletion flag) as it is, then runs of literal bytes
// and runs of blanks. Appends to `out`.
void foldRecord(std::string_view record, std::string& out);

}  // namespace tvx::tables::dbf
