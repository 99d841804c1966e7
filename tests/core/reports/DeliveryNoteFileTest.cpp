// The delivery-note file and lines: the exact bytes of a known note for a VAT payer and for
// another company, the replacement of an existing file and the refusal of an unwritable
// one, a round trip through the reader of the import, and the Aviz.dbf lines with the entry
// price brought to its value without VAT.
#include <gtest/gtest.h>

#include "../purchases/PurchasesTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/purchases/DeliveryNoteImport.h"
#include "core/reports/DeliveryNoteFile.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;
namespace fs = std::filesystem;

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

const DeliveryNoteKey kNote{"AVIZ", 15, Date::fromYmd(2024, 3, 5)};

class DeliveryNoteFileTest : public purchasestest::PurchasesTest {
  protected:
    void SetUp() override {
        PurchasesTest::SetUp();
        company_.denumire = "Firma Mea SRL";
        company_.codFisc = " ro123 ";
        company_.avizSeria = "AVZ";
        AddMovement(1, 1, "SURUB M8", "BUC", "119", "119", "3", kNote);
        AddMovement(2, 2,
                    "\xC5\x9E"
                    "URUB \xC4\x83\xC3\xAE\xC3\xA2",
                    "KG", "11.9", "10", "2.5", kNote);
        // Same number on another day and another document: not part of the note.
        AddMovement(3, 1, "SURUB M8", "BUC", "", "", "4", {"AVIZ", 15, kNote.dinData.addDays(1)});
        AddMovement(4, 1, "SURUB M8", "BUC", "", "", "5", {"FACTURA", 15, kNote.dinData});
    }
    // A card (when prices are given) and one outgoing movement of it.
    void AddMovement(int idFisa, int idCap, const char* product, const char* unit,
                     const char* priceIn, const char* priceOut, const char* quantity,
                     const DeliveryNoteKey& doc) {
        if (*priceIn)
            db().execute("INSERT INTO " + table("CapFise") +
                             " (IDCAP, GESTIUNE, PRODUS, UM, PRETIN, PRETOUT) VALUES"
                             " (:c, 'MAGAZIN', :p, :u, :pin, :pout)",
                         {{"c", idCap},
                          {"p", product},
                          {"u", unit},
                          {"pin", D(priceIn)},
                          {"pout", D(priceOut)}});
        db().execute("INSERT INTO " + table("Fise") +
                         " (IDFISA, IDCAP, TIP, DOCJUS, NRDOC, DINDATA, CANTOUT) VALUES"
                         " (:f, :c, 'IESIRE', :doc, :nr, :d, :q)",
                     {{"f", idFisa},
                      {"c", idCap},
                      {"doc", doc.docJus},
                      {"nr", doc.nrDoc},
                      {"d", doc.dinData},
                      {"q", D(quantity)}});
    }
    CompanyProfile company_;
};

TEST_F(DeliveryNoteFileTest, VatPayerFileCarriesPricesWithoutVat) {
    const fs::path file = dir_.path() / "nota.avz";
    ExportDeliveryNote(db(), company_, 19, file, kNote);
    EXPECT_EQ(testsupport::FileBytes(file),
              "AVZ15\r\nFirma Mea SRL\r\n19\r\n"
              "SURUB M8\r\nBUC\r\n100\r\n3\r\n"
              "\xAAURUB \xE3\xEE\xE2\r\nKG\r\n8.4034\r\n2.5\r\n");
}

TEST_F(DeliveryNoteFileTest, OtherCompanyFileKeepsPricesAndZeroVat) {
    company_.codFisc = "123";
    EXPECT_EQ(DeliveryNoteText(db(), company_, 19, kNote),
              "AVZ15\r\nFirma Mea SRL\r\n0\r\n"
              "SURUB M8\r\nBUC\r\n119\r\n3\r\n"
              "\xAAURUB \xE3\xEE\xE2\r\nKG\r\n10\r\n2.5\r\n");
}

TEST_F(DeliveryNoteFileTest, ExistingFileIsReplacedAndUnwritableOneRefused) {
    const fs::path file = dir_.path() / "nota.avz";
    std::ofstream(file, std::ios::binary) << "a much longer old content that must disappear";
    ExportDeliveryNote(db(), company_, 9, file, kNote);
    const std::string bytes = testsupport::FileBytes(file);
    EXPECT_TRUE(bytes.starts_with("AVZ15\r\nFirma Mea SRL\r\n9\r\nSURUB M8\r\n")) << bytes;
    EXPECT_EQ(bytes.find("old"), std::string::npos);

    const fs::path missing = dir_.path() / "nu-exista" / "nota.avz";
    try {
        ExportDeliveryNote(db(), company_, 19, missing, kNote);
        FAIL() << "no error";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("nota.avz"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(missing.parent_path()));
}

TEST_F(DeliveryNoteFileTest, ExportedNoteReadsBackThroughTheImport) {
    const fs::path file = dir_.path() / "nota.avz";
    ExportDeliveryNote(db(), company_, 19, file, kNote);
    DeliveryNote note;
    const auto refusal = ReadDeliveryNote(file, company_.vatPayer(), note);
    ASSERT_FALSE(refusal) << refusal->text;
    EXPECT_EQ(note.seriaNr, "AVZ15");
    EXPECT_EQ(note.sender, "Firma Mea SRL");
    EXPECT_EQ(note.vatPercent, Decimal(19));
    ASSERT_EQ(note.products.size(), 2u);
    EXPECT_EQ(note.products[0].name, "SURUB M8");
    EXPECT_EQ(note.products[0].unit, "BUC");
    EXPECT_EQ(note.products[0].price, Decimal(100));
    EXPECT_EQ(note.products[0].quantity, Decimal(3));
    EXPECT_EQ(note.products[1].name,
              "\xC5\x9E"
              "URUB \xC4\x83\xC3\xAE\xC3\xA2");
    EXPECT_EQ(note.products[1].unit, "KG");
    EXPECT_EQ(note.products[1].price, D("8.4034"));
    EXPECT_EQ(note.products[1].quantity, D("2.5"));
}

TEST_F(DeliveryNoteFileTest, PrintedLinesCarryEntryPriceWithoutVatForAPayer) {
    const auto lines = [&] {
        std::vector<std::string> rows;
        auto rs = db().query("SELECT * FROM " + QuotedPath(DeliveryNoteLinesFile(db())));
        for (rs.first(); !rs.eof(); rs.next())
            rows.push_back(rs.asText("PRODUS") + "|" + rs.asText("UM") + "|" +
                           rs.asText("CANTOUT") + "|" + rs.asText("PRETIN") + "|" +
                           rs.asText("PRETOUT"));
        return rows;
    };
    EXPECT_EQ(BuildDeliveryNoteLines(db(), company_, 19, kNote), 2);
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "SURUB M8|BUC|3.00|100.00|119.00",
                           "\xC5\x9E"
                           "URUB \xC4\x83\xC3\xAE\xC3\xA2|KG|2.50|10.00|10.00",
                       }));
    company_.codFisc = "123";
    EXPECT_EQ(BuildDeliveryNoteLines(db(), company_, 19, kNote), 2);
    EXPECT_EQ(lines()[0], "SURUB M8|BUC|3.00|119.00|119.00");
    DeleteDeliveryNoteLines(db());
    EXPECT_FALSE(fs::exists(DeliveryNoteLinesFile(db())));
}

TEST_F(DeliveryNoteFileTest, NoteLabelsComeFromTheCompanyProfile) {
    company_.localit = " Cluj";
    company_.adresa = "Str. Mare 1 ";
    company_.capital = "200";
    settings().writeSetting("FACTURA", "OPERATOR", "Ana Pop");
    const DeliveryNoteLabels labels =
        BindDeliveryNoteLabels(company_, settings(), "RO31BTRL0123456789012345", kNote);
    EXPECT_EQ(labels.series + " " + labels.number + " " + labels.date, "AVZ 15 05.03.2024");
    EXPECT_EQ(labels.address, "Cluj Str. Mare 1");
    EXPECT_EQ(labels.account, "RO31BTRL0123456789012345");
    EXPECT_EQ(labels.bank, "BANCA TRANSILVANIA SA");
    EXPECT_EQ(labels.operatorName, "Ana Pop");
    EXPECT_EQ(labels.name, "Firma Mea SRL");
}

}  // namespace
}  // namespace tvx::core
