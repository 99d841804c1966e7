// Tests of the warranties layout GarantiiPrn as the program loads it by name: the company and
// date, each row's values under their headings (dates dd.MM.yyyy, quantities with two
// decimals), the invoice band over series and number, and only the rows the filter shows.
#include <gtest/gtest.h>

#include <string>

#include "printing/LayoutFiles.h"
#include "printing/ReportPaginator.h"
#include "printing/ReportTestSupport.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::printing {
namespace {

using tables::Date;
using tables::Decimal;
using tables::Value;

const PlacedItem* itemWith(const LaidOutPage& page, const std::string& text) {
    for (const auto& item : page.items)
        if (item.text == text) return &item;
    return nullptr;
}

// `item` lies horizontally within the heading `heading`.
void ExpectUnder(const LaidOutPage& page, const std::string& heading, const std::string& text) {
    const PlacedItem* head = itemWith(page, heading);
    const PlacedItem* item = itemWith(page, text);
    ASSERT_TRUE(head && item) << heading << " / " << text;
    EXPECT_GE(item->x + 0.01, head->x) << text;
    EXPECT_LE(item->x + item->w, head->x + head->w + 0.01) << text;
}

TEST(WarrantiesLayout, RowsUnderTheirHeadingsAndOnlyThoseShown) {
    const ReportLayout layout = LoadNamedLayout("GarantiiPrn");
    std::vector<tables::ColumnInfo> columns{{"PRODUS", 'C', 240, 0}, {"UM", 'C', 4, 0},
                                            {"CANT", 'N', 8, 2},     {"OBS", 'C', 200, 0},
                                            {"GARANTIE", 'D', 8, 0}, {"GESTIUNE", 'C', 24, 0},
                                            {"SERIA", 'C', 16, 0},   {"NR", 'N', 10, 0},
                                            {"DATAOUT", 'D', 8, 0},  {"SOC2", 'C', 32, 0}};
    std::vector<Value> cells;
    for (const char* buyer : {"ALFA SRL", "BETA SRL"}) {
        for (Value v : {Value("BATERIE 60AH"), Value("BUC"), Value(*Decimal::parse("1.5")),
                        Value("montata"), Value(Date::fromYmd(2026, 12, 10)), Value("MAGAZIN"),
                        Value("TVX"), Value(17), Value(Date::fromYmd(2024, 12, 9)), Value(buyer)})
            cells.push_back(v);
    }
    auto rows = testing::makeRows(std::move(columns), std::move(cells));
    rows.setFilter("SOC2='BETA*'");
    ReportInputs in;
    in.parameters = {{"SOC", "FIRMA SRL"}, {"DATA", "09.12.2026"}};
    const LaidOutReport report = paginate(layout, &rows, in);
    ASSERT_EQ(report.pages.size(), 1u);
    const LaidOutPage& page = report.pages[0];
    for (const char* text : {"FIRMA SRL", "09.12.2026", "FACTURA", "pag. 1", "BETA SRL"})
        EXPECT_TRUE(itemWith(page, text)) << text;
    EXPECT_FALSE(itemWith(page, "ALFA SRL"));
    ExpectUnder(page, "Seria", "TVX");
    ExpectUnder(page, "Nr.", "17");
    ExpectUnder(page, "Cantitatea", "1.50");
    ExpectUnder(page, "vanzarii", "09.12.2024");
    ExpectUnder(page, "pana la", "10.12.2026");
    ExpectUnder(page, "Observatii", "montata");
}

}  // namespace
}  // namespace tvx::printing
