// The outgoing invoice editor: defaults and work tables of a new document, the numbering
// checks and the document type's proposals, goods and service lines with their arithmetic,
// deleting and renumbering, the totals, buyer completion and the bank of an account.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "../stock/StockTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/common/Rounding.h"
#include "core/sales/InvoiceEditor.h"
#include "core/sales/InvoicePosting.h"
#include "core/stock/StockCards.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using stocktest::D;
using stocktest::Day;
using tables::Date;
using tables::Decimal;

const Date kToday = Date::fromYmd(2026, 2, 10);
constexpr int kNow = 13 * 3600 + 30 * 60 + 15;

std::string Cents(const Decimal& x, int decimals = 2) {
    return RoundHalfAway(x, decimals).toString();
}

class InvoiceEditorTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        profile_.codFisc = "RO1234567";
        profile_.factSeria = "TVX";
        profile_.factNr = "7";
        profile_.factNrMax = "100";
        editor_ = std::make_unique<InvoiceEditor>(*db_, *settings_, profile_, dir_.path());
    }

    void Prepare(const std::string& location = "MAGAZIN") {
        editor_->prepare(location, std::nullopt, kToday, kNow);
    }
    void Start() {
        Prepare();
        ASSERT_FALSE(editor_->startNew());
    }

    // A MARFA lot of `location` at sale price `price` holding `stock`.
    long long Lot(const char* location, const char* product, const char* price, const char* stock) {
        const long long id =
            FindOrCreateLot(*db_, *settings_, location, "MARFA", product, "BUC", D("1"), D(price));
        if (D(stock) > Decimal(0)) {
            Movement in = EntryMovement(D(stock), D(stock) * D(price));
            in.idFisa = settings_->nextNumber("IDFISA");
            PostEntry(*db_, id, in);
        }
        return id;
    }
    static ProductPick Goods(long long idCap, const char* quantity, const char* price) {
        ProductPick pick;
        pick.idCap = idCap;
        pick.quantity = D(quantity);
        pick.price = D(price);
        pick.warranty = Day(10, 2, 2028);
        return pick;
    }
    static ServicePick Service(const char* name, const char* unit, const char* quantity,
                               const char* price, const char* remark, long long idCat) {
        return ServicePick{name, unit, D(quantity), D(price), remark, Day(1, 1, 2027), idCat};
    }

    void Account(const char* iban) {
        db_->execute("INSERT INTO Conturi (IDCONT, CONT) VALUES (:id, :c)",
                     {{"id", settings_->nextNumber("IDCONT")}, {"c", iban}});
    }
    // A stored FactOut header of buyer `buyer` (fiscal code, county and account fixed).
    void StoreInvoice(const char* series, long long nr, Date date, const char* buyer,
                      const char* location, const char* representative) {
        db_->execute(
            "INSERT INTO FactOut (IDFACTO, SERIA, NR, DATAOUT, SOC2, CUI2, JUD2, LOC2, CONT,"
            " REPREZ, GESTIUNE) VALUES (:id, :s, :nr, :d, :b, 'RO1234567', 'CLUJ',"
            " 'CLUJ-NAPOCA', 'RO37BTRL0000000000000001', :r, :g)",
            {{"id", settings_->nextNumber("IDFACTO")},
             {"s", series},
             {"nr", nr},
             {"d", date},
             {"b", buyer},
             {"r", representative},
             {"g", location}});
    }

    // Stoc.dbf: IDCAP -> "STOC/REST".
    std::map<long long, std::string> StockRows() {
        std::map<long long, std::string> out;
        tables::ResultSet rows =
            Query("SELECT IDCAP, STOC, REST FROM \"" + (dir_.path() / "Stoc.dbf").string() + "\"");
        for (rows.first(); !rows.eof(); rows.next())
            out[rows.asNumber("IDCAP").toLongLong()] =
                Cents(rows.asNumber("STOC")) + "/" + Cents(rows.asNumber("REST"));
        return out;
    }
    tables::ResultSet Lines() {
        tables::ResultSet rows = editor_->lines();
        rows.first();
        return rows;
    }
    // Line `nrCrt` as PRODUS|UM|CANT|PRETOUT|VALOUT|VALTVA|IDCAP.
    std::string LineText(long long nrCrt) {
        tables::ResultSet rows = editor_->lines();
        for (rows.first(); !rows.eof(); rows.next()) {
            if (rows.asNumber("NRCRT") != Decimal(nrCrt)) continue;
            return rows.asText("PRODUS") + "|" + rows.asText("UM") + "|" +
                   Cents(rows.asNumber("CANT")) + "|" + Cents(rows.asNumber("PRETOUT")) + "|" +
                   Cents(rows.asNumber("VALOUT")) + "|" + Cents(rows.asNumber("VALTVA"), 3) + "|" +
                   rows.asNumber("IDCAP").toPlainString();
        }
        return "no line " + std::to_string(nrCrt);
    }
    // Every file of the data directory but the engine's own, byte for byte.
    std::map<std::string, std::string> Files() { return testsupport::DataFiles(data_); }

    CompanyProfile profile_;
    std::unique_ptr<InvoiceEditor> editor_;
};

// --- Opening a new document --------------------------------------------------------------

TEST_F(InvoiceEditorTest, PrepareTakesDefaultsFromSettingsAndProfile) {
    settings_->writeSetting("CONSTANTE", "TERMENPL", "10");
    settings_->writeSetting("CONSTANTE", "OBSF", "Plata la termen");
    settings_->writeSetting("FACTURA", "MASINA", "B 11 XYZ");
    settings_->writeSetting("FACTURA", "OPERATOR", "ION POP");
    settings_->writeVatRate(9);
    Account("RO37BTRL0000000000000001");
    Account("RO83RNCB0000000000000002");
    StoreInvoice("X", 1, Day(1, 2, 2026), "BETA SRL", "MAGAZIN", "ANA");
    StoreInvoice("X", 2, Day(2, 2, 2026), "ALFA SRL", "MAGAZIN", "ANA");

    editor_->buyer = "LEFTOVER";
    editor_->cui = "123";
    Prepare();
    const InvoiceEditor& e = *editor_;
    EXPECT_EQ(e.dueDate, kToday.addDays(10));
    EXPECT_EQ(e.date, kToday);
    EXPECT_EQ(e.obs, "Plata la termen");
    EXPECT_EQ(e.transport, "B 11 XYZ");
    EXPECT_EQ(e.operatorName, "ION POP");
    EXPECT_EQ(e.vatRate, "9");
    EXPECT_TRUE(e.buyer.empty());
    EXPECT_TRUE(e.cui.empty());
    EXPECT_TRUE(e.iban.empty());
    EXPECT_EQ(e.deliveryDate, kToday);
    EXPECT_EQ(e.deliverySeconds, kNow);
    EXPECT_EQ(e.accounts(),
              (std::vector<std::string>{"RO37BTRL0000000000000001", "RO83RNCB0000000000000002"}));
    EXPECT_EQ(e.buyers(), (std::vector<std::string>{"ALFA SRL", "BETA SRL"}));
    EXPECT_EQ(e.representatives(), std::vector<std::string>{"ANA"});
    EXPECT_EQ(e.totalPay, "0.00");

    settings_->deleteSetting("CONSTANTE", "TERMENPL");
    Prepare();
    EXPECT_EQ(editor_->dueDate, kToday.addDays(5));
}

TEST_F(InvoiceEditorTest, NonVatPayerGetsRateZero) {
    settings_->writeVatRate(9);
    profile_.codFisc = " 1234567";
    Prepare();
    EXPECT_EQ(editor_->vatRate, "0");
    profile_.codFisc = "ro1234567";
    Prepare();
    EXPECT_EQ(editor_->vatRate, "9");
}

TEST_F(InvoiceEditorTest, WorkTablesAreRebuiltInTheProgramFolderWithTheLocationsStock) {
    const long long filter = Lot("MAGAZIN", "FILTRU", "10.00", "7");
    Lot("MAGAZIN", "GOL", "5.00", "0");    // no stock: left out
    Lot("DEPOZIT", "ALTUL", "5.00", "3");  // another location
    Prepare();
    ASSERT_TRUE(std::filesystem::exists(dir_.path() / "ProdTemp.dbf"));
    ASSERT_TRUE(std::filesystem::exists(dir_.path() / "Stoc.dbf"));
    EXPECT_FALSE(std::filesystem::exists(data_ / "Stoc.dbf"));
    EXPECT_EQ(StockRows(), (std::map<long long, std::string>{{filter, "7.00/7.00"}}));
    const auto fields = testsupport::dumpFields(dir_.path() / "ProdTemp.dbf");
    ASSERT_EQ(fields.size(), 12u);
    EXPECT_EQ(fields[8].name, "VALTVA");
    EXPECT_EQ(fields[8].decimals, 3);

    // A second preparation starts from empty lines and the stock as stored.
    editor_->addProduct(Goods(filter, "2", "10.00"));
    Prepare();
    EXPECT_EQ(editor_->lines().rowCount(), 0u);
    EXPECT_EQ(StockRows()[filter], "7.00/7.00");
}

TEST_F(InvoiceEditorTest, PreorderBuyerIsCopiedAndABlankAddressAddsNoLine) {
    PreorderBuyer buyer{"CLIENT SA", "J40/1/2020", "RO1234567", "Str. Lunga 2", "BT", "RO37..."};
    editor_->prepare("MAGAZIN", buyer, kToday, kNow);
    EXPECT_EQ(editor_->buyer, "CLIENT SA");
    EXPECT_EQ(editor_->regCom, "J40/1/2020");
    EXPECT_EQ(editor_->cui, "RO1234567");
    EXPECT_EQ(editor_->address, "Str. Lunga 2");
    EXPECT_EQ(editor_->bank, "BT");
    EXPECT_EQ(editor_->account, "RO37...");
    buyer.address = "   ";
    editor_->prepare("MAGAZIN", buyer, kToday, kNow);
    EXPECT_TRUE(editor_->address.empty());
}

TEST_F(InvoiceEditorTest, NumberingChecksStopANewDocumentAtTheFirstFailure) {
    Prepare();
    profile_.factSeria = " ";
    auto refusal = editor_->startNew();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->title, "Adaugare factura");
    EXPECT_EQ(refusal->kind, MessageKind::Error);
    EXPECT_EQ(refusal->text,
              "Nu aveti specificata seria facturilor!\n"
              "Intrati la sectiunea Administrare si completati datele!");
    profile_.factSeria = "TVX";
    profile_.factNrMax = "0";
    refusal = editor_->startNew();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text.substr(0, 38), "Nu ati specificat numerele facturilor!");
    profile_.factNrMax = "5";
    refusal = editor_->startNew();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text,
              "Nu mai aveti numere disponibile pentru factura!\n"
              "Intrati la sectiunea Administrare si introduceti interval nou!");
    profile_.factNrMax = "7";  // the last number may be the next one
    EXPECT_FALSE(editor_->startNew());
}

TEST_F(InvoiceEditorTest, DocumentTypeProposesSeriesAndNumberAndIsRemembered) {
    Start();
    EXPECT_EQ(editor_->caption(), std::string("Factura de vanzare noua"));
    EXPECT_EQ(editor_->series, "TVX");
    EXPECT_EQ(editor_->number, "7");
    editor_->docType = kFiscalReceiptDocument;
    editor_->typeChanged();
    EXPECT_EQ(editor_->series, "");
    EXPECT_EQ(editor_->number, "1");  // NRBON absent
    settings_->setIndex("NRBON", "42");
    Start();  // the last choice stays
    EXPECT_EQ(editor_->docType, kFiscalReceiptDocument);
    EXPECT_EQ(editor_->number, "42");
}

// --- Lines -------------------------------------------------------------------------------

TEST_F(InvoiceEditorTest, GoodsLineSplitsTheGrossAmountAndLowersRest) {
    const long long lot = Lot("MAGAZIN", "FILTRU", "10.00", "7");
    Start();
    EXPECT_EQ(editor_->addProduct(Goods(lot, "3", "10.00")), 1);
    EXPECT_EQ(LineText(1), "FILTRU|BUC|3.00|8.40|25.21|4.790|" + std::to_string(lot));
    EXPECT_EQ(StockRows()[lot], "7.00/4.00");
    editor_->recalcTotals();
    EXPECT_EQ(editor_->totalValue, "25.21");
    EXPECT_EQ(editor_->totalVat, "4.79");
    EXPECT_EQ(editor_->totalPay, "30.00");
}

TEST_F(InvoiceEditorTest, SameLotTwiceIsOneLineKeepingTheFirstUnitPrice) {
    const long long lot = Lot("MAGAZIN", "FILTRU", "10.00", "7");
    const long long other = Lot("MAGAZIN", "ULEI", "20.00", "1");
    Start();
    editor_->addProduct(Goods(lot, "3", "10.00"));
    editor_->addProduct(Goods(other, "1", "20.00"));
    ProductPick again = Goods(lot, "1", "10.00");
    again.remark = "a doua";
    EXPECT_EQ(editor_->addProduct(again), 1);
    // 1 x 10.00: net 8.40, VAT 1.60; the unit price stays that of 3 x 10.00.
    EXPECT_EQ(LineText(1), "FILTRU|BUC|4.00|8.40|33.61|6.390|" + std::to_string(lot));
    EXPECT_EQ(Lines().asText("OBS"), "a doua");
    EXPECT_EQ(editor_->lines().rowCount(), 2u);
    EXPECT_EQ(StockRows()[lot], "7.00/3.00");
    // Taking more than the lot holds is allowed: REST goes below zero.
    editor_->addProduct(Goods(other, "3", "20.00"));
    EXPECT_EQ(StockRows()[other], "1.00/-3.00");
}

TEST_F(InvoiceEditorTest, NonVatPayerLineHasNetEqualToGross) {
    profile_.codFisc = "1234567";
    const long long lot = Lot("MAGAZIN", "FILTRU", "10.00", "7");
    Start();
    editor_->addProduct(Goods(lot, "3", "10.00"));
    EXPECT_EQ(LineText(1), "FILTRU|BUC|3.00|10.00|30.00|0.000|" + std::to_string(lot));
}

TEST_F(InvoiceEditorTest, ReturnedGoodsAndAnUnknownLot) {
    const long long lot = Lot("MAGAZIN", "FILTRU", "10.00", "7");
    Start();
    editor_->addProduct(Goods(lot, "-2", "10.00"));
    // Net -16.81; unit -1681 / -2 = 840.5, the half rounded away from zero.
    EXPECT_EQ(LineText(1), "FILTRU|BUC|-2.00|8.41|-16.81|-3.190|" + std::to_string(lot));
    EXPECT_EQ(StockRows()[lot], "7.00/9.00");
    EXPECT_THROW(editor_->addProduct(Goods(lot + 100, "1", "1")), tables::EngineError);
    EXPECT_EQ(editor_->lines().rowCount(), 1u);
}

TEST_F(InvoiceEditorTest, WorkshopGoodsLineTakesTheSectionAsRemark) {
    profile_.domeniu = CompanyProfile::kServiceAuto;
    const long long lot = Lot("MAGAZIN", "FILTRU", "10.00", "7");
    Start();
    ProductPick pick = Goods(lot, "1", "10.00");
    pick.remark = "nefolosit";
    pick.section = "MECANICA";
    editor_->addProduct(pick);
    EXPECT_EQ(Lines().asText("OBS"), "MECANICA");
}

TEST_F(InvoiceEditorTest, ServiceLineRoundsTheGrossAndJoinsAnEqualLine) {
    Start();
    // 2 x 12.50 = 25.00; net 2500 / 1.19 = 21.01; unit 2101 / 2 = 10.505 -> 10.51.
    EXPECT_EQ(editor_->addService(Service("MANOPERA", "ORE", "2", "12.50", "r1", 3)), 1);
    EXPECT_EQ(LineText(1), "MANOPERA|ORE|2.00|10.51|21.01|3.990|-1");
    EXPECT_EQ(Lines().asNumber("IDFISA"), Decimal(-1));
    EXPECT_EQ(editor_->addService(Service("MANOPERA", "ORE", "2", "12.50", "+r2", 4)), 1);
    EXPECT_EQ(LineText(1), "MANOPERA|ORE|4.00|10.51|42.02|7.980|-1");
    EXPECT_EQ(Lines().asText("OBS"), "r1+r2");
    EXPECT_EQ(Lines().asNumber("IDCAT"), Decimal(4));
    // Another unit price or unit makes a line of its own.
    EXPECT_EQ(editor_->addService(Service("MANOPERA", "ORE", "1", "15", "", 0)), 2);
    EXPECT_EQ(editor_->addService(Service("MANOPERA", "BUC", "2", "12.50", "", 0)), 3);
}

TEST_F(InvoiceEditorTest, DeletingLineTwoOfFourRenumbersAndGivesTheStockBack) {
    const long long a = Lot("MAGAZIN", "A", "10.00", "9");
    const long long b = Lot("MAGAZIN", "B", "10.00", "9");
    const long long c = Lot("MAGAZIN", "C", "10.00", "9");
    Start();
    EXPECT_TRUE(editor_->deleteRefusal());
    EXPECT_EQ(editor_->deleteRefusal()->message, "Nu aveti ce sterge!");
    EXPECT_EQ(editor_->deleteRefusal()->field, "LiniiGrid");
    editor_->addProduct(Goods(a, "1", "10"));
    editor_->addProduct(Goods(b, "2", "10"));
    editor_->addService(Service("MANOPERA", "ORE", "1", "50", "", 0));
    editor_->addProduct(Goods(c, "3", "10"));
    EXPECT_FALSE(editor_->deleteRefusal());
    const Message question = InvoiceEditor::deleteQuestion(2);
    EXPECT_EQ(question.text, "Vreti sa stergeti linia 2?");
    EXPECT_EQ(question.title, "Stergere linie");
    EXPECT_EQ(question.kind, MessageKind::Confirmation);

    editor_->deleteLine(2);
    tables::ResultSet rows = editor_->lines();
    std::vector<std::string> order;
    for (rows.first(); !rows.eof(); rows.next())
        order.push_back(rows.asText("NRCRT") + rows.asText("PRODUS"));
    EXPECT_EQ(order, (std::vector<std::string>{"1A", "2MANOPERA", "3C"}));
    EXPECT_EQ(StockRows()[b], "9.00/9.00");
    EXPECT_EQ(StockRows()[c], "9.00/6.00");
    editor_->deleteLine(2);  // the service touches no stock
    EXPECT_EQ(StockRows()[a], "9.00/8.00");
    EXPECT_EQ(StockRows()[c], "9.00/6.00");
    editor_->recalcTotals();
    EXPECT_EQ(editor_->totalPay, "40.00");
}

TEST_F(InvoiceEditorTest, TotalsAreRoundedFromTheExactSumsOfThreeDecimalVat) {
    const long long a = Lot("MAGAZIN", "A", "3.33", "9");
    const long long b = Lot("MAGAZIN", "B", "3.33", "9");
    Start();
    // 1.5 x 3.33 = 4.995: net 4.20, VAT 0.795 kept with three decimals.
    editor_->addProduct(Goods(a, "1.5", "3.33"));
    editor_->addProduct(Goods(b, "1.5", "3.33"));
    EXPECT_EQ(LineText(1), "A|BUC|1.50|2.80|4.20|0.795|" + std::to_string(a));
    editor_->recalcTotals();
    EXPECT_EQ(editor_->totalValue, "8.40");
    EXPECT_EQ(editor_->totalVat, "1.59");  // not 2 x 0.80
    EXPECT_EQ(editor_->totalPay, "9.99");
}

// --- Buyer and account -------------------------------------------------------------------

TEST_F(InvoiceEditorTest, BuyerCompletionTakesTheLatestDocumentOrClears) {
    Account("RO37BTRL0000000000000001");
    StoreInvoice("X", 1, Day(1, 2, 2026), "ALFA SRL", "MAGAZIN", "VECHI");
    StoreInvoice("X", 2, Day(5, 2, 2026), "ALFA SRL", "MAGAZIN", "NOU");
    Start();
    editor_->buyer = "ALFA SRL";
    editor_->buyerChanged();
    EXPECT_EQ(editor_->representative, "NOU");
    EXPECT_EQ(editor_->cui, "RO1234567");
    EXPECT_EQ(editor_->county, "CLUJ");
    EXPECT_EQ(editor_->locality, "CLUJ-NAPOCA");
    EXPECT_EQ(editor_->iban, "RO37BTRL0000000000000001");

    editor_->buyer = "ALFA";  // typed, not a known buyer
    editor_->buyerChanged();
    EXPECT_TRUE(editor_->cui.empty());
    EXPECT_TRUE(editor_->representative.empty());
    EXPECT_TRUE(editor_->county.empty());

    editor_->autoComplete = false;
    editor_->buyer = "ALFA SRL";
    editor_->regCom = "MINE";
    editor_->buyerChanged();
    EXPECT_EQ(editor_->regCom, "MINE");
    EXPECT_TRUE(editor_->cui.empty());
}

TEST_F(InvoiceEditorTest, AccountGivesItsBankOrNothing) {
    Start();
    editor_->account = "ro37 btrl 0000 0000 0000 0001";
    editor_->accountChanged();
    EXPECT_EQ(editor_->bank, "BANCA TRANSILVANIA SA");
    editor_->account = "RO37BTRL0000000000000002";  // check digits wrong
    editor_->accountChanged();
    EXPECT_EQ(editor_->bank, "");
}

// --- Checks of "&Memoreaza" -----------------------------------------------------------------

class InvoiceCheckTest : public InvoiceEditorTest {
  protected:
    void SetUp() override {
        InvoiceEditorTest::SetUp();
        Account("RO37BTRL0000000000000001");
        lot_ = Lot("MAGAZIN", "FILTRU", "10.00", "7");
        Start();
        InvoiceEditor& e = *editor_;
        e.buyer = "  ALFA   S'RL ";
        e.cui = "ro 14399840";
        e.iban = "RO37BTRL0000000000000001";
        e.locality = "CLUJ-NAPOCA";
        e.county = "CLUJ";
        e.operatorName = "ION";
        e.addService(Service("MANOPERA", "ORE", "1", "11.90", "", 2));
    }
    void ExpectProblem(const char* field, const char* message) {
        const InvoiceCheck result = editor_->check(kToday);
        const auto* problem = std::get_if<FieldProblem>(&result);
        ASSERT_TRUE(problem) << "expected " << message;
        EXPECT_EQ(problem->field, field);
        EXPECT_EQ(problem->message, message);
    }
    bool Passes() { return std::holds_alternative<std::monostate>(editor_->check(kToday)); }
    long long lot_ = 0;
};

TEST_F(InvoiceCheckTest, ValidDocumentPassesCleaned) {
    editor_->address = "Str. Mare\n nr. 1 ";
    editor_->number = "";
    ASSERT_TRUE(Passes());
    EXPECT_EQ(editor_->buyer, "ALFA S`RL");
    EXPECT_EQ(editor_->cui, "RO14399840");
    EXPECT_EQ(editor_->address, "Str. Mare nr. 1");
    EXPECT_EQ(editor_->number, "0");
}

TEST_F(InvoiceCheckTest, FiscalCodeMustBeACompanyOrPersonalCode) {
    editor_->cui = " ";
    ExpectProblem("CuiEd", "Lipseste CUI/CNP !");
    editor_->cui = "RO14399841";
    ExpectProblem("CuiEd", "CUI incorect!");
    editor_->cui = "1800101221144";  // a personal code
    EXPECT_TRUE(Passes());
    editor_->cui = "1800101221145";
    ExpectProblem("CuiEd", "CUI incorect!");
}

TEST_F(InvoiceCheckTest, ChecksComeInTheirOrder) {
    editor_->iban = "";
    editor_->account = "RO00XXXX";
    editor_->locality = "";
    editor_->operatorName = " ";
    ExpectProblem("IbanBox", "Lipseste contul IBAN!");
    editor_->iban = "RO37BTRL0000000000000001";
    ExpectProblem("Edit4", "Cont bancar incorect!");
    editor_->account = "RO37 BTRL 0000 0000 0000 0001";
    ExpectProblem("LocEd", "Lipseste localitatea!");
    editor_->locality = "DEJ";
    ExpectProblem("OperatorEd", "Lipsesc datele despre operator!");
    editor_->operatorName = "ION";
    EXPECT_TRUE(Passes());
    EXPECT_EQ(editor_->account, "RO37BTRL0000000000000001");  // stored without the blanks
}

TEST_F(InvoiceCheckTest, AVatRateOutsideZeroToHundredIsRefusedBeforeLinesAndSave) {
    for (const char* typed : {"195", "100,5", "-1"}) {
        editor_->vatRate = typed;
        ASSERT_TRUE(editor_->rateProblem()) << typed;  // the window adds no line priced so
        EXPECT_EQ(editor_->rateProblem()->field, "TvaEd");
        ExpectProblem("TvaEd", "Cota TVA trebuie sa fie intre 0 si 100 %!");
    }
    editor_->vatRate = "9,5";
    EXPECT_FALSE(editor_->rateProblem());
    EXPECT_TRUE(Passes());
    EXPECT_EQ(editor_->document().vatRate, Decimal::fromUnits(95, 1));
}

TEST_F(InvoiceCheckTest, DocumentWithoutLinesIsRefusedAtTheGrid) {
    editor_->deleteLine(1);
    ExpectProblem("LiniiGrid", "Nu ati adaugat nici un produs sau serviciu!");
    editor_->addProduct(Goods(lot_, "1", "10.00"));
    EXPECT_TRUE(Passes());
}

TEST_F(InvoiceCheckTest, BucharestSectors) {
    editor_->locality = "SECTOR 3";  // outside Bucharest a locality is kept as typed
    ASSERT_TRUE(Passes());
    EXPECT_EQ(editor_->locality, "SECTOR 3");
    editor_->county = "BUCURESTI";
    ASSERT_TRUE(Passes());
    EXPECT_EQ(editor_->county, "MUNICIPIUL BUCURESTI");
    EXPECT_EQ(editor_->locality, "SECTOR3");
    editor_->locality = "SECTOR-6";
    ASSERT_TRUE(Passes());
    EXPECT_EQ(editor_->locality, "SECTOR6");
    for (const char* bad : {"SECTOR7", "SECTOR0", "BUCURESTI", "SECTOR12"}) {
        editor_->locality = bad;
        ExpectProblem("LocEd", "Sectorul trebuie sa fie de forma SECTOR1 !!");
    }
}

TEST_F(InvoiceCheckTest, SameSeriesAndNumberRefusedWithinTheCalendarYearOnly) {
    StoreInvoice("TVX", 7, Day(1, 1, 2026), "B", "MAGAZIN", "");
    ExpectProblem("NrEd", "Mai exista o factura cu aceasta serie si numar in acelasi an!");
    editor_->date = Day(31, 12, 2025);
    EXPECT_TRUE(Passes());
    editor_->date = Day(31, 12, 2026);
    EXPECT_FALSE(Passes());
    editor_->series = "TVY";
    EXPECT_TRUE(Passes());
}

TEST_F(InvoiceCheckTest, FiscalReceiptNumberUsedTodayByAnyDocumentIsRefused) {
    StoreInvoice("TVX", 42, kToday, "B", "MAGAZIN", "");  // an invoice, not a receipt
    settings_->setIndex("NRBON", "42");
    editor_->docType = kFiscalReceiptDocument;
    editor_->typeChanged();
    const InvoiceCheck result = editor_->check(kToday);
    const auto* message = std::get_if<Message>(&result);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->title, "Adaugare Bon Fiscal");
    EXPECT_EQ(message->text, "Mai exista un Bon Fiscal azi, cu acelasi numar!");
    EXPECT_EQ(message->kind, MessageKind::Error);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(editor_->check(kToday.addDays(1))));
}

TEST_F(InvoiceCheckTest, SettingsAreRememberedForNewDocumentsOnly) {
    editor_->operatorName = "MARIA";
    editor_->dueDate = kToday.addDays(14);
    editor_->transport = "CJ 01 ABC";
    editor_->obs = "multumim";
    ASSERT_TRUE(Passes());
    editor_->saveSettings();
    EXPECT_EQ(settings_->readSetting("FACTURA", "OPERATOR"), "MARIA");
    EXPECT_EQ(settings_->readSetting("CONSTANTE", "TERMENPL"), "14");
    EXPECT_EQ(settings_->readSetting("FACTURA", "MASINA"), "CJ 01 ABC");
    EXPECT_EQ(settings_->readSetting("CONSTANTE", "OBSF"), "multumim");
    Prepare();
    EXPECT_EQ(editor_->dueDate, kToday.addDays(14));
}

// --- The document, modification, view and cancelling ---------------------------------------

TEST_F(InvoiceCheckTest, DocumentCarriesFieldsLinesAndLabelTotals) {
    const long long lot = lot_;
    editor_->addProduct(Goods(lot, "3", "10.00"));  // after the service line of SetUp
    editor_->recalcTotals();
    editor_->deliveryDate = Day(11, 2, 2026);
    editor_->deliverySeconds = 18 * 3600;  // 0.75 of the day
    ASSERT_TRUE(Passes());
    const InvoiceDocument doc = editor_->document();
    EXPECT_EQ(doc.docType, kInvoiceDocument);
    EXPECT_EQ(doc.series, "TVX");
    EXPECT_EQ(doc.number, 7);
    EXPECT_EQ(doc.vatRate, Decimal(19));
    EXPECT_EQ(doc.location, "MAGAZIN");
    EXPECT_EQ(doc.iban, "RO37BTRL0000000000000001");
    EXPECT_EQ(doc.deliveryTime, D("46064.75"));
    EXPECT_EQ(doc.netTotal, D("35.21"));
    EXPECT_EQ(doc.vatTotal, D("6.69"));
    EXPECT_EQ(doc.total, D("41.90"));
    ASSERT_EQ(doc.lines.size(), 2u);
    EXPECT_EQ(doc.lines[0].idCap, -1);
    EXPECT_EQ(doc.lines[0].idCat, 2);
    EXPECT_EQ(doc.lines[1].idCap, lot);
    EXPECT_EQ(doc.lines[1].nrCrt, 2);
    EXPECT_EQ(doc.lines[1].warranty, Day(10, 2, 2028));
}

TEST_F(InvoiceCheckTest, ModifyLoadsTheStoredDocumentIntoTheWorkTables) {
    const long long lot = Lot("DEPOZIT", "FILTRU", "10.00", "7");
    Prepare("DEPOZIT");
    ASSERT_FALSE(editor_->startNew());
    editor_->buyer = "ALFA SRL";
    editor_->cui = "RO14399840";
    editor_->iban = "RO37BTRL0000000000000001";
    editor_->locality = "DEJ";
    editor_->county = "CLUJ";
    editor_->operatorName = "ION";
    editor_->docType = kFiscalReceiptDocument;
    editor_->typeChanged();
    editor_->deliverySeconds = 6 * 3600;
    editor_->addProduct(Goods(lot, "3", "10.00"));
    editor_->addService(Service("MANOPERA", "ORE", "1", "11.90", "", 0));
    editor_->recalcTotals();
    ASSERT_TRUE(Passes());
    const long long id = SaveNewInvoice(*db_, *settings_, editor_->document());
    db_->execute("DELETE FROM Conturi");  // the account is gone by now

    Prepare("MAGAZIN");
    editor_->startModify(id, kToday.addDays(3), 0);
    const InvoiceEditor& e = *editor_;
    EXPECT_EQ(e.mode(), InvoiceEditor::Mode::Modify);
    EXPECT_EQ(e.caption(), std::string("Modificare factura de vanzare"));
    EXPECT_FALSE(e.typeEnabled());
    EXPECT_EQ(e.docType, kFiscalReceiptDocument);
    EXPECT_EQ(e.series, "");
    EXPECT_EQ(e.number, "1");
    EXPECT_EQ(e.location, "DEPOZIT");
    EXPECT_EQ(e.iban, "");
    EXPECT_EQ(e.buyer, "ALFA SRL");
    EXPECT_EQ(e.county, "CLUJ");
    EXPECT_EQ(e.date, kToday);
    EXPECT_EQ(e.deliveryDate, kToday);
    EXPECT_EQ(e.deliverySeconds, 6 * 3600);
    EXPECT_EQ(e.totalPay, "41.90");
    EXPECT_EQ(LineText(1), "FILTRU|BUC|3.00|8.40|25.21|4.790|" + std::to_string(lot));
    EXPECT_EQ(LineText(2), "MANOPERA|ORE|1.00|10.00|10.00|1.900|-1");
    EXPECT_EQ(StockRows()[lot], "4.00/4.00");  // the stock after the stored sale
    editor_->iban = "X";
    EXPECT_TRUE(Passes());  // no number check when modifying
    editor_->saveSettings();
    EXPECT_EQ(settings_->readSetting("FACTURA", "OPERATOR"), "");
    EXPECT_THROW(editor_->startModify(id + 50, kToday, 0), tables::EngineError);
}

TEST_F(InvoiceCheckTest, ViewShowsStoredLinesAndTotalsReadOnly) {
    editor_->addService(Service("MANOPERA", "ORE", "1", "11.90", "", 0));
    editor_->recalcTotals();
    ASSERT_TRUE(Passes());
    const long long id = SaveNewInvoice(*db_, *settings_, editor_->document());
    db_->execute("UPDATE FactOut SET TOTAL=99 WHERE IDFACTO=:id", {{"id", id}});
    editor_->cleanup();
    editor_->startView(id);
    EXPECT_EQ(editor_->caption(), std::string("Vizualizare factura"));
    EXPECT_EQ(editor_->lines().rowCount(), 1u);
    editor_->recalcTotals();
    EXPECT_EQ(editor_->totalPay, "99.00");  // as stored
    EXPECT_EQ(editor_->deleteRefusal()->message, "Nu aveti ce sterge!");
    editor_->cui = "";
    EXPECT_TRUE(Passes());  // the button only closes
}

TEST_F(InvoiceCheckTest, CancelLeavesTheDataDirectoryUntouchedAndCleanupDropsWorkTables) {
    const auto before = Files();
    Start();
    editor_->addProduct(Goods(lot_, "3", "10.00"));
    editor_->addService(Service("MANOPERA", "ORE", "1", "11.90", "", 0));
    editor_->deleteLine(1);
    editor_->buyer = "ALFA SRL";
    editor_->buyerChanged();
    editor_->recalcTotals();
    editor_->check(kToday);
    editor_->document();
    editor_->dropStockTable();
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "Stoc.dbf"));
    EXPECT_TRUE(std::filesystem::exists(dir_.path() / "ProdTemp.dbf"));
    editor_->cleanup();
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "ProdTemp.dbf"));
    editor_->cleanup();  // nothing left to delete
    EXPECT_EQ(Files(), before);
}

}  // namespace
}  // namespace tvx::core
