// Tests of the invoice layout file LFactura2 as the program loads it by name: every bound
// label has its place, the texts land in the right boxes, the body rows grow and follow each
// other, the receipt band and the VAT marks come and go by name, and a blank form fits a page.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "printing/LayoutFiles.h"
#include "printing/ReportPaginator.h"
#include "printing/ReportTestSupport.h"
#include "support/PdfText.h"
#include "tables/EngineError.h"

namespace tvx::printing {
namespace {

using tables::ResultSet;
using tables::Value;

// The label names filled by the invoice data, each placed with copy number 2.
const std::vector<std::string> kBoundLabels = {"LMySocNume",        "LMySocAdresa",
                                               "LCumparatorNume",   "LCumparatorAdresa",
                                               "LMySocRC",          "LMySocCUI",
                                               "LMySocJudet",       "LMySocBanca",
                                               "LMySocCont",        "LFacturaSeria",
                                               "LCumparatorRJ",     "LCumparatorCUI",
                                               "LCumparatorJudet",  "LCumparatorBanca",
                                               "LCumparatorCont",   "LDelegat",
                                               "LTransport",        "LOperator",
                                               "LMySocCapital",     "LFacturaNr",
                                               "LCotaTVA",          "LData",
                                               "LLivrare",          "LChitMySoc",
                                               "LChitMySocAdresa",  "LChitMySocRJ",
                                               "LChitMySocCUI",     "LChitMySocJudet",
                                               "LChitCumparator",   "LChitAdresaCumparator",
                                               "LChitReprezentand", "LChitSuma",
                                               "LChitSeriaNr",      "LChitData",
                                               "LChitSumaLitere"};

ResultSet factRows(const std::vector<std::vector<std::string>>& rows) {
    std::vector<Value> cells;
    for (const auto& row : rows)
        for (const auto& text : row) cells.emplace_back(text);
    return testing::makeRows({{"NRCRT", 'C', 6, 0},
                              {"PRODUS", 'C', 240, 0},
                              {"UM", 'C', 4, 0},
                              {"CANT", 'C', 7, 0},
                              {"PU", 'C', 11, 0},
                              {"VALOARE", 'C', 11, 0},
                              {"VALTVA", 'C', 11, 0}},
                             std::move(cells));
}

ReportInputs sampleInputs() {
    ReportInputs in;
    for (const auto& label : kBoundLabels) in.parameters[label] = "<" + label + ">";
    in.parameters["TITLU"] = "F A C T U R A";
    in.parameters["CHITTITLU"] = "CHITANTA";
    in.parameters["TOTPLATA"] = "238.00";
    in.parameters["SPLITTVA"] = "Nu se aplica SPLIT TVA";
    return in;
}

const PlacedItem* itemWith(const LaidOutPage& page, const std::string& text) {
    for (const auto& item : page.items)
        if (item.text == text) return &item;
    return nullptr;
}

class InvoiceLayout : public ::testing::Test {
  protected:
    ReportLayout layout = LoadNamedLayout("LFactura2");
};

TEST(LayoutFiles, FindsTheInvoiceAndNamesAMissingFile) {
    const auto path = LayoutPath("LFactura2");
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    EXPECT_EQ(path.filename(), "LFactura2.json");
    try {
        LoadNamedLayout("NoSuchLayout");
        FAIL() << "a missing layout was loaded";
    } catch (const tables::EngineError& error) {
        EXPECT_NE(std::string(error.what()).find("NoSuchLayout.json"), std::string::npos)
            << error.what();
    }
}

TEST_F(InvoiceLayout, HasAPlaceForEveryBoundLabel) {
    EXPECT_EQ(layout.name, "LFactura2");
    EXPECT_FALSE(layout.page.landscape);
    for (const auto& label : kBoundLabels) {
        bool found = false;
        for (const auto& band : layout.bands)
            for (const auto& e : band.elements)
                if (e.name == label + "2") {
                    found = true;
                    EXPECT_EQ(e.text, "{" + label + "}") << label;
                }
        EXPECT_TRUE(found) << label;
    }
}

TEST_F(InvoiceLayout, PutsSupplierBuyerAndRowsInTheirPlaces) {
    const auto rows = factRows({{"1", "Ulei motor 5W30", "L", "2.00", "50.00", "100.00", "19.00"},
                                {"2", "Filtru ulei", "BUC", "1.00", "100.00", "100.00", "19.00"}});
    const LaidOutReport report = paginate(layout, &rows, sampleInputs());
    ASSERT_EQ(report.pages.size(), 1u);
    const LaidOutPage& page = report.pages[0];

    const PlacedItem* supplier = itemWith(page, "<LMySocCUI>");
    const PlacedItem* buyer = itemWith(page, "<LCumparatorCUI>");
    const PlacedItem* title = itemWith(page, "F A C T U R A");
    ASSERT_TRUE(supplier && buyer && title);
    EXPECT_LT(supplier->x + supplier->w, title->x + 1);
    EXPECT_GT(buyer->x, title->x + title->w - 1);
    EXPECT_TRUE(itemWith(page, "Pag. 1"));

    const PlacedItem* first = itemWith(page, "Ulei motor 5W30");
    const PlacedItem* second = itemWith(page, "Filtru ulei");
    ASSERT_TRUE(first && second);
    EXPECT_GT(first->y, title->y);
    EXPECT_NEAR(second->y - first->y, layout.band(BandKind::Detail)->height, 0.01);
    const PlacedItem* value = itemWith(page, "100.00");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->align, Align::Right);

    const PlacedItem* total = itemWith(page, "TOTAL DE PLATA");
    const PlacedItem* toPay = itemWith(page, "238.00");
    ASSERT_TRUE(total && toPay);
    EXPECT_GT(total->y, second->y);
    EXPECT_DOUBLE_EQ(total->y, toPay->y);
    EXPECT_GT(toPay->x, total->x);
    EXPECT_TRUE(itemWith(page, "TVA LA INCASARE"));
    EXPECT_TRUE(itemWith(page, "Nu se aplica SPLIT TVA"));
}

TEST_F(InvoiceLayout, LongProductTextGrowsItsRow) {
    std::string words;
    for (int i = 0; i < 30; ++i) words += "cuvant" + std::to_string(i) + " ";
    const auto rows = factRows({{"1", words, "BUC", "1.00", "1.00", "1.00", "0.19"},
                                {"2", "Dupa", "BUC", "1.00", "1.00", "1.00", "0.19"}});
    const LaidOutReport report = paginate(layout, &rows, sampleInputs());
    const PlacedItem* after = itemWith(report.pages[0], "Dupa");
    const PlacedItem* before = itemWith(report.pages[0], "1");
    ASSERT_TRUE(after && before);
    EXPECT_GT(after->y - before->y, 6.0);
}

TEST_F(InvoiceLayout, ReceiptBandMarksAndStampGoByName) {
    const auto rows = factRows({{"1", "Produs", "BUC", "1.00", "1.00", "1.00", "0.19"}});
    ReportInputs in = sampleInputs();
    in.pictures["stamp"] = QImage(4, 4, QImage::Format_RGB32);
    const LaidOutReport withAll = paginate(layout, &rows, in);
    const PlacedItem* receipt = itemWith(withAll.pages[0], "CHITANTA");
    const PlacedItem* signature = itemWith(withAll.pages[0], "Semnatura de primire");
    ASSERT_TRUE(receipt && signature);
    EXPECT_GT(receipt->y, signature->y);
    const auto stamps =
        std::count_if(withAll.pages[0].items.begin(), withAll.pages[0].items.end(),
                      [](const PlacedItem& i) { return i.kind == ElementKind::Picture; });
    EXPECT_EQ(stamps, 2);

    in.hidden = {"ChitJos", "TvaLaIncasare", "SplitTva"};
    in.pictures.clear();
    const LaidOutReport plain = paginate(layout, &rows, in);
    const LaidOutPage& page = plain.pages[0];
    EXPECT_FALSE(itemWith(page, "CHITANTA"));
    EXPECT_FALSE(itemWith(page, "<LChitSuma>"));
    EXPECT_FALSE(itemWith(page, "TVA LA INCASARE"));
    EXPECT_FALSE(itemWith(page, "Nu se aplica SPLIT TVA"));
    EXPECT_TRUE(itemWith(page, "Semnatura de primire"));
    EXPECT_TRUE(std::none_of(page.items.begin(), page.items.end(),
                             [](const PlacedItem& i) { return i.kind == ElementKind::Picture; }));
}

TEST_F(InvoiceLayout, TwentyFiveBlankRowsAndTheReceiptFitOnePage) {
    const auto rows =
        factRows(std::vector<std::vector<std::string>>(25, std::vector<std::string>(7)));
    const LaidOutReport report = paginate(layout, &rows, sampleInputs());
    ASSERT_EQ(report.pages.size(), 1u);
    double bottom = 0;
    for (const auto& item : report.pages[0].items) bottom = std::max(bottom, item.y + item.h);
    EXPECT_LE(bottom, report.page.height() - report.page.marginBottom + 0.01);
    EXPECT_TRUE(itemWith(report.pages[0], "CHITANTA"));
}

TEST_F(InvoiceLayout, ManyRowsBreakPagesWithHeadingsAndPageNumbers) {
    std::vector<std::vector<std::string>> many;
    for (int i = 1; i <= 60; ++i)
        many.push_back({std::to_string(i), "Produs " + std::to_string(i), "BUC", "1.00", "1.00",
                        "1.00", "0.19"});
    const auto rows = factRows(many);
    const LaidOutReport report = paginate(layout, &rows, sampleInputs());
    ASSERT_EQ(report.pages.size(), 2u);
    EXPECT_TRUE(itemWith(report.pages[1], "Pag. 2"));
    EXPECT_TRUE(itemWith(report.pages[1], "Denumirea produselor sau a serviciilor"));
    EXPECT_TRUE(itemWith(report.pages[1], "Produs 60"));
    EXPECT_FALSE(itemWith(report.pages[1], "F A C T U R A"));
}

TEST_F(InvoiceLayout, PdfCarriesEveryTextOfTheInvoiceAndItsReceipt) {
    const auto rows = factRows({{"1", "Ulei motor 5W30", "L", "2.00", "50.00", "100.00", "19.00"}});
    ReportInputs in = sampleInputs();
    in.parameters["TEL1"] = "Tel/Fax 0264-123456";
    in.parameters["TOTVAL"] = "100.00";
    in.parameters["TOTTVA"] = "19.00";
    in.parameters["TOTPLATA"] = "119.00";
    const std::string text = tvx::testing::PdfText(paginate(layout, &rows, in));
    std::vector<std::string> expected = {"Nr.de inmatriculare in Registrul comertului:",
                                         "Codul de inregistrare:",
                                         "Judetul",
                                         "Banca:",
                                         "Cont bancar:",
                                         "Capital social:",
                                         "Seria:",
                                         "Nr.",
                                         "Data:",
                                         "Cota TVA:",
                                         "Cumparator:",
                                         "Adresa:",
                                         "Nr.",
                                         "crt.",
                                         "Denumirea produselor sau a serviciilor",
                                         "U.M.",
                                         "Cantitatea",
                                         "Pret unit.",
                                         "(fara TVA)",
                                         "Valoarea",
                                         "Valoare",
                                         "T.V.A.",
                                         "Pag. 1",
                                         "Ulei motor 5W30",
                                         "50.00",
                                         "TVA LA INCASARE",
                                         "Nu se aplica SPLIT TVA",
                                         "Total",
                                         "100.00",
                                         "19.00",
                                         "TOTAL DE PLATA",
                                         "119.00",
                                         "Date privind expeditia:",
                                         "Numele delegatului:",
                                         "Mijlocul de transport:",
                                         "Data si ora livrarii:",
                                         "Operator:",
                                         "Semnatura de primire",
                                         "Tel/Fax 0264-123456",
                                         "CHITANTA",
                                         "Casier,",
                                         "Am primit de la",
                                         "adresa",
                                         "suma de",
                                         "lei, adica",
                                         "reprezentand"};
    for (const auto& label : kBoundLabels) expected.push_back("<" + label + ">");
    tvx::testing::ExpectAllTexts(text, expected);
    // pdftotext joins the letter-spaced title into one word; the layout dump checks its spacing.
    tvx::testing::ExpectAllTexts(text, {"FACTURA"});
}

}  // namespace
}  // namespace tvx::printing
