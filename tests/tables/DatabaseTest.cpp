// The engine's C++ interface: parameters, all-or-nothing statements, the table cache and
// its indexes, row editing, packing and field-layout changes.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "TempDir.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/dbf/DbfFile.h"

using namespace tvx::tables;
using tvx::testing::readFile;
using tvx::testing::TempDir;

namespace {

class DatabaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.execute(
            "CREATE TABLE CapFise (IDCAP DECIMAL(10,0), GESTIUNE CHAR(24), PRODUS CHAR(240), "
            "PRETOUT DECIMAL(10,2), STOC DECIMAL(8,2), CODBARE CHAR(10))");
    }
    std::string cell(const std::string& sql, const Params& p = {}) {
        ResultSet rs = db.query(sql, p);
        return rs.empty() ? "<none>" : rs.at(0, 0).toString();
    }
    TempDir dir;
    Database db{dir.path()};
};

TEST_F(DatabaseTest, ParametersStandWhereLiteralsMay) {
    Params p{
        {"id", Value(7)}, {"name", Value("SURUB \"M6\"")}, {"price", *Decimal::parse("2.345")}};
    EXPECT_EQ(
        db.execute("INSERT INTO CapFise (IDCAP, PRODUS, PRETOUT) VALUES (:id, :name, :price)", p),
        1);
    EXPECT_EQ(db.execute("UPDATE CapFise SET STOC = :q WHERE IDCAP = :ID",
                         {{"q", Value(3)}, {"id", Value(7)}}),
              1);
    ResultSet rs = db.query("SELECT PRODUS, PRETOUT, STOC FROM CapFise WHERE PRODUS = :name", p);
    ASSERT_EQ(rs.rowCount(), 1u);
    EXPECT_EQ(rs.asText("PRODUS"), "SURUB \"M6\"");  // parameters need no quoting
    EXPECT_EQ(rs.asText("PRETOUT"), "2.35");
    EXPECT_EQ(rs.asText("STOC"), "3.00");
    EXPECT_THROW(db.query("SELECT * FROM CapFise WHERE IDCAP = :missing"), EngineError);
}

TEST_F(DatabaseTest, AFailingStatementWritesNothing) {
    db.execute("INSERT INTO CapFise (IDCAP, STOC) VALUES (1, 5)");
    auto file = dir / "CapFise.dbf";
    std::string before = readFile(file);
    // The second row's STOC does not fit N(8,2): neither row may be stored.
    EXPECT_THROW(db.execute("INSERT INTO CapFise (IDCAP, STOC) VALUES (2, 1), (3, 123456.78)"),
                 EngineError);
    // One row's new value does not fit: no row may change.
    db.execute("INSERT INTO CapFise (IDCAP, STOC) VALUES (4, 99999.00)");
    before = readFile(file);
    EXPECT_THROW(db.execute("UPDATE CapFise SET STOC = STOC * 10"), EngineError);
    EXPECT_EQ(readFile(file), before);
    EXPECT_THROW(db.execute("INSERT INTO CapFise (IDCAP, STOC) VALUES (5, 'abc')"), EngineError);
    EXPECT_THROW(db.execute("UPDATE CapFise SET IDCAP = 1/0"), EngineError);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise"), "2");
}

TEST_F(DatabaseTest, ADateOutsideTheYearsOneToNineThousandIsNeverStored) {
    db.execute("CREATE TABLE Termene (ID DECIMAL(10,0), D DATE)");
    const std::string before = readFile(dir / "Termene.dbf");
    const Date last = Date::fromYmd(9999, 12, 31);
    EXPECT_THROW(last.addDays(1), EngineError);
    EXPECT_THROW(Date::fromYmd(1, 1, 1).addDays(-1), EngineError);
    // Made without the checks of addDays, a day count past the range still cannot be written.
    for (const Date beyond : {Date::fromDayNumber(last.dayNumber() + 1),
                              Date::fromDayNumber(Date::fromYmd(1, 1, 1).dayNumber() - 1)})
        EXPECT_THROW(db.execute("INSERT INTO Termene (ID, D) VALUES (1, :d)", {{"d", beyond}}),
                     EngineError);
    EXPECT_EQ(readFile(dir / "Termene.dbf"), before);
}

TEST_F(DatabaseTest, ErrorsNameTheTableAndThePosition) {
    try {
        db.execute("INSERT INTO CapFise (IDCAP, STOC) VALUES (1, 1000000)");
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("CapFise"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("STOC"), std::string::npos) << e.what();
    }
    try {
        db.query("SELECT IDCAP FROM CapFise WHERE NOPE = 1");
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("NOPE"), std::string::npos) << e.what();
        EXPECT_GT(e.position(), 0);
    }
    EXPECT_THROW(db.query("SELECT * FROM Missing"), EngineError);
}

// Index lookups (equality on a column) must give exactly what a scan gives, through a
// random sequence of inserts, updates and deletes that move the indexed values.
TEST_F(DatabaseTest, IndexedLookupsAgreeWithScansAfterRandomChanges) {
    std::mt19937 rng(12345);
    auto rnd = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int nextId = 1;
    for (int step = 0; step < 600; ++step) {
        int op = rnd(10);
        if (op < 5) {
            db.execute("INSERT INTO CapFise (IDCAP, GESTIUNE, STOC) VALUES (:id, :g, :s)",
                       {{"id", Value(nextId++)},
                        {"g", Value("G" + std::to_string(rnd(5)))},
                        {"s", Value(rnd(50))}});
        } else if (op < 8) {
            db.execute(
                "UPDATE CapFise SET GESTIUNE = :g, IDCAP = IDCAP + 1000 WHERE IDCAP = :id",
                {{"g", Value("G" + std::to_string(rnd(5)))}, {"id", Value(rnd(nextId) + 1)}});
        } else {
            db.execute("DELETE FROM CapFise WHERE GESTIUNE = :g AND STOC < 10",
                       {{"g", Value("G" + std::to_string(rnd(5)))}});
        }
        if (step % 25 == 0) {
            for (int k = 0; k < 5; ++k) {
                Params p{{"g", Value("G" + std::to_string(k))}};
                EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise WHERE GESTIUNE = :g", p),
                          cell("SELECT COUNT(*) FROM CapFise WHERE GESTIUNE + '' = :g", p));
            }
            int id = rnd(nextId) + 1;
            Params p{{"id", Value(id)}};
            EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise WHERE IDCAP = :id", p),
                      cell("SELECT COUNT(*) FROM CapFise WHERE IDCAP + 0 = :id", p));
        }
    }
    // Joins through the index agree with joins filtered by an expression.
    EXPECT_EQ(
        cell("SELECT COUNT(*) FROM CapFise A, CapFise B WHERE A.GESTIUNE = B.GESTIUNE"),
        cell("SELECT COUNT(*) FROM CapFise A, CapFise B WHERE A.GESTIUNE + '' = B.GESTIUNE + ''"));
    // A join walked from its most selective table still gives the rows in written order.
    auto rows = [&](const std::string& sql) {
        ResultSet rs = db.query(sql, {{"g", Value("G1")}});
        std::string all;
        for (size_t r = 0; r < rs.rowCount(); ++r)
            all += rs.at(r, 0).toString() + "/" + rs.at(r, 1).toString() + " ";
        return all;
    };
    EXPECT_EQ(
        rows("SELECT A.IDCAP, B.IDCAP FROM CapFise A JOIN CapFise B ON A.STOC = B.STOC "
             "WHERE B.GESTIUNE = :g"),
        rows("SELECT A.IDCAP, B.IDCAP FROM CapFise A JOIN CapFise B ON A.STOC + 0 = B.STOC + 0 "
             "WHERE B.GESTIUNE + '' = :g"));
}

TEST_F(DatabaseTest, SeesChangesMadeByAnotherWriter) {
    db.execute("INSERT INTO CapFise (IDCAP) VALUES (1)");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise WHERE IDCAP = 1"), "1");
    {
        // It writes the file itself: the data directory is this Database's.
        TempDir elsewhere;
        Database other(elsewhere.path());
        const std::string capFise = "\"" + (dir / "CapFise.dbf").string() + "\"";
        other.execute("INSERT INTO " + capFise + " (IDCAP) VALUES (2)");
        other.execute("UPDATE " + capFise + " SET IDCAP = 3 WHERE IDCAP = 1");
    }
    EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise WHERE IDCAP = 1"), "0");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise WHERE IDCAP = 3"), "1");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise"), "2");
}

TEST_F(DatabaseTest, FindsTablesIgnoringTheCaseOfFileNames) {
    std::filesystem::rename(dir / "CapFise.dbf", dir / "CAPFISE.DBF");
    EXPECT_EQ(db.execute("INSERT INTO capfise (IDCAP) VALUES (1)"), 1);
    EXPECT_EQ(cell("SELECT COUNT(*) FROM \"" + (dir / "CapFise.dbf").string() + "\" C"), "1");
    EXPECT_THROW(db.execute("CREATE TABLE CapFise (X CHAR(1))"), EngineError);
}

TEST_F(DatabaseTest, EditorWalksLiveRowsSetsFieldsAndPosts) {
    db.execute("INSERT INTO CapFise (IDCAP, PRODUS) VALUES (1, 'A'), (2, 'B'), (3, 'C')");
    db.execute("DELETE FROM CapFise WHERE IDCAP = 2");
    auto file = dir / "CapFise.dbf";
    {
        auto editor = db.edit(file);
        EXPECT_THROW(db.edit(file), EngineError);  // exclusive
        EXPECT_EQ(editor->rowCount(), 2u);
        int n = 10;
        for (editor->first(); !editor->eof(); editor->next()) {
            editor->setField("STOC", Value(n++));
            EXPECT_THROW(editor->setField("STOC", Value(100000000)), EngineError);
            EXPECT_THROW(editor->setField("NOPE", Value(1)), EngineError);
            editor->post();
        }
    }
    auto again = db.edit(file);  // released by the first editor
    ResultSet rs = db.query("SELECT IDCAP, STOC FROM CapFise ORDER BY IDCAP");
    ASSERT_EQ(rs.rowCount(), 2u);
    EXPECT_EQ(rs.at(0, 1).toString(), "10.00");
    EXPECT_EQ(rs.at(1, 1).toString(), "11.00");
}

TEST_F(DatabaseTest, PackDropsDeletedRowsAndKeepsTheRest) {
    db.execute("INSERT INTO CapFise (IDCAP, PRODUS) VALUES (1, 'A'), (2, 'B'), (3, 'C')");
    db.execute("DELETE FROM CapFise WHERE IDCAP = 2");
    auto file = dir / "CapFise.dbf";
    auto sizeBefore = std::filesystem::file_size(file);
    db.pack(file);
    EXPECT_LT(std::filesystem::file_size(file), sizeBefore);
    EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise WHERE IDCAP = 3"), "1");
    EXPECT_EQ(dbf::DbfFile::open(file)->recordCount(), 2u);  // as the file now holds it
}

TEST_F(DatabaseTest, ChangesAFieldLayoutKeepingTheData) {
    db.execute("CREATE TABLE Fise (IDFISA DECIMAL(10,0), CANTIN DECIMAL(6,2), CUI CHAR(10))");
    db.execute("INSERT INTO Fise VALUES (1, 123.45, ' RO123'), (2, -99.5, '')");
    auto file = dir / "Fise.dbf";
    auto layout = db.readFieldLayout(file, "cantin");
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->type, 'N');
    EXPECT_EQ(layout->width, 6);
    EXPECT_EQ(layout->decimals, 2);
    EXPECT_FALSE(db.readFieldLayout(file, "NOPE").has_value());

    db.changeFieldLayout(file, "CANTIN", FieldLayout{"CANTIN", 'N', 8, 2});
    db.changeFieldLayout(file, "CUI", FieldLayout{"CUI", 'C', 13, 0});
    ResultSet rs = db.query("SELECT CANTIN, CUI FROM Fise ORDER BY IDFISA");
    EXPECT_EQ(rs.at(0, 0).toString(), "123.45");
    EXPECT_EQ(rs.at(1, 0).toString(), "-99.50");
    EXPECT_EQ(rs.at(0, 1).toString(), " RO123");
    EXPECT_EQ(db.readFieldLayout(file, "CANTIN")->width, 8);
    db.execute("UPDATE Fise SET CANTIN = 12345.67 WHERE IDFISA = 1");  // fits the new width

    // Narrowing so that a value no longer fits changes nothing.
    std::string before = readFile(file);
    EXPECT_THROW(db.changeFieldLayout(file, "CANTIN", FieldLayout{"CANTIN", 'N', 6, 2}),
                 EngineError);
    EXPECT_EQ(readFile(file), before);
    // Renaming keeps the values.
    db.changeFieldLayout(file, "CANTIN", FieldLayout{"CANT", 'N', 8, 2});
    EXPECT_EQ(cell("SELECT CANT FROM Fise WHERE IDFISA = 1"), "12345.67");
}

TEST_F(DatabaseTest, DropIndexRemovesTheIndexFileAndTheHeaderFlag) {
    db.execute("CREATE TABLE Timp (IDTIMP DECIMAL(10,0), COD CHAR(8))");
    db.execute("INSERT INTO Timp VALUES (1, 'A1')");
    auto file = dir / "Timp.dbf";
    db.forget(file);
    {
        std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(28);
        f.put('\x01');
    }
    std::ofstream(dir / "TIMP.MDX") << "index";
    EXPECT_EQ(db.execute("DROP INDEX \"" + file.string() + "\".COD"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "TIMP.MDX"));
    EXPECT_EQ(readFile(file)[28], '\0');
    EXPECT_EQ(cell("SELECT COD FROM Timp"), "A1");
    EXPECT_EQ(db.execute("DROP INDEX Timp.COD"), 0);  // nothing left to drop is no error
}

}  // namespace

namespace {

// A result set reads its plain columns from the table image it was made from: later
// changes of the table, even a pack or a new layout, neither show in it nor break it.
TEST_F(DatabaseTest, AnOpenResultSetKeepsTheRowsItWasMadeFrom) {
    db.execute(
        "INSERT INTO CapFise (IDCAP, PRODUS, STOC) VALUES (1, 'A', 1), (2, 'B', 2), (3, 'C', 3)");
    ResultSet rs = db.query(
        "SELECT C.*, STOC * 2 AS DUBLU FROM CapFise C WHERE IDCAP >= 2 ORDER BY IDCAP DESC");
    db.execute("UPDATE CapFise SET PRODUS = 'X', STOC = 0");
    db.execute("DELETE FROM CapFise WHERE IDCAP = 3");
    db.pack(dir / "CapFise.dbf");
    db.execute("ALTER TABLE CapFise DROP PRODUS");
    db.execute("INSERT INTO CapFise (IDCAP) VALUES (4)");
    ASSERT_EQ(rs.rowCount(), 2u);
    EXPECT_EQ(rs.at(0, rs.fieldIndex("PRODUS")).toString(), "C");
    EXPECT_EQ(rs.at(1, rs.fieldIndex("PRODUS")).toString(), "B");
    EXPECT_EQ(rs.at(0, rs.fieldIndex("DUBLU")).toString(), "6.00");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM CapFise WHERE STOC = 0"), "2");
    rs.sortBy(rs.fieldIndex("IDCAP"), false);
    EXPECT_EQ(rs.at(0, rs.fieldIndex("PRODUS")).toString(), "B");
}

}  // namespace
