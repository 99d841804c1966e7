// The records of a table file in memory (tables/ layer, byte level). Records read from the
// file are held as they are there; records appended are held compactly: dBase records are
// mostly blanks (text padded to its width, numbers aligned right), so each is kept with its
// runs of blanks folded and unfolded when read.
// Records sit in chunks of a fixed count; an image shared with a result set stays as it
// is while the table changes: a change copies the chunk list and the one chunk it touches.
// An image opened over a table file holds no chunk at first: each is read from the file
// (through its ChunkSource) the first time a record in it is asked for, so a statement
// that needs a few records reads only their chunks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::tables::dbf {

// Where the records of an image not yet read come from: the table file.
class ChunkSource {
  public:
    virtual ~ChunkSource() = default;
    // Reads `length` bytes of whole records from record `first` on into `out`; throws
    // EngineError when the file cannot give them.
    virtual void readRecords(uint32_t first, char* out, size_t length) const = 0;
};

class RecordImage {
  public:
    explicit RecordImage(int recordLength) : recordLength_(recordLength) {}

    // An image of `count` records that reads them from `source` as they are needed.
    RecordImage(int recordLength, uint32_t count, std::shared_ptr<const ChunkSource> source);

    int recordLength() const { return recordLength_; }
    uint32_t count() const { return count_; }
    // The deletion flag byte ('*' when deleted).
    char flag(uint32_t record) const;
    // Unfolds `length` bytes of a record from byte `from` on into `out`.
    void read(uint32_t record, size_t from, size_t length, char* out) const;
    // Bytes held (for the curious; the records only).
    size_t heldBytes() const;
    // Reads the chunk of `record` from the source now if it was not read yet. An image
    // about to be copied for a change calls it first, so the copy it keeps for its readers
    // holds the records as they were, whatever is written to the file afterwards.
    void ensureLoaded(uint32_t record) const;
    void loadAll() const;
    // Number of chunks read so far (tests and the curious).
    size_t loadedChunks() const;
    // While a walk over every record is on (they nest), the chunks not held are read into
    // one buffer used again and again, and not kept: a sum over a long table holds nothing
    // afterwards, and reading into memory already in use costs a fraction of new memory.
    // A record read during the walk is good until the next one is asked for.
    void beginWalk() const;
    void endWalk() const;

    // Changes; `record` has recordLength bytes.
    void append(std::string_view record);
    void replace(uint32_t record, std::string_view bytes);
    void setFlag(uint32_t record, char flag);

  private:
    friend class RecordReader;
    static constexpr uint32_t kChunkShift = 7;  // 128 records per chunk
    static constexpr uint32_t kChunkSize = 1u << kChunkShift;
    struct Chunk {
        // Records read from the file stay as they are there (recordLength bytes each: a
        // walk over them costs no unfolding); records appended are folded.
        bool raw = false;
        std::string bytes;           // the records, one after the other
        std::vector<uint32_t> ends;  // folded: end of each record in `bytes`
        // A raw chunk as read sits in its own part of the block of its read (one
        // uninitialised allocation per read, shared with the chunks read with it). A chunk
        // no other image shares is changed in place there; a copy for a change gets its own
        // bytes, as does a chunk that grows.
        std::shared_ptr<char[]> block;
        char* blockData = nullptr;
        size_t blockSize = 0;
        std::string_view records() const {
            return block ? std::string_view(blockData, blockSize) : std::string_view(bytes);
        }
        char* rawBytes() { return block ? blockData : bytes.data(); }
        void takeOutOfBlock();
    };
    // The chunk for a change: copied first when an older image still shares it.
    Chunk& own(size_t chunk);
    std::pair<const char*, const char*> folded(uint32_t record) const;  // of a folded chunk
    // The chunk holding `record` and the record's place in it.
    const Chunk& chunkOf(uint32_t record, uint32_t& index) const {
        index = record & (kChunkSize - 1);
        return chunk(record >> kChunkShift);
    }
    const Chunk& chunk(size_t index) const;
    void load(size_t index) const;
    // Chunks [from, to) not held yet: the ones a read starting at `index` fills (up to
    // `most`, stopping at one already held).
    size_t readEnd(size_t index, size_t most) const;
    // Bytes of the records of chunks [index, last).
    size_t runSize(size_t index, size_t last) const;
    // Reads chunks [index, last) into `block` (runSize bytes at least); each chunk is given
    // its part of it.
    std::vector<Chunk> readRun(size_t index, size_t last, const std::shared_ptr<char[]>& block) const;
    const Chunk& walkChunk(size_t index) const;

    // The chunks of the walk in progress, in their reused buffer. An image copied for a
    // change starts outside any walk.
    struct Walk {
        Walk() = default;
        Walk(const Walk&) {}
        Walk& operator=(const Walk&) { return *this; }
        int depth = 0;
        size_t first = 0;           // chunk number of chunks[0]
        std::vector<Chunk> chunks;  // views into `buffer`
        std::shared_ptr<char[]> buffer;
        size_t capacity = 0;
    };
    mutable Walk walk_;

    int recordLength_;
    uint32_t count_ = 0;
    // Null entries have not been read from the source yet; reading one fills it in, which
    // changes nothing a reader can see (the records are the file's, as they were).
    mutable std::vector<std::shared_ptr<Chunk>> chunks_;
    std::shared_ptr<const ChunkSource> source_;
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
