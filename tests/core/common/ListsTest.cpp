// Tests of list contents from tables: distinct non-blank values in the statement's order,
// the optional condition, a table outside the data directory, numbers as display text, and
// the exact choice of an item by its text.
#include <gtest/gtest.h>

#include "../CoreTestSupport.h"
#include "core/common/Lists.h"
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

TEST(SelectListItem, ExactMatchOrNothing) {
    const Values items{"MAGAZIN", "DEPOZIT", "Depozit"};
    EXPECT_EQ(SelectListItem(items, "Depozit"), 2);
    EXPECT_EQ(SelectListItem(items, "depozit"), -1);
    EXPECT_EQ(SelectListItem(items, "MAGAZIN "), -1);
}

}  // namespace
}  // namespace tvx::core
