// Tests of the receipt page layout LFactura3 as the program loads it by name: the receipt
// labels in three copies, three blocks one under the other on a single page without any data
// rows, the vendor line between them, a wrapping buyer text that moves the next block down,
// the stamp places, the exact placement (dump) and every fixed text in the PDF.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "printing/LayoutFiles.h"
#include "printing/ReportPaginator.h"
#include "printing/ReportTestSupport.h"
#include "support/PdfText.h"

namespace tvx::printing {
namespace {

const std::vector<std::string> kReceiptLabels = {"LChitMySoc",
                                                 "LChitMySocAdresa",
                                                 "LChitMySocRJ",
                                                 "LChitMySocCUI",
                                                 "LChitMySocJudet",
                                                 "LChitCumparator",
                                                 "LChitAdresaCumparator",
                                                 "LChitReprezentand",
                                                 "LChitSuma",
                                                 "LChitSeriaNr",
                                                 "LChitData",
                                                 "LChitSumaLitere"};

const char* const kVendorLine =
    "- - -  factura si chitanta emise cu programul de gestiune Tarvix  - - -";

ReportInputs sampleInputs() {
    ReportInputs in;
    for (const auto& label : kReceiptLabels) in.parameters[label] = "<" + label + ">";
    in.parameters["CHITTITLU"] = "CHITANTA";
    return in;
}

std::vector<const PlacedItem*> itemsWith(const LaidOutPage& page, const std::string& text) {
    std::vector<const PlacedItem*> found;
    for (const auto& item : page.items)
        if (item.text == text) found.push_back(&item);
    return found;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class ReceiptPageLayout : public ::testing::Test {
  protected:
    ReportLayout layout = LoadNamedLayout("LFactura3");
};

TEST_F(ReceiptPageLayout, EveryReceiptLabelHasThreeCopies) {
    EXPECT_EQ(layout.name, "LFactura3");
    EXPECT_FALSE(layout.page.landscape);
    EXPECT_EQ(layout.band(BandKind::Detail), nullptr);  // no data set
    for (const auto& label : kReceiptLabels)
        for (const char* copy : {"3", "4", "5"}) {
            int found = 0;
            for (const auto& band : layout.bands)
                for (const auto& e : band.elements)
                    if (e.name == label + copy) {
                        ++found;
                        EXPECT_EQ(e.text, "{" + label + "}") << e.name;
                    }
            EXPECT_EQ(found, 1) << label << copy;
        }
}

TEST_F(ReceiptPageLayout, ThreeBlocksOnOnePageWithoutData) {
    const LaidOutReport report = paginate(layout, nullptr, sampleInputs());
    ASSERT_EQ(report.pages.size(), 1u);
    const LaidOutPage& page = report.pages[0];
    const auto titles = itemsWith(page, "CHITANTA");
    const auto sums = itemsWith(page, "<LChitSuma>");
    const auto buyers = itemsWith(page, "<LChitCumparator>");
    const auto vendor = itemsWith(page, kVendorLine);
    ASSERT_EQ(titles.size(), 3u);
    ASSERT_EQ(sums.size(), 3u);
    ASSERT_EQ(buyers.size(), 3u);
    ASSERT_EQ(vendor.size(), 2u);
    for (size_t i = 0; i < 3; ++i) {
        // Each block keeps its inner arrangement: the title above its buyer and sum lines.
        EXPECT_LT(titles[i]->y, buyers[i]->y);
        EXPECT_LT(buyers[i]->y, sums[i]->y);
        EXPECT_DOUBLE_EQ(sums[i]->x, sums[0]->x);
        EXPECT_DOUBLE_EQ(sums[i]->y - titles[i]->y, sums[0]->y - titles[0]->y);
    }
    for (size_t i = 0; i < 2; ++i) {
        // The vendor line separates block i from block i + 1.
        EXPECT_GT(vendor[i]->y, sums[i]->y);
        EXPECT_LT(vendor[i]->y, titles[i + 1]->y);
    }
    double bottom = 0;
    for (const auto& item : page.items) bottom = std::max(bottom, item.y + item.h);
    EXPECT_LE(bottom, report.page.height() - report.page.marginBottom + 0.01);
}

TEST_F(ReceiptPageLayout, StampPlacesFollowThePicture) {
    ReportInputs in = sampleInputs();
    const auto pictures = [&](const ReportInputs& inputs) {
        const LaidOutReport report = paginate(layout, nullptr, inputs);
        return std::count_if(report.pages[0].items.begin(), report.pages[0].items.end(),
                             [](const PlacedItem& i) { return i.kind == ElementKind::Picture; });
    };
    EXPECT_EQ(pictures(in), 0);
    in.pictures["stamp"] = QImage(4, 4, QImage::Format_RGB32);
    EXPECT_EQ(pictures(in), 3);
}

TEST_F(ReceiptPageLayout, LongBuyerWrapsAndMovesTheNextBlockDown) {
    const LaidOutReport plain = paginate(layout, nullptr, sampleInputs());
    ReportInputs in = sampleInputs();
    std::string buyer;
    for (int i = 0; i < 12; ++i) buyer += "Societatea" + std::to_string(i) + " ";
    in.parameters["LChitCumparator"] = buyer;
    const LaidOutReport grown = paginate(layout, nullptr, in);
    ASSERT_EQ(grown.pages.size(), 1u);
    const auto before = itemsWith(plain.pages[0], "CHITANTA");
    const auto after = itemsWith(grown.pages[0], "CHITANTA");
    ASSERT_EQ(after.size(), 3u);
    EXPECT_DOUBLE_EQ(after[0]->y, before[0]->y);
    EXPECT_GT(after[1]->y, before[1]->y + 3);
    EXPECT_GT(after[2]->y, before[2]->y + 6);
}

TEST_F(ReceiptPageLayout, PlacementMatchesTheExpectedDump) {
    ReportInputs in = sampleInputs();
    in.pictures["stamp"] = QImage(4, 4, QImage::Format_RGB32);
    testing::expectMatchesFile("receipt_page.txt", dumpReport(paginate(layout, nullptr, in)));
}

TEST_F(ReceiptPageLayout, PdfCarriesEveryTextThreeTimes) {
    const std::string text = tvx::testing::PdfText(paginate(layout, nullptr, sampleInputs()));
    std::vector<std::string> fixed = {"Nr.de inmatriculare in Registrul comertului:",
                                      "Codul de inregistrare:",
                                      "Adresa:",
                                      "Judetul",
                                      "CHITANTA",
                                      "Casier,",
                                      "Am primit de la",
                                      "adresa",
                                      "suma de",
                                      "lei, adica",
                                      "reprezentand"};
    for (const auto& label : kReceiptLabels) fixed.push_back("<" + label + ">");
    tvx::testing::ExpectAllTexts(text, fixed);
    for (const auto& part : fixed) EXPECT_GE(occurrences(text, part), 3u) << part;
    EXPECT_EQ(occurrences(text, "<LChitSuma>"), 3u);
    EXPECT_EQ(occurrences(text, "factura si chitanta emise cu programul de gestiune Tarvix"), 2u);
}

}  // namespace
}  // namespace tvx::printing
