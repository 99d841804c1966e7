// The reader of received e-invoices: what it takes from an Invoice and a CreditNote (VAT
// categories, allowances and charges, negative lines, many decimals), how it refuses broken
// and hostile files (not XML, DOCTYPE and entities, depth, missing mandatory elements, bad
// values), the ZIP cases (signature beside the XML, climbing names, a size lied about), and
// the published sample files, each read with its lines adding up to BT-106.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "ReceivedEInvoiceTestSupport.h"
#include "core/einvoice/ReceivedEInvoice.h"
#include "support/TestPaths.h"

namespace tvx::core::receivedtest {
namespace {

using tables::Decimal;

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

struct ReadCase {
    const char* name;
    std::function<std::string()> xml;
    const char* refusal;  // a part of the refusal's text; nullptr when the file is read
    std::function<void(const ReceivedEInvoice&)> check;
};

std::string With(std::function<void(Ubl&)> change) {
    Ubl u;
    change(u);
    return u.xml();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST(ReceivedEInvoice, ReadsOrRefusesEachCase) {
    const ReadCase cases[] = {
        {"plain invoice", [] { return Ubl().xml(); }, nullptr,
         [](const ReceivedEInvoice& d) {
             EXPECT_FALSE(d.creditNote);
             EXPECT_EQ(d.number, "FX 123");
             EXPECT_EQ(d.issueDate, tables::Date::fromYmd(2026, 3, 10));
             EXPECT_EQ(d.dueDate, tables::Date::fromYmd(2026, 4, 9));
             EXPECT_EQ(d.supplierFiscalCode, "RO18547290");
             EXPECT_EQ(d.supplierIban, "RO49AAAA1B31007593840000");
             ASSERT_EQ(d.lines.size(), 2u);
             EXPECT_EQ(d.lines[1].unitCode, "HUR");
             EXPECT_EQ(d.lines[1].quantity, D("2"));
             EXPECT_EQ(d.lines[1].vatRate, D("19"));
             EXPECT_EQ(d.taxInclusive, D("238"));
             EXPECT_EQ(d.vatTotal, D("38"));
         }},
        {"credit note, due date in the payment means",
         [] { return With([](Ubl& u) { u.creditNote = true; }); }, nullptr,
         [](const ReceivedEInvoice& d) {
             EXPECT_TRUE(d.creditNote);
             EXPECT_EQ(d.dueDate, tables::Date::fromYmd(2026, 4, 9));
             EXPECT_EQ(d.lines.size(), 2u);
         }},
        {"categories S Z E AE O, a negative line, many decimals",
         [] {
             return With([](Ubl& u) {
                 u.lines = {{"1", "A", "3", "H87", "0.3333", "1.00", "S", "9", ""},
                            {"2", "B", "1", "H87", "5", "5.00", "Z", "0", ""},
                            {"3", "C", "1", "H87", "5", "5.00", "E", "", ""},
                            {"4", "D", "1", "H87", "5", "5.00", "AE", "0", ""},
                            {"5", "E", "1", "H87", "5", "5.00", "O", "", ""},
                            {"6", "Retur", "-1", "H87", "2.5", "-2.50", "S", "19", ""}};
             });
         },
         nullptr,
         [](const ReceivedEInvoice& d) {
             ASSERT_EQ(d.lines.size(), 6u);
             EXPECT_EQ(d.lines[0].price, D("0.3333"));
             EXPECT_EQ(d.lines[3].vatCategory, "AE");
             EXPECT_FALSE(d.lines[2].vatRate.has_value());
             EXPECT_EQ(d.lines[5].quantity, D("-1"));
             EXPECT_EQ(d.lines[5].lineAmount, D("-2.5"));
         }},
        {"allowances and charges on the document and on a line",
         [] {
             return With([](Ubl& u) {
                 u.allowances = AllowanceXml(false, "10.00", "Discount fidelitate", "19") +
                                AllowanceXml(true, "5.00", "Transport", "19");
                 u.lines[0].extra =
                     "<cac:AllowanceCharge><cbc:ChargeIndicator>false</cbc:ChargeIndicator>"
                     "<cbc:Amount currencyID=\"RON\">3.00</cbc:Amount></cac:AllowanceCharge>";
             });
         },
         nullptr,
         [](const ReceivedEInvoice& d) {
             ASSERT_EQ(d.allowances.size(), 2u);
             EXPECT_FALSE(d.allowances[0].charge);
             EXPECT_EQ(d.allowances[0].reason, "Discount fidelitate");
             EXPECT_TRUE(d.allowances[1].charge);
             EXPECT_EQ(d.allowances[1].amount, D("5"));
             ASSERT_EQ(d.lines[0].allowances.size(), 1u);
             EXPECT_EQ(d.lines[0].allowances[0].amount, D("3"));
         }},
        {"elements of another namespace are not taken",
         [] {
             return Replaced(Ubl().xml(), "<cbc:ID>FX 123</cbc:ID>",
                             "<x:ID xmlns:x=\"urn:other\">NU</x:ID><cbc:ID>FX 123</cbc:ID>");
         },
         nullptr, [](const ReceivedEInvoice& d) { EXPECT_EQ(d.number, "FX 123"); }},
        {"not XML", [] { return std::string("acesta nu este XML"); },
         "nu este un fisier XML corect", nullptr},
        {"a DOCTYPE with entities (XML bomb)",
         [] {
             return std::string(
                 "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 "
                 "\"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">]><Invoice>&lol2;</Invoice>");
         },
         "DOCTYPE", nullptr},
        {"an external entity",
         [] {
             return Replaced(Ubl().xml(), "<Invoice",
                             "<!DOCTYPE Invoice [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>"
                             "<Invoice");
         },
         "DOCTYPE", nullptr},
        {"an undeclared entity", [] { return Replaced(Ubl().xml(), "FX 123", "&xxe;"); },
         "nu este un fisier XML corect", nullptr},
        {"elements nested too deep",
         [] {
             std::string deep;
             for (int i = 0; i < kEInvoiceMaxDepth + 5; ++i) deep += "<a>";
             for (int i = 0; i < kEInvoiceMaxDepth + 5; ++i) deep += "</a>";
             return Replaced(Ubl().xml(), "<cbc:ID>FX", deep + "<cbc:ID>FX");
         },
         "imbricate prea adanc", nullptr},
        {"another root", [] { return std::string("<Order xmlns=\"urn:x\"/>"); },
         "nu este o factura electronica UBL", nullptr},
        {"no number", [] { return With([](Ubl& u) { u.number.clear(); }); }, "(BT-1)", nullptr},
        {"no line", [] { return With([](Ubl& u) { u.lines.clear(); }); }, "(BG-25)", nullptr},
        {"no unit code", [] { return With([](Ubl& u) { u.lines[0].unitCode.clear(); }); },
         "(BT-130) (linia 1)", nullptr},
        {"a quantity that is no number",
         [] { return With([](Ubl& u) { u.lines[1].quantity = "2,5"; }); },
         "cantitatea facturata (BT-129) (linia 2) are valoarea \"2,5\"", nullptr},
        {"a date that is no date", [] { return With([](Ubl& u) { u.issue = "10.03.2026"; }); },
         "data emiterii (BT-2) are valoarea \"10.03.2026\"", nullptr},
        {"no totals",
         [] {
             std::string x = Ubl().xml();
             const auto from = x.find("<cac:LegalMonetaryTotal>");
             const auto to = x.find("</cac:LegalMonetaryTotal>") + 25;
             return x.erase(from, to - from);
         },
         "(BG-22)", nullptr},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        ReceivedEInvoice d;
        const auto problem = ParseReceivedEInvoice(c.xml(), "f.xml", d);
        if (!c.refusal) {
            ASSERT_FALSE(problem.has_value()) << problem->text;
            c.check(d);
        } else {
            ASSERT_TRUE(problem.has_value());
            EXPECT_EQ(problem->title, kEInvoiceImportTitle);
            EXPECT_NE(problem->text.find("Fisierul f.xml"), std::string::npos) << problem->text;
            EXPECT_NE(problem->text.find(c.refusal), std::string::npos) << problem->text;
        }
    }
}

TEST(ReceivedEInvoice, ZipGivesItsOneInvoiceOrSaysWhyNot) {
    const std::string xml = Ubl().xml();
    const std::string signature = "<Signature/>";
    struct ZipCase {
        const char* name;
        std::vector<ZipEntry> entries;
        const char* refusal;
    };
    const ZipCase cases[] = {
        {"the invoice beside its signature",
         {{"semnatura_4242.xml", signature}, {"4242.xml", xml, false}},
         nullptr},
        {"a name that climbs out", {{"../../etc/4242.xml", xml}}, "iese din dosarul arhivei"},
        {"an absolute name", {{"/tmp/4242.xml", xml}}, "iese din dosarul arhivei"},
        {"a size lied about: inflated past the cap",
         {{"4242.xml", std::string(kEInvoiceMaxBytes + 1024, ' '), true, 100}},
         "mai mare de 20 MB"},
        {"two invoices", {{"a.xml", xml}, {"b.xml", xml}}, "mai multe facturi XML"},
        {"only the signature", {{"semnatura_1.xml", signature}}, "nu contine nici o factura XML"},
        {"a size that does not match", {{"4242.xml", xml, true, 10}}, "deteriorat"},
    };
    for (const ZipCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out, name;
        const auto problem = EInvoiceXmlFromZip(Zip(c.entries), "f.zip", out, name);
        if (!c.refusal) {
            ASSERT_FALSE(problem.has_value()) << problem->text;
            EXPECT_EQ(name, "4242.xml");
            EXPECT_EQ(out, xml);
        } else {
            ASSERT_TRUE(problem.has_value());
            EXPECT_NE(problem->text.find(c.refusal), std::string::npos) << problem->text;
        }
    }
    std::string out, name;
    EXPECT_TRUE(EInvoiceXmlFromZip("PK\x03\x04 broken", "f.zip", out, name).has_value());
}

TEST(ReceivedEInvoice, FilesAreCappedAndZipsRecognised) {
    const auto dir = std::filesystem::temp_directory_path() / "tvx-received-files";
    std::filesystem::create_directories(dir);
    ReceivedEInvoice d;
    {
        std::ofstream(dir / "big.xml", std::ios::binary) << std::string(kEInvoiceMaxBytes + 1, ' ');
        std::ofstream(dir / "f.zip", std::ios::binary)
            << Zip({{"semnatura_1.xml", "<S/>"}, {"1.xml", Ubl().xml()}});
    }
    const auto big = ReadReceivedEInvoice(dir / "big.xml", d);
    ASSERT_TRUE(big.has_value());
    EXPECT_NE(big->text.find("este prea mare"), std::string::npos);
    EXPECT_FALSE(ReadReceivedEInvoice(dir / "f.zip", d).has_value());
    EXPECT_EQ(d.number, "FX 123");
    EXPECT_TRUE(ReadReceivedEInvoice(dir / "missing.xml", d).has_value());
    std::filesystem::remove_all(dir);
}

TEST(ReceivedEInvoice, PublishedSamplesAreReadAndAddUp) {
    const auto root = std::filesystem::path(TVX_SHARED_DIR) / "validation/einvoice/samples";
    if (!std::filesystem::exists(root)) GTEST_SKIP() << "no sample folder " << root;
    int read = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".xml") continue;
        SCOPED_TRACE(entry.path().string());
        ReceivedEInvoice d;
        const auto problem = ReadReceivedEInvoice(entry.path(), d);
        ASSERT_FALSE(problem.has_value()) << problem->text;
        Decimal sum;
        for (const ReceivedLine& l : d.lines) sum += l.lineAmount;
        EXPECT_EQ(sum, d.lineTotal);
        EXPECT_EQ(d.lineTotal - d.allowanceTotal + d.chargeTotal, d.taxExclusive);
        EXPECT_FALSE(d.supplierName.empty());
        ++read;
    }
    EXPECT_GE(read, 14);
}

}  // namespace
}  // namespace tvx::core::receivedtest
