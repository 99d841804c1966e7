// Tests of the delivery-note layout LAviz as the program loads it by name: the supplier box,
// number box and buyer lines in the title, the running row number and the prices with two
// decimals under their headings with the last column left empty, a long product name that
// grows its row, a note without lines, page breaks, the exact placement (dump) and every fixed
// text in the PDF.
#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <string>
#include <vector>

#include "printing/LayoutFiles.h"
#include "printing/ReportPaginator.h"
#include "printing/ReportTestSupport.h"
#include "support/PdfText.h"
#include "tables/Decimal.h"

namespace tvx::printing {
namespace {

using tables::Decimal;
using tables::ResultSet;
using tables::Value;

const std::vector<std::string> kParameters = {"SERIA", "NRDOC", "DATA",    "SOC",
                                              "RC",    "CUI",   "ADRESA",  "JUDET",
                                              "BANCA", "CONT",  "CAPITAL", "OPERATOR"};

const std::vector<std::string> kBuyerLines = {
    "Cumparator: ..................................",
    ".......................................................",
    "Nr.inmatric.Reg.com/an..................",
    "Cod de inreg.fiscala.......................",
    "Sediul ............................................",
    "Judetul ..........................................",
    "Contul ...........................................",
    "Banca  ..........................................."};

struct NoteLine {
    const char *quantity, *priceIn, *priceOut, *product, *unit;
};

// Rows shaped like Aviz.dbf.
ResultSet noteRows(const std::vector<NoteLine>& lines) {
    std::vector<Value> cells;
    for (const auto& l : lines) {
        cells.emplace_back(*Decimal::parse(l.quantity));
        cells.emplace_back(*Decimal::parse(l.priceIn));
        cells.emplace_back(*Decimal::parse(l.priceOut));
        cells.emplace_back(l.product);
        cells.emplace_back(l.unit);
    }
    return testing::makeRows({{"CANTOUT", 'N', 8, 2},
                              {"PRETIN", 'N', 10, 2},
                              {"PRETOUT", 'N', 10, 2},
                              {"PRODUS", 'C', 240, 0},
                              {"UM", 'C', 4, 0}},
                             std::move(cells));
}

ReportInputs sampleInputs() {
    ReportInputs in;
    for (const auto& name : kParameters) in.parameters[name] = "<" + name + ">";
    return in;
}

const PlacedItem* itemWith(const LaidOutPage& page, const std::string& text) {
    for (const auto& item : page.items)
        if (item.text == text) return &item;
    return nullptr;
}

class DeliveryNoteLayout : public ::testing::Test {
  protected:
    ReportLayout layout = LoadNamedLayout("LAviz");
};

TEST_F(DeliveryNoteLayout, LoadsByNameWithEveryParameterPlaced) {
    EXPECT_EQ(layout.name, "LAviz");
    EXPECT_FALSE(layout.page.landscape);
    ASSERT_NE(layout.band(BandKind::Detail), nullptr);
    for (const auto& name : kParameters) {
        int found = 0;
        for (const auto& band : layout.bands)
            for (const auto& e : band.elements)
                if (e.text == "{" + name + "}") ++found;
        EXPECT_EQ(found, 1) << name;
    }
}

TEST_F(DeliveryNoteLayout, BuyerLinesKeepTheirDotsRightOfTheTitle) {
    const LaidOutReport report = paginate(layout, nullptr, sampleInputs());
    ASSERT_EQ(report.pages.size(), 1u);
    const PlacedItem* title = itemWith(report.pages[0], "AVIZ DE INSOTIRE");
    const PlacedItem* below = itemWith(report.pages[0], "A MARFII");
    ASSERT_TRUE(title && below);
    EXPECT_GT(below->y, title->y);
    double y = 0;
    for (const auto& line : kBuyerLines) {
        const PlacedItem* item = itemWith(report.pages[0], line);
        ASSERT_TRUE(item) << line;
        EXPECT_GT(item->x, title->x + title->w) << line;
        EXPECT_GT(item->y, y) << line;  // in the order written
        y = item->y;
    }
}

TEST_F(DeliveryNoteLayout, RowsCarryNumberPricesAndAnEmptyLastColumn) {
    const auto rows = noteRows(
        {{"3.00", "100", "119", "SURUB M8", "BUC"}, {"2.50", "10", "10.5", "PIULITA", "KG"}});
    const LaidOutReport report = paginate(layout, &rows, sampleInputs());
    ASSERT_EQ(report.pages.size(), 1u);
    const LaidOutPage& page = report.pages[0];

    const PlacedItem* first = itemWith(page, "SURUB M8");
    const PlacedItem* second = itemWith(page, "PIULITA");
    ASSERT_TRUE(first && second);
    EXPECT_NEAR(second->y - first->y, layout.band(BandKind::Detail)->height, 0.01);
    // Each value stands under its heading.
    const auto under = [&](const char* heading, const char* value, double rowY) {
        const PlacedItem* h = itemWith(page, heading);
        ASSERT_TRUE(h) << heading;
        const PlacedItem* v = nullptr;
        for (const auto& item : page.items)
            if (item.text == value && std::abs(item.y - rowY) < 0.01) v = &item;
        ASSERT_TRUE(v) << value;
        EXPECT_LT(h->y, v->y) << heading;
        EXPECT_GE(v->x + 0.01, h->x) << heading;
        EXPECT_LE(v->x + v->w, h->x + h->w + 0.01) << heading;
    };
    under("Nr.", "1", first->y);
    under("Nr.", "2", second->y);
    under("U.M.", "KG", second->y);
    under("Cant.", "3.00", first->y);
    under("Pret unitar", "100.00", first->y);
    under("Pret iesire", "119.00", first->y);
    under("Pret unitar", "10.00", second->y);
    under("Pret iesire", "10.50", second->y);
    // "Pret" / "vanzare" is left for the hand: no text in that column on the rows.
    const PlacedItem* sale = itemWith(page, "vanzare");
    ASSERT_TRUE(sale);
    for (const auto& item : page.items) {
        if (item.band == BandKind::Detail && item.kind != ElementKind::Line) {
            EXPECT_LE(item.x + item.w, sale->x + 0.01) << item.text;
        }
    }

    const PlacedItem* signature = itemWith(page, "Semnatura de primire");
    ASSERT_TRUE(signature);
    EXPECT_GT(signature->y, second->y);
}

TEST_F(DeliveryNoteLayout, LongProductGrowsItsRow) {
    std::string words;
    for (int i = 0; i < 30; ++i) words += "cuvant" + std::to_string(i) + " ";
    const auto rows =
        noteRows({{"1.00", "1", "1", words.c_str(), "BUC"}, {"1.00", "1", "1", "Dupa", "BUC"}});
    const LaidOutReport report = paginate(layout, &rows, sampleInputs());
    const PlacedItem* number = itemWith(report.pages[0], "1");
    const PlacedItem* after = itemWith(report.pages[0], "Dupa");
    ASSERT_TRUE(number && after);
    EXPECT_GT(after->y - number->y, 6.0);
    testing::expectMatchesFile("aviz_grow.txt", dumpReport(report));
}

TEST_F(DeliveryNoteLayout, NoteWithoutLinesStillPrintsItsForm) {
    const auto rows = noteRows({});
    const LaidOutReport report = paginate(layout, &rows, sampleInputs());
    ASSERT_EQ(report.pages.size(), 1u);
    EXPECT_TRUE(itemWith(report.pages[0], "AVIZ DE INSOTIRE"));
    EXPECT_TRUE(itemWith(report.pages[0], "<OPERATOR>"));
    EXPECT_TRUE(itemWith(report.pages[0], "Semnatura de primire"));
}

TEST_F(DeliveryNoteLayout, ManyRowsRepeatTheHeadingsOnTheNextPage) {
    std::vector<std::string> names;
    for (int i = 1; i <= 70; ++i) names.push_back("Produs " + std::to_string(i));
    std::vector<NoteLine> lines;
    for (const auto& name : names) lines.push_back({"1", "2", "3", name.c_str(), "BUC"});
    const auto rows = noteRows(lines);
    const LaidOutReport report = paginate(layout, &rows, sampleInputs());
    ASSERT_EQ(report.pages.size(), 2u);
    EXPECT_TRUE(itemWith(report.pages[1], "Denumirea produselor sau a serviciilor"));
    EXPECT_TRUE(itemWith(report.pages[1], "70"));
    EXPECT_TRUE(itemWith(report.pages[1], "Produs 70"));
    EXPECT_FALSE(itemWith(report.pages[1], "AVIZ DE INSOTIRE"));
}

TEST_F(DeliveryNoteLayout, PdfCarriesEveryFixedText) {
    const auto rows = noteRows({{"3.00", "100", "119", "SURUB M8", "BUC"}});
    const std::string text = tvx::testing::PdfText(paginate(layout, &rows, sampleInputs()));
    std::vector<std::string> expected = {"Nr.de inmatriculare in Registrul comertului:",
                                         "Codul de inregistrare:",
                                         "Adresa:",
                                         "Judetul",
                                         "Banca:",
                                         "Cont bancar:",
                                         "Capital social:",
                                         "AVIZ DE INSOTIRE",
                                         "A MARFII",
                                         "Seria:",
                                         "nr.",
                                         "Data:",
                                         "Nr.",
                                         "crt.",
                                         "Denumirea produselor sau a serviciilor",
                                         "U.M.",
                                         "Cant.",
                                         "livrata",
                                         "Pret unitar",
                                         "(fara TVA)",
                                         "Pret iesire",
                                         "cu TVA",
                                         "Pret",
                                         "vanzare",
                                         "SURUB M8",
                                         "BUC",
                                         "3.00",
                                         "100.00",
                                         "119.00",
                                         "Semnatura si",
                                         "stampila furnizorului",
                                         "Date privind expeditia:",
                                         "Numele delegatului:",
                                         "Mijlocul de transport:",
                                         "Data si ora livrarii:",
                                         "Operator:",
                                         "Semnatura de primire"};
    // The PDF text has runs of blanks collapsed; the exact texts of the buyer lines are
    // checked on the laid-out items (BuyerLinesKeepTheirDots).
    for (const std::string& line : kBuyerLines)
        expected.push_back(QString::fromStdString(line).simplified().toStdString());
    for (const auto& name : kParameters) expected.push_back("<" + name + ">");
    tvx::testing::ExpectAllTexts(text, expected);
}

}  // namespace
}  // namespace tvx::printing
