// The car-service work estimate data: the title texts from the profile, the invoice and the
// service order, the account and bank choice, the section taken from OBS, and the rows with
// their unit price and value including VAT in OBS order.
#include <gtest/gtest.h>

#include "../purchases/PurchasesTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/reports/Estimate.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

using tables::Date;
using tables::Decimal;

Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

class EstimateTest : public purchasestest::PurchasesTest {
  protected:
    void SetUp() override {
        PurchasesTest::SetUp();
        company_.denumire = "Auto Service SRL";
        company_.localit = " Cluj-Napoca";
        company_.adresa = "Str. Fabricii 7  ";
        company_.telFax = "Tel/Fax 0264-111222";
        company_.judet = "Cluj";
        company_.codFisc = "RO1234567";
        AddInvoice(7, "RO63BTRL0000123456789012");
    }
    void AddInvoice(long long id, const char* account) {
        db().execute("INSERT INTO " + table("FactOut") +
                         " (IDFACTO, SERIA, NR, DATAOUT, SOC, CONT, SOC2, CUI2, ADRESA2, LOC2)"
                         " VALUES (:id, 'TVX', 12, :d, 'Alta Firma', :cont, 'Client SA',"
                         " 'RO999', 'Bd. Unirii 3', 'Blaj')",
                     {{"id", id}, {"d", Date::fromYmd(2024, 3, 5)}, {"cont", account}});
    }
    void AddAccount(int id, const char* account) {
        db().execute("INSERT INTO " + table("Conturi") + " (IDCONT, CONT) VALUES (:i, :c)",
                     {{"i", id}, {"c", account}});
    }
    void AddLine(long long idFacto, int nr, const char* obs, const char* product, const char* cant,
                 const char* value, const char* vat) {
        db().execute("INSERT INTO " + table("ProdOut") +
                         " (IDFACTO, NRCRT, PRODUS, UM, CANT, VALOUT, VALTVA, OBS)"
                         " VALUES (:f, :n, :p, 'BUC', :c, :v, :t, :o)",
                     {{"f", idFacto},
                      {"n", nr},
                      {"p", product},
                      {"c", D(cant)},
                      {"v", D(value)},
                      {"t", D(vat)},
                      {"o", obs}});
    }
    // The estimate rows as SECTIA|PRODUS|CANT|PRETU|VALX.
    std::vector<std::string> Rows(long long idFacto) {
        auto rs = EstimateRows(db(), idFacto);
        std::vector<std::string> rows;
        for (rs.first(); !rs.eof(); rs.next()) {
            std::string row = rs.asText("SECTIA");
            for (const char* f : {"PRODUS", "CANT", "PRETU", "VALX"}) row += "|" + rs.asText(f);
            rows.push_back(row);
        }
        return rows;
    }
    CompanyProfile company_;
};

TEST_F(EstimateTest, HeaderTakesTheCompanyProfileAndTheInvoiceBuyer) {
    const EstimateHeader h = EstimateHeaderFor(db(), company_, 7);
    EXPECT_EQ(h.company, "Auto Service SRL");
    EXPECT_EQ(h.address, "Cluj-Napoca Str. Fabricii 7");
    EXPECT_EQ(h.telephone, "Tel/Fax 0264-111222");
    EXPECT_EQ(h.county, "Jud. Cluj");
    EXPECT_EQ(h.fiscalCode, "CUI RO1234567");
    EXPECT_EQ(h.account, "Cont RO63BTRL0000123456789012 BANCA TRANSILVANIA SA");
    EXPECT_EQ(h.buyer, "Client SA");
    EXPECT_EQ(h.buyerAddress, "Blaj Bd. Unirii 3");
    EXPECT_EQ(h.buyerFiscalCode, "RO999");
    EXPECT_EQ(h.date, "05.03.2024");
    EXPECT_EQ(h.orderLine, "");
    EXPECT_EQ(h.carType, "");
}

TEST_F(EstimateTest, InvoiceWithoutAccountTakesTheFirstListedAccount) {
    AddInvoice(8, "");
    AddAccount(1, "RO63BTRL0000123456789012");
    AddAccount(2, "RO49AAAA1B31007593840000");
    // The sorted list starts with the account of an unknown bank: no bank name follows it.
    EXPECT_EQ(EstimateHeaderFor(db(), company_, 8).account, "Cont RO49AAAA1B31007593840000 ");
    // The invoice's own account wins over the list.
    EXPECT_EQ(EstimateHeaderFor(db(), company_, 7).account,
              "Cont RO63BTRL0000123456789012 BANCA TRANSILVANIA SA");
}

TEST_F(EstimateTest, NoAccountAnywhereLeavesTheAccountBlank) {
    AddInvoice(8, "");
    EXPECT_EQ(EstimateHeaderFor(db(), company_, 8).account, "Cont  ");
}

TEST_F(EstimateTest, MissingInvoiceIsRefusedNamingFactOut) {
    try {
        EstimateHeaderFor(db(), company_, 99);
        FAIL() << "a missing invoice gave a header";
    } catch (const tables::EngineError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("FactOut"), std::string::npos) << message;
        EXPECT_NE(message.find("99"), std::string::npos) << message;
    }
}

TEST_F(EstimateTest, ServiceOrderReplacesTheDateAndAddsTheOrderLine) {
    EstimateHeader h = EstimateHeaderFor(db(), company_, 7);
    ServiceOrder order;
    order.number = "45";
    order.date = Date::fromYmd(2024, 3, 9);
    order.carType = "DACIA LOGAN";
    order.plate = "CJ 10 ABC";
    order.state = "bara fata lovita";
    SetServiceOrder(h, order);
    EXPECT_EQ(h.date, "09.03.2024");
    EXPECT_EQ(h.orderLine, "Nr.45 din 09.03.2024");
    EXPECT_EQ(h.carType, "DACIA LOGAN");
    EXPECT_EQ(h.plate, "CJ 10 ABC");
    EXPECT_EQ(h.technicalState, "bara fata lovita");
    EXPECT_EQ(h.buyer, "Client SA");
}

TEST(EstimateSection, IsTheTextBeforeTheMarkerInLowerCase) {
    EXPECT_EQ(EstimateSection("MECANICA >> DACIA LOGAN"), "mecanica");
    EXPECT_EQ(EstimateSection("TINICHIGERIE >> A >> B"), "tinichigerie");
    EXPECT_EQ(EstimateSection("Vopsitorie Auto"), "vopsitorie auto");
    EXPECT_EQ(EstimateSection("ELECTRICA>>DACIA"), "electrica>>dacia");
    EXPECT_EQ(EstimateSection(" >> DACIA"), "");
    EXPECT_EQ(EstimateSection(""), "");
}

TEST(EstimateSection, LowersRomanianLetters) {
    EXPECT_EQ(EstimateSection("SUDURĂ ȘI ÎNTREȚINERE >> FORD"), "sudură și întreținere");
    EXPECT_EQ(EstimateSection("REPARAŢIE ŞASIU ÂNCĂ"), "reparaţie şasiu âncă");
}

TEST_F(EstimateTest, RowsCarryUnitPriceAndValueWithVat) {
    AddLine(7, 1, "MECANICA >> DACIA", "Ulei motor", "3", "100", "19");
    AddLine(7, 2, "MECANICA >> DACIA", "Garnitura", "2", "0.05", "0");
    AddLine(7, 3, "MECANICA >> DACIA", "Discount", "2", "-0.05", "0");
    AddLine(7, 4, "MECANICA >> DACIA", "Storno filtru", "-1", "-10", "-1.9");
    EXPECT_EQ(Rows(7), (std::vector<std::string>{"mecanica|Ulei motor|3.00|39.67|119.00",
                                                 "mecanica|Garnitura|2.00|0.03|0.05",
                                                 "mecanica|Discount|2.00|-0.03|-0.05",
                                                 "mecanica|Storno filtru|-1.00|11.90|-11.90"}));
}

TEST_F(EstimateTest, QuantityZeroGivesNoUnitPrice) {
    AddLine(7, 1, "MECANICA >> DACIA", "Diagnoza gratuita", "0", "50", "9.5");
    auto rs = EstimateRows(db(), 7);
    ASSERT_EQ(rs.rowCount(), 1u);
    rs.first();
    EXPECT_EQ(rs.asNumber("PRETU"), D("0"));
    EXPECT_EQ(rs.asNumber("VALX"), D("59.5"));
}

TEST_F(EstimateTest, RowsFollowObsThenLineNumberAndOnlyThisInvoice) {
    AddInvoice(8, "");
    AddLine(7, 1, "VOPSITORIE >> DACIA", "Vopsire usa", "1", "300", "57");
    AddLine(7, 2, "MECANICA >> DACIA", "Placute frana", "1", "120", "22.8");
    AddLine(8, 1, "ALTA >> FACTURA", "Nu apare", "1", "1", "0");
    AddLine(7, 4, "ELECTRICA", "Bec far", "2", "10", "1.9");
    AddLine(7, 3, "MECANICA >> DACIA", "Disc frana", "2", "200", "38");
    EXPECT_EQ(Rows(7), (std::vector<std::string>{"electrica|Bec far|2.00|5.95|11.90",
                                                 "mecanica|Placute frana|1.00|142.80|142.80",
                                                 "mecanica|Disc frana|2.00|119.00|238.00",
                                                 "vopsitorie|Vopsire usa|1.00|357.00|357.00"}));
}

TEST_F(EstimateTest, RowsHaveTheColumnsOfTheLayout) {
    AddLine(7, 1, "MECANICA >> DACIA", "Ulei", "1", "10", "1.9");
    const auto rs = EstimateRows(db(), 7);
    std::vector<std::string> names;
    for (const auto& c : rs.columns()) names.push_back(c.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"PRODUS", "OBS", "UM", "CANT", "PRETU", "VALX", "SECTIA"}));
    EXPECT_EQ(rs.at(0, rs.fieldIndex("OBS")).toString(), "MECANICA >> DACIA");
    EXPECT_EQ(rs.at(0, rs.fieldIndex("UM")).toString(), "BUC");
    EXPECT_TRUE(EstimateRows(db(), 99).empty());
}

}  // namespace
}  // namespace tvx::core
