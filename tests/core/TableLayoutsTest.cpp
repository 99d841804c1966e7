// Tests of the table layouts: every table created through the engine from its layout and
// read back with the independent dBase reader (dbf-dump) has exactly the layout's fields;
// the facts other parts rely on (order of creation, Precom's line and check-mark fields,
// the widths that differ between related tables) hold; bad input is refused clearly.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <sstream>

#include "CoreTestSupport.h"
#include "core/common/TableLayouts.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using testsupport::DumpedField;
using testsupport::dumpFields;
using testsupport::ScratchDir;

void createThroughEngine(tables::Database& db, const TableLayout& layout,
                         const std::filesystem::path& file) {
    db.execute(createTableStatement(layout, file));
}

void expectSameFields(const TableLayout& layout, const std::vector<DumpedField>& dumped) {
    ASSERT_EQ(dumped.size(), layout.fields.size()) << layout.name;
    for (size_t i = 0; i < dumped.size(); ++i) {
        const FieldSpec& f = layout.fields[i];
        EXPECT_EQ(dumped[i].name, f.name) << layout.name << " field " << i + 1;
        EXPECT_EQ(dumped[i].type, f.type) << layout.name << "." << f.name;
        EXPECT_EQ(dumped[i].width, f.width) << layout.name << "." << f.name;
        EXPECT_EQ(dumped[i].decimals, f.decimals) << layout.name << "." << f.name;
    }
}

TEST(TableLayoutsFiles, EveryPermanentTableCreatedThroughTheEngineHasItsFields) {
    ScratchDir dir;
    tables::Database db(dir.path());
    for (const TableLayout& layout : permanentTables()) {
        const auto file = dir.path() / (layout.name + ".dbf");
        createThroughEngine(db, layout, file);
        expectSameFields(layout, dumpFields(file));
    }
}

TEST(TableLayoutsFiles, EveryWorkTableCreatedThroughTheEngineHasItsFields) {
    ScratchDir data, program;
    tables::Database db(data.path(), program.path());
    std::vector<TableLayout> all = workTables();
    all.push_back(avizFisLayout());
    for (const TableLayout& layout : all) {
        const auto file = program.path() / (layout.name + "7.dbf");
        createThroughEngine(db, layout, file);
        expectSameFields(layout, dumpFields(file));
    }
}

TEST(TableLayoutsFiles, FitsFieldAgreesWithWhatTheEngineStores) {
    ScratchDir dir;
    tables::Database db(dir.path());
    const TableLayout& lines = tableLayout("ProdNIR");
    createThroughEngine(db, lines, dir.path() / "ProdNIR.dbf");
    const struct {
        const char* field;
        const char* value;
        bool fits;
    } cases[] = {
        {"CANTR", "99999.99", true},     {"CANTR", "99999.994", true},
        {"CANTR", "99999.995", false},   {"CANTR", "-9999.99", true},
        {"CANTR", "-10000", false},      {"PRETU", "9999999.99", true},
        {"PRETU", "1000000000", false},  {"IDNIR", "9999999999", true},
        {"IDNIR", "10000000000", false}, {"ADAOS", "999.99", true},
        {"ADAOS", "1000", false},
    };
    for (const auto& c : cases) {
        const FieldSpec& field = fieldSpec("prodnir", c.field);
        const tables::Decimal value = tables::Decimal::parse(c.value).value();
        EXPECT_EQ(fitsField(field, value), c.fits) << c.field << " " << c.value;
        bool stored = true;
        try {
            db.execute("INSERT INTO ProdNIR (" + field.name + ") VALUES (:v)", {{"v", value}});
        } catch (const tables::EngineError&) {
            stored = false;
        }
        EXPECT_EQ(stored, c.fits) << c.field << " " << c.value;
    }
    EXPECT_THROW(fieldSpec("ProdNIR", "NIMIC"), tables::EngineError);
}

TEST(TableLayoutsFiles, PrecomKeepsItsLinesAndCheckMarksInOrder) {
    ScratchDir dir;
    tables::Database db(dir.path());
    const auto file = dir.path() / "Precom.dbf";
    createThroughEngine(db, tableLayout("Precom"), file);
    const auto fields = dumpFields(file);
    size_t at = 0;
    while (at < fields.size() && fields[at].name != "LINIA1") ++at;
    ASSERT_EQ(at, 22u) << "LINIA1 follows the 22 reception fields";
    for (int i = 1; i <= 19; ++i, ++at) {
        EXPECT_EQ(fields[at].name, "LINIA" + std::to_string(i));
        EXPECT_EQ(fields[at].width, 150);
    }
    EXPECT_EQ(fields[at++].name, "NIVEL");
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(fields[at].name, "V" + std::to_string(i));
        EXPECT_EQ(fields[at++].width, 2);
        EXPECT_EQ(fields[at].name, "OBS" + std::to_string(i));
        EXPECT_EQ(fields[at++].width, 50);
    }
    EXPECT_EQ(fields[at].name, "OBSG");
    EXPECT_EQ(at + 1, fields.size());
}

TEST(TableLayoutsFiles, TextLongerThanAFieldIsCutToTheLayoutWidth) {
    ScratchDir data, program;
    tables::Database db(data.path(), program.path());
    createThroughEngine(db, tableLayout("ProdNIR"), data.path() / "ProdNIR.dbf");
    createThroughEngine(db, tableLayout("Tmp"), program.path() / "Tmp.dbf");
    const std::string name(300, 'A');
    db.execute("INSERT INTO ProdNIR (IDPROD, PRODUS) VALUES (1, :p)", {{"p", name}});
    db.execute("INSERT INTO \"" + (program.path() / "Tmp.dbf").string() + "\" (PRODUS) VALUES (:p)",
               {{"p", name}});
    auto nir = db.query("SELECT PRODUS FROM ProdNIR");
    auto tmp = db.query("SELECT PRODUS FROM \"" + (program.path() / "Tmp.dbf").string() + "\"");
    EXPECT_EQ(nir.at(0, 0).text().size(), 240u);
    EXPECT_EQ(tmp.at(0, 0).text().size(), 100u);
}

TEST(TableLayoutsData, PermanentTablesComeInCreationOrderWithTheirFieldCounts) {
    const std::array<std::pair<const char*, size_t>, 14> expected = {{{"Conturi", 3},
                                                                      {"FactIn", 13},
                                                                      {"ChitIn", 9},
                                                                      {"CapNIR", 18},
                                                                      {"ProdNIR", 22},
                                                                      {"CapFise", 10},
                                                                      {"Fise", 10},
                                                                      {"FactOut", 34},
                                                                      {"ProdOut", 13},
                                                                      {"Catalog", 8},
                                                                      {"ChitOut", 9},
                                                                      {"Comenzi", 6},
                                                                      {"Timp", 8},
                                                                      {"Precom", 53}}};
    const auto& tables = permanentTables();
    ASSERT_EQ(tables.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(tables[i].name, expected[i].first);
        EXPECT_EQ(tables[i].fields.size(), expected[i].second) << tables[i].name;
    }
}

TEST(TableLayoutsData, WorkTablesAndTheirDistinctWidths) {
    std::vector<std::string> names;
    for (const auto& t : workTables()) names.push_back(t.name);
    EXPECT_EQ(names, (std::vector<std::string>{"u", "ProdTemp", "Stoc", "Casa", "Fact", "Cumparari",
                                               "Tmp", "Aviz"}));
    auto field = [](const char* table, const char* name) {
        const TableLayout& t = tableLayout(table);
        const int i = t.fieldIndex(name);
        EXPECT_GE(i, 0) << table << "." << name;
        return i < 0 ? FieldSpec{} : t.fields[static_cast<size_t>(i)];
    };
    EXPECT_EQ(field("ProdTemp", "VALTVA").decimals, 3);
    EXPECT_EQ(field("ProdOut", "VALTVA").decimals, 2);
    EXPECT_EQ(field("FactOut", "DATALIV").width, 12);
    EXPECT_EQ(field("FactOut", "DATALIV").decimals, 6);
    EXPECT_EQ(field("Stoc", "STOC").width, 10);
    EXPECT_EQ(field("CapFise", "STOC").width, 8);
    EXPECT_EQ(field("Fact", "CANT").type, 'C');
    EXPECT_EQ(tableLayout("Cumparari").fields.size(), 16u);
    EXPECT_EQ(avizFisLayout().fields.size(), 3u);
}

TEST(TableLayoutsData, FieldNamesAreUpperCaseAndFitTheFileFormat) {
    std::vector<TableLayout> all = permanentTables();
    for (const auto& t : workTables()) all.push_back(t);
    for (const auto& t : all) {
        for (const auto& f : t.fields) {
            EXPECT_LE(f.name.size(), 10u) << t.name << "." << f.name;
            EXPECT_EQ(f.name, tables::toUpperAscii(f.name)) << t.name;
            EXPECT_TRUE(f.type == 'C' || f.type == 'N' || f.type == 'D') << t.name;
            if (f.type == 'D') {
                EXPECT_EQ(f.width, 8) << t.name << "." << f.name;
            }
        }
    }
}

TEST(TableLayoutsLookup, FindsTablesIgnoringCaseAndNamesTheMissingOne) {
    EXPECT_EQ(tableLayout("factout").name, "FactOut");
    EXPECT_EQ(tableLayout("CUMPARARI").name, "Cumparari");
    EXPECT_EQ(tableLayout("avizfis").fields[0].name, "DOCJUS");
    EXPECT_EQ(tableLayout("Fise").fieldIndex("cantout"), 7);
    EXPECT_EQ(tableLayout("Fise").fieldIndex("NOPE"), -1);
    try {
        tableLayout("Facturi");
        FAIL() << "no error for an unknown table";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("Facturi"), std::string::npos) << e.what();
    }
}

TEST(TableLayoutsStatement, WritesTheDialectsCreateTable) {
    EXPECT_EQ(createTableStatement(tableLayout("Conturi"), "/x/Data/Conturi.dbf"),
              "CREATE TABLE \"/x/Data/Conturi.dbf\" (IDCONT DECIMAL(10,0), CONT CHAR(24), "
              "BANCA CHAR(80))");
    const std::string aviz = createTableStatement(avizFisLayout(), "AvizFis12.dbf");
    EXPECT_NE(aviz.find("DINDATA DATE)"), std::string::npos) << aviz;
}

TEST(TableLayoutsStatement, RefusesPathsAndLayoutsItCannotWrite) {
    EXPECT_THROW(createTableStatement(tableLayout("Fise"), "/x/a\"b/Fise.dbf"),
                 tables::EngineError);
    EXPECT_THROW(createTableStatement(TableLayout{"Empty", {}}, "/x/Empty.dbf"),
                 tables::EngineError);
    EXPECT_THROW(createTableStatement(TableLayout{"Odd", {{"X", 'L', 1, 0}}}, "/x/Odd.dbf"),
                 tables::EngineError);
}

}  // namespace
}  // namespace tvx::core
