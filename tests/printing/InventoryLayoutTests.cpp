// Tests of the inventory layout InventarPrn as the program loads it by name: the caller's
// title lines, each row's values under their headings, the total of the values, the page
// number, and rows summed over every price printed without the price column.
#include <gtest/gtest.h>

#include <cmath>
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

// The item with `text` on the row at `y`, standing under the heading `heading`.
void ExpectUnder(const LaidOutPage& page, const char* heading, const char* text, double y) {
    const PlacedItem* h = itemWith(page, heading);
    ASSERT_TRUE(h) << heading;
    const PlacedItem* v = nullptr;
    for (const auto& item : page.items)
        if (item.text == text && std::abs(item.y - y) < 0.01) v = &item;
    ASSERT_TRUE(v) << text;
    EXPECT_GE(v->x + 0.01, h->x) << heading;
    EXPECT_LE(v->x + v->w, h->x + h->w + 0.01) << heading;
}

TEST(InventoryLayout, TitleRowsTotalAndPageNumber) {
    const ReportLayout layout = LoadNamedLayout("InventarPrn");
    const auto rows = inventoryRows(
        {{"ULEI", "L", "10", "3", "30.0000"}, {"FILTRU", "BUC", "12.5", "2", "25.0050"}}, true);
    const LaidOutReport report = paginate(layout, &rows, captions());
    ASSERT_EQ(report.pages.size(), 1u);
    const LaidOutPage& page = report.pages[0];
    for (const char* text : {"FIRMA SRL", "Gestiunea : MAGAZIN", "Categoria : MARFA",
                             "I N V E N T A R,", "09.12.2026", "Semnatura,", "TOTAL :", "pag. 1"})
        EXPECT_TRUE(itemWith(page, text)) << text;
    const PlacedItem* second = itemWith(page, "FILTRU");
    ASSERT_TRUE(second);
    ExpectUnder(page, "Nr.crt.", "2", second->y);
    ExpectUnder(page, "U.M.", "BUC", second->y);
    ExpectUnder(page, "Pret de", "12.50", second->y);
    ExpectUnder(page, "Cantitate", "2.00", second->y);
    ExpectUnder(page, "Valoare", "25.01", second->y);
    // The total of the exact values, printed with two decimals.
    EXPECT_TRUE(itemWith(page, "55.01"));
}

TEST(InventoryLayout, RowsWithoutPriceLeaveThePriceColumnEmpty) {
    const ReportLayout layout = LoadNamedLayout("InventarPrn");
    const auto rows = inventoryRows({{"FILTRU", "BUC", nullptr, "0", "0"}}, false);
    ReportInputs in = captions();
    in.hidden.insert("InvPret");
    const LaidOutReport report = paginate(layout, &rows, in);
    ASSERT_EQ(report.pages.size(), 1u);
    const LaidOutPage& page = report.pages[0];
    EXPECT_TRUE(itemWith(page, "FILTRU"));
    int fields = 0;
    for (const auto& item : page.items)
        if (item.kind == ElementKind::Field) ++fields;
    EXPECT_EQ(fields, 4);  // PRODUS, UM, STOCT, STOCV
    // Without hiding it, a price the data lacks is an error naming the field.
    EXPECT_THROW(paginate(layout, &rows, captions()), tables::EngineError);
}

}  // namespace
}  // namespace tvx::printing
