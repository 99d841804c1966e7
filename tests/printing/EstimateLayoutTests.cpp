// Tests of the work estimate layout file ComandaL as the program loads it by name: the title
// parameters, a short estimate compared with its expected dump, the product text growing its
// row, page breaks repeating the column headings, the fixed summary texts in their order and
// on one line each, and every text of a produced estimate found in its PDF.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "printing/LayoutFiles.h"
#include "printing/ReportPaginator.h"
#include "printing/ReportTestSupport.h"
#include "printing/TextLayout.h"
#include "support/PdfText.h"

namespace tvx::printing {
namespace {

using tables::Decimal;
using tables::ResultSet;
using tables::Value;

struct Line {
    std::string section, product, um, quantity, unitPrice, value;
};

Decimal D(const std::string& text) {
    return Decimal::parse(text).value();
}

ResultSet estimateRows(const std::vector<Line>& lines) {
    std::vector<Value> cells;
    for (const auto& l : lines) {
        cells.emplace_back(l.product);
        cells.emplace_back(l.section.empty() ? "" : l.section + " >> DACIA");
        cells.emplace_back(l.um);
        cells.emplace_back(D(l.quantity));
        cells.emplace_back(D(l.unitPrice));
        cells.emplace_back(D(l.value));
        cells.emplace_back(l.section);
    }
    return testing::makeRows({{"PRODUS", 'C', 240, 0},
                              {"OBS", 'C', 200, 0},
                              {"UM", 'C', 4, 0},
                              {"CANT", 'N', 8, 2},
                              {"PRETU", 'N', 12, 2},
                              {"VALX", 'N', 12, 2},
                              {"SECTIA", 'C', 200, 0}},
                             std::move(cells));
}

ReportInputs headerInputs() {
    ReportInputs in;
    in.parameters = {{"FIRMA", "Auto Service SRL"},
                     {"ADRESA", "Cluj-Napoca Str. Fabricii 7"},
                     {"TELEFON", "Tel/Fax 0264-111222"},
                     {"JUDET", "Jud. Cluj"},
                     {"CUI", "CUI RO1234567"},
                     {"CONT", "Cont RO63BTRL0000123456789012 BANCA TRANSILVANIA SA"},
                     {"BENEFICIAR", "Client SA"},
                     {"ADRESA2", "Blaj Bd. Unirii 3"},
                     {"CUI2", "RO999"},
                     {"DATA", "09.03.2024"},
                     {"AUTOTIP", "DACIA LOGAN"},
                     {"NRAUTO", "CJ 10 ABC"},
                     {"STARE", "bara fata lovita"},
                     {"COMANDA", "Nr.45 din 09.03.2024"}};
    return in;
}

// The fixed texts of the summary, in their order on the page.
const std::vector<std::string> kSummaryTexts = {
    "TOTAL VALOARE DEVIZ DE LUCRARI",
    "INGINER C.T.C.",
    "BENEFICIAR",
    "LUCRARILE CORESPUND CALITATIV",
    "AM PRIMIT AUTOTURISMUL BINE REPARAT",
    "SI CU INVENTARUL COMPLET",
    "   Ma angajez sa suport contravaloarea reparatiei sau a diferentelor in cazul in care "
    "asigurarea nu este valabila si/sau exista diferente care",
    "potrivit contractului de asigurare nu pot fi acoperite de societatea de asigurari. De "
    "asemenea, imi dau acordul ca plata despagubirilor sa se",
    "efectueze de catre "
    ".............................................................................................."
    "."
    " direct in contul unitatii reparatoare.",
    "CERTIFICAT DE GARANTIE :  3 LUNI MANOPERA SI 18 LUNI PIESE.",
    "PREZENTUL CERTIFICAT ATESTA LEGAL CA LUCRARILE EXECUTATE SUNT DE CALITATE SI SE GARANTEAZA "
    "CONFORM ",
    "ORD.536/12.1997, ORD. 394/1995, ORDONANTA NR. 44/1997"};

const std::vector<std::string> kHeadings = {
    "Nr.", "crt.", "Sectia", "DENUMIRE PRODUS", "U.M.", "Cantitate", "Pret", "unitar", "Valoare"};

const PlacedItem* itemWith(const LaidOutPage& page, const std::string& text) {
    for (const auto& item : page.items)
        if (item.text == text) return &item;
    return nullptr;
}

class EstimateLayout : public ::testing::Test {
  protected:
    ReportLayout layout = LoadNamedLayout("ComandaL");
};

TEST_F(EstimateLayout, LoadsByNameAsAPortraitPage) {
    EXPECT_EQ(layout.name, "ComandaL");
    EXPECT_FALSE(layout.page.landscape);
    for (BandKind kind : {BandKind::PageHeader, BandKind::Title, BandKind::ColumnHeader,
                          BandKind::Detail, BandKind::Summary})
        EXPECT_TRUE(layout.band(kind)) << bandKindName(kind);
}

TEST_F(EstimateLayout, TitleUsesExactlyTheHeaderParameters) {
    std::set<std::string> used;
    const std::regex placeholder("\\{([A-Z0-9]+)\\}");
    for (const auto& band : layout.bands)
        for (const auto& e : band.elements)
            for (std::sregex_iterator it(e.text.begin(), e.text.end(), placeholder), end; it != end;
                 ++it)
                used.insert((*it)[1]);
    std::set<std::string> given;
    for (const auto& [name, text] : headerInputs().parameters) given.insert(name);
    EXPECT_EQ(used, given);
}

TEST_F(EstimateLayout, ShortEstimateMatchesItsExpectedDump) {
    const auto rows =
        estimateRows({{"electrica", "Bec far H4", "BUC", "2", "5.95", "11.90"},
                      {"mecanica", "Placute frana fata", "SET", "1", "1234.56", "1234.56"},
                      {"mecanica", "Manopera schimb placute", "ORE", "1.5", "119.00", "178.50"}});
    const LaidOutReport report = paginate(layout, &rows, headerInputs());
    ASSERT_EQ(report.pages.size(), 1u);
    testing::expectMatchesFile("estimate_short.txt", dumpReport(report));
}

TEST_F(EstimateLayout, RowsShowSectionNumbersAndTheTotal) {
    const auto rows =
        estimateRows({{"electrica", "Bec far H4", "BUC", "2", "5.95", "11.90"},
                      {"mecanica", "Placute frana fata", "SET", "1", "1234.56", "1234.56"}});
    const LaidOutReport report = paginate(layout, &rows, headerInputs());
    const LaidOutPage& page = report.pages[0];
    const PlacedItem* title = itemWith(page, "DEVIZ DE LUCRARI");
    const PlacedItem* heading = itemWith(page, "DENUMIRE PRODUS");
    const PlacedItem* first = itemWith(page, "Bec far H4");
    const PlacedItem* second = itemWith(page, "Placute frana fata");
    const PlacedItem* total = itemWith(page, "TOTAL VALOARE DEVIZ DE LUCRARI");
    const PlacedItem* sum = itemWith(page, "1,246.46");
    ASSERT_TRUE(title && heading && first && second && total && sum);
    EXPECT_LT(title->y, heading->y);
    EXPECT_LT(heading->y, first->y);
    EXPECT_NEAR(second->y - first->y, layout.band(BandKind::Detail)->height, 0.01);
    EXPECT_GT(total->y, second->y);
    EXPECT_DOUBLE_EQ(total->y, sum->y);
    EXPECT_EQ(sum->align, Align::Right);
    const PlacedItem* price = itemWith(page, "1,234.56");
    const PlacedItem* section = itemWith(page, "mecanica");
    const PlacedItem* number = itemWith(page, "2");
    ASSERT_TRUE(price && section && number);
    EXPECT_EQ(price->align, Align::Right);
    EXPECT_NEAR(section->y, second->y, 1.0);  // same row
    EXPECT_LT(number->x, section->x);
    EXPECT_LT(section->x, second->x);
    EXPECT_TRUE(itemWith(page, "2.00"));
    EXPECT_TRUE(itemWith(page, "Pag. 1"));
}

TEST_F(EstimateLayout, LongProductTextGrowsItsRow) {
    std::string words;
    for (int i = 0; i < 30; ++i) words += "cuvant" + std::to_string(i) + " ";
    const auto rows = estimateRows({{"mecanica", words, "BUC", "1", "1.00", "1.00"},
                                    {"mecanica", "Dupa", "BUC", "1", "1.00", "1.00"}});
    const LaidOutReport report = paginate(layout, &rows, headerInputs());
    const LaidOutPage& page = report.pages[0];
    const PlacedItem* after = itemWith(page, "Dupa");
    const PlacedItem* grown = nullptr;
    for (const auto& item : page.items)
        if (item.text.rfind("cuvant0 ", 0) == 0) grown = &item;
    ASSERT_TRUE(after && grown);
    EXPECT_NE(grown->text.find('\n'), std::string::npos);
    EXPECT_GT(grown->h, 4.0);
    EXPECT_GE(after->y, grown->y + grown->h - 0.01);
}

TEST_F(EstimateLayout, ManyRowsBreakPagesRepeatingTheHeadings) {
    std::vector<Line> many;
    for (int i = 1; i <= 90; ++i)
        many.push_back({"mecanica", "Piesa " + std::to_string(i), "BUC", "1", "1.00", "1.00"});
    const auto rows = estimateRows(many);
    const LaidOutReport report = paginate(layout, &rows, headerInputs());
    ASSERT_GE(report.pages.size(), 2u);
    int detailPages = 0;
    for (size_t p = 0; p < report.pages.size(); ++p) {
        const LaidOutPage& page = report.pages[p];
        EXPECT_TRUE(itemWith(page, "Pag. " + std::to_string(p + 1))) << p;
        EXPECT_EQ(itemWith(page, "DEVIZ DE LUCRARI") != nullptr, p == 0) << p;
        const bool hasRows =
            std::any_of(page.items.begin(), page.items.end(),
                        [](const PlacedItem& i) { return i.band == BandKind::Detail; });
        if (!hasRows) continue;
        ++detailPages;
        for (const auto& heading : kHeadings) EXPECT_TRUE(itemWith(page, heading)) << heading;
        for (const auto& item : page.items)
            EXPECT_LE(item.y + item.h, report.page.height() - report.page.marginBottom + 0.01)
                << item.text;
    }
    EXPECT_GE(detailPages, 2);
    EXPECT_TRUE(itemWith(report.pages[1], "Piesa 60"));
    EXPECT_TRUE(itemWith(report.pages.back(), "90.00"));
    EXPECT_TRUE(
        itemWith(report.pages.back(), "ORD.536/12.1997, ORD. 394/1995, ORDONANTA NR. 44/1997"));
}

TEST_F(EstimateLayout, SummaryHoldsTheFixedTextsInOrderEachOnOneLine) {
    const Band* summary = layout.band(BandKind::Summary);
    ASSERT_TRUE(summary);
    std::vector<std::string> texts;
    for (const auto& e : summary->elements)
        if (e.kind == ElementKind::Label) {
            texts.push_back(e.text);
            EXPECT_EQ(wrapText(e.text, e.w, e.fontSize, e.bold).size(), 1u) << e.text;
        }
    EXPECT_EQ(texts, kSummaryTexts);

    // Reading order on the page: top to bottom, left before right on one line.
    const auto rows = estimateRows({});
    const LaidOutReport report = paginate(layout, &rows, headerInputs());
    std::vector<const PlacedItem*> placed;
    for (const auto& item : report.pages.back().items)
        if (item.band == BandKind::Summary && item.kind == ElementKind::Label)
            placed.push_back(&item);
    ASSERT_EQ(placed.size(), kSummaryTexts.size());
    for (size_t i = 1; i < placed.size(); ++i) {
        const bool below = placed[i]->y > placed[i - 1]->y + 0.01;
        const bool rightOf =
            std::abs(placed[i]->y - placed[i - 1]->y) < 0.01 && placed[i]->x > placed[i - 1]->x;
        EXPECT_TRUE(below || rightOf) << placed[i]->text;
    }
    EXPECT_TRUE(itemWith(report.pages.back(), "0.00"));
}

// The PDF text has white space runs collapsed; so have the expected texts.
std::string collapsed(const std::string& text) {
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

TEST_F(EstimateLayout, PdfCarriesEveryTextOfTheEstimate) {
    const auto rows =
        estimateRows({{"electrica", "Bec far H4", "BUC", "2", "5.95", "11.90"},
                      {"mecanica", "Placute frana fata", "SET", "1", "1234.56", "1234.56"}});
    const std::string text = tvx::testing::PdfText(paginate(layout, &rows, headerInputs()));
    std::vector<std::string> expected = {"DEVIZ DE LUCRARI",
                                         "Pag. 1",
                                         "AUTO TIP",
                                         "ADRESA",
                                         "NR.CIRCULATIE",
                                         "COD FISCAL",
                                         "STAREA TEHNICA",
                                         "DATA IESIRII DIN REPARATIE",
                                         "Bec far H4",
                                         "electrica",
                                         "mecanica",
                                         "1,234.56",
                                         "5.95",
                                         "11.90",
                                         "1,246.46"};
    for (const auto& heading : kHeadings) expected.push_back(heading);
    for (const auto& fixed : kSummaryTexts) expected.push_back(collapsed(fixed));
    for (const auto& [name, value] : headerInputs().parameters) expected.push_back(value);
    for (auto& e : expected) {
        // Leading and trailing blanks do not survive text extraction.
        e = std::regex_replace(e, std::regex("^ +| +$"), "");
    }
    tvx::testing::ExpectAllTexts(text, expected);
}

}  // namespace
}  // namespace tvx::printing
