// Importing a received e-invoice: the rows one import writes (FactIn, CapNIR, ProdNIR, the
// stock cards and movements) checked against the file, the same invoice refused the second
// time, a failure half-way leaving nothing, the notes the preview shows for what the tables
// cannot hold, and the sample files imported or refused with a clear message.
#include <gtest/gtest.h>

#include "../stock/StockTestSupport.h"
#include "ReceivedEInvoiceTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/einvoice/EInvoiceImport.h"
#include "tables/EngineError.h"

namespace tvx::core::receivedtest {
namespace {

using stocktest::D;
using stocktest::Day;
using tables::Decimal;

class EInvoiceImportTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        settings_->writeSetting("SETARI", "CodFisc", "RO26789456");
        settings_->writeSetting("UMS", "BUC", "H87 - BUCATI");
        settings_->writeSetting("UMS", "BUCAuto", "DA");
        settings_->writeSetting("UMS", "ORA", "HUR - ORA");
        settings_->writeSetting("VAR", "ADAOSP", "25");
        company_.load(*settings_);
    }

    EInvoiceImport Prepared(const std::string& xml) {
        ReceivedEInvoice d;
        const auto problem = ParseReceivedEInvoice(xml, "f.xml", d);
        EXPECT_FALSE(problem.has_value()) << problem->text;
        EInvoiceImport import(*db_, *settings_, company_);
        import.location = "MAGAZIN";
        import.prepare(d, Day(12, 3, 2026));
        return import;
    }

    static std::string AllNotes(const EInvoiceImport& import) {
        std::string text;
        for (const ImportNote& n : import.notes()) text += n.text + "\n";
        return text;
    }

    std::string Text(const std::string& sql) {
        tables::ResultSet rs = Query(sql);
        return rs.empty() ? std::string() : rs.at(0, 0).toString();
    }

    // The invoice of the main road: two goods lines, a discount and a transport charge.
    static Ubl MainRoad() {
        Ubl u;
        u.allowances = AllowanceXml(false, "10.00", "Discount", "19") +
                       AllowanceXml(true, "5.00", "Transport", "19");
        u.totalsExtra =
            "<cbc:AllowanceTotalAmount currencyID=\"RON\">10.00</cbc:AllowanceTotalAmount>"
            "<cbc:ChargeTotalAmount currencyID=\"RON\">5.00</cbc:ChargeTotalAmount>";
        u.exclusive = "195.00";
        u.vat = "37.05";
        u.inclusive = u.payable = "232.05";
        return u;
    }

    CompanyProfile company_;
};

TEST_F(EInvoiceImportTest, PostsTheDocumentItsNoteAndTheStockOnceOnly) {
    EInvoiceImport import = Prepared(MainRoad().xml());
    ASSERT_FALSE(import.refusal().has_value()) << import.refusal()->text;
    ASSERT_EQ(import.lines.size(), 4u);
    // Proposed as the line dialog: A from VAR/ADAOSP, S = RoundCents(1.25 x 29.75).
    EXPECT_EQ(import.lines[0].markup, D("25"));
    EXPECT_EQ(import.lines[0].sale, D("37.19"));
    // The user changes the second line's sale price; the mark-up follows.
    import.lines[1].sale = D("71.40");
    import.saleChanged(1);
    EXPECT_EQ(import.lines[1].markup, D("20"));

    const EInvoiceImportResult posted = import.post(Day(12, 3, 2026));
    tables::ResultSet doc = Query("SELECT * FROM FactIn");
    ASSERT_EQ(doc.rowCount(), 1u);
    EXPECT_EQ(doc.asNumber("IDFACT").toLongLong(), posted.idFact);
    EXPECT_EQ(doc.asText("NUMEFACT"), "FACTURA FISCALA");
    EXPECT_EQ(doc.asText("SERIANR"), "FX 123");
    EXPECT_EQ(doc.asDate("DATAIN"), Day(10, 3, 2026));
    EXPECT_EQ(doc.asDate("DATASCAD"), Day(9, 4, 2026));
    EXPECT_EQ(doc.asText("FURNIZOR"), "FURNIZORUL SEF SRL");
    EXPECT_EQ(doc.asText("CUI"), "RO18547290");
    EXPECT_EQ(doc.asText("CONT"), "RO49AAAA1B31007593840000");
    EXPECT_EQ(doc.asNumber("VALOARE"), D("195"));
    EXPECT_EQ(doc.asNumber("TOTAL"), D("232.05"));
    EXPECT_EQ(doc.asNumber("REST"), D("232.05"));
    EXPECT_EQ(doc.asNumber("TVAPROC"), D("19"));

    tables::ResultSet note = Query("SELECT * FROM CapNIR");
    ASSERT_EQ(note.rowCount(), 1u);
    EXPECT_EQ(note.asNumber("IDNIR").toLongLong(), posted.idNir);
    EXPECT_EQ(note.asNumber("IDFACT").toLongLong(), posted.idFact);
    EXPECT_EQ(note.asText("SERIENR"), "FX 123");
    EXPECT_EQ(note.asNumber("VMF"), D("200"));       // the goods lines only
    EXPECT_EQ(note.asNumber("TOTAL"), D("291.56"));  // 148.76 + 142.80

    tables::ResultSet rows = Query("SELECT * FROM ProdNIR ORDER BY IDPROD");
    ASSERT_EQ(rows.rowCount(), 4u);
    struct Want {
        const char *product, *category, *unit, *q, *pretu, *valoare, *valtva, *pretat, *valat;
        bool card;
    };
    const Want want[] = {
        {"FILTRU ULEI", "MARFA", "BUC", "4", "25", "100", "19", "37.19", "148.76", true},
        {"MANOPERA", "MARFA", "ORA", "2", "50", "100", "19", "71.40", "142.80", true},
        {"DISCOUNT", "DISCOUNT", "BUC", "1", "-10", "-10", "-1.90", "-11.90", "-11.90", false},
        {"TRANSPORT", "SERVICII", "BUC", "1", "5", "5", "0.95", "5.95", "5.95", false},
    };
    for (const Want& w : want) {
        SCOPED_TRACE(w.product);
        EXPECT_EQ(rows.asText("PRODUS"), w.product);
        EXPECT_EQ(rows.asText("CATEG"), w.category);
        EXPECT_EQ(rows.asText("UM"), w.unit);
        EXPECT_EQ(rows.asText("GESTIUNE"), "MAGAZIN");
        EXPECT_EQ(rows.asNumber("CANTR"), D(w.q));
        EXPECT_EQ(rows.asNumber("PRETU"), D(w.pretu));
        EXPECT_EQ(rows.asNumber("VALOARE"), D(w.valoare));
        EXPECT_EQ(rows.asNumber("VALTVA"), D(w.valtva));
        EXPECT_EQ(rows.asNumber("PRETAT"), D(w.pretat));
        EXPECT_EQ(rows.asNumber("VALAT"), D(w.valat));
        EXPECT_EQ(rows.asNumber("IDCAP") > Decimal(0), w.card);
        rows.next();
    }
    const auto cards = Cards();
    ASSERT_EQ(cards.size(), 2u);
    const stocktest::Card& filter = cards.begin()->second;
    EXPECT_EQ(filter.product, "FILTRU ULEI");
    EXPECT_EQ(filter.entryPrice, D("29.75"));
    EXPECT_EQ(filter.salePrice, D("37.19"));
    EXPECT_EQ(filter.stock, D("4"));
    EXPECT_EQ(
        Count("Fise", "TIP='INTRARE' AND DOCJUS='N.I.R.' AND NRDOC=:n", {{"n", posted.nrNir}}), 2);
    ExpectInvariants();

    // The same invoice again is refused, naming the document, and writes nothing.
    EInvoiceImport again = Prepared(MainRoad().xml());
    const auto refusal = again.refusal();
    ASSERT_TRUE(refusal.has_value());
    EXPECT_NE(refusal->text.find("este deja inregistrata: FACTURA FISCALA FX 123 din 10.03.2026, "
                                 "furnizor FURNIZORUL SEF SRL"),
              std::string::npos)
        << refusal->text;
    again.makeNir = false;
    EXPECT_TRUE(again.refusal().has_value());
    EXPECT_THROW(again.post(Day(12, 3, 2026)), tables::EngineError);
    EXPECT_EQ(Count("FactIn"), 1);
    EXPECT_EQ(Count("ProdNIR"), 4);
}

TEST_F(EInvoiceImportTest, AFailureHalfWayLeavesNothing) {
    EInvoiceImport import = Prepared(MainRoad().xml());
    settings_->writeSetting("INDEX", "IDFACT", "7");
    settings_->writeSetting("INDEX", "IDPROD", "not a number");
    const std::string before = testsupport::FileBytes(settings_->path());
    EXPECT_THROW(import.post(Day(12, 3, 2026)), tables::EngineError);
    EXPECT_EQ(Count("FactIn"), 0);
    EXPECT_EQ(Count("CapNIR"), 0);
    EXPECT_EQ(Count("CapFise"), 0);
    EXPECT_EQ(testsupport::FileBytes(settings_->path()), before);
}

TEST_F(EInvoiceImportTest, NotesSayWhatTheTablesCannotHold) {
    struct NoteCase {
        const char* name;
        std::function<void(Ubl&)> change;
        const char* text;
        ImportNoteScope scope;
    };
    const NoteCase cases[] = {
        {"another currency", [](Ubl& u) { u.currency = "EUR"; }, "moneda EUR",
         ImportNoteScope::BlocksAll},
        {"no fiscal code", [](Ubl& u) { u.cui.clear(); }, "codul fiscal al furnizorului",
         ImportNoteScope::BlocksAll},
        {"a character outside the code page",
         [](Ubl& u) { u.supplier = "Furnizor \xE2\x9C\x93 SRL"; },
         "caracterele \xE2\x9C\x93 nu exista", ImportNoteScope::Notice},
        {"a unit code without a unit", [](Ubl& u) { u.lines[0].unitCode = "KGM"; },
         "codul de unitate KGM", ImportNoteScope::BlocksNir},
        {"totals that do not add up", [](Ubl& u) { u.inclusive = u.payable = "240.00"; },
         "Totalul fara TVA plus TVA: 238.00 fata de 240.00 in factura (diferenta -2.00)",
         ImportNoteScope::Notice},
        {"several VAT rates",
         [](Ubl& u) {
             u.lines[1].rate = "9";
             u.vat = "28.00";
             u.inclusive = u.payable = "228.00";
         },
         "mai multe cote TVA (9%, 19%)", ImportNoteScope::Notice},
        {"a quantity with three decimals",
         [](Ubl& u) {
             u.lines[0].quantity = "4.125";
             u.lines[0].price = "24.2424";
         },
         "cantitatea 4.125 se inregistreaza cu doua zecimale (4.13)", ImportNoteScope::Notice},
        {"a price with more decimals", [](Ubl& u) { u.lines[0].quantity = "3"; },
         "pretul unitar 33.3333 se pastreaza in N.I.R. cu doua zecimale", ImportNoteScope::Notice},
        {"a free line", [](Ubl& u) { u.lines[1].amount = "0.00"; },
         "Lipseste Pretul furnizorului fara TVA!", ImportNoteScope::BlocksNir},
    };
    for (const NoteCase& c : cases) {
        SCOPED_TRACE(c.name);
        Ubl u;
        c.change(u);
        const EInvoiceImport import = Prepared(u.xml());
        bool found = false;
        for (const ImportNote& n : import.notes())
            if (n.text.find(c.text) != std::string::npos) found = n.scope == c.scope;
        EXPECT_TRUE(found) << AllNotes(import);
        EXPECT_EQ(import.refusal().has_value(), c.scope != ImportNoteScope::Notice);
    }
}

TEST_F(EInvoiceImportTest, AUnitWrittenForAnUnknownCodeIsRemembered) {
    Ubl u;
    u.lines[0].unitCode = "KGM";
    EInvoiceImport import = Prepared(u.xml());
    ASSERT_TRUE(import.refusal().has_value());
    import.makeNir = false;  // the document alone needs no unit
    EXPECT_FALSE(import.refusal().has_value());
    import.makeNir = true;
    import.lines[0].unit = " kg ";
    import.unitChanged(0);
    ASSERT_FALSE(import.refusal().has_value()) << import.refusal()->text;
    import.post(Day(12, 3, 2026));
    EXPECT_EQ(Text("SELECT UM FROM ProdNIR WHERE PRODUS='FILTRU ULEI'"), "KG");
    EXPECT_EQ(settings_->readSetting("UMS", "KG"), "KGM - KILOGRAM");
}

TEST_F(EInvoiceImportTest, ACreditNoteTakesBack) {
    Ubl u;
    u.creditNote = true;
    EInvoiceImport import = Prepared(u.xml());
    ASSERT_FALSE(import.refusal().has_value()) << import.refusal()->text;
    import.post(Day(12, 3, 2026));
    EXPECT_EQ(Query("SELECT TOTAL FROM FactIn").at(0, 0).number(), D("-238"));
    EXPECT_EQ(Query("SELECT SUM(CANTR) FROM ProdNIR").at(0, 0).number(), D("-6"));
    EXPECT_EQ(Query("SELECT SUM(VALOARE) FROM ProdNIR").at(0, 0).number(), D("-200"));
    ExpectInvariants();
}

TEST_F(EInvoiceImportTest, SampleFilesImportOrSayWhy) {
    const auto root = std::filesystem::path(TVX_SHARED_DIR) / "validation/einvoice/samples";
    if (!std::filesystem::exists(root)) GTEST_SKIP() << "no sample folder " << root;
    int imported = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".xml") continue;
        SCOPED_TRACE(entry.path().string());
        EInvoiceImport import(*db_, *settings_, company_);
        import.location = "MAGAZIN";
        ASSERT_FALSE(import.load(entry.path(), Day(12, 3, 2026)).has_value());
        if (import.document().currency != "RON") {
            ASSERT_TRUE(import.refusal().has_value());
            EXPECT_NE(import.refusal()->text.find("moneda " + import.document().currency),
                      std::string::npos);
            continue;
        }
        // The two layout samples are one invoice of one company, once as a VAT payer (RO)
        // and once not: the second is the same document.
        if (imported == 1) {
            ASSERT_TRUE(import.refusal().has_value());
            EXPECT_NE(import.refusal()->text.find("este deja inregistrata"), std::string::npos);
            ++imported;
            continue;
        }
        ASSERT_FALSE(import.refusal().has_value()) << import.refusal()->text;
        const EInvoiceImportResult r = import.post(Day(12, 3, 2026));
        tables::ResultSet doc =
            Query("SELECT VALOARE, TOTAL FROM FactIn WHERE IDFACT=" + std::to_string(r.idFact));
        EXPECT_EQ(doc.asNumber("VALOARE"), import.document().taxExclusive);
        EXPECT_EQ(doc.asNumber("TOTAL"), import.document().taxInclusive);
        ++imported;
    }
    EXPECT_EQ(imported, 2);
    ExpectInvariants();
}

}  // namespace
}  // namespace tvx::core::receivedtest
