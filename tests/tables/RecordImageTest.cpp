// Folded records: every record unfolds to exactly its bytes (blank runs of any length,
// long literal runs, edges), images shared before a change keep what they held, and a
// table file larger than one read block comes back record for record.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "TempDir.h"
#include "tables/Database.h"
#include "tables/dbf/DbfFile.h"
#include "tables/dbf/RecordImage.h"

using namespace tvx::tables;
using tvx::tables::dbf::RecordImage;
using tvx::testing::TempDir;

namespace {

std::string unfold(const RecordImage& image, uint32_t r) {
    std::string out(static_cast<size_t>(image.recordLength()), '?');
    image.read(r, 0, out.size(), out.data());
    return out;
}

// Records mixing blank runs (short and longer than one control byte covers), literal runs
// longer than one control byte covers, NULs and high bytes.
std::vector<std::string> sampleRecords(size_t length, size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::string> out;
    for (size_t i = 0; i < count; ++i) {
        std::string r(length, ' ');
        r[0] = (i % 7 == 0) ? '*' : ' ';
        size_t pos = 1;
        while (pos < length) {
            size_t run = 1 + rng() % 300;
            bool blank = rng() % 2 == 0;
            for (size_t k = 0; k < run && pos < length; ++k, ++pos)
                r[pos] = blank ? ' ' : static_cast<char>(rng() % 256);
        }
        out.push_back(std::move(r));
    }
    return out;
}

TEST(RecordImage, EveryRecordUnfoldsToItsBytes) {
    for (size_t length : {1u, 2u, 4u, 129u, 600u, 4000u}) {
        RecordImage image(static_cast<int>(length));
        auto records = sampleRecords(length, 300, static_cast<unsigned>(length));
        records.push_back(std::string(length, ' '));
        for (const auto& r : records) image.append(r);
        ASSERT_EQ(image.count(), records.size());
        for (uint32_t r = 0; r < records.size(); ++r) {
            ASSERT_EQ(unfold(image, r), records[r]) << "length " << length << " record " << r;
            EXPECT_EQ(image.flag(r), records[r][0]);
        }
        // Any slice reads the same bytes as the whole record has there.
        if (length > 10) {
            std::string part(length / 3, '?');
            for (uint32_t r = 0; r < records.size(); r += 17) {
                image.read(r, length / 2, part.size(), part.data());
                EXPECT_EQ(part, records[r].substr(length / 2, part.size()));
            }
        }
    }
}

TEST(RecordImage, BlankRecordsFoldSmall) {
    RecordImage image(600);
    std::string r(600, ' ');
    r.replace(1, 5, "ABCDE");
    for (int i = 0; i < 1000; ++i) image.append(r);
    // Flag, one literal run, five control bytes for the blanks: far below 600 bytes each.
    EXPECT_LT(image.heldBytes(), 1000u * 40);
}

TEST(RecordImage, ChangesReplaceFlagAndAppendInPlace) {
    RecordImage image(300);
    auto records = sampleRecords(300, 400, 7);
    for (const auto& r : records) image.append(r);
    auto changes = sampleRecords(300, 50, 8);
    for (uint32_t i = 0; i < changes.size(); ++i) {
        uint32_t at = (i * 37) % 400;
        image.replace(at, changes[i]);
        records[at] = changes[i];
        image.setFlag((at + 5) % 400, '*');
        records[(at + 5) % 400][0] = '*';
    }
    for (uint32_t r = 0; r < records.size(); ++r) ASSERT_EQ(unfold(image, r), records[r]) << r;
}

TEST(RecordImage, AnImageSharedBeforeAChangeKeepsItsRecords) {
    auto image = std::make_shared<RecordImage>(50);
    auto records = sampleRecords(50, 300, 9);
    for (const auto& r : records) image->append(r);
    auto before = std::make_shared<const RecordImage>(*image);  // what a result set holds
    auto changed = sampleRecords(50, 3, 10);
    image->replace(0, changed[0]);
    image->replace(299, changed[1]);
    image->setFlag(150, '*');
    image->append(changed[2]);
    EXPECT_EQ(before->count(), 300u);
    for (uint32_t r = 0; r < 300; ++r) ASSERT_EQ(unfold(*before, r), records[r]) << r;
    EXPECT_EQ(unfold(*image, 0), changed[0]);
    EXPECT_EQ(unfold(*image, 299), changed[1]);
    EXPECT_EQ(image->flag(150), '*');
    EXPECT_EQ(unfold(*image, 300), changed[2]);
}

TEST(RecordImage, TableLargerThanOneReadBlockReadsBack) {
    TempDir dir;
    {
        Database db(dir.path());
        db.execute("CREATE TABLE Big (ID DECIMAL(8,0), NAME CHAR(250), NOTE CHAR(200))");
        db.begin();
        for (int i = 0; i < 5000; ++i)
            db.execute("INSERT INTO Big VALUES (:id, :name, :note)",
                       {{"id", Value(i)},
                        {"name", Value("NAME " + std::to_string(i * 7919))},
                        {"note", Value(i % 3 ? std::string(190, 'x') : std::string())}});
        db.commit();
    }
    auto file = dbf::DbfFile::open(dir / "Big.dbf");  // about 2.3 MB: three read blocks
    ASSERT_EQ(file->recordCount(), 5000u);
    for (uint32_t r = 0; r < 5000; r += 499) {
        EXPECT_EQ(file->rawField(r, 0),
                  std::string(8 - std::to_string(r).size(), ' ') + std::to_string(r));
        std::string name = "NAME " + std::to_string(r * 7919);
        EXPECT_EQ(file->rawField(r, 1), name + std::string(250 - name.size(), ' '));
        EXPECT_EQ(file->rawField(r, 2),
                  r % 3 ? std::string(190, 'x') + std::string(10, ' ') : std::string(200, ' '));
    }
    Database other(dir.path());
    EXPECT_EQ(other.query("SELECT COUNT(*) FROM Big WHERE NOTE = ''").at(0, 0).toString(), "1667");
}

}  // namespace

namespace {

// Records served from memory, as a table file would serve them.
class MemorySource : public dbf::ChunkSource {
  public:
    explicit MemorySource(std::vector<std::string> records) : records_(std::move(records)) {}
    void readRecords(uint32_t first, char* out, size_t length) const override {
        const size_t n = records_.front().size();
        for (size_t i = 0; i < length / n; ++i)
            std::memcpy(out + i * n, records_[first + i].data(), n);
    }

  private:
    std::vector<std::string> records_;
};

}  // namespace

// Records read in one block change one by one: a change leaves the other records of its
// block as they were, a reader's copy keeps the records it held, the last chunk grows by
// appends, and a walk reads every record while keeping none.
TEST(RecordImage, RecordsReadTogetherChangeOneByOne) {
    const size_t length = 40;
    const std::vector<std::string> records = sampleRecords(length, 1000, 5);  // 8 chunks
    RecordImage image(static_cast<int>(length), static_cast<uint32_t>(records.size()),
                      std::make_shared<MemorySource>(records));
    image.beginWalk();
    for (uint32_t r = 0; r < records.size(); ++r) ASSERT_EQ(unfold(image, r), records[r]);
    image.endWalk();
    EXPECT_EQ(image.loadedChunks(), 0u);

    std::vector<std::string> now = records;
    auto expectRecords = [&](const RecordImage& img, const std::vector<std::string>& want) {
        ASSERT_EQ(img.count(), want.size());
        for (uint32_t r = 0; r < want.size(); ++r) ASSERT_EQ(unfold(img, r), want[r]) << r;
    };
    auto change = [&](uint32_t r, char c) {
        now[r].assign(length, c);
        image.replace(r, now[r]);
    };
    change(130, 'a');  // read with its neighbours, changed where it lies
    image.setFlag(131, '*');
    now[131][0] = '*';
    expectRecords(image, now);

    const RecordImage reader = image;  // shares every chunk read so far
    const std::vector<std::string> held = now;
    change(131, 'b');
    change(999, 'c');
    now.push_back(std::string(length, 'd'));
    image.append(now.back());
    expectRecords(image, now);
    expectRecords(reader, held);
}
