// The receipt is read whole: filled with long real values (a buyer and an address that wrap, a
// large sum in words), no text of a receipt block runs past its place or into another text, on
// the receipt page (three blocks) and in the receipt band of the invoice; and the fixed texts
// of every printed document fit the places their layouts give them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "printing/LayoutFiles.h"
#include "printing/ReportPaginator.h"
#include "printing/TextLayout.h"

namespace tvx::printing {
namespace {

constexpr double kTolerance = 0.01;  // mm

ReportInputs longValues() {
    ReportInputs in;
    in.parameters = {
        {"CHITTITLU", "CHITANTA"},
        {"LChitMySoc", "SC EXEMPLU DISTRIBUTIE SI SERVICE AUTO SRL"},
        {"LChitMySocRJ", "J40/12345/2015"},
        {"LChitMySocCUI", "RO12345678"},
        {"LChitMySocAdresa", "Bucuresti, Str. Exemplului nr. 10, bl. A1, sc. 2, ap. 34"},
        {"LChitMySocJudet", "BUCURESTI"},
        {"LChitCumparator",
         "SC CLIENTUL CU NUME LUNG DE SOCIETATE COMERCIALA SRL CIF RO98765432 RC J12/3456/2010"},
        {"LChitAdresaCumparator",
         "Cluj-Napoca Str. Memorandumului nr. 28, et. 3, ap. 12, langa piata centrala jud.CLUJ"},
        {"LChitReprezentand",
         "contravaloare factura seria ABC nr. 1234567 din 09.12.2026, plata partiala in numerar"},
        {"LChitSuma", "987654.32"},
        {"LChitSeriaNr", "seria ABCDEF nr.1234567890"},
        {"LChitData", "data : 09.12.2026"},
        {"LChitSumaLitere",
         "nouasuteoptzecisisaptedemiisasesutecincizecisipatru lei si treizecisidoi bani"},
    };
    return in;
}

bool isText(const PlacedItem& item) {
    return item.kind != ElementKind::Picture && item.kind != ElementKind::Line &&
           item.kind != ElementKind::Box && !item.text.empty();
}

// Every text fits its place (width of each line, height of all lines) and no two places meet.
void expectReadableWhole(const LaidOutPage& page) {
    std::vector<const PlacedItem*> texts;
    for (const PlacedItem& item : page.items)
        if (isText(item)) texts.push_back(&item);
    ASSERT_FALSE(texts.empty());
    for (const PlacedItem* t : texts) {
        EXPECT_LE(textWidthMm(t->text, t->fontSize, t->bold), t->w + kTolerance)
            << "runs past its place: " << t->text;
        const auto lines =
            static_cast<double>(std::count(t->text.begin(), t->text.end(), '\n') + 1);
        EXPECT_LE(lines * lineHeightMm(t->fontSize, t->bold), t->h + kTolerance)
            << "cut at the bottom: " << t->text;
    }
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j) {
            const PlacedItem& a = *texts[i];
            const PlacedItem& b = *texts[j];
            const bool apart = a.x + a.w <= b.x + kTolerance || b.x + b.w <= a.x + kTolerance ||
                               a.y + a.h <= b.y + kTolerance || b.y + b.h <= a.y + kTolerance;
            EXPECT_TRUE(apart) << "\"" << a.text << "\" meets \"" << b.text << "\"";
        }
}

TEST(ReceiptTextFit, ReceiptPageBlocksShowEveryTextWhole) {
    const LaidOutReport report = paginate(LoadNamedLayout("LFactura3"), nullptr, longValues());
    ASSERT_EQ(report.pages.size(), 1u);
    expectReadableWhole(report.pages[0]);
}

TEST(ReceiptTextFit, InvoiceReceiptBandShowsEveryTextWhole) {
    ReportLayout layout = LoadNamedLayout("LFactura2");
    std::erase_if(layout.bands, [](const Band& b) { return b.name != "ChitJos"; });
    ASSERT_EQ(layout.bands.size(), 1u);
    const LaidOutReport report = paginate(layout, nullptr, longValues());
    ASSERT_EQ(report.pages.size(), 1u);
    expectReadableWhole(report.pages[0]);
}

// The fixed texts of every printed document fit the places the layouts give them.
TEST(ReceiptTextFit, FixedTextsOfEveryLayoutFitTheirPlaces) {
    for (const char* name : {"LFactura2", "LFactura3", "LAviz", "ComandaL", "NormativL"}) {
        const ReportLayout layout = LoadNamedLayout(name);
        for (const Band& band : layout.bands)
            for (const Element& e : band.elements) {
                if (e.kind != ElementKind::Label || e.text.find('{') != std::string::npos) continue;
                const auto lines = e.grows ? wrapText(e.text, e.w, e.fontSize, e.bold)
                                           : std::vector<std::string>{e.text};
                for (const std::string& line : lines)
                    EXPECT_LE(textWidthMm(line, e.fontSize, e.bold), e.w + kTolerance)
                        << name << ": " << e.text;
                EXPECT_LE(lines.size() * lineHeightMm(e.fontSize, e.bold), e.h + kTolerance)
                    << name << ": " << e.text;
            }
    }
}

}  // namespace
}  // namespace tvx::printing
