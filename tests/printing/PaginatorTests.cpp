// Tests of report pagination: the text dumps of laid-out reports compared with reviewed
// expected files, plus the properties the dumps must keep (page breaks, repeated headers).
#include <gtest/gtest.h>

#include "printing/LayoutLoader.h"
#include "printing/ReportPaginator.h"
#include "printing/ReportTestSupport.h"
#include "tables/EngineError.h"

namespace tvx::printing {
namespace {

using tables::ColumnInfo;
using tables::Date;
using tables::Decimal;
using tables::EngineError;
using tables::Value;
using testing::expectMatchesFile;
using testing::layoutPath;
using testing::makeRows;

Value num(const char* text) {
    return *Decimal::parse(text);
}

QImage smallImage() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

tables::ResultSet invoiceRows(int count) {
    std::vector<Value> cells;
    for (int i = 1; i <= count; ++i) {
        cells.push_back("Produs " + std::to_string(i));
        cells.push_back(num(i % 2 ? "2" : "1.5"));
        cells.push_back(num("10.005"));
        cells.push_back(num(i % 2 ? "20.01" : "15.01"));
    }
    return makeRows(
        {{"PRODUS", 'C', 40, 0}, {"CANT", 'N', 8, 2}, {"PU", 'N', 10, 3}, {"VALOARE", 'N', 10, 2}},
        std::move(cells));
}

ReportInputs invoiceInputs() {
    ReportInputs inputs;
    inputs.parameters = {{"COMPANY", "Firma SRL"}, {"IN_WORDS", "cincizecisicinci"}};
    inputs.pictures["stamp"] = smallImage();
    inputs.pictures["signature"] = smallImage();
    inputs.hidden.insert("signature");
    return inputs;
}

size_t countLines(const std::string& dump, const std::string& part) {
    size_t n = 0;
    for (size_t at = 0; (at = dump.find(part, at)) != std::string::npos; ++at) ++n;
    return n;
}

TEST(ReportPaginator, ShortReportFitsOnePage) {
    const ReportLayout layout = loadLayoutFile(layoutPath("invoice.json"));
    const auto rows = invoiceRows(3);
    const LaidOutReport report = paginate(layout, &rows, invoiceInputs());
    ASSERT_EQ(report.pages.size(), 1u);
    const std::string dump = dumpReport(report);
    // The hidden picture is left out, the shown one is placed.
    EXPECT_EQ(countLines(dump, " picture "), 1u);
    EXPECT_NE(dump.find("\"Pagina 1 din 1\""), std::string::npos);
    expectMatchesFile("invoice_short.txt", dump);
}

TEST(ReportPaginator, PageHeaderRepeatsTitleDoesNot) {
    const ReportLayout layout = loadLayoutFile(layoutPath("invoice.json"));
    // Page 1 holds 49 rows under header, title and column header (36 to 281 mm), page 2 holds
    // 51 under header and column header; the summary then needs a third page.
    const auto rows = invoiceRows(100);
    const LaidOutReport report = paginate(layout, &rows, invoiceInputs());
    ASSERT_EQ(report.pages.size(), 3u);
    const auto count = [&](size_t page, BandKind band, ElementKind kind) {
        size_t n = 0;
        for (const PlacedItem& item : report.pages[page].items)
            n += item.band == band && item.kind == kind;
        return n;
    };
    EXPECT_EQ(count(0, BandKind::Detail, ElementKind::RowNumber), 49u);
    EXPECT_EQ(count(1, BandKind::Detail, ElementKind::RowNumber), 51u);
    EXPECT_EQ(count(2, BandKind::Detail, ElementKind::RowNumber), 0u);
    for (size_t page = 0; page < 3; ++page) {
        EXPECT_EQ(count(page, BandKind::PageHeader, ElementKind::Label), 1u);
        EXPECT_EQ(count(page, BandKind::PageFooter, ElementKind::Label), 1u);
        EXPECT_EQ(count(page, BandKind::Title, ElementKind::Label), page == 0 ? 1u : 0u);
        // Column headings repeat while rows remain, not over the summary alone.
        EXPECT_EQ(count(page, BandKind::ColumnHeader, ElementKind::Label), page < 2 ? 5u : 0u);
    }
    const PlacedItem& firstOnPage2 = report.pages[1].items[2];
    EXPECT_EQ(firstOnPage2.band, BandKind::ColumnHeader);
    EXPECT_DOUBLE_EQ(firstOnPage2.y, 18.0);
    EXPECT_EQ(report.pages[2].items.back().text, "Pagina 3 din 3");
    EXPECT_EQ(report.pages[2].items[2].text, "Total");
    EXPECT_DOUBLE_EQ(report.pages[2].items[2].y, 19.0);
}

TEST(ReportPaginator, ReportWithoutRowsStillPrintsItsFrame) {
    const ReportLayout layout = loadLayoutFile(layoutPath("invoice.json"));
    const auto rows = invoiceRows(0);
    ReportInputs inputs;  // no pictures: both are left out; missing parameters print empty
    const std::string dump = dumpReport(paginate(layout, &rows, inputs));
    EXPECT_EQ(countLines(dump, " detail "), 0u);
    EXPECT_EQ(countLines(dump, " picture "), 0u);
    EXPECT_EQ(countLines(dump, "columnHeader"), 5u);
    EXPECT_NE(dump.find("summary 170.00 37.00 30.00 5.00 sum \"0.00\""), std::string::npos);
    EXPECT_NE(dump.find("\"Adica:  lei\""), std::string::npos);
    EXPECT_EQ(dumpReport(paginate(layout, nullptr, inputs)), dump);
}

TEST(ReportPaginator, LongDetailBreaksPagesAndRepeatsHeaders) {
    const ReportLayout layout = loadLayoutFile(layoutPath("list.json"));
    std::vector<Value> cells;
    for (int i = 1; i <= 25; ++i) cells.push_back("Articol " + std::to_string(i));
    const auto rows = makeRows({{"PRODUS", 'C', 20, 0}}, std::move(cells));
    const LaidOutReport report = paginate(layout, &rows, {});
    ASSERT_EQ(report.pages.size(), 3u);
    const std::string dump = dumpReport(report);
    for (const char* page : {"1 ", "2 ", "3 "}) {
        EXPECT_NE(dump.find(std::string("\n") + page + "columnHeader 15.00"), std::string::npos);
        EXPECT_NE(dump.find(std::string(page) + "pageFooter 145.00 281.00"), std::string::npos);
    }
    EXPECT_EQ(countLines(dump, " title "), 1u);
    EXPECT_NE(dump.find("\"Pagina 3 din 3\""), std::string::npos);
    // No band crosses into the page footer.
    for (const LaidOutPage& page : report.pages)
        for (const PlacedItem& item : page.items)
            if (item.band != BandKind::PageFooter) {
                EXPECT_LE(item.y + item.h, 280.0 + 1e-6);
            }
    expectMatchesFile("list_three_pages.txt", dump);
}

TEST(ReportPaginator, BandTallerThanThePageTakesOnePageEach) {
    const ReportLayout layout = parseLayout(R"({"name": "tall", "bands": [
        {"kind": "columnHeader", "height": 5},
        {"kind": "detail", "height": 400, "elements": [
          {"kind": "field", "field": "A", "x": 0, "y": 0, "w": 10, "h": 5}]}]})",
                                            "tall.json");
    const auto rows = makeRows({{"A", 'C', 1, 0}}, {"x", "y", "z"});
    const LaidOutReport report = paginate(layout, &rows, {});
    ASSERT_EQ(report.pages.size(), 3u);
    for (const LaidOutPage& page : report.pages) {
        ASSERT_EQ(page.items.size(), 1u);
        EXPECT_DOUBLE_EQ(page.items[0].y, 15.0);
    }
}

TEST(ReportPaginator, GroupsHaveHeadersFootersAndSums) {
    const ReportLayout layout = loadLayoutFile(layoutPath("groups.json"));
    const auto rows =
        makeRows({{"SECTIA", 'C', 10, 0}, {"PRODUS", 'C', 20, 0}, {"VALX", 'N', 12, 2}},
                 {"motor", "Filtru ulei", num("45.5"), "motor", "Ulei 5W30", num("1200.25"),
                  "caroserie", "Vopsea", num("999.99"), "caroserie", "Manopera", num("0.01"),
                  "frane", "Placute", num("-10")});
    const std::string dump = dumpReport(paginate(layout, &rows, {}));
    EXPECT_EQ(countLines(dump, "groupHeader"), 6u);
    EXPECT_NE(dump.find("sum \"1,245.75\""), std::string::npos);
    EXPECT_NE(dump.find("sum \"1,000.00\""), std::string::npos);
    EXPECT_NE(dump.find("sum \"2,235.75\""), std::string::npos);
    expectMatchesFile("groups.txt", dump);

    ReportInputs noHeaders;
    noHeaders.hidden.insert("sectionHead");
    const std::string withoutHeaders = dumpReport(paginate(layout, &rows, noHeaders));
    EXPECT_EQ(countLines(withoutHeaders, "groupHeader"), 0u);
    EXPECT_EQ(countLines(withoutHeaders, "groupFooter"), 9u);
}

TEST(ReportPaginator, GrowingFieldPushesTheNextRowDown) {
    const ReportLayout layout = loadLayoutFile(layoutPath("grow.json"));
    const auto rows =
        makeRows({{"PRODUS", 'C', 240, 0}, {"UM", 'C', 4, 0}},
                 {"Scurt", "BUC",
                  "Anvelopa de iarna 205/55 R16 cu montaj si echilibrare inclusa in pretul afisat",
                  "BUC", "Supercalifragilisticexpialidocious-extraordinar", "KG", "Ultimul", "L"});
    const LaidOutReport report = paginate(layout, &rows, {});
    const auto& items = report.pages.at(0).items;
    ASSERT_EQ(items.size(), 20u);
    // The long name wraps and the band grows; the rules stretch with it.
    EXPECT_GT(items[6].h, 5.0);
    EXPECT_NE(items[6].text.find('\n'), std::string::npos);
    EXPECT_DOUBLE_EQ(items[5].h, items[6].h + 1.0);
    // The rule under the field moves down to the band's new bottom, where the next row starts.
    EXPECT_DOUBLE_EQ(items[9].y, items[5].y + items[5].h);
    EXPECT_DOUBLE_EQ(items[10].y, items[9].y);
    EXPECT_DOUBLE_EQ(items[8].y, items[6].y);  // beside the field: stays
    expectMatchesFile("grow.txt", dumpReport(report));
}

TEST(ReportPaginator, FormatsInFields) {
    const ReportLayout layout = loadLayoutFile(layoutPath("formats.json"));
    const auto rows = makeRows({{"N", 'N', 12, 3}, {"D", 'D', 8, 0}, {"T", 'C', 10, 0}},
                               {num("1234567.5"), Date::fromYmd(2024, 1, 31), "3.456",
                                num("-0.005"), Date::fromYmd(1999, 12, 1), "abc", num("0.005"),
                                Value(), " 7", num("-1234.5"), Date::fromYmd(2025, 10, 9), ""});
    ReportInputs inputs;
    inputs.parameters = {{"RATE", "0.19"}, {"SERIES", "TVX"}};
    expectMatchesFile("formats.txt", dumpReport(paginate(layout, &rows, inputs)));
}

TEST(ReportPaginator, DataErrorsNameTheElement) {
    const ReportLayout layout = loadLayoutFile(layoutPath("invoice.json"));
    const auto noPrice =
        makeRows({{"PRODUS", 'C', 40, 0}, {"CANT", 'N', 8, 2}, {"VALOARE", 'N', 10, 2}},
                 {"A", num("1"), num("1")});
    try {
        paginate(layout, &noPrice, {});
        FAIL() << "a missing field was accepted";
    } catch (const EngineError& error) {
        EXPECT_STREQ(error.what(),
                     "report invoice, band detail, element 4: no field \"PU\" in the data");
    }
    const auto bad = makeRows(
        {{"PRODUS", 'C', 40, 0}, {"CANT", 'N', 8, 2}, {"PU", 'N', 10, 2}, {"VALOARE", 'C', 10, 0}},
        {"A", num("1"), num("1"), "1.00", "B", num("1"), num("1"), "unu"});
    try {
        paginate(layout, &bad, {});
        FAIL() << "a text was summed";
    } catch (const EngineError& error) {
        EXPECT_STREQ(error.what(),
                     "report invoice, band summary, element 2: row 2: \"unu\" of field VALOARE is "
                     "not a number");
    }
}

}  // namespace
}  // namespace tvx::printing
