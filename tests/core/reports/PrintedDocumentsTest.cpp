// The printed invoice data: every label of the binding table for a stored invoice and its
// receipt, the lookup of a layout component by its name with the copy digit, and the rows of
// Fact.dbf for an invoice with lines, one without, and a car-service invoice.
#include <gtest/gtest.h>

#include "../purchases/PurchasesTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/reports/PrintedDocuments.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

class PrintedDocumentsTest : public purchasestest::PurchasesTest {
  protected:
    void SetUp() override {
        PurchasesTest::SetUp();
        company_.telFax = "Tel 0722 000 111";
        db().execute(
            "INSERT INTO " + table("FactOut") +
                " (IDFACTO, SERIA, NR, DATAOUT, TVAPROC, SOC, RJ, CUI, ADRESA, JUD, BANCA, CONT,"
                " CAPITAL, SOC2, RJ2, CUI2, ADRESA2, JUD2, LOC2, BANCA2, CONT2, DELEG, MIJT,"
                " DATALIV, OPERAT, DATASCAD, OBS) VALUES (7, 'TVX', 1234, :d, 19, 'Firma Mea',"
                " 'J40/1/2020', 'RO123', 'Str. Mare 1', 'Cluj', 'BT', 'RO49AAAA1B31007593840000',"
                " 200, 'Client SA', 'J12/5/2019', 'RO999', 'Bd.  Unirii 3', 'Alba', 'Blaj',"
                " 'BRD', 'RO02BRDE', 'Ion Pop', 'CJ01ABC', 45000.5, 'Ana', :due, 'Plata in"
                " avans')",
            {{"d", Date::fromYmd(2024, 3, 5)}, {"due", Date::fromYmd(2024, 4, 4)}});
        db().execute("INSERT INTO " + table("ChitOut") +
                         " (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA, REPREZ) VALUES"
                         " (3, 7, 'CHITANTA', 'CH', 88, :d, 2345.67, 'contravaloare factura')",
                     {{"d", Date::fromYmd(2024, 3, 6)}});
    }
    void AddLine(int nr, int idFisa, const char* product, const char* cant, const char* value,
                 const char* vat) {
        db().execute("INSERT INTO " + table("ProdOut") +
                         " (IDFACTO, IDFISA, NRCRT, PRODUS, UM, CANT, PRETOUT, VALOUT, VALTVA)"
                         " VALUES (7, :f, :n, :p, 'BUC', :c, 12.5, :v, :t)",
                     {{"f", idFisa},
                      {"n", nr},
                      {"p", product},
                      {"c", D(cant)},
                      {"v", D(value)},
                      {"t", D(vat)}});
    }
    // Fact.dbf as rows of NRCRT|PRODUS|UM|CANT|PU|VALOARE|VALTVA.
    std::vector<std::string> FactRows() {
        auto rs = db().query("SELECT * FROM " + QuotedPath(InvoiceLinesFile(db())));
        std::vector<std::string> rows;
        for (rs.first(); !rs.eof(); rs.next()) {
            std::string row = rs.asText("NRCRT");
            for (const char* f : {"PRODUS", "UM", "CANT", "PU", "VALOARE", "VALTVA"})
                row += "|" + rs.asText(f);
            rows.push_back(row);
        }
        return rows;
    }
    CompanyProfile company_;
};

TEST_F(PrintedDocumentsTest, InvoiceLabelsShowTheStoredInvoiceRow) {
    const DocumentLabels labels = BindDocumentLabels(db(), company_, 7, std::nullopt);
    EXPECT_EQ(labels.title, "F A C T U R A");
    EXPECT_EQ(labels.receiptTitle, "CHITANTA");
    EXPECT_EQ(labels.telephone, "Tel 0722 000 111");
    EXPECT_FALSE(labels.receiptBand);
    ASSERT_EQ(labels.rows.size(), 38u);

    const std::vector<std::pair<const char*, const char*>> expected = {
        {"LMySocNume", "Firma Mea"},
        {"LMySocAdresa", "Str. Mare 1"},
        {"LCumparatorNume", "Client SA"},
        {"LCumparatorAdresa", "Blaj Bd.  Unirii 3"},
        {"LMySocRC", "J40/1/2020"},
        {"LMySocCUI", "RO123"},
        {"LMySocJudet", "Cluj"},
        {"LMySocBanca", "BT"},
        {"LMySocCont", "RO49AAAA1B31007593840000"},
        {"LFacturaSeria", "TVX"},
        {"LCumparatorRJ", "J12/5/2019"},
        {"LCumparatorCUI", "RO999"},
        {"LCumparatorJudet", "Alba"},
        {"LCumparatorBanca", "BRD"},
        {"LCumparatorCont", "RO02BRDE"},
        {"LDelegat", "Ion Pop"},
        {"LTransport", "CJ01ABC"},
        {"LOperator", "Ana"},
        {"LMySocCapital", "200"},
        {"LFacturaNr", "1234"},
        {"LCotaTVA", "19 %"},
        {"LData", "05.03.2024"},
        {"LLivrare", "15.03.2023  12:00"},
    };
    for (const auto& [label, text] : expected) {
        const auto it = std::find_if(labels.rows.begin(), labels.rows.end(),
                                     [&](const BoundLabel& r) { return r.label == label; });
        ASSERT_NE(it, labels.rows.end()) << label;
        EXPECT_EQ(it->text, std::optional<std::string>(text)) << label;
    }
    EXPECT_TRUE(labels.rows[0].textBox);
    EXPECT_TRUE(labels.rows[3].textBox);
    EXPECT_FALSE(labels.rows[4].textBox);
    // Totals are left to the caller; without a receipt its labels keep their texts.
    for (size_t i : {21u, 22u, 23u}) EXPECT_FALSE(labels.rows[i].text) << labels.rows[i].label;
    for (size_t i = 26; i < 38; ++i) EXPECT_FALSE(labels.rows[i].text) << labels.rows[i].label;
}

TEST_F(PrintedDocumentsTest, ReceiptLabelsJoinInvoiceAndReceiptRows) {
    const DocumentLabels labels = BindDocumentLabels(db(), company_, 7, 3);
    EXPECT_TRUE(labels.receiptBand);
    ASSERT_EQ(labels.rows.size(), 38u);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"LChitMySoc", "Firma Mea"},
        {"LChitMySocAdresa", "Str. Mare 1"},
        {"LChitMySocRJ", "J40/1/2020"},
        {"LChitMySocCUI", "RO123"},
        {"LChitMySocJudet", "Cluj"},
        {"LChitCumparator", "Client SA CIF RO999 RC J12/5/2019"},
        {"LChitAdresaCumparator", "Blaj Bd. Unirii 3 jud.Alba"},
        {"LChitReprezentand", "contravaloare factura"},
        {"LChitSuma", "2345.67"},
        {"LChitSeriaNr", "seria CH nr.88"},
        {"LChitData", "data : 06.03.2024"},
        {"LChitSumaLitere", "douamiitreisutepatruzecisicinci lei si sasezecisisapte bani"},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(labels.rows[26 + i].label, expected[i].first);
        EXPECT_EQ(labels.rows[26 + i].text, std::optional<std::string>(expected[i].second))
            << expected[i].first;
    }
    EXPECT_TRUE(labels.rows[26].textBox);
    EXPECT_TRUE(labels.rows[27].textBox);
}

TEST_F(PrintedDocumentsTest, FiscalReceiptTitleAndOldDatesPrintBlank) {
    db().execute("UPDATE " + table("FactOut") +
                     " SET SERIA='BON F.', DATAOUT=:d, DATALIV=36525.75 WHERE IDFACTO=7",
                 {{"d", Date::fromYmd(1999, 12, 31)}});
    const DocumentLabels labels = BindDocumentLabels(db(), company_, 7, std::nullopt);
    EXPECT_EQ(labels.title, "BON FISCAL");
    EXPECT_EQ(labels.textFor("LData2"), " ");
    EXPECT_EQ(labels.textFor("LLivrare2"), " ");
}

TEST_F(PrintedDocumentsTest, MissingRowsAreRefusedNamingTheirTable) {
    try {
        BindDocumentLabels(db(), company_, 99, std::nullopt);
        FAIL() << "no error";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("FactOut"), std::string::npos) << e.what();
    }
    try {
        BindDocumentLabels(db(), company_, 7, 99);
        FAIL() << "no error";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("ChitOut"), std::string::npos) << e.what();
    }
}

TEST_F(PrintedDocumentsTest, ComponentsAreFoundByNameWithoutTheCopyDigit) {
    const DocumentLabels labels = BindDocumentLabels(db(), company_, 7, 3);
    ASSERT_NE(labels.find("LMySocCUI2"), nullptr);
    EXPECT_EQ(labels.find("LMySocCUI2"), &labels.rows[5]);
    EXPECT_EQ(labels.find("LChitMySocCUI4"), &labels.rows[29]);
    EXPECT_EQ(labels.textFor("lchitmysoccui4"), "RO123");
    EXPECT_EQ(labels.textFor("LMYSOCNUME2"), "Firma Mea");
    EXPECT_EQ(labels.find("LMySocCUI"), nullptr);  // no copy digit: "LMySocCU" is no label
    EXPECT_EQ(labels.find("Tel1"), nullptr);
    EXPECT_EQ(labels.find(""), nullptr);
    EXPECT_EQ(labels.textFor("LTotalPlata2"), std::nullopt);
}

TEST_F(PrintedDocumentsTest, InvoiceLinesAreCopiedInOrderWithClosingRows) {
    AddLine(2, 10, "PIULITA", "98765.5", "1234567.89", "0.5");
    AddLine(1, 11, "SURUB M8", "3", "37.5", "7.13");
    ASSERT_TRUE(BuildInvoiceLines(db(), company_, 7));
    AppendClosingRows(db(), 7, true);
    EXPECT_EQ(FactRows(), (std::vector<std::string>{
                              "1|SURUB M8|BUC|3.00|12.50|37.50|7.13",
                              "2|PIULITA|BUC|98765.5|12.50|1234567.89|0.50",
                              "||||||",
                              "|Termen de achitare a facturii : 04.04.2024|||||",
                              "|Plata in avans|||||",
                          }));
    DeleteInvoiceLines(db());
    EXPECT_FALSE(std::filesystem::exists(InvoiceLinesFile(db())));
    DeleteInvoiceLines(db());  // absent: no error
}

TEST_F(PrintedDocumentsTest, InvoiceWithoutLinesGetsBlankRowsAndOldTableIsReplaced) {
    AddLine(1, 11, "SURUB M8", "3", "37.5", "7.13");
    ASSERT_TRUE(BuildInvoiceLines(db(), company_, 7));
    db().execute("DELETE FROM " + table("ProdOut"));
    EXPECT_FALSE(BuildInvoiceLines(db(), company_, 7));
    AppendClosingRows(db(), 7, false);
    EXPECT_EQ(FactRows(), std::vector<std::string>(25, "||||||"));
}

TEST_F(PrintedDocumentsTest, CarServiceInvoicePrintsPartsAndLabourSums) {
    company_.domeniu = CompanyProfile::kServiceAuto;
    AddLine(1, 10, "FILTRU", "1", "100", "19");
    AddLine(2, -1, "MANOPERA 1", "1", "200", "38");
    AddLine(3, 11, "ULEI", "1", "50", "9.5");
    AddLine(4, -1, "MANOPERA 2", "1", "40", "7.6");
    AddLine(5, 12, "BEC", "1", "10", "1.9");
    ASSERT_TRUE(BuildInvoiceLines(db(), company_, 7));
    EXPECT_EQ(FactRows(), (std::vector<std::string>{
                              "1|Piese - conform deviz|BUC|1|160.00|160.00|30.40",
                              "2|Manopera - conform deviz|BUC|1|240.00|240.00|45.60",
                          }));

    db().execute("DELETE FROM " + table("ProdOut") + " WHERE IDFISA=-1");
    ASSERT_TRUE(BuildInvoiceLines(db(), company_, 7));
    EXPECT_EQ(FactRows()[1], "2|Manopera - conform deviz|BUC|1|0.00|0.00|0.00");
}

}  // namespace
}  // namespace tvx::core
