// "Preluare Aviz": a delivery-note file written by the test becomes a document, a note with
// its lines and totals, and stock entries on new or existing cards; each kind of bad file is
// refused with a message naming its line and leaves every table and counter byte for byte as
// it was, as does a missing stock location or an engine error in the middle of the posting.
#include <gtest/gtest.h>

#include <fstream>

#include "PurchasesTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/admin/Locations.h"
#include "core/purchases/DeliveryNoteImport.h"
#include "core/purchases/IncomingDocument.h"
#include "core/stock/StockCards.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;
namespace fs = std::filesystem;

const Date kToday = Date::fromYmd(2024, 3, 15);

// Lines joined as the export writes them, each ended by CR LF.
std::string AvzText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

const std::vector<std::string> kGoodNote = {
    "AV 123", "Furnizor Export SRL", "19", "SURUB M8", "BUC", "10.5", "3", "PIULITA", "BUC", "2",
    "100"};

class ImportTest : public purchasestest::PurchasesTest {
  protected:
    void SetUp() override {
        PurchasesTest::SetUp();
        company_.codFisc = "RO14399840";
        locations_ = std::make_unique<Locations>(data_);
        locations_->setNames({"MAGAZIN", "DEPOZIT"});
        locations_->save();
        settings().setIndex("NRNIR", "57");
        settings().writeSetting("NIR", "DELEGAT", "ION POP CI 123");
        settings().writeSetting("NIR", "RECEPTIONER", "ANA");
        settings().writeSetting("NIR", "GESTIONAR", "DAN");
    }
    fs::path Write(const std::string& bytes, const std::string& name = "aviz.avz") {
        const fs::path file = dir_.path() / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    DeliveryNoteImportResult Import(const fs::path& file) {
        return ImportDeliveryNote(db(), settings(), company_, *locations_, file, kToday);
    }
    // The refusal of a bad file, after checking that nothing at all was written.
    std::string Refused(const std::vector<std::string>& lines) {
        const auto before = snapshot();
        const auto result = Import(Write(AvzText(lines)));
        EXPECT_FALSE(result.imported);
        EXPECT_EQ(result.message.title, "Preluare Aviz");
        EXPECT_EQ(result.message.kind, MessageKind::Error);
        EXPECT_EQ(snapshot(), before) << result.message.text;
        return result.message.text;
    }
    tables::ResultSet Lines() {
        return db().query("SELECT * FROM " + table("ProdNIR") + " ORDER BY IDPROD");
    }
    CompanyProfile company_;
    std::unique_ptr<Locations> locations_;
};

TEST_F(ImportTest, AGoodFileBecomesDocumentNoteLinesAndStock) {
    // PIULITA at 2.38 (2 x 1.19) already has a card in the first location: it is added to.
    const long long card =
        FindOrCreateLot(db(), settings(), "DEPOZIT", "MARFA", "PIULITA", "BUC",
                        Decimal::parse("2.38").value(), Decimal::parse("2.38").value());
    Movement earlier = EntryMovement(Decimal(5), Decimal::parse("11.90").value());
    earlier.idFisa = 500;
    earlier.docJus = kNirDocument;
    PostEntry(db(), card, earlier);

    const auto result = Import(Write(AvzText(kGoodNote)));
    ASSERT_TRUE(result.imported) << result.message.text;
    EXPECT_EQ(result.message.text, "Avizul a fost preluat cu succes!");
    EXPECT_EQ(result.message.kind, MessageKind::Confirmation);
    EXPECT_EQ(result.posted.nrNir, 57);

    const auto doc = *ReadIncomingDocument(db(), result.posted.idFact);
    EXPECT_EQ(doc.numeFact, "AVIZ INSOT.MARFA");
    EXPECT_EQ(doc.seriaNr, "AV 123");
    EXPECT_EQ(doc.furnizor, "Furnizor Export SRL");
    EXPECT_EQ(doc.cui, "RO14399840");
    EXPECT_EQ(doc.dataIn, kToday);
    EXPECT_EQ(doc.dataScad, kToday);
    EXPECT_EQ(doc.tvaProc, 19);
    EXPECT_TRUE(doc.total.isZero() && doc.rest.isZero() && doc.valoare.isZero());

    auto note = db().query("SELECT * FROM " + table("CapNIR"));
    ASSERT_EQ(note.rowCount(), 1u);
    note.first();
    EXPECT_EQ(note.asText("NRNIR"), "57");
    EXPECT_EQ(note.asText("DATANIR"), "15.03.2024");
    EXPECT_EQ(note.asText("DATAFACT"), "15.03.2024");
    EXPECT_EQ(note.asNumber("IDFACT").toLongLong(), result.posted.idFact);
    EXPECT_EQ(note.asText("DELEGAT"), "ION POP CI 123");
    EXPECT_EQ(note.asText("RECEPTIO"), "ANA");
    EXPECT_EQ(note.asText("GESTIO"), "DAN");
    // Lines: 31.50 + 200.00 at cost; 37.49 + 238.00 at sale price.
    EXPECT_EQ(note.asText("VMF"), "231.50");
    EXPECT_EQ(note.asText("VAC"), "0.00");
    EXPECT_EQ(note.asText("VTN"), "43.99");
    EXPECT_EQ(note.asText("TOTAL"), "275.49");
    EXPECT_EQ(note.asText("LISTAT"), "0");

    auto lines = Lines();
    ASSERT_EQ(lines.rowCount(), 2u);
    lines.first();
    // 10.5 x 3: VAT 5.985, total 37.485, sale price 12.495 -- halves away from zero.
    const std::vector<std::pair<const char*, const char*>> first = {
        {"GESTIUNE", "DEPOZIT"}, {"CATEG", "MARFA"},   {"PRODUS", "SURUB M8"},
        {"UM", "BUC"},           {"CANTF", "3.00"},    {"CANTR", "3.00"},
        {"PRETU", "10.50"},      {"VALOARE", "31.50"}, {"VALTVA", "5.99"},
        {"TOTALF", "37.49"},     {"PRETA", "10.50"},   {"VALA", "31.50"},
        {"PRETAT", "12.50"},     {"VALAT", "37.49"},   {"GARANTIE", "15.03.2024"},
        {"ADAOS", "0.00"},       {"CODBARE", ""}};
    for (const auto& [field, expected] : first) EXPECT_EQ(lines.asText(field), expected) << field;
    const long long newCard = lines.asNumber("IDCAP").toLongLong();
    const long long idFisa = lines.asNumber("IDFISA").toLongLong();
    lines.next();
    EXPECT_EQ(lines.asText("PRODUS"), "PIULITA");
    EXPECT_EQ(lines.asText("VALAT"), "238.00");
    EXPECT_EQ(lines.asNumber("IDCAP").toLongLong(), card);

    auto cards = db().query("SELECT * FROM " + table("CapFise") + " ORDER BY IDCAP");
    ASSERT_EQ(cards.rowCount(), 2u);
    ASSERT_TRUE(cards.locate("IDCAP", tables::Value(newCard)));
    EXPECT_EQ(cards.asText("PRETIN"), "12.50");
    EXPECT_EQ(cards.asText("PRETOUT"), "12.50");
    EXPECT_EQ(cards.asText("STOC"), "3.00");
    EXPECT_EQ(cards.asText("NRREC"), "1");
    ASSERT_TRUE(cards.locate("IDCAP", tables::Value(card)));
    EXPECT_EQ(cards.asText("STOC"), "105.00");
    EXPECT_EQ(cards.asText("NRREC"), "2");

    auto move =
        db().query("SELECT * FROM " + table("Fise") + " WHERE IDFISA=:id", {{"id", idFisa}});
    ASSERT_EQ(move.rowCount(), 1u);
    move.first();
    EXPECT_EQ(move.asText("TIP"), "INTRARE");
    EXPECT_EQ(move.asText("DOCJUS"), "N.I.R.");
    EXPECT_EQ(move.asText("NRDOC"), "57");
    EXPECT_EQ(move.asText("DINDATA"), "15.03.2024");
    EXPECT_EQ(move.asText("CANTIN"), "3.00");
    EXPECT_EQ(move.asText("VALIN"), "37.49");
    EXPECT_EQ(settings().peekIndex("NRNIR"), "58");
}

TEST_F(ImportTest, ACompanyThatIsNoVatPayerSellsAtThePriceWithoutVat) {
    company_.codFisc = "14399840";
    const auto result = Import(Write(AvzText({"AV 9", "X", "19", "SURUB M8", "BUC", "10,5", "3"})));
    ASSERT_TRUE(result.imported) << result.message.text;
    auto lines = Lines();
    lines.first();
    EXPECT_EQ(lines.asText("PRETU"), "10.50");  // a decimal comma is read as well
    EXPECT_EQ(lines.asText("VALTVA"), "5.99");  // the supplier's VAT is still recorded
    EXPECT_EQ(lines.asText("TOTALF"), "37.49");
    EXPECT_EQ(lines.asText("PRETAT"), "10.50");
    EXPECT_EQ(lines.asText("VALAT"), "31.50");
    EXPECT_EQ(value("SELECT PRETOUT FROM " + table("CapFise")), "10.50");
}

TEST_F(ImportTest, BadFilesAreRefusedNamingTheLineAndWriteNothing) {
    auto note = kGoodNote;
    note[2] = "19%";
    EXPECT_EQ(Refused(note), "Fisierul aviz.avz\rlinia 3: procentul TVA \"19%\" nu este un numar!");

    note = kGoodNote;
    note[5] = "abc";
    EXPECT_EQ(Refused(note),
              "Fisierul aviz.avz\rlinia 6: pretul produsului SURUB M8, \"abc\", nu este un numar!");

    // The first product is sound: still nothing of it may be written.
    note = kGoodNote;
    note[10] = "1 00";
    EXPECT_EQ(Refused(note),
              "Fisierul aviz.avz\rlinia 11: cantitatea produsului PIULITA, "
              "\"1 00\", nu este un numar!");

    note = kGoodNote;
    note[7] = "   ";
    EXPECT_EQ(Refused(note), "Fisierul aviz.avz\rlinia 8: lipseste denumirea produsului!");

    note = kGoodNote;
    note.resize(9);  // the second product has only its name and unit
    EXPECT_EQ(Refused(note),
              "Fisierul aviz.avz\rlinia 10: lipseste pretul produsului de pe linia 8!");

    EXPECT_EQ(Refused({"AV 1", "X"}), "Fisierul aviz.avz\rlinia 3: lipseste procentul TVA!");
    EXPECT_EQ(Refused({"AV 1", "X", "19", "", ""}),
              "Fisierul aviz.avz\rnu contine nici un produs!");
    EXPECT_EQ(Refused({"", "X", "19", "A", "B", "1", "1"}),
              "Fisierul aviz.avz\rlinia 1: lipseste seria si numarul!");

    note = kGoodNote;
    note[6] = "-3";
    EXPECT_EQ(Refused(note),
              "Fisierul aviz.avz\rlinia 7: cantitatea produsului SURUB M8, "
              "\"-3\", este negativa!");
    EXPECT_EQ(Import(dir_.path() / "nu-exista.avz").message.text,
              "Fisierul nu-exista.avz\rnu poate fi citit!");
}

TEST_F(ImportTest, TrailingBlankLinesAndLongTextsAreTolerated) {
    auto note = kGoodNote;
    note[3] = std::string(300, 'N');
    note.push_back("");
    note.push_back("  ");
    const auto result = Import(Write(AvzText(note)));
    ASSERT_TRUE(result.imported) << result.message.text;
    auto lines = Lines();
    lines.first();
    EXPECT_EQ(lines.asText("PRODUS"), std::string(240, 'N'));
    // The cut name is the card's name too, so a second import finds the same card.
    ASSERT_TRUE(Import(Write(AvzText(note))).imported);
    EXPECT_EQ(count("CapFise"), "2");
    EXPECT_EQ(value("SELECT STOC FROM " + table("CapFise") + " WHERE PRODUS=:p",
                    {{"p", std::string(240, 'N')}}),
              "6.00");
}

TEST_F(ImportTest, WithoutAStockLocationTheUserIsSentToTheSettings) {
    locations_->setNames({});
    locations_->save();
    const auto before = snapshot();
    const auto result = Import(Write(AvzText(kGoodNote)));
    EXPECT_FALSE(result.imported);
    EXPECT_NE(result.message.text.find("Setari"), std::string::npos) << result.message.text;
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ImportTest, NumbersOutOfRangeOrWiderThanTheirFieldsAreRefusedNamingTheLine) {
    const struct {
        size_t line;  // 0-based index into kGoodNote
        const char* text;
        const char* refusal;
    } cases[] = {
        {2, "250", "linia 3: procentul TVA \"250\" nu este intre 0 si 100!"},
        {2, "1000000", "linia 3: procentul TVA \"1000000\" nu este intre 0 si 100!"},
        {2, "-1", "linia 3: procentul TVA \"-1\" nu este intre 0 si 100!"},
        {2, "19.5", "linia 3: procentul TVA \"19.5\" nu este un numar intreg!"},
        {5, "1000000000", "linia 6: pretul produsului SURUB M8, \"1000000000\", este prea mare!"},
        {6, "1000000000",
         "linia 7: cantitatea produsului SURUB M8, \"1000000000\", este prea mare!"},
        {6, "0", "linia 7: cantitatea produsului SURUB M8, \"0\", este zero!"},
        {10, "0,004", "linia 11: cantitatea produsului PIULITA, \"0,004\", este zero!"},
        // Each fits its field, their product does not fit VALOARE (10,2).
        {5, "9999999",
         "linia 4: valoarea produsului SURUB M8 (cantitate x pret) sau totalul "
         "avizului pana la el este prea mare!"},
    };
    for (const auto& c : cases) {
        auto note = kGoodNote;
        note[c.line] = c.text;
        EXPECT_EQ(Refused(note), std::string("Fisierul aviz.avz\r") + c.refusal);
    }
    // Two lines that fit one by one; their total does not fit CapNIR.TOTAL (10,2).
    EXPECT_EQ(Refused({"AV 1", "X", "0", "A", "BUC", "6000000", "1", "B", "BUC", "4000000", "1"}),
              "Fisierul aviz.avz\rlinia 8: valoarea produsului B (cantitate x pret) sau totalul "
              "avizului pana la el este prea mare!");
    // The limits themselves pass: VAT 100, a sale price and a quantity as wide as their fields.
    ASSERT_TRUE(Import(Write(AvzText({"AV 2", "X", "100", "A", "BUC", "4999999.99", "0.01", "B",
                                      "BUC", "0.01", "99999.99"})))
                    .imported);
}

TEST_F(ImportTest, AUtf8FileWithOrWithoutByteOrderMarkIsReadAsUtf8) {
    // "ŞURUB ăîâ" and "Fabrica Ţăndărei" in UTF-8; the export writes Windows-1250 instead.
    const std::string name = "\xC5\x9EURUB \xC4\x83\xC3\xAE\xC3\xA2";
    const std::string sender = "Fabrica \xC5\xA2\xC4\x83nd\xC4\x83rei";
    const std::string text = AvzText({"AV 7", sender, "19", name, "BUC", "10", "1"});
    for (const std::string& bytes : {"\xEF\xBB\xBF" + text, text}) {
        const auto result = Import(Write(bytes));
        ASSERT_TRUE(result.imported) << result.message.text;
        EXPECT_EQ(ReadIncomingDocument(db(), result.posted.idFact)->furnizor, sender);
        EXPECT_EQ(value("SELECT PRODUS FROM " + table("ProdNIR") + " WHERE IDNIR=:n",
                        {{"n", result.posted.idNir}}),
                  name);
    }
    // Both imports found the same card: the name was read alike.
    EXPECT_EQ(count("CapFise"), "1");
    // Windows-1250 bytes that are no UTF-8 are still read as before.
    const auto result =
        Import(Write(AvzText({"AV 8", "X", "19", "\xAAURUB \xE3", "BUC", "1", "1"})));
    ASSERT_TRUE(result.imported) << result.message.text;
    EXPECT_EQ(value("SELECT PRODUS FROM " + table("ProdNIR") + " WHERE IDNIR=:n",
                    {{"n", result.posted.idNir}}),
              "\xC5\x9EURUB \xC4\x83");
}

TEST_F(ImportTest, AnEngineErrorOnALaterProductRollsEverythingBack) {
    // PIULITA's card already holds nearly what STOC (8,2) can: adding 100 does not fit.
    const Decimal price = Decimal::parse("2.38").value();
    const long long card =
        FindOrCreateLot(db(), settings(), "DEPOZIT", "MARFA", "PIULITA", "BUC", price, price);
    Movement earlier = EntryMovement(Decimal(99950), Decimal(1));
    earlier.idFisa = 500;
    earlier.docJus = kNirDocument;
    PostEntry(db(), card, earlier);
    const auto note = kGoodNote;
    const auto before = snapshot();
    EXPECT_THROW(Import(Write(AvzText(note))), tables::EngineError);
    EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace tvx::core
