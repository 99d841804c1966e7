// Backup archives: the byte format read back by an independent parser, the round trip of
// save, change and restore, and damaged archives refused with nothing overwritten.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <map>

#include "../CoreTestSupport.h"
#include "core/admin/Backup.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    return testsupport::FileBytes(file);
}

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::map<std::string, std::string> Files(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file()) files[entry.path().filename().string()] = Bytes(entry.path());
    return files;
}

uint32_t U32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

// Parses an archive with zlib's one-call decoder, independently of the code under test.
std::map<std::string, std::string> ParseArchive(const std::string& archive) {
    std::map<std::string, std::string> files;
    size_t at = 4;
    const uint32_t count = U32(archive, 0);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t nameLength = U32(archive, at);
        const std::string name = archive.substr(at + 4, nameLength);
        at += 4 + nameLength;
        const uint32_t size = U32(archive, at);
        at += 4;
        std::string data(size, '\0');
        uLongf produced = size;
        uLong consumed = archive.size() - at;
        EXPECT_EQ(uncompress2(reinterpret_cast<Bytef*>(data.data()), &produced,
                              reinterpret_cast<const Bytef*>(archive.data() + at), &consumed),
                  Z_OK)
            << name;
        EXPECT_EQ(produced, size);
        // Highest level: the zlib header's level bits say "maximum compression".
        EXPECT_EQ(static_cast<unsigned char>(archive[at + 1]) >> 6, 3) << name;
        at += consumed;
        files[name] = data;
    }
    EXPECT_EQ(at, archive.size());
    return files;
}

class BackupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data_ = dir_.path() / "Data";
        fs::create_directories(data_ / "Sub");
        Write(data_ / "FactOut.dbf", std::string(5000, 'F') + "end");
        std::string binary;
        for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) % 251);
        Write(data_ / "Fise.dbf", binary);
        Write(data_ / "Tvx2010.set", "[INDEX]\r\nIDFACT=12\r\n");
        Write(data_ / "s.mpg", std::string(67, '\x03'));
        Write(data_ / "Gol.txt", "");
        Write(data_ / "Sub" / "inner.txt", "kept");
        original_ = Files(data_);
        archive_ = dir_.path() / "salvare.tvx";
    }
    // Saves through an engine on the data directory, as the window does.
    void Save(const fs::path& archive, const BackupProgress& progress = {}) {
        tables::Database db(data_);
        SaveArchive(db, archive, progress);
    }
    testsupport::ScratchDir dir_;
    fs::path data_;
    fs::path archive_;
    std::map<std::string, std::string> original_;
};

TEST_F(BackupTest, ArchiveHoldsEveryNonEmptyFileInTheStoredFormat) {
    std::vector<int> positions;
    Save(archive_, [&](int position, int maximum) {
        EXPECT_EQ(maximum, 4);
        positions.push_back(position);
    });
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(fs::exists(dir_.path() / "salvare.tvx.part"));
    const auto files = ParseArchive(Bytes(archive_));
    ASSERT_EQ(files.size(), 4u);
    for (const auto& [name, bytes] : original_) {
        if (bytes.empty()) {
            EXPECT_FALSE(files.count("Data\\" + name));
            continue;
        }
        ASSERT_TRUE(files.count("Data\\" + name)) << name;
        EXPECT_EQ(files.at("Data\\" + name), bytes) << name;
    }
    EXPECT_EQ(CheckArchive(archive_).size(), 4u);
}

TEST_F(BackupTest, RestoreBringsBackExactlyTheSavedFiles) {
    Save(archive_);
    Write(data_ / "FactOut.dbf", "changed");
    Write(data_ / "Nou.dbf", "new file");
    fs::remove(data_ / "s.mpg");
    std::vector<int> positions;
    RestoreArchive(data_, archive_, [&](int position, int) { positions.push_back(position); });
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4}));
    auto expected = original_;
    expected.erase("Gol.txt");  // empty files are not saved
    EXPECT_EQ(Files(data_), expected);
    EXPECT_EQ(Bytes(data_ / "Sub" / "inner.txt"), "kept");
    EXPECT_FALSE(fs::exists(dir_.path() / "Data.restore"));
    EXPECT_FALSE(fs::exists(dir_.path() / "Data.previous"));
}

TEST_F(BackupTest, DamagedArchivesAreRefusedAndNothingIsOverwritten) {
    Save(archive_);
    const std::string good = Bytes(archive_);
    Write(data_ / "FactOut.dbf", "current data");
    const auto current = Files(data_);

    std::string flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x55);
    std::string badName = good;
    badName.replace(8, 5, "..\\..");
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"truncated", good.substr(0, good.size() - 10)},
        {"flipped byte", flipped},
        {"trailing bytes", good + "xyz"},
        {"name outside the data directory", badName},
        {"empty file", ""},
    };
    for (const auto& [what, bytes] : damaged) {
        Write(archive_, bytes);
        try {
            RestoreArchive(data_, archive_);
            ADD_FAILURE() << what << " was restored";
        } catch (const tables::EngineError& e) {
            EXPECT_NE(std::string(e.what()).find(archive_.string()), std::string::npos) << what;
        }
        EXPECT_EQ(Files(data_), current) << what;
        EXPECT_FALSE(fs::exists(dir_.path() / "Data.restore")) << what;
    }
}

TEST_F(BackupTest, SavingOverAnArchiveReplacesItWhole) {
    Write(archive_, "older archive");
    EXPECT_EQ(ReplaceArchiveQuestion(archive_).text,
              "Vreti sa inlocuiti salvarea " + archive_.string() + "?");
    Save(archive_);
    EXPECT_EQ(ParseArchive(Bytes(archive_)).size(), 4u);
    EXPECT_TRUE(MissingArchiveProblem(archive_) == std::nullopt);
    const auto missing = MissingArchiveProblem(dir_.path() / "nu.tvx");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->text, "Salvarea " + (dir_.path() / "nu.tvx").string() + " nu exista !");

    const fs::path inside = data_ / "copie.tvx";  // never saved into itself, kept by a restore
    Save(inside);
    EXPECT_FALSE(ParseArchive(Bytes(inside)).count("Data\\copie.tvx"));
    RestoreArchive(data_, inside);
    EXPECT_TRUE(fs::exists(inside));
}

}  // namespace
}  // namespace tvx::core
