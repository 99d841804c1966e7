// Tests of list contents from tables: distinct non-blank values in the statement's order,
// the optional condition, a table outside the data directory, numbers as display text, and
// the exact choice of an item by its text.
#include <gtest/gtest.h>

#include "../CoreTestSupport.h"
#include "core/common/Lists.h"
#include "core/common/TextRoutines.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using testsupport::ScratchDir;
using Values = std::vector<std::string>;

TEST(FillDistinct, DistinctNonBlankValuesWithOrWithoutCondition) {
    ScratchDir data, program;
    tables::Database db(data.path(), program.path());
    const std::string path = (program.path() / "Catalog.dbf").string();
    db.execute("CREATE TABLE \"" + path + "\" (GRUPA CHAR(10), CATEG CHAR(1), PRET DECIMAL(8,2))");
    for (const char* row :
         {"'ULEIURI', 'A', 12.5", "'FILTRE', 'B', 3", "'', 'A', 3", "'  ', 'B', 7",
          "'ULEIURI', 'B', 12.5", "'anvelope', 'A', 0", "' SPATIU', 'C', 1", "'FILTRE', 'D', NULL"})
        db.execute("INSERT INTO \"" + path + "\" VALUES (" + row + ")");
    EXPECT_EQ(FillDistinct(db, path, "", "GRUPA"),
              (Values{" SPATIU", "FILTRE", "ULEIURI", "anvelope"}));
    EXPECT_EQ(FillDistinct(db, path, "CATEG = 'A'", "GRUPA"), (Values{"ULEIURI", "anvelope"}));
    EXPECT_EQ(FillDistinct(db, path, "   ", "CATEG"), (Values{"A", "B", "C", "D"}));
    EXPECT_EQ(FillDistinct(db, path, "", "PRET"),
              (Values{"0.00", "1.00", "3.00", "7.00", "12.50"}));
    EXPECT_THROW(FillDistinct(db, path, "", "NOSUCH"), tables::EngineError);
    EXPECT_THROW(FillDistinct(db, path + "x", "", "GRUPA"), tables::EngineError);
}

TEST(FillDistinct, TakesTypedValuesAsParameters) {
    ScratchDir data;
    tables::Database db(data.path());
    db.execute("CREATE TABLE T (GRUPA CHAR(10), CATEG CHAR(10))");
    db.execute("INSERT INTO T VALUES ('O\"B', 'X'), ('O\"B', 'Y'), ('Z', 'W')");
    EXPECT_EQ(FillDistinct(db, (data.path() / "T.dbf").string(), "GRUPA=:g", "CATEG",
                           {{"g", std::string("O\"B")}}),
              (Values{"X", "Y"}));
}

// Row-filter terms select exactly the rows they name, whatever quotes or stars the text has.
TEST(FilterTerms, MatchExactlyWithQuotesAndStars) {
    ScratchDir data;
    tables::Database db(data.path());
    db.execute("CREATE TABLE T (ID DECIMAL(3,0), NUME CHAR(12))");
    const std::vector<std::string> names{"A'B", "A\"B", "E'F\"G", "H*", "HX", "H", "E'F"};
    for (size_t i = 0; i < names.size(); ++i)
        db.execute("INSERT INTO T VALUES (:id, :n)",
                   {{"id", static_cast<long long>(i)}, {"n", names[i]}});
    const auto selected = [&](const std::string& filter) {
        tables::ResultSet rows = db.query("SELECT * FROM T ORDER BY ID");
        rows.setFilter(filter);
        Values out;
        for (rows.first(); !rows.eof(); rows.next()) out.push_back(rows.asText("NUME"));
        return out;
    };
    for (const std::string& name : names)
        EXPECT_EQ(selected(FilterEquals("NUME", name)), Values{name}) << name;
    EXPECT_EQ(selected(FilterPrefix("NUME", "E'F")), (Values{"E'F\"G", "E'F"}));
    EXPECT_EQ(selected(FilterPrefix("NUME", "H*")), Values{"H*"});
    EXPECT_EQ(selected(FilterPrefix("NUME", "")).size(), names.size());
}

TEST(SelectListItem, ExactMatchOrNothing) {
    const Values items{"MAGAZIN", "DEPOZIT", "Depozit"};
    EXPECT_EQ(SelectListItem(items, "Depozit"), 2);
    EXPECT_EQ(SelectListItem(items, "depozit"), -1);
    EXPECT_EQ(SelectListItem(items, "MAGAZIN "), -1);
}

}  // namespace
}  // namespace tvx::core
