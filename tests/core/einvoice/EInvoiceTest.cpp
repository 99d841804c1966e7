// The e-invoice: files for the kinds of stored invoices checked by the national validation
// toolkit, the fixed layout byte for byte against the toolkit's hand-built samples, escaping
// and UTF-8, the refusals of data the national system rejects, and the unit codes.
#include <fstream>
#include <iterator>
#include <map>

#include "EInvoiceTestSupport.h"
#include "core/common/Templates.h"

namespace tvx::core::einvoicetest {
namespace {

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// One of the validation toolkit's layout samples, found by the end of its file name.
std::string ReadLayoutSample(const std::filesystem::path& folder, const std::string& ending) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().ends_with(ending)) return ReadFile(entry.path());
    ADD_FAILURE() << "no sample ending in " << ending << " in " << folder;
    return {};
}

// The invoice of the toolkit's samples (TST1045): supplier in Bucharest sector 1, buyer in
// Cluj, two lines.
EInvoice SampleInvoice(bool supplierVat) {
    EInvoice invoice;
    invoice.series = "TST";
    invoice.number = 1045;
    invoice.issueDate = Day(20, 5, 2024);
    invoice.dueDate = Day(19, 6, 2024);
    invoice.vatRate = D("19");
    invoice.netTotal = D("545.00");
    invoice.vatTotal = supplierVat ? D("103.55") : D("0");
    invoice.total = invoice.netTotal + invoice.vatTotal;
    invoice.iban = "RO49AAAA1B31007593840000";
    invoice.supplier = {"SC TEST SRL",          supplierVat ? "RO18547290" : "18547290",
                        "Str. Exemplu nr. 10",  "SECTOR1",
                        "MUNICIPIUL BUCURESTI", "RO-B"};
    invoice.supplierVat = supplierVat;
    invoice.buyer = {"CLIENT SRL",  "RO26789456", "Str. Memorandumului nr. 28",
                     "CLUJ-NAPOCA", "CLUJ",       "RO-CJ"};
    invoice.buyerVat = true;
    invoice.lines = {
        {1, "HARTIE COPIATOR A4 80G/MP 500 COLI", "BUC", "H87", D("10"), D("24.50"), D("245")},
        {2, "MANOPERA INSTALARE SI CONFIGURARE IMPRIMANTA LASER", "ORA", "HUR", D("2.5"), D("120"),
         D("300")}};
    return invoice;
}

TEST(EInvoiceLayout, WritesTheSamplesOfTheToolkitByteForByte) {
    const std::string samples = std::string(TVX_SHARED_DIR) + "/validation/einvoice/samples/";
    // The exemption note belongs to the small-business regime alone: a VAT payer's file is the
    // payer sample without it.
    std::string payer = ReadLayoutSample(samples, "-layout-payer.xml");
    const std::string note =
        std::string("<cbc:Note>") + kSmallBusinessNote + "</cbc:Note><!--BT-22-->\r\n";
    ASSERT_NE(payer.find(note), std::string::npos);
    payer.erase(payer.find(note), note.size());
    EXPECT_EQ(EInvoiceXml(SampleInvoice(true)), payer);
    EXPECT_EQ(EInvoiceXml(SampleInvoice(false)), ReadLayoutSample(samples, "-layout-nonpayer.xml"));
    EXPECT_EQ(FindTemplate(kEInvoiceTemplate, kEInvoiceTemplateKind)->size(), 615u);
}

TEST(EInvoiceLayout, EscapesMarkupAndWritesWellFormedUtf8) {
    EInvoice invoice = SampleInvoice(true);
    invoice.buyer.name = "A&B <\"X\"> 'Y' \xC8\x98TEF\xC4\x82NESCU\x01\xFF";
    invoice.lines[0].product = "";
    for (int i = 0; i < 120; ++i) invoice.lines[0].product += "\xC4\x82";  // Ă
    invoice.lines.resize(1);
    const std::string xml = EInvoiceXml(invoice);
    EXPECT_NE(xml.find("<cbc:RegistrationName>A&amp;B &lt;&quot;X&quot;&gt; &apos;Y&apos; "
                       "\xC8\x98TEF\xC4\x82NESCU \xEF\xBF\xBD</cbc:RegistrationName>"),
              std::string::npos);
    std::string hundred;
    for (int i = 0; i < 100; ++i) hundred += "\xC4\x82";
    EXPECT_NE(xml.find("<cbc:Name>" + hundred + "</cbc:Name>"), std::string::npos);
    // A negative price is written positive, the quantity taking the sign.
    invoice.lines[0].price = D("-24.50");
    invoice.lines[0].value = D("-245");
    const std::string turned = EInvoiceXml(invoice);
    EXPECT_NE(turned.find("unitCode=\"H87\">-10.0000<"), std::string::npos);
    EXPECT_NE(turned.find(">24.50</cbc:PriceAmount>"), std::string::npos);
}

TEST(EInvoiceLayout, ReadsBucharestSectorsAsTheNationalCodes) {
    const std::pair<const char*, const char*> cases[] = {
        {"SECTOR1", "SECTOR1"},    {"Sector 3", "SECTOR3"},
        {"SECTORUL 4", "SECTOR4"}, {"Bucuresti, sector 6", "SECTOR6"},
        {"sect. 2", ""},           {"Sector 7", ""},
        {"Sector 12", ""},         {"BUCURESTI", ""}};
    for (const auto& [locality, code] : cases)
        EXPECT_EQ(BucharestSector(locality), code) << locality;
}

TEST(EInvoiceRefusal, NamesTheFieldAndTheDocument) {
    const EInvoice good = SampleInvoice(true);
    EXPECT_EQ(EInvoiceRefusal(good, true), std::nullopt);
    EInvoice noLocality = good;
    noLocality.supplier.locality = "";
    EXPECT_EQ(EInvoiceRefusal(noLocality, true)->text,
              "\rCompletati la butonul Setari Localitatea!");

    struct Case {
        const char* field;
        std::function<void(EInvoice&)> change;
    };
    const Case cases[] = {
        {"Setari Codul fiscal", [](EInvoice& e) { e.supplier.fiscalCode = ""; }},
        {"Setari, Judet \"NARNIA\"",
         [](EInvoice& e) {
             e.supplier.countyCode = "";
             e.supplier.county = "NARNIA";
         }},
        {"Setari, Localitate \"BUCURESTI\"",
         [](EInvoice& e) { e.supplier.locality = "BUCURESTI"; }},
        {"JUD2 \"NARNIA\"",
         [](EInvoice& e) {
             e.buyer.countyCode = "";
             e.buyer.county = "NARNIA";
         }},
        {"LOC2 \"CLUJ\"",
         [](EInvoice& e) {
             e.buyer.countyCode = "RO-B";
             e.buyer.locality = "CLUJ";
         }},
        {"(ADRESA2)", [](EInvoice& e) { e.buyer.address = ""; }},
        {"(LOC2)", [](EInvoice& e) { e.buyer.locality = ""; }},
        {"(SOC2)", [](EInvoice& e) { e.buyer.name = ""; }},
        {"\"ORA\" (linia 2, UM)", [](EInvoice& e) { e.lines[1].unitCode = ""; }},
        {"linia 1 nu are denumire (PRODUS)", [](EInvoice& e) { e.lines[0].product = ""; }},
        {"(DATASCAD)", [](EInvoice& e) { e.dueDate.reset(); }},
        {"(DATAOUT)", [](EInvoice& e) { e.issueDate.reset(); }},
        {"VALTOT 545.00", [](EInvoice& e) { e.lines[1].value = D("300.01"); }},
        {"TOTAL 648.56", [](EInvoice& e) { e.total = D("648.56"); }},
        {"TVATOT 104.55",
         [](EInvoice& e) {
             e.vatTotal = D("104.55");
             e.total = D("649.55");
         }},
        {"platitoare de TVA, dar factura are TVA", [](EInvoice& e) { e.supplierVat = false; }},
    };
    for (const Case& c : cases) {
        EInvoice invoice = good;
        c.change(invoice);
        const std::optional<Message> refusal = EInvoiceRefusal(invoice, true);
        ASSERT_TRUE(refusal) << c.field;
        EXPECT_EQ(refusal->text.rfind("\rFactura TST 1045: ", 0), 0u) << refusal->text;
        EXPECT_NE(refusal->text.find(c.field), std::string::npos) << refusal->text;
        EXPECT_EQ(refusal->kind, MessageKind::Error);
    }
    // A VAT within a leu of the rate applied to the total passes (rounding line by line), and
    // so do a missing unit code before the units are asked and a storno without a due date.
    EInvoice rounded = good;
    rounded.vatTotal = D("104.54");
    rounded.total = D("649.54");
    EXPECT_EQ(EInvoiceRefusal(rounded, true), std::nullopt);
    EInvoice unitsLater = good;
    unitsLater.lines[0].unitCode = "";
    EXPECT_EQ(EInvoiceRefusal(unitsLater, false), std::nullopt);
}

TEST_F(EInvoiceTest, UnitCodesAreTakenWhenMarkedAndAskedOtherwise) {
    settings_->writeSetting("UMS", "KG", "KGM - KILOGRAM");  // stored, but to be asked
    const long long id = Post(
        "CLIENT SRL", "RO26789456", "CLUJ", "Cluj-Napoca",
        {{"Surub", "buc", "2", "1.50"}, {"Vopsea", "kg", "1", "40"}, {"Diluant", "KG", "2", "12"}});
    std::vector<std::string> asked;
    EInvoice invoice = LoadEInvoice(*db_, *settings_, id);
    EXPECT_TRUE(ResolveUnitCodes(invoice, *settings_, [&](const std::string& unit) {
        asked.push_back(unit);
        return std::optional<std::string>("KGM");
    }));
    EXPECT_EQ(asked, std::vector<std::string>{"KG"});
    EXPECT_EQ(invoice.lines[0].unitCode, "H87");
    EXPECT_EQ(invoice.lines[2].unitCode, "KGM");
    EXPECT_FALSE(ResolveUnitCodes(invoice, *settings_,
                                  [](const std::string&) { return std::optional<std::string>(); }));
    EXPECT_EQ(StoredUnitCodes(*settings_)("kg"), "KGM");
    EXPECT_EQ(StoredUnitCodes(*settings_)("PERECHE"), std::nullopt);
}

// Every kind of stored invoice gives a file the national toolkit finds without fatal errors.
TEST_F(EInvoiceTest, StoredInvoicesPassTheNationalValidation) {
    struct Case {
        const char* name;
        const char* companyCode;
        const char* companyCounty;
        const char* companyLocality;
        const char* buyer;
        const char* cui;
        const char* county;
        const char* locality;
        int rate;
        std::vector<WantedLine> lines;
    };
    // clang-format off
    const std::vector<Case> cases = {
        // Romanian letters and markup in the names; three lines whose VAT rounded one by one
        // (0.06 each) differs from the VAT of their total (0.19).
        {"payer-vat-buyer", "RO18547290", "CLUJ", "Cluj-Napoca",
         "\xC8\x98TEF\xC4\x82NESCU & FIUL <S.R.L.>", "RO26789456", "CLUJ", "Cluj-Napoca", 19,
         {{"Saib\xC4\x83 M6 \"inox\"", "buc", "1", "0.33"},
          {"Piuli\xC8\x9B\xC4\x83 M6", "buc", "1", "0.33"},
          {"Manoper\xC4\x83 montaj", "ora", "1", "0.33"}}},
        // Bucharest on both sides, a buyer without a VAT code, storno lines.
        {"payer-bucharest-storno", "RO18547290", "MUNICIPIUL BUCURESTI", "Sector 1",
         "ALFA DISTRIBUTIE SRL", "26789456", "MUNICIPIUL BUCURESTI", "Bucuresti, Sectorul 3", 19,
         {{"Filtru ulei", "buc", "3", "23.80"}, {"Filtru ulei (retur)", "buc", "-1", "23.80"},
          {"Ulei 5W30", "l", "4.5", "35.70"}, {"Manopera", "ora", "1.25", "150"}}},
        // A company outside VAT selling to a person without a personal code (to a company with
        // a VAT code: the toolkit's non-payer sample, written byte for byte above).
        {"nonpayer-person", "18547290", "IASI", "Iasi", "Ion Popescu", "", "IASI", "Iasi", 0,
         {{"Revizie", "ora", "2", "100"}, {"Set placute", "set", "1", "180"}}},
    };
    // clang-format on
    std::vector<std::pair<std::string, std::filesystem::path>> files;
    for (const Case& c : cases) {
        Company(c.companyCode, c.companyCounty, c.companyLocality);
        const long long id = Post(c.buyer, c.cui, c.county, c.locality, c.lines, c.rate);
        const auto file = dir_.path() / (std::string(c.name) + ".xml");
        const std::optional<Message> refusal = ExportEInvoice(*db_, *settings_, id, file);
        ASSERT_FALSE(refusal) << c.name << ": " << refusal->text;
        files.emplace_back(c.name, file);
    }
    const std::string missing = ValidatorMissing();
    if (!missing.empty())
        GTEST_SKIP() << "the e-invoice validation toolkit cannot run: " << missing;
    for (const auto& [name, file] : files) {
        const CommandRun result = Validate(file);
        EXPECT_EQ(result.status, 0) << name << ":\n" << result.output;
        EXPECT_NE(result.output.find("einvoice: 0 fatal"), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace tvx::core::einvoicetest
