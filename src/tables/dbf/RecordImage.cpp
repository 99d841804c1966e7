// Folded records: after the flag byte, a control byte below 0x80 starts a run of
// (byte + 1) literal bytes, one from 0x80 on stands for (byte - 0x7F) blanks.
#include "tables/dbf/RecordImage.h"

#include <algorithm>
#include <cstring>

namespace tvx::tables::dbf {

namespace {

constexpr unsigned kMaxRun = 128;
constexpr size_t kMinBlankRun = 3;  // shorter runs of blanks stay literal

}  // namespace

void foldRecord(std::string_view record, std::string& out) {
    if (record.empty()) return;
    out += record[0];
    const char* p = record.data() + 1;
    const char* end = record.data() + record.size();
    const char* literal = p;  // start of the pending literal bytes
    auto flushLiteral = [&](const char* upto) {
        while (literal < upto) {
            size_t n = std::min<size_t>(static_cast<size_t>(upto - literal), kMaxRun);
            out += static_cast<char>(n - 1);
            out.append(literal, n);
            literal += n;
        }
    };
    while (p < end) {
        if (*p != ' ') {
            ++p;
            continue;
        }
        const char* run = p;
        while (p < end && *p == ' ') ++p;
        size_t n = static_cast<size_t>(p - run);
        if (n < kMinBlankRun) continue;
        flushLiteral(run);
        while (n > 0) {
            size_t k = std::min<size_t>(n, kMaxRun);
            out += static_cast<char>(0x7F + k);
            n -= k;
        }
        literal = p;
    }
    flushLiteral(end);
}

RecordImage::RecordImage(int recordLength, uint32_t count, std::shared_ptr<const ChunkSource> source)
    : recordLength_(recordLength), count_(count), source_(std::move(source)) {
    chunks_.resize((static_cast<size_t>(count) + kChunkSize - 1) >> kChunkShift);
}

void RecordImage::load(size_t index) const {
    // A walk in file order reads ahead, as far as the run of chunks it has read just before
    // this one (at most 32): a scan soon reads 32 chunks at a time, while a look-up of a few
    // neighbouring records reads little more than them.
    constexpr size_t kReadAhead = 32;
    size_t run = 0;
    while (run < kReadAhead && run < index && chunks_[index - run - 1]) ++run;
    const size_t last = readEnd(index, std::max<size_t>(run, 1));
    const std::shared_ptr<char[]> block(new char[runSize(index, last)]);  // filled by the read
    std::vector<Chunk> read = readRun(index, last, block);
    for (size_t k = index; k < last; ++k)
        chunks_[k] = std::make_shared<Chunk>(std::move(read[k - index]));
}

size_t RecordImage::runSize(size_t index, size_t last) const {
    const uint32_t first = static_cast<uint32_t>(index << kChunkShift);
    const uint32_t end = std::min<uint32_t>(count_, static_cast<uint32_t>(last << kChunkShift));
    return (end - first) * static_cast<size_t>(recordLength_);
}

std::vector<RecordImage::Chunk> RecordImage::readRun(size_t index, size_t last,
                                                     const std::shared_ptr<char[]>& block) const {
    source_->readRecords(static_cast<uint32_t>(index << kChunkShift), block.get(),
                         runSize(index, last));
    std::vector<Chunk> out;
    char* at = block.get();
    for (size_t k = index; k < last; ++k) {
        Chunk c;
        c.raw = true;
        c.block = block;
        c.blockData = at;
        c.blockSize = runSize(k, k + 1);
        at += c.blockSize;
        out.push_back(std::move(c));
    }
    return out;
}

size_t RecordImage::readEnd(size_t index, size_t most) const {
    size_t last = index + 1;
    while (last < chunks_.size() && last < index + most && !chunks_[last]) ++last;
    return last;
}

const RecordImage::Chunk& RecordImage::chunk(size_t index) const {
    if (chunks_[index]) return *chunks_[index];
    if (walk_.depth > 0) return walkChunk(index);
    load(index);
    return *chunks_[index];
}

void RecordImage::beginWalk() const {
    ++walk_.depth;
}

void RecordImage::endWalk() const {
    if (--walk_.depth > 0) return;
    walk_.chunks.clear();
    walk_.buffer.reset();
    walk_.capacity = 0;
}

const RecordImage::Chunk& RecordImage::walkChunk(size_t index) const {
    if (index >= walk_.first && index < walk_.first + walk_.chunks.size())
        return walk_.chunks[index - walk_.first];
    constexpr size_t kWalkRead = 32;  // chunks per read
    const size_t last = readEnd(index, kWalkRead);
    const size_t total = runSize(index, last);
    walk_.chunks.clear();
    if (walk_.capacity < total) {
        walk_.buffer.reset(new char[total]);
        walk_.capacity = total;
    }
    walk_.chunks = readRun(index, last, walk_.buffer);
    walk_.first = index;
    return walk_.chunks.front();
}

void RecordImage::loadAll() const {
    for (size_t index = 0; index < chunks_.size(); ++index)
        if (!chunks_[index]) load(index);
}

void RecordImage::ensureLoaded(uint32_t record) const {
    // Held for good, walk or not: the copy made for a change shares it with its readers.
    if (record < count_ && !chunks_[record >> kChunkShift]) load(record >> kChunkShift);
}

size_t RecordImage::loadedChunks() const {
    return static_cast<size_t>(
        std::count_if(chunks_.begin(), chunks_.end(), [](const auto& c) { return c != nullptr; }));
}

std::pair<const char*, const char*> RecordImage::folded(uint32_t record) const {
    const Chunk& c = chunk(record >> kChunkShift);
    const uint32_t i = record & (kChunkSize - 1);
    const uint32_t begin = i == 0 ? 0 : c.ends[i - 1];
    return {c.bytes.data() + begin, c.bytes.data() + c.ends[i]};
}

char RecordImage::flag(uint32_t record) const {
    uint32_t i = 0;
    const Chunk& c = chunkOf(record, i);
    if (c.raw) return c.records()[i * static_cast<size_t>(recordLength_)];
    return *folded(record).first;
}

void RecordImage::read(uint32_t record, size_t from, size_t length, char* out) const {
    uint32_t i = 0;
    const Chunk& c = chunkOf(record, i);
    if (c.raw) {
        std::memcpy(out, c.records().data() + i * static_cast<size_t>(recordLength_) + from,
                    length);
        return;
    }
    auto [p, end] = folded(record);
    const size_t to = from + length;
    if (from == 0 && length > 0) *out = *p;
    ++p;
    size_t pos = 1;
    while (p < end && pos < to) {
        const auto control = static_cast<unsigned char>(*p++);
        if (control < 0x80) {
            const size_t n = control + 1u;
            const size_t lo = std::max(pos, from), hi = std::min(pos + n, to);
            if (lo < hi) std::memcpy(out + (lo - from), p + (lo - pos), hi - lo);
            p += n;
            pos += n;
        } else {
            const size_t n = control - 0x7Fu;
            const size_t lo = std::max(pos, from), hi = std::min(pos + n, to);
            if (lo < hi) std::memset(out + (lo - from), ' ', hi - lo);
            pos += n;
        }
    }
}

std::string_view RecordReader::read(const RecordImage& image, uint32_t record, size_t from,
                                    size_t length) {
    const size_t to = from + length;
    if (record_ != record || image_ != &image) {
        uint32_t i = 0;
        const RecordImage::Chunk& c = image.chunkOf(record, i);
        if (c.raw) {
            record_ = UINT32_MAX;
            return c.records().substr(i * static_cast<size_t>(image.recordLength()) + from,
                                      length);
        }
        auto [p, end] = image.folded(record);
        buffer_.resize(static_cast<size_t>(image.recordLength()));
        buffer_[0] = *p;
        image_ = &image;
        record_ = record;
        next_ = p + 1;
        end_ = end;
        done_ = 1;
    }
    while (done_ < to && next_ < end_) {
        const auto control = static_cast<unsigned char>(*next_++);
        if (control < 0x80) {
            const size_t n = control + 1u;
            std::memcpy(buffer_.data() + done_, next_, n);
            next_ += n;
            done_ += n;
        } else {
            const size_t n = control - 0x7Fu;
            std::memset(buffer_.data() + done_, ' ', n);
            done_ += n;
        }
    }
    return std::string_view(buffer_).substr(from, length);
}

size_t RecordImage::heldBytes() const {
    size_t total = 0;
    for (const auto& c : chunks_)
        if (c) total += c->bytes.capacity() + c->blockSize + c->ends.capacity() * 4;
    return total;
}

RecordImage::Chunk& RecordImage::own(size_t index) {
    if (!chunks_[index]) load(index);
    auto& c = chunks_[index];
    if (c.use_count() > 1) {
        c = std::make_shared<Chunk>(*c);
        c->takeOutOfBlock();  // the older image still reads the records there
    }
    return *c;
}

void RecordImage::Chunk::takeOutOfBlock() {
    if (!block) return;
    bytes.assign(blockData, blockSize);
    block.reset();
    blockData = nullptr;
    blockSize = 0;
}

void RecordImage::append(std::string_view record) {
    if ((count_ & (kChunkSize - 1)) == 0) {
        chunks_.push_back(std::make_shared<Chunk>());
        chunks_.back()->ends.reserve(kChunkSize);
    }
    Chunk& c = own(chunks_.size() - 1);
    if (c.raw) {
        c.takeOutOfBlock();
        c.bytes.append(record);
        ++count_;
        return;
    }
    foldRecord(record, c.bytes);
    c.ends.push_back(static_cast<uint32_t>(c.bytes.size()));
    ++count_;
    if (c.ends.size() == kChunkSize) c.bytes.shrink_to_fit();
}

void RecordImage::replace(uint32_t record, std::string_view bytes) {
    Chunk& c = own(record >> kChunkShift);
    const uint32_t i = record & (kChunkSize - 1);
    if (c.raw) {
        if (bytes.size() != static_cast<size_t>(recordLength_)) c.takeOutOfBlock();
        if (!c.block) {
            c.bytes.replace(i * static_cast<size_t>(recordLength_), bytes.size(), bytes);
            return;
        }
        std::memcpy(c.rawBytes() + i * static_cast<size_t>(recordLength_), bytes.data(),
                    bytes.size());
        return;
    }
    const uint32_t begin = i == 0 ? 0 : c.ends[i - 1];
    std::string folded;
    foldRecord(bytes, folded);
    const int64_t grow = static_cast<int64_t>(folded.size()) - (c.ends[i] - begin);
    c.bytes.replace(begin, c.ends[i] - begin, folded);
    for (size_t k = i; k < c.ends.size(); ++k)
        c.ends[k] = static_cast<uint32_t>(static_cast<int64_t>(c.ends[k]) + grow);
}

void RecordImage::setFlag(uint32_t record, char flag) {
    Chunk& c = own(record >> kChunkShift);
    const uint32_t i = record & (kChunkSize - 1);
    if (c.raw) {
        c.rawBytes()[i * static_cast<size_t>(recordLength_)] = flag;
        return;
    }
    c.bytes[i == 0 ? 0 : c.ends[i - 1]] = flag;
}

}  // namespace tvx::tables::dbf
