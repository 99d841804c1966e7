// Tests of the dBase file layer: files created and changed here are read back by the
// independent dbf-dump checker; files built byte by byte here (III with a memo flag and a
// backlink area, IV, level 7 with field properties) and the shared samples are read;
// damaged files must fail with an error; the write hook and the on-disk change test are
// checked against the bytes on disk.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "support/TestPaths.h"
#include "tables/EngineError.h"
#include "tables/dbf/Codepage.h"
#include "tables/dbf/DbfFile.h"

namespace {

namespace fs = std::filesystem;
using tvx::tables::EngineError;
using namespace tvx::tables::dbf;

const fs::path kDump = fs::path(TVX_SHARED_DIR) / "tools" / "dbf-dump";
const fs::path kSamples = fs::path(TVX_SHARED_DIR) / "tools" / "samples";

class TempDir {
  public:
    TempDir() {
        static std::atomic<int> counter{0};
        std::random_device random;
        path_ = fs::temp_directory_path() /
                ("tvx-dbf-" + std::to_string(random()) + "-" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

std::string todayBytes() {
    const std::time_t now = std::time(nullptr);
    const std::tm* t = std::localtime(&now);
    return {static_cast<char>(t->tm_year), static_cast<char>(t->tm_mon + 1),
            static_cast<char>(t->tm_mday)};
}

// Header and descriptor bytes, composed the way the format describes them.
std::string fixed3(uint8_t version, const std::string& date, uint32_t count, int headerLength,
                   int recordLength, uint8_t mdx, uint8_t ldid) {
    std::string h(32, '\0');
    h[0] = static_cast<char>(version);
    h.replace(1, 3, date);
    h.replace(4, 4, le(count, 4));
    h.replace(8, 2, le(headerLength, 2));
    h.replace(10, 2, le(recordLength, 2));
    h[28] = static_cast<char>(mdx);
    h[29] = static_cast<char>(ldid);
    return h;
}

std::string fixed7(uint8_t version, const std::string& date, uint32_t count, int headerLength,
                   int recordLength, uint8_t ldid, const std::string& driver) {
    std::string h = fixed3(version, date, count, headerLength, recordLength, 0, ldid);
    h.resize(68, '\0');
    h.replace(32, driver.size(), driver);
    return h;
}

std::string desc3(const std::string& name, char type, int width, int decimals, char mdx = 0) {
    std::string d(32, '\0');
    d.replace(0, name.size(), name);
    d[11] = type;
    d[16] = static_cast<char>(width);
    d[17] = static_cast<char>(decimals);
    d[31] = mdx;
    return d;
}

std::string desc7(const std::string& name, char type, int width, int decimals,
                  uint32_t autoinc = 0) {
    std::string d(48, '\0');
    d.replace(0, name.size(), name);
    d[32] = type;
    d[33] = static_cast<char>(width);
    d[34] = static_cast<char>(decimals);
    d.replace(40, 4, le(autoinc, 4));
    return d;
}

FieldDescriptor field(const std::string& name, char type, int width, int decimals = 0) {
    FieldDescriptor f;
    f.name = name;
    f.type = type;
    f.width = width;
    f.decimals = decimals;
    return f;
}

// A live record from UTF-8 values: numbers right-aligned, everything else left-aligned.
std::string record(const DbfFile& file, const std::vector<std::string>& values) {
    std::string out = " ";
    for (std::size_t i = 0; i < file.fields().size(); ++i) {
        const FieldDescriptor& f = file.fields()[i];
        std::string v = utf8ToCp1250(values.at(i)).substr(0, f.width);
        const std::string pad(f.width - v.size(), ' ');
        out += f.type == 'N' ? pad + v : v + pad;
    }
    return out;
}

struct Dump {
    int status = -1;
    std::string text;
    std::vector<std::vector<std::string>> rows;  // CSV rows after the header line
    bool has(const std::string& line) const { return text.find(line) != std::string::npos; }
};

// Runs the independent checker (deleted records included, first CSV column "_del"). The
// values written here hold no commas or quotes, so the CSV rows split at every comma.
Dump runDump(const fs::path& file) {
    const fs::path out = fs::path(file).concat(".dump.txt");
    const std::string command = "python3 -X utf8 \"" + kDump.string() + "\" --deleted \"" +
                                file.string() + "\" > \"" + out.string() + "\" 2>&1";
    Dump dump;
    dump.status = std::system(command.c_str());
    dump.text = readBytes(out);
    fs::remove(out);
    const std::size_t rows = dump.text.find("rows (CSV):\n");
    std::istringstream lines(rows == std::string::npos ? "" : dump.text.substr(rows));
    std::string line;
    std::getline(lines, line);  // "rows (CSV):"
    std::getline(lines, line);  // field names
    while (std::getline(lines, line)) {
        std::istringstream cells(line);
        std::vector<std::string>& row = dump.rows.emplace_back();
        for (std::string cell; std::getline(cells, cell, ',');) row.push_back(cell);
        if (line.back() == ',') row.emplace_back();  // getline drops a last empty cell
    }
    return dump;
}

void expectSound(const Dump& dump) {
    EXPECT_EQ(dump.status, 0) << dump.text;
    EXPECT_FALSE(dump.has("WARN")) << dump.text;
    EXPECT_TRUE(dump.has("checks:\n  OK\n")) << dump.text;
}

template <typename F>
std::string errorOf(F&& action) {
    try {
        action();
    } catch (const EngineError& e) {
        return e.what();
    }
    return "(no error)";
}

// ---------------------------------------------------------------------------------------
// Creating files

TEST(DbfCreate, LevelThreeHeaderIsByteExactAndChecksOut) {
    TempDir dir;
    const fs::path path = dir / "FactOut.dbf";
    auto file = DbfFile::create(
        path, {field("Cod", 'C', 10), field("pret", 'n', 12, 2), field("DataF", 'D', 8)});
    const std::string expected = fixed3(0x03, todayBytes(), 0, 32 + 3 * 32 + 1, 31, 0, 0xC8) +
                                 desc3("COD", 'C', 10, 0) + desc3("PRET", 'N', 12, 2) +
                                 desc3("DATAF", 'D', 8, 0) + "\x0D\x1A";
    EXPECT_EQ(readBytes(path), expected);

    EXPECT_EQ(file->tableName(), "FactOut");
    EXPECT_EQ(file->header().level, 3);
    EXPECT_EQ(file->header().languageDriverId, 0xC8);
    EXPECT_EQ(file->recordCount(), 0u);
    ASSERT_EQ(file->fields().size(), 3u);
    EXPECT_EQ(file->fields()[1].name, "PRET");
    EXPECT_EQ(file->fields()[1].offset, 11);
    EXPECT_EQ(file->fields()[2].offset, 23);
    EXPECT_EQ(file->findField("dataf"), 2);
    EXPECT_EQ(file->findField("DATA"), -1);
    EXPECT_EQ(file->blankRecord(), std::string(31, ' '));

    const Dump dump = runDump(path);
    expectSound(dump);
    EXPECT_TRUE(dump.has("language driver id (29): 0xC8")) << dump.text;
    EXPECT_TRUE(dump.has("encoding used: cp1250")) << dump.text;
}

TEST(DbfCreate, LevelSevenHeaderIsByteExactAndChecksOut) {
    TempDir dir;
    const fs::path path = dir / "ArticoleSaga.dbf";
    const std::string longName = "DENUMIRE_ARTICOL_COMPLETA_LUNGA";  // 31 characters
    auto file = DbfFile::create(path, {field("cod", 'C', 16), field(longName, 'N', 15, 4)},
                                DbfLevel::Level7);
    const std::string expected =
        fixed7(0x04, todayBytes(), 0, 68 + 2 * 48 + 1, 32, 0x57, "DBWINUS0") +
        desc7("COD", 'C', 16, 0) + desc7(longName, 'N', 15, 4) + "\x0D\x1A";
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(file->header().level, 7);
    EXPECT_EQ(file->header().languageDriverName, "DBWINUS0");

    const Dump dump = runDump(path);
    expectSound(dump);
    EXPECT_TRUE(dump.has("language driver name (32-63): DBWINUS0")) << dump.text;
    EXPECT_TRUE(dump.has("layout: level 7")) << dump.text;
}

TEST(DbfCreate, RejectsBadFieldListsWithoutLeavingAFile) {
    TempDir dir;
    const fs::path path = dir / "Bad.dbf";
    // Wrong types, widths, decimals; names too long (11 in a level III file), empty, not
    // starting with a letter, with other characters.
    const std::vector<FieldDescriptor> badFields = {
        field("FLAG", 'L', 1),   field("MEMO", 'M', 10),       field("TXT", 'C', 0),
        field("TXT", 'C', 255),  field("TXT", 'C', 10, 2),     field("NUM", 'N', 21),
        field("NUM", 'N', 5, 4), field("NUM", 'N', 4, 3),      field("NUM", 'N', 10, -1),
        field("ZI", 'D', 10),    field("ABCDEFGHIJK", 'C', 5), field("", 'C', 5),
        field("1COD", 'C', 5),   field("COD-X", 'C', 5)};
    std::vector<std::vector<FieldDescriptor>> cases = {
        {}, {field("cod", 'C', 5), field("COD", 'N', 5)}};  // none at all, a name used twice
    for (const FieldDescriptor& f : badFields) cases.push_back({field("OK", 'C', 3), f});
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string message = errorOf([&] { DbfFile::create(path, cases[i]); });
        EXPECT_NE(message.find(path.string()), std::string::npos) << "case " << i << message;
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));

    // The limits themselves are accepted.
    EXPECT_NO_THROW(DbfFile::create(
        path, {field("ABCDEFGHIJ", 'C', 254), field("N", 'N', 3, 1), field("M", 'N', 20)}));
}

TEST(DbfCreate, NeverReplacesAnExistingFile) {
    TempDir dir;
    const fs::path path = dir / "Stoc.dbf";
    auto file = DbfFile::create(path, {field("COD", 'C', 4)});
    file->appendRecord(record(*file, {"X1"}));
    const std::string before = readBytes(path);
    EXPECT_NE(
        errorOf([&] { DbfFile::create(path, {field("ALT", 'C', 9)}); }).find("already exists"),
        std::string::npos);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_THROW(DbfFile::create(dir / "nope" / "T.dbf", {field("A", 'C', 1)}), EngineError);
}

// ---------------------------------------------------------------------------------------
// Changing files, checked by the independent reader

class DbfRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir / "ProdOut.dbf";
        file = DbfFile::create(path, {field("COD", 'C', 6), field("DENUMIRE", 'C', 20),
                                      field("PRET", 'N', 10, 2), field("DATA", 'D', 8)});
    }
    TempDir dir;
    fs::path path;
    std::unique_ptr<DbfFile> file;
};

TEST_F(DbfRoundTrip, AppendWriteAndDeleteAreWhatTheCheckerReads) {
    EXPECT_EQ(file->appendRecord(record(*file, {"A1", "Țeavă îngustă", "4.50", "20240115"})), 0u);
    EXPECT_EQ(file->appendRecord(record(*file, {"A2", "ŞURUB", "10.00", "20240116"})), 1u);
    EXPECT_EQ(file->appendRecord(record(*file, {"A3", "Cârlig", "0.75", ""})), 2u);
    file->writeRecord(1, record(*file, {"A2", "Șurub zincat", "12.30", "20240201"}));
    file->setDeleted(2, true);

    EXPECT_TRUE(file->isDeleted(2));
    EXPECT_FALSE(file->isDeleted(1));
    EXPECT_EQ(file->rawField(1, 2), "     12.30");
    EXPECT_EQ(fs::file_size(path), 32u + 4 * 32 + 1 + 3 * 45 + 1);

    const Dump dump = runDump(path);
    expectSound(dump);
    const std::vector<std::vector<std::string>> rows = {
        {"", "A1", "Ţeavă îngustă", "4.50", "20240115"},
        {"", "A2", "Şurub zincat", "12.30", "20240201"},
        {"*", "A3", "Cârlig", "0.75", ""},
    };
    EXPECT_EQ(dump.rows, rows) << dump.text;

    auto again = DbfFile::open(path);
    ASSERT_EQ(again->recordCount(), 3u);
    for (uint32_t r = 0; r < 3; ++r) EXPECT_EQ(again->rawRecord(r), file->rawRecord(r));
    EXPECT_EQ(readBytes(path).substr(1, 3), todayBytes());

    file->setDeleted(2, false);
    EXPECT_EQ(runDump(path).rows.at(2).at(0), "");
}

TEST_F(DbfRoundTrip, RejectsRecordsOfTheWrongSizeOrNumber) {
    file->appendRecord(record(*file, {"A1", "x", "1", ""}));
    const std::string before = readBytes(path);
    EXPECT_THROW(file->appendRecord(" short"), EngineError);
    EXPECT_THROW(file->writeRecord(0, file->blankRecord() + " "), EngineError);
    EXPECT_THROW(file->writeRecord(1, file->blankRecord()), EngineError);
    EXPECT_THROW(file->setDeleted(7, true), EngineError);
    EXPECT_THROW(file->rawField(0, 4), EngineError);
    EXPECT_THROW(file->rawRecord(1), EngineError);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(file->recordCount(), 1u);
}

TEST_F(DbfRoundTrip, PackKeepsOnlyLiveRecordsInOrder) {
    for (int i = 1; i <= 5; ++i) {
        file->appendRecord(
            record(*file, {"A" + std::to_string(i), "art", std::to_string(i) + ".00", ""}));
    }
    file->setDeleted(1, true);
    file->setDeleted(3, true);
    file->pack();

    EXPECT_EQ(file->recordCount(), 3u);
    EXPECT_EQ(fs::file_size(path), 32u + 4 * 32 + 1 + 3 * 45 + 1);
    const Dump dump = runDump(path);
    expectSound(dump);
    const std::vector<std::vector<std::string>> rows = {{"", "A1", "art", "1.00", ""},
                                                        {"", "A3", "art", "3.00", ""},
                                                        {"", "A5", "art", "5.00", ""}};
    EXPECT_EQ(dump.rows, rows) << dump.text;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().filename(), "ProdOut.dbf");  // no temporary file left over
    }
    auto again = DbfFile::open(path);
    EXPECT_EQ(again->rawRecord(2), file->rawRecord(2));
}

TEST_F(DbfRoundTrip, RewriteLayoutConvertsRecordsAndKeepsDeletionFlags) {
    file->appendRecord(record(*file, {"A1", "Lapte", "4.50", "20240115"}));
    file->appendRecord(record(*file, {"A2", "Unt", "9.99", "20240116"}));
    file->setDeleted(1, true);

    // COD widened, DENUMIRE dropped, PRET kept, CANT added.
    std::vector<FieldDescriptor> fields = {field("COD", 'C', 8), field("PRET", 'N', 10, 2),
                                           field("CANT", 'N', 6, 0), field("DATA", 'D', 8)};
    auto convert = [](std::string_view old) {
        const std::string cod(old.substr(1, 6));
        return " " + cod + "  " + std::string(old.substr(27, 10)) + "     1" +
               std::string(old.substr(37, 8));
    };
    file->rewriteLayout(fields, convert);

    EXPECT_EQ(file->header().recordLength, 33);
    EXPECT_EQ(file->fields()[2].name, "CANT");
    EXPECT_EQ(file->fields()[3].offset, 25);
    const Dump dump = runDump(path);
    expectSound(dump);
    const std::vector<std::vector<std::string>> rows = {
        {"", "A1", "4.50", "1", "20240115"},
        {"*", "A2", "9.99", "1", "20240116"},
    };
    EXPECT_EQ(dump.rows, rows) << dump.text;

    // A conversion that returns records of the wrong size changes nothing.
    const std::string before = readBytes(path);
    EXPECT_THROW(file->rewriteLayout({field("COD", 'C', 8)},
                                     [](std::string_view) { return std::string(" A"); }),
                 EngineError);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(file->fields().size(), 4u);
    // New fields follow the rules of create().
    EXPECT_THROW(file->rewriteLayout({field("FLAG", 'L', 1)},
                                     [](std::string_view) { return std::string("  "); }),
                 EngineError);
}

TEST(DbfLevelSeven, ChangesKeepTheLevelAndTheDriverName) {
    TempDir dir;
    const fs::path path = dir / "Iesiri.dbf";
    auto file = DbfFile::create(path, {field("NR_DOC", 'C', 10), field("VALOARE", 'N', 12, 2)},
                                DbfLevel::Level7);
    file->appendRecord(record(*file, {"F1", "100.00"}));
    file->appendRecord(record(*file, {"F2", "-3.50"}));
    file->appendRecord(record(*file, {"F3", "7.25"}));
    file->setDeleted(0, true);
    file->pack();
    file->rewriteLayout(
        {field("NR_DOC", 'C', 10), field("VALOARE", 'N', 12, 2), field("DATA_DOC", 'D', 8)},
        [](std::string_view old) { return std::string(old) + "20240301"; });

    const std::string bytes = readBytes(path);
    EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 0x04);
    EXPECT_EQ(bytes.substr(32, 9), std::string("DBWINUS0\0", 9));
    EXPECT_EQ(static_cast<uint8_t>(bytes[29]), 0x57);
    const Dump dump = runDump(path);
    expectSound(dump);
    const std::vector<std::vector<std::string>> rows = {{"", "F2", "-3.50", "20240301"},
                                                        {"", "F3", "7.25", "20240301"}};
    EXPECT_EQ(dump.rows, rows) << dump.text;
}

// ---------------------------------------------------------------------------------------
// Reading files written elsewhere

TEST(DbfRead, LevelThreeWithMemoFlagBacklinkAndNoEndMark) {
    TempDir dir;
    const fs::path path = dir / "Vechi.dbf";
    const int headerLength = 32 + 3 * 32 + 1 + 263;
    const std::string header = fixed3(0x83, "\x62\x0C\x1F", 2, headerLength, 25, 0, 0x03) +
                               desc3("COD", 'C', 6, 0) + desc3("NOTE", 'M', 10, 0) +
                               desc3("VAL", 'N', 8, 2) + "\x0D" + std::string(263, '\0');
    const std::string rows = std::string(" AB1   ") + "0000000012" + "   12.50" + "*ZZ9   " +
                             std::string(10, ' ') + "   -1.00";
    writeBytes(path, header + rows);

    auto file = DbfFile::open(path);
    EXPECT_EQ(file->header().version, 0x83);
    EXPECT_EQ(file->header().level, 3);
    EXPECT_EQ(file->header().headerLength, headerLength);
    ASSERT_EQ(file->recordCount(), 2u);
    EXPECT_EQ(file->fields()[1].type, 'M');
    EXPECT_EQ(file->rawField(0, 1), "0000000012");
    EXPECT_EQ(file->rawField(1, 2), "   -1.00");
    EXPECT_TRUE(file->isDeleted(1));

    // An append keeps every header byte but date and count, and the backlink area.
    const std::string added = " CD2   " + std::string(10, ' ') + "    3.00";
    EXPECT_EQ(file->appendRecord(added), 2u);
    std::string expected = header + rows + added + "\x1A";
    expected.replace(1, 7, todayBytes() + le(3, 4));
    EXPECT_EQ(readBytes(path), expected);
    expectSound(runDump(path));
}

TEST(DbfRead, DbaseFourWithIndexFlagsAndOtherFieldTypes) {
    TempDir dir;
    const fs::path path = dir / "Parteneri.dbf";
    const std::string original = fixed3(0x8B, "\x7B\x02\x0A", 1, 32 + 4 * 32 + 1, 30, 1, 0x57) +
                                 desc3("NUME", 'C', 8, 0, 1) + desc3("ACTIV", 'L', 1, 0) +
                                 desc3("RATA", 'F', 10, 3) + desc3("OBS", 'M', 10, 0) + "\x0D" +
                                 " Ionescu " + "T" + "     1.250" + std::string(10, ' ') + "\x1A";
    writeBytes(path, original);

    auto file = DbfFile::open(path);
    EXPECT_EQ(file->header().level, 4);
    EXPECT_TRUE(file->header().productionIndex);
    EXPECT_EQ(file->header().languageDriverId, 0x57);
    EXPECT_EQ(file->rawField(0, 1), "T");
    EXPECT_EQ(file->rawField(0, 2), "     1.250");
    EXPECT_EQ(file->rawField(0, 3), std::string(10, ' '));

    file->clearProductionIndexFlag();
    std::string expected = original;
    expected[28] = '\0';
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_FALSE(DbfFile::open(path)->header().productionIndex);

    // A layout change keeps the descriptor bytes of the fields it keeps (index flag at 31).
    file->rewriteLayout({field("NUME", 'C', 8), field("OBS", 'M', 10)}, [](std::string_view old) {
        return std::string(old.substr(0, 9)) + std::string(old.substr(20, 10));
    });
    const std::string bytes = readBytes(path);
    EXPECT_EQ(bytes.substr(32, 64), desc3("NUME", 'C', 8, 0, 1) + desc3("OBS", 'M', 10, 0));
    EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 0x8B);
    expectSound(runDump(path));
}

TEST(DbfRead, LevelSevenWithFieldPropertiesAfterTheTerminator) {
    TempDir dir;
    const fs::path path = dir / "Saga.dbf";
    std::string properties(40, '\0');
    for (std::size_t i = 0; i < properties.size(); ++i) properties[i] = static_cast<char>(i * 7);
    const int headerLength = 68 + 5 * 48 + 1 + 40;
    const std::string header = fixed7(0x04, "\x7C\x03\x05", 2, headerLength, 51, 0x57, "DBWINUS0") +
                               desc7("ID", '+', 4, 0, 7) + desc7("NUME_PARTENER", 'C', 20, 0) +
                               desc7("MODIFICAT", '@', 8, 0) + desc7("SUMA", 'N', 10, 2) +
                               desc7("RAW", 'O', 8, 0) + "\x0D" + properties;
    auto pad = [](std::string text, std::size_t width) {
        text.resize(width, ' ');
        return text;
    };
    const std::string rec1 = std::string(" \x80\0\0\x05", 5) + pad("Alfa SRL", 20) +
                             std::string(8, '\x11') + "    100.00" + std::string(8, '\x22');
    const std::string rec2 = std::string(" \x80\0\0\x06", 5) + pad("Beta SA", 20) +
                             std::string(8, '\x33') + "     -2.00" + std::string(8, '\x44');
    writeBytes(path, header + rec1 + rec2 + "\x1A");

    auto file = DbfFile::open(path);
    EXPECT_EQ(file->header().level, 7);
    EXPECT_EQ(file->header().languageDriverName, "DBWINUS0");
    EXPECT_EQ(file->header().headerLength, headerLength);
    EXPECT_EQ(file->fields()[1].name, "NUME_PARTENER");
    EXPECT_EQ(file->rawField(1, 0), std::string("\x80\0\0\x06", 4));
    EXPECT_EQ(file->rawField(0, 4), std::string(8, '\x22'));

    // Pack keeps the whole header, field properties included.
    file->setDeleted(0, true);
    file->pack();
    std::string expected = header + rec2 + "\x1A";
    expected.replace(1, 7, todayBytes() + le(1, 4));
    EXPECT_EQ(readBytes(path), expected);
    expectSound(runDump(path));

    // A layout change drops the properties of the old fields but keeps the autoincrement.
    file->rewriteLayout({field("ID", '+', 4), field("NUME_PARTENER", 'C', 20)},
                        [](std::string_view old) { return std::string(old.substr(0, 25)); });
    const std::string bytes = readBytes(path);
    EXPECT_EQ(file->header().headerLength, 68 + 2 * 48 + 1);
    EXPECT_EQ(bytes.substr(68, 48), desc7("ID", '+', 4, 0, 7));
    expectSound(runDump(path));
}

TEST(DbfRead, SharedSamplesOfBothLevels) {
    for (const char* name : {"sample-db3.dbf", "sample-db7.dbf"}) {
        SCOPED_TRACE(name);
        auto file = DbfFile::open(kSamples / name);
        const bool level7 = std::string(name) == "sample-db7.dbf";
        EXPECT_EQ(file->header().level, level7 ? 7 : 3);
        EXPECT_EQ(file->header().languageDriverName, level7 ? "DBWINUS0" : "");
        EXPECT_EQ(file->header().languageDriverId, 0x57);
        ASSERT_EQ(file->fields().size(), 5u);
        ASSERT_EQ(file->recordCount(), 3u);
        const FieldDescriptor& pret = file->fields()[2];
        EXPECT_EQ(pret.name, "PRET");
        EXPECT_EQ(pret.type, 'N');
        EXPECT_EQ(pret.width, 12);
        EXPECT_EQ(pret.decimals, 2);
        EXPECT_EQ(pret.offset, 31);
        EXPECT_EQ(file->rawField(1, 1),
                  "Cr\xE8me fra\xEE"
                  "che       ");
        EXPECT_EQ(file->rawField(2, 2), "       -1.00");
        EXPECT_EQ(file->rawField(2, 4), "        ");
        EXPECT_EQ(file->rawField(0, 4), "20240115");
        EXPECT_FALSE(file->changedOnDisk());
    }
}

// ---------------------------------------------------------------------------------------
// Damaged and foreign files

class DbfDamaged : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir / "Fise.dbf";
        auto file = DbfFile::create(path, {field("COD", 'C', 5), field("CANT", 'N', 8, 2)});
        file->appendRecord(record(*file, {"A", "1.00"}));
        file->appendRecord(record(*file, {"B", "2.00"}));
        good = readBytes(path);  // header 97 bytes, records 14 bytes
    }
    std::string openError(const std::string& bytes) {
        writeBytes(path, bytes);
        return errorOf([&] { DbfFile::open(path); });
    }
    TempDir dir;
    fs::path path;
    std::string good;
};

TEST_F(DbfDamaged, HeaderAndLengthDisagreementsAreReported) {
    std::string bytes = good;
    bytes.replace(4, 4, le(10, 4));
    EXPECT_EQ(openError(bytes),
              "Damaged table file (record count 10 does not match file size): " + path.string());

    EXPECT_NE(openError(good.substr(0, good.size() - 5)).find("record count 2"), std::string::npos);

    bytes = good;
    bytes.replace(8, 2, le(80, 2));  // shorter than the descriptors
    EXPECT_NE(openError(bytes).find("Damaged table file (header length 80"), std::string::npos);

    bytes = good;
    bytes.replace(10, 2, le(15, 2));
    EXPECT_NE(openError(bytes).find("Damaged table file (record length 15"), std::string::npos);

    bytes = good;
    bytes[96] = ' ';  // no terminator
    EXPECT_NE(openError(bytes).find("Damaged table file"), std::string::npos);

    bytes = good;
    bytes[48] = '\0';  // first field of width 0
    EXPECT_NE(openError(bytes).find("Damaged table file"), std::string::npos);

    EXPECT_NE(openError(good.substr(0, 20)).find("Damaged table file"), std::string::npos);
    EXPECT_NE(openError("").find("Damaged table file (empty file): "), std::string::npos);
}

TEST_F(DbfDamaged, ExtraBytesAfterTheRecordsAreTolerated) {
    writeBytes(path, good + "garbage after the end");
    auto file = DbfFile::open(path);
    EXPECT_EQ(file->recordCount(), 2u);
    file->appendRecord(record(*file, {"C", "3.00"}));
    EXPECT_EQ(DbfFile::open(path)->rawField(2, 0), "C    ");
}

TEST_F(DbfDamaged, MissingAndForeignFiles) {
    EXPECT_EQ(errorOf([&] { DbfFile::open(dir / "FactOut.dbf"); }),
              "Table file not found: " + (dir / "FactOut.dbf").string());
    EXPECT_EQ(openError("Name;Price\nLapte;4.50\n" + std::string(100, ' ')),
              "Not a dBase table file: " + path.string());
    std::string foxPro = good;
    foxPro[0] = 0x30;
    EXPECT_EQ(openError(foxPro), "Not a dBase table file: " + path.string());
    EXPECT_EQ(errorOf([&] { DbfFile::open(dir.path()); }),
              "Not a dBase table file: " + dir.path().string());
}

TEST_F(DbfDamaged, RandomBytesAreRejected) {
    std::mt19937 random(20240131);
    for (int i = 0; i < 300; ++i) {
        std::string bytes(random() % 700, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        EXPECT_NE(openError(bytes), "(no error)") << "run " << i;
    }
}

// Corrupting a few header bytes of a sound file either fails cleanly or leaves a table
// whose every field can be read.
TEST_F(DbfDamaged, CorruptedHeadersNeverCrash) {
    std::mt19937 random(7);
    int opened = 0;
    for (int i = 0; i < 500; ++i) {
        std::string bytes = good;
        for (int k = 0, n = 1 + random() % 3; k < n; ++k) {
            bytes[random() % 100] = static_cast<char>(random());
        }
        writeBytes(path, bytes);
        try {
            auto file = DbfFile::open(path);
            ++opened;
            const auto& h = file->header();
            ASSERT_LE(h.headerLength + uint64_t{file->recordCount()} * h.recordLength,
                      bytes.size());
            for (uint32_t r = 0; r < file->recordCount(); ++r) {
                for (std::size_t f = 0; f < file->fields().size(); ++f) {
                    ASSERT_EQ(file->rawField(r, static_cast<int>(f)).size(),
                              static_cast<std::size_t>(file->fields()[f].width));
                }
            }
        } catch (const EngineError&) {
        }
    }
    EXPECT_GT(opened, 0);  // flips of date or name bytes leave a readable table
}

// ---------------------------------------------------------------------------------------
// Write hook and the on-disk change test

struct HookEvent {
    bool replace = false;
    uint64_t offset = 0, length = 0, fileSize = 0;
    std::string fileBefore;  // the file as the hook saw it
};

class RecordingHook : public WriteHook {
  public:
    bool takeWrite(DbfFile& file, uint64_t offset, std::string_view bytes) override {
        if (failWrites) throw std::runtime_error("journal full");
        events.push_back(
            {false, offset, bytes.size(), fs::file_size(file.path()), readBytes(file.path())});
        return false;  // the file writes it itself
    }
    void beforeReplace(const fs::path& file) override {
        if (failReplaces) throw std::runtime_error("journal full");
        events.push_back({true, 0, 0, 0, fs::exists(file) ? readBytes(file) : "(none)"});
    }
    std::vector<HookEvent> events;
    bool failWrites = false, failReplaces = false;
};

class DbfHook : public ::testing::Test {
  protected:
    TempDir dir;
    RecordingHook hook;
};

TEST_F(DbfHook, SeesEveryRangeBeforeItChanges) {
    const fs::path path = dir / "Jurnal.dbf";
    auto file = DbfFile::create(path, {field("COD", 'C', 3), field("SUMA", 'N', 6, 2)});
    file->setWriteHook(&hook);

    const std::string empty = readBytes(path);  // header 97 bytes + end mark
    hook.events.clear();
    file->appendRecord(" AB   1.00");
    ASSERT_EQ(hook.events.size(), 2u);
    EXPECT_EQ(hook.events[0].offset, 97u);
    EXPECT_EQ(hook.events[0].length, 11u);
    EXPECT_EQ(hook.events[0].fileSize, 98u);
    EXPECT_EQ(hook.events[0].fileBefore, empty);
    EXPECT_EQ(hook.events[1].offset, 1u);
    EXPECT_EQ(hook.events[1].length, 7u);
    EXPECT_EQ(hook.events[1].fileSize, 108u);
    EXPECT_EQ(hook.events[1].fileBefore.substr(4, 4), le(0, 4));  // count not yet raised

    hook.events.clear();
    file->appendRecord(" CD   2.00");
    file->writeRecord(0, " AB   9.00");
    file->setDeleted(1, true);
    ASSERT_EQ(hook.events.size(), 4u);
    EXPECT_EQ(hook.events[2].offset, 97u);
    EXPECT_EQ(hook.events[2].length, 10u);
    EXPECT_EQ(hook.events[2].fileBefore.substr(97, 10), " AB   1.00");
    EXPECT_EQ(hook.events[3].offset, 107u);
    EXPECT_EQ(hook.events[3].length, 1u);
    EXPECT_EQ(hook.events[3].fileBefore[107], ' ');
    EXPECT_EQ(hook.events[3].fileSize, 118u);

    const std::string beforePack = readBytes(path);
    hook.events.clear();
    file->pack();
    ASSERT_EQ(hook.events.size(), 1u);
    EXPECT_TRUE(hook.events[0].replace);
    EXPECT_EQ(hook.events[0].fileBefore, beforePack);
    EXPECT_NE(readBytes(path), beforePack);
}

TEST_F(DbfHook, AFailingHookStopsTheChange) {
    const fs::path path = dir / "Jurnal.dbf";
    auto file = DbfFile::create(path, {field("COD", 'C', 3)});
    file->setWriteHook(&hook);
    file->appendRecord(" ABC");
    file->setDeleted(0, true);
    const std::string before = readBytes(path);

    hook.failWrites = true;
    EXPECT_THROW(file->appendRecord(" CDE"), std::runtime_error);
    EXPECT_THROW(file->writeRecord(0, " XYZ"), std::runtime_error);
    EXPECT_EQ(file->recordCount(), 1u);
    EXPECT_EQ(file->rawRecord(0), "*ABC");
    hook.failReplaces = true;
    EXPECT_THROW(file->pack(), std::runtime_error);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(file->recordCount(), 1u);
}

TEST(DbfDiskState, OwnWritesAreNotChangesButOthersAre) {
    TempDir dir;
    const fs::path path = dir / "Cache.dbf";
    auto file = DbfFile::create(path, {field("COD", 'C', 4)});
    EXPECT_FALSE(file->changedOnDisk());
    file->appendRecord(" AAAA");
    file->appendRecord(" BBBB");
    EXPECT_FALSE(file->changedOnDisk());
    file->writeRecord(0, " CCCC");
    file->setDeleted(1, true);
    EXPECT_FALSE(file->changedOnDisk());
    file->pack();
    EXPECT_FALSE(file->changedOnDisk());
    file->rewriteLayout({field("COD", 'C', 5)},
                        [](std::string_view old) { return std::string(old) + " "; });
    EXPECT_FALSE(file->changedOnDisk());

    {
        std::ofstream other(path, std::ios::binary | std::ios::app);
        other << "x";
    }
    EXPECT_TRUE(file->changedOnDisk());

    // Same size, changed by another process: only the modification time tells. The pause
    // outlasts the coarse clock some file systems stamp files with.
    file = DbfFile::open(path);
    EXPECT_FALSE(file->changedOnDisk());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string command =
        "python3 -c \"import sys; f = open(sys.argv[1], 'r+b'); f.seek(66); f.write(b'Z')\" \"" +
        path.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(file->changedOnDisk());
    EXPECT_EQ(DbfFile::open(path)->rawField(0, 0), "ZCCC ");

    fs::remove(path);
    EXPECT_TRUE(file->changedOnDisk());
}

}  // namespace
