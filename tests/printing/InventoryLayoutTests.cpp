// Tests of the inventory layout InventarPrn as the program loads it by name: the caller's
// title lines, each row's values under their headings, the total of the values, the page
// number, and rows summed over every price printed without the price column.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printing/LayoutFiles.h"
#include "printing/ReportPaginator.h"
#include "printing/ReportTestSupport.h"
#include "tables/Decimal.h"
#include "tables/EngineError.h"

namespace tvx::printing {
namespace {

using tables::Decimal;
using tables::ResultSet;
using tables::Value;

struct Row {
    const char *product, *unit, *price, *quantity, *value;
};

// Rows shaped like the warehouse query; without prices when `price` is null in every row.
ResultSet inventoryRows(const std::vector<Row>& rows, bool withPrice) {
    std::vector<tables::ColumnInfo> columns{
        {"CATEG", 'C', 24, 0}, {"PRODUS", 'C', 240, 0}, {"UM", 'C', 4, 0}};
    if (withPrice) columns.push_back({"PRETOUT", 'N', 10, 2});
    columns.push_back({"STOCT", 'N', 12, 2});
    columns.push_back({"STOCV", 'N', 14, 4});
    std::vector<Value> cells;
    for (const Row& r : rows) {
        cells.emplace_back("MARFA");
        cells.emplace_back(r.product);
        cells.emplace_back(r.unit);
        if (withPrice) cells.emplace_back(*Decimal::parse(r.price));
        cells.emplace_back(*Decimal::parse(r.quantity));
        cells.emplace_back(*Decimal::parse(r.value));
    }
    return testing::makeRows(std::move(columns), std::move(cells));
}

ReportInputs captions() {
    ReportInputs in;
    in.parameters = {{"SOC", "FIRMA SRL"},
                     {"GESTIUNE", "Gestiunea : MAGAZIN"},
                     {"CATEGORIA", "Categoria : MARFA"},
                     {"DATA", "09.12.2026"}};
    return in;
}

const PlacedItem* itemWith(const LaidOutPage& page, const std::string& text) {
    for (const auto& item : page.items)
        if (item.text == text) return &item;
    return nullptr;
}

TEST(InventoryLayout, TitleRowsTotalPageNumberAndAHiddenPrice) {
    const ReportLayout layout = LoadNamedLayout("InventarPrn");
    const auto rows = inventoryRows(
        {{"ULEI", "L", "10", "3", "30.0000"}, {"FILTRU", "BUC", "12.5", "2", "25.0050"}}, true);
    const LaidOutReport report = paginate(layout, &rows, captions());
    ASSERT_EQ(report.pages.size(), 1u);
    const LaidOutPage& page = report.pages[0];
    // Captions, fixed texts, the row's price and value with two decimals, the exact total.
    for (const char* text :
         {"FIRMA SRL", "Gestiunea : MAGAZIN", "Categoria : MARFA", "I N V E N T A R,", "09.12.2026",
          "Semnatura,", "TOTAL :", "pag. 1", "12.50", "25.01", "55.01"})
        EXPECT_TRUE(itemWith(page, text)) << text;
    const PlacedItem* heading = itemWith(page, "Pret de");
    const PlacedItem* price = itemWith(page, "12.50");
    ASSERT_TRUE(heading && price);
    EXPECT_GE(price->x + 0.01, heading->x);
    EXPECT_LE(price->x + price->w, heading->x + heading->w + 0.01);

    // Rows summed over every price have no PRETOUT: the column is hidden, not an error.
    const auto unpriced = inventoryRows({{"FILTRU", "BUC", nullptr, "0", "0"}}, false);
    EXPECT_THROW(paginate(layout, &unpriced, captions()), tables::EngineError);
    ReportInputs in = captions();
    in.hidden.insert("InvPret");
    const LaidOutReport bare = paginate(layout, &unpriced, in);
    int fields = 0;
    for (const auto& item : bare.pages.at(0).items)
        if (item.kind == ElementKind::Field) ++fields;
    EXPECT_EQ(fields, 4);  // PRODUS, UM, STOCT, STOCV
}

}  // namespace
}  // namespace tvx::printing
