// Index files beside the tables and tables read chunk by chunk: a new process answers from
// them reading only what it needs, and gives the same rows whether the index files are
// there, missing, stale or damaged, after changes, rollbacks and outside writes.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>

#include "TempDir.h"
#include "tables/Database.h"
#include "tables/IndexFile.h"
#include "tables/Table.h"
#include "tables/dbf/DbfFile.h"

using namespace tvx::tables;
using tvx::testing::TempDir;

namespace {

constexpr int kRows = 3000;

struct Row {
    int id;
    std::string group;
    Date day;
};

class IndexFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Database db(dir.path());
        db.execute("CREATE TABLE Fise (IDFISA DECIMAL(10,0), GRUPA CHAR(8), DATA DATE, "
                   "TEXT CHAR(200))");
        db.begin();
        for (int i = 0; i < kRows; ++i) add(db, i + 1, "G" + std::to_string(i % 7),
                                            Date::fromYmd(2020, 1, 1).dayNumber() + i / 3);
        db.commit();
    }
    void add(Database& db, int id, const std::string& group, int day) {
        rows[id] = {id, group, Date::fromDayNumber(day)};
        db.execute("INSERT INTO Fise (IDFISA, GRUPA, DATA) VALUES (:i, :g, :d)",
                   {{"i", Value(id)}, {"g", Value(group)}, {"d", Value(Date::fromDayNumber(day))}});
    }
    // Every question answered through an index, against the rows the test knows.
    void expectAnswers(Database& db) {
        for (int id : {1, 2, 1500, kRows, kRows + 1, 99999}) {
            auto rs = db.query("SELECT GRUPA FROM Fise WHERE IDFISA = :i", {{"i", Value(id)}});
            auto it = rows.find(id);
            ASSERT_EQ(rs.rowCount(), it == rows.end() ? 0u : 1u) << "id " << id;
            if (it != rows.end()) EXPECT_EQ(rs.at(0, 0).toString(), it->second.group);
        }
        for (int g = 0; g < 8; ++g) {
            const std::string group = "G" + std::to_string(g);
            size_t want = 0;
            for (const auto& [id, row] : rows) want += row.group == group;
            EXPECT_EQ(db.query("SELECT IDFISA FROM Fise WHERE GRUPA = :g", {{"g", Value(group)}})
                          .rowCount(),
                      want)
                << group;
        }
        const Date from = Date::fromYmd(2020, 3, 1), to = Date::fromYmd(2020, 4, 15);
        size_t want = 0, before = 0;
        for (const auto& [id, row] : rows) {
            want += row.day >= from && row.day <= to;
            before += row.day < from;
        }
        EXPECT_EQ(db.query("SELECT IDFISA FROM Fise WHERE DATA >= :a AND DATA <= :b",
                           {{"a", Value(from)}, {"b", Value(to)}})
                      .rowCount(),
                  want);
        EXPECT_EQ(db.query("SELECT IDFISA FROM Fise WHERE :a > DATA", {{"a", Value(from)}})
                      .rowCount(),
                  before);
    }
    // Changes through the engine: new rows, keys and dates changed, rows deleted.
    void change(Database& db, int round) {
        add(db, kRows + round, "G7", Date::fromYmd(2020, 3, 10).dayNumber());
        db.execute("UPDATE Fise SET GRUPA = 'G7', DATA = :d WHERE IDFISA = 2",
                   {{"d", Value(Date::fromYmd(2020, 3, 2))}});
        rows[2].group = "G7";
        rows[2].day = Date::fromYmd(2020, 3, 2);
        db.execute("DELETE FROM Fise WHERE IDFISA = 1500");
        rows.erase(1500);
    }
    size_t chunksRead(Database& db) {
        return db.table(dir / "Fise.dbf").file().shareImage()->loadedChunks();
    }
    TempDir dir;
    std::map<int, Row> rows;
};

TEST_F(IndexFileTest, ANewProcessAnswersFromTheIndexFileReadingFewRecords) {
    if (CurrentIndexFileMode() != IndexFileMode::Normal) GTEST_SKIP() << "index files are off";
    {
        Database db(dir.path());
        expectAnswers(db);  // builds the indexes and leaves them beside the table
        db.pack(dir / "Fise.dbf");  // counts the deleted records: none
    }
    ASSERT_TRUE(std::filesystem::exists(dir / "Fise.tvi"));
    Database db(dir.path());
    db.pack(dir / "Fise.dbf");  // nothing to tidy, as the index file tells
    EXPECT_LE(chunksRead(db), 3u);  // of 24: the first and last records, which it covers
    EXPECT_EQ(db.query("SELECT GRUPA FROM Fise WHERE IDFISA = 2000").at(0, 0).toString(), "G4");
    EXPECT_LE(chunksRead(db), 4u);  // of 24: the one holding the row, and the sampled ends
    // A result set made from records not yet read keeps them as they were when it was made.
    ResultSet before = db.query("SELECT GRUPA FROM Fise WHERE IDFISA = 1000");
    db.execute("UPDATE Fise SET GRUPA = 'X' WHERE IDFISA = 1000");
    EXPECT_EQ(before.at(0, 0).toString(), "G5");
}

// A second equality on a field never indexed is not costed by building its index (a
// read of the whole table) while the saved index of the first one narrows well.
TEST_F(IndexFileTest, AnEqualityWithoutAnIndexBuildsNoneBesideANarrowOne) {
    if (CurrentIndexFileMode() != IndexFileMode::Normal) GTEST_SKIP() << "index files are off";
    {
        Database db(dir.path());
        db.query("SELECT GRUPA FROM Fise WHERE IDFISA = 1");  // the IDFISA index is saved
    }
    Database db(dir.path());
    const ResultSet rs = db.query("SELECT IDFISA FROM Fise WHERE IDFISA = 2000 AND TEXT = ''");
    ASSERT_EQ(rs.rowCount(), 1u);
    EXPECT_LE(chunksRead(db), 4u);  // of 24, as for the look-up alone
}

// A sum over every record keeps none of them. A result set whose rows were never read
// still gives them as they were, however many changes follow (each on a copy of the one
// before) and once the table file holds them.
TEST_F(IndexFileTest, AWalkKeepsNoRecordsAndResultsStayAsTheyWere) {
    Database db(dir.path());
    EXPECT_EQ(db.query("SELECT COUNT(*) FROM Fise WHERE GRUPA <> ''").at(0, 0).toString(),
              std::to_string(kRows));
    EXPECT_LE(chunksRead(db), 3u);  // of 24: at most the ends an index file check samples
    const ResultSet all = db.query("SELECT IDFISA, GRUPA FROM Fise");
    ASSERT_EQ(all.rowCount(), static_cast<size_t>(kRows));
    const ResultSet one = db.query("SELECT GRUPA FROM Fise WHERE IDFISA = 1");  // shares too
    db.execute("UPDATE Fise SET GRUPA = 'X' WHERE IDFISA = 10");
    db.execute("UPDATE Fise SET GRUPA = 'Y' WHERE IDFISA = 1400");
    db.execute("UPDATE Fise SET GRUPA = 'Z' WHERE IDFISA = 1401");
    db.checkpoint();  // the table file itself holds the changes now
    for (size_t row : {9u, 1399u, 1400u})
        EXPECT_EQ(all.at(row, 1).toString(), rows[static_cast<int>(row) + 1].group) << row;
    EXPECT_EQ(db.query("SELECT GRUPA FROM Fise WHERE IDFISA = 1400").at(0, 0).toString(), "Y");
}

TEST_F(IndexFileTest, RowsAreTheSameWhateverStateTheIndexFilesAreIn) {
    enum class State { Present, Absent, StaleAfterOutsideWrite, Damaged, AfterRollback };
    int round = 0;
    for (State state : {State::Present, State::Absent, State::StaleAfterOutsideWrite,
                        State::Damaged, State::AfterRollback}) {
        SCOPED_TRACE(static_cast<int>(state));
        {
            Database db(dir.path());
            expectAnswers(db);
            change(db, ++round);
            expectAnswers(db);  // the indexes follow the changes in memory
        }
        const auto index = dir / "Fise.tvi";
        switch (state) {
            case State::Present:
                break;
            case State::Absent:
                std::filesystem::remove(index);
                break;
            case State::StaleAfterOutsideWrite: {
                // Another program moves a row to another group, in place: same size.
                auto file = dbf::DbfFile::open(dir / "Fise.dbf");
                const uint32_t record = 10;  // IDFISA 11
                std::string bytes(file->rawRecord(record));
                bytes.replace(static_cast<size_t>(file->fields()[1].offset), 2, "G6");
                file->writeRecord(record, bytes);
                rows[11].group = "G6";
                break;
            }
            case State::Damaged: {
                std::fstream f(index, std::ios::in | std::ios::out | std::ios::binary);
                f.seekp(200);
                f.write("\x55\xAA\x55", 3);
                break;
            }
            case State::AfterRollback: {
                Database db(dir.path());
                db.begin();
                db.execute("UPDATE Fise SET GRUPA = 'G0' WHERE GRUPA = 'G3'");
                db.execute("INSERT INTO Fise (IDFISA, GRUPA) VALUES (77777, 'G3')");
                EXPECT_EQ(db.query("SELECT * FROM Fise WHERE GRUPA = 'G3'").rowCount(), 1u);
                db.rollback();
                expectAnswers(db);
                break;
            }
        }
        Database db(dir.path());
        expectAnswers(db);
    }
}

// A join narrowed by a period on its head table walks that table's date index and reads
// only the lines of the period, even when the lines carry a frequent constant (-1) that
// looks like a narrow key.
TEST(IndexFilePlan, APeriodJoinReadsOnlyThePeriodsLines) {
    if (CurrentIndexFileMode() != IndexFileMode::Normal) GTEST_SKIP() << "index files are off";
    TempDir dir;
    const Params period{{"a", Value(Date::fromYmd(2024, 3, 1))},
                        {"b", Value(Date::fromYmd(2024, 3, 5))}};
    const std::string join =
        "SELECT COUNT(*) FROM Line L, Head H WHERE L.IDH = H.IDH AND H.DATA >= :a AND "
        "H.DATA <= :b AND L.FLAG = -1";
    {
        Database db(dir.path());
        db.execute("CREATE TABLE Head (IDH DECIMAL(8,0), DATA DATE)");
        db.execute("CREATE TABLE Line (IDH DECIMAL(8,0), FLAG DECIMAL(8,0), TEXT CHAR(200))");
        db.begin();
        for (int h = 0; h < 300; ++h) {
            db.execute("INSERT INTO Head (IDH, DATA) VALUES (:h, :d)",
                       {{"h", Value(h)},
                        {"d", Value(Date::fromDayNumber(Date::fromYmd(2024, 1, 1).dayNumber() + h))}});
            for (int k = 0; k < 10; ++k)
                db.execute("INSERT INTO Line (IDH, FLAG) VALUES (:h, :f)",
                           {{"h", Value(h)}, {"f", Value(k == 0 ? h * 10 : -1)}});
        }
        db.commit();
        EXPECT_EQ(db.query(join, period).at(0, 0).toString(), "45");  // 5 heads, 9 lines each
    }
    Database db(dir.path());
    EXPECT_EQ(db.query(join, period).at(0, 0).toString(), "45");
    // Of 24 chunks of lines: the period's two, and the three the index file checks (first and
    // last records).
    EXPECT_LE(db.table(dir / "Line.dbf").file().shareImage()->loadedChunks(), 5u);
}

}  // namespace
