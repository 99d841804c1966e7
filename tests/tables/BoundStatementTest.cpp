// Statements kept bound between runs of the same text: parameters and sub-selects are
// read anew at every run, and a table read again, re-laid out, packed, replaced, dropped
// or put back by a rollback between two runs makes the statement bind again.
#include <gtest/gtest.h>

#include "TempDir.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

using namespace tvx::tables;
using tvx::testing::TempDir;

namespace {

class BoundStatementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.execute("CREATE TABLE Lot (ID DECIMAL(6,0), NAME CHAR(20), PRICE DECIMAL(8,2))");
        db.execute("INSERT INTO Lot VALUES (1, 'NUT', 2.5), (2, 'BOLT', 4), (3, 'WASHER', 0.3)");
    }
    // Every row of a query, cells joined by '|', rows by ';'.
    std::string rows(Database& on, const std::string& sql, const Params& p = {}) {
        ResultSet rs = on.query(sql, p);
        std::string out;
        for (size_t r = 0; r < rs.rowCount(); ++r) {
            if (r) out += ";";
            for (int c = 0; c < rs.columnCount(); ++c)
                out += (c ? "|" : "") + rs.at(r, c).toString();
        }
        return out;
    }
    std::string rows(const std::string& sql, const Params& p = {}) { return rows(db, sql, p); }
    std::string columns(const std::string& sql) {
        ResultSet rs = db.query(sql);
        std::string out;
        for (int c = 0; c < rs.columnCount(); ++c) out += (c ? "|" : "") + rs.columns()[c].name;
        return out;
    }
    TempDir dir;
    Database db{dir.path()};
};

const char* const kByName = "SELECT ID, PRICE FROM Lot WHERE NAME = :name";

TEST_F(BoundStatementTest, ParametersAreReadAtEveryRun) {
    EXPECT_EQ(rows(kByName, {{"name", Value("NUT")}}), "1|2.50");
    EXPECT_EQ(rows(kByName, {{"NAME", Value("BOLT")}}), "2|4.00");
    EXPECT_EQ(rows(kByName, {{"name", Value("NONE")}}), "");
    EXPECT_EQ(rows(kByName, {{"name", Value()}}), "");  // NULL matches nothing
    EXPECT_THROW(db.query(kByName), EngineError);       // no value for :name
    EXPECT_EQ(rows(kByName, {{"name", Value("WASHER")}}), "3|0.30");

    const char* update = "UPDATE Lot SET PRICE = PRICE + :d WHERE ID = :id";
    EXPECT_EQ(db.execute(update, {{"d", Value(1)}, {"id", Value(1)}}), 1);
    EXPECT_EQ(db.execute(update, {{"d", Value(2)}, {"id", Value(2)}}), 1);
    const char* insert = "INSERT INTO Lot (ID, NAME) VALUES (:id, :name)";
    db.execute(insert, {{"id", Value(4)}, {"name", Value("PIN")}});
    db.execute(insert, {{"id", Value(5)}, {"name", Value("CLIP")}});
    EXPECT_EQ(rows("SELECT ID, NAME, PRICE FROM Lot ORDER BY ID"),
              "1|NUT|3.50;2|BOLT|6.00;3|WASHER|0.30;4|PIN|;5|CLIP|");
}

TEST_F(BoundStatementTest, SubSelectsAreComputedAtEveryRun) {
    const char* top = "SELECT NAME FROM Lot WHERE PRICE = (SELECT MAX(PRICE) FROM Lot)";
    EXPECT_EQ(rows(top), "BOLT");
    db.execute("INSERT INTO Lot VALUES (4, 'GEAR', 9)");
    EXPECT_EQ(rows(top), "GEAR");

    db.execute("CREATE TABLE Stock (ID DECIMAL(6,0), TOTAL DECIMAL(10,2))");
    db.execute("INSERT INTO Stock VALUES (1, 0)");
    const char* recalc = "UPDATE Stock SET TOTAL = (SELECT SUM(PRICE) FROM Lot WHERE ID <= :upto)";
    db.execute(recalc, {{"upto", Value(2)}});
    EXPECT_EQ(rows("SELECT TOTAL FROM Stock"), "6.50");
    db.execute(recalc, {{"upto", Value(4)}});
    EXPECT_EQ(rows("SELECT TOTAL FROM Stock"), "15.80");
    const char* copy = "INSERT INTO Stock VALUES (:id, (SELECT COUNT(*) FROM Lot))";
    db.execute(copy, {{"id", Value(2)}});
    db.execute("DELETE FROM Lot WHERE ID = 4");
    db.execute(copy, {{"id", Value(3)}});
    EXPECT_EQ(rows("SELECT ID, TOTAL FROM Stock ORDER BY ID"), "1|15.80;2|4.00;3|3.00");
}

TEST_F(BoundStatementTest, AlteredTableIsBoundAgain) {
    const char* all = "SELECT * FROM Lot WHERE ID = :id";
    const char* price = "SELECT PRICE FROM Lot WHERE ID = :id";
    EXPECT_EQ(rows(all, {{"id", Value(2)}}), "2|BOLT|4.00");
    EXPECT_EQ(rows(price, {{"id", Value(2)}}), "4.00");
    // NAME goes: PRICE moves to the second field, a new third field appears.
    db.execute("ALTER TABLE Lot DROP NAME, ADD NOTE CHAR(5)");
    db.execute("UPDATE Lot SET NOTE = 'X' WHERE ID = 2");
    EXPECT_EQ(rows(all, {{"id", Value(2)}}), "2|4.00|X");
    EXPECT_EQ(rows(price, {{"id", Value(2)}}), "4.00");
    EXPECT_EQ(columns("SELECT * FROM Lot"), "ID|PRICE|NOTE");
    EXPECT_THROW(db.query(kByName, {{"name", Value("NUT")}}), EngineError);  // no NAME now
}

TEST_F(BoundStatementTest, FieldLayoutChangeIsSeen) {
    const char* price = "SELECT PRICE FROM Lot WHERE ID = 3";
    EXPECT_EQ(rows(price), "0.30");
    db.changeFieldLayout(dir / "Lot.dbf", "PRICE", FieldLayout{"PRICE", 'N', 9, 3});
    EXPECT_EQ(rows(price), "0.300");
    db.changeFieldLayout(dir / "Lot.dbf", "PRICE", FieldLayout{"COST", 'N', 9, 3});
    EXPECT_THROW(db.query(price), EngineError);
}

TEST_F(BoundStatementTest, PackedTableIsBoundAgain) {
    const char* byId = "SELECT NAME FROM Lot WHERE ID = :id";
    EXPECT_EQ(rows(byId, {{"id", Value(3)}}), "WASHER");
    db.execute("DELETE FROM Lot WHERE ID = 1");
    db.pack(dir / "Lot.dbf");
    EXPECT_EQ(rows(byId, {{"id", Value(3)}}), "WASHER");
    EXPECT_EQ(rows(byId, {{"id", Value(1)}}), "");
    const char* rename = "UPDATE Lot SET NAME = :name WHERE ID = :id";
    EXPECT_EQ(db.execute(rename, {{"name", Value("RING")}, {"id", Value(3)}}), 1);
    db.execute("DELETE FROM Lot WHERE ID = 2");
    db.pack(dir / "Lot.dbf");
    EXPECT_EQ(db.execute(rename, {{"name", Value("DISC")}, {"id", Value(3)}}), 1);
    EXPECT_EQ(rows("SELECT ID, NAME FROM Lot"), "3|DISC");
}

TEST_F(BoundStatementTest, DroppedAndRecreatedTableIsBoundAgain) {
    const char* byId = "SELECT NAME FROM Lot WHERE ID = :id";
    EXPECT_EQ(rows(byId, {{"id", Value(2)}}), "BOLT");
    db.execute("DROP TABLE Lot");
    EXPECT_THROW(db.query(byId, {{"id", Value(2)}}), EngineError);
    db.execute("CREATE TABLE Lot (NAME CHAR(8), ID DECIMAL(4,0))");
    db.execute("INSERT INTO Lot VALUES ('AXLE', 2)");
    EXPECT_EQ(rows(byId, {{"id", Value(2)}}), "AXLE");
}

TEST_F(BoundStatementTest, FileChangedByAnotherProgramIsBoundAgain) {
    const char* byId = "SELECT NAME FROM Lot WHERE ID = :id";
    EXPECT_EQ(rows(byId, {{"id", Value(1)}}), "NUT");
    // Another program changes the file itself (the data directory is this Database's).
    TempDir elsewhere;
    const std::string lot = "\"" + (dir / "Lot.dbf").string() + "\"";
    {
        // It replaces the table with one of another layout.
        Database other(elsewhere.path());
        other.execute("DROP TABLE " + lot);
        other.execute("CREATE TABLE " + lot + " (CODE CHAR(3), NAME CHAR(10), ID DECIMAL(6,0))");
        other.execute("INSERT INTO " + lot + " VALUES ('A', 'SPRING', 1)");
    }
    EXPECT_EQ(rows(byId, {{"id", Value(1)}}), "SPRING");
    {
        Database other(elsewhere.path());
        other.execute("UPDATE " + lot + " SET NAME = 'COIL' WHERE ID = 1");
    }
    EXPECT_EQ(rows(byId, {{"id", Value(1)}}), "COIL");
}

TEST_F(BoundStatementTest, RollbackPutsTheOldLayoutBack) {
    const char* note = "SELECT NOTE FROM Lot WHERE ID = 1";
    const char* all = "SELECT * FROM Lot WHERE ID = 1";
    EXPECT_EQ(rows(all), "1|NUT|2.50");
    db.begin();
    db.execute("ALTER TABLE Lot ADD NOTE CHAR(4)");
    db.execute("UPDATE Lot SET NOTE = 'NEW' WHERE ID = 1");
    EXPECT_EQ(rows(note), "NEW");
    EXPECT_EQ(rows(all), "1|NUT|2.50|NEW");
    db.rollback();
    EXPECT_THROW(db.query(note), EngineError);
    EXPECT_EQ(rows(all), "1|NUT|2.50");

    // A statement bound inside a rolled back transaction to a table it created.
    const char* extra = "SELECT COUNT(*) FROM Extra";
    db.begin();
    db.execute("CREATE TABLE Extra (ID DECIMAL(3,0))");
    db.execute("INSERT INTO Extra VALUES (1)");
    EXPECT_EQ(rows(extra), "1");
    db.rollback();
    EXPECT_THROW(db.query(extra), EngineError);
    db.execute("CREATE TABLE Extra (A CHAR(1), ID DECIMAL(3,0))");
    EXPECT_EQ(rows(extra), "0");
}

TEST_F(BoundStatementTest, JoinsKeepTheirPlanAcrossRuns) {
    db.execute("CREATE TABLE Move (IDL DECIMAL(6,0), QTY DECIMAL(6,0))");
    db.execute("INSERT INTO Move VALUES (1, 5), (2, 7), (1, 3), (3, 1)");
    const char* moves =
        "SELECT L.NAME, SUM(M.QTY) AS Q FROM Move M JOIN Lot L ON L.ID = M.IDL "
        "WHERE L.NAME = :name GROUP BY L.NAME";
    EXPECT_EQ(rows(moves, {{"name", Value("NUT")}}), "NUT|8");
    EXPECT_EQ(rows(moves, {{"name", Value("BOLT")}}), "BOLT|7");
    db.execute("INSERT INTO Move VALUES (2, 10)");
    db.execute("UPDATE Lot SET NAME = 'NUT' WHERE ID = 3");
    EXPECT_EQ(rows(moves, {{"name", Value("BOLT")}}), "BOLT|17");
    EXPECT_EQ(rows(moves, {{"name", Value("NUT")}}), "NUT|9");
}

}  // namespace
