// The grid as shown: only the filtered rows, the grid's columns in its order under its titles.
#include <gtest/gtest.h>

#include "core/reports/ShownGrid.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

TEST(ShownGrid, KeepsTheVisibleRowsAndTheGridsColumnsUnderTheirTitles) {
    tables::ResultSet rows({{"SOC2", 'C', 30}, {"CANT", 'N', 10, 2}, {"OBS", 'C', 20}},
                           {"ALFA", 1, "a", "BETA", 2, "b", "BEST", 3, "c"});
    rows.setFilter("SOC2='BE*'");
    const tables::ResultSet shown = ShownGrid(rows, {{"CANT", "Cantitatea"}, {"SOC2", ""}});
    ASSERT_EQ(shown.columnCount(), 2);
    EXPECT_EQ(shown.columns()[0].name, "Cantitatea");
    EXPECT_EQ(shown.columns()[0].decimals, 2);
    EXPECT_EQ(shown.columns()[1].name, "SOC2");
    ASSERT_EQ(shown.rowCount(), 2u);
    EXPECT_EQ(shown.at(0, 0).toString(), "2");
    EXPECT_EQ(shown.at(1, 1).toString(), "BEST");
    EXPECT_THROW(ShownGrid(rows, {{"PRET", "Pret"}}), tables::EngineError);
}

}  // namespace
}  // namespace tvx::core
