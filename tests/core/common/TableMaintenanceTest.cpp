// Tests of the table maintenance of start-up: packing drops deleted rows only, field
// layouts are read and changed with zero meaning "keep" and the data kept, and failures are
// the engine's errors naming the table, changing nothing.
#include <gtest/gtest.h>

#include "../CoreTestSupport.h"
#include "core/common/TableMaintenance.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using tables::FieldLayout;
using testsupport::ScratchDir;

class TableMaintenance : public ::testing::Test {
  protected:
    void SetUp() override {
        db.execute("CREATE TABLE \"" + file.string() +
                   "\" (PRODUS CHAR(20), CANTF DECIMAL(6,2), CANTR DECIMAL(6,2))");
        for (int i = 1; i <= 4; ++i)
            db.execute("INSERT INTO ProdNIR VALUES (\"P" + std::to_string(i) + "\", " +
                       std::to_string(i * 100) + ".25, 1)");
    }
    std::string rows() {
        std::string all;
        auto r = db.query("SELECT PRODUS, CANTF FROM ProdNIR");
        for (r.first(); !r.eof(); r.next())
            all += r.asText("PRODUS") + "=" + r.asText("CANTF") + " ";
        return all;
    }
    ScratchDir dir;
    tables::Database db{dir.path()};
    fs::path file = dir.path() / "ProdNIR.dbf";
};

TEST_F(TableMaintenance, PackDropsDeletedRowsAndKeepsTheOthersInOrder) {
    db.execute("DELETE FROM ProdNIR WHERE PRODUS = \"P2\"");
    const auto before = fs::file_size(file);
    PackTable(db, dir.path() / "prodnir.DBF");
    EXPECT_LT(fs::file_size(file), before);
    EXPECT_EQ(rows(), "P1=100.25 P3=300.25 P4=400.25 ");
    try {
        PackTable(db, dir.path() / "Comenzi.dbf");
        FAIL() << "packing a missing table succeeded";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("Comenzi"), std::string::npos) << e.what();
    }
}

TEST_F(TableMaintenance, ZeroKeepsTheCurrentLayoutAndTheDataStays) {
    const FieldLayout before = ReadFieldLayout(db, "prodnir", "cantf");
    EXPECT_EQ(before.name + before.type + std::to_string(before.width) + "." +
                  std::to_string(before.decimals),
              "CANTFN6.2");
    ChangeFieldLayout(db, "ProdNIR", "CANTF", FieldLayout{"", '\0', 8, 0});
    const FieldLayout after = ReadFieldLayout(db, "ProdNIR.dbf", "CANTF");
    EXPECT_EQ(after.type, 'N');
    EXPECT_EQ(after.width, 8);
    EXPECT_EQ(after.decimals, 2);
    db.execute("UPDATE ProdNIR SET CANTF = 12345.67 WHERE PRODUS = \"P1\"");
    EXPECT_EQ(rows(), "P1=12345.67 P2=200.25 P3=300.25 P4=400.25 ");
    ChangeFieldLayout(db, "ProdNIR", "CANTR", FieldLayout{"CANTX", '\0', 0, 3});
    EXPECT_EQ(ReadFieldLayout(db, "ProdNIR", "CANTX").width, 6);
    EXPECT_EQ(ReadFieldLayout(db, "ProdNIR", "CANTX").decimals, 3);
}

TEST_F(TableMaintenance, FailuresAreEngineErrorsAndChangeNothing) {
    EXPECT_THROW(ReadFieldLayout(db, "ProdNIR", "NOSUCH"), tables::EngineError);
    EXPECT_THROW(ReadFieldLayout(db, "NoTable", "CANTF"), tables::EngineError);
    EXPECT_THROW(ChangeFieldLayout(db, "ProdNIR", "NOSUCH", FieldLayout{"", '\0', 8, 2}),
                 tables::EngineError);
    // 400.25 does not fit a width of 4 with 2 decimals.
    EXPECT_THROW(ChangeFieldLayout(db, "ProdNIR", "CANTF", FieldLayout{"", '\0', 4, 0}),
                 tables::EngineError);
    EXPECT_EQ(ReadFieldLayout(db, "ProdNIR", "CANTF").width, 6);
    EXPECT_EQ(rows(), "P1=100.25 P2=200.25 P3=300.25 P4=400.25 ");
}

}  // namespace
}  // namespace tvx::core
