// The warranties list: which sold lines it shows (a warranty later than the sale, run out or
// not, service lines too) and the search by buyer and product prefixes.
#include <gtest/gtest.h>

#include "../purchases/PurchasesTestSupport.h"
#include "core/sales/Warranties.h"

namespace tvx::core {
namespace {

using tables::Date;

class WarrantiesTest : public purchasestest::PurchasesTest {
  protected:
    void Invoice(long long id, const char* buyer, Date date) {
        db().execute("INSERT INTO " + table("FactOut") +
                         " (IDFACTO, SERIA, NR, DATAOUT, SOC2, GESTIUNE) VALUES (:i, \"TX\", :i,"
                         " :d, :b, \"MAGAZIN\")",
                     {{"i", id}, {"d", date}, {"b", buyer}});
    }
    void Line(long long idFacto, long long idCap, const char* product, const tables::Value& until) {
        db().execute(
            "INSERT INTO " + table("ProdOut") +
                " (IDFACTO, IDCAP, PRODUS, UM, CANT, GARANTIE) VALUES (:f, :c, :p, \"BUC\","
                " 2, :g)",
            {{"f", idFacto}, {"c", idCap}, {"p", product}, {"g", until}});
    }
    static std::vector<std::string> Products(const tables::ResultSet& rows) {
        std::vector<std::string> out;
        for (size_t r = 0; r < rows.rowCount(); ++r)
            out.push_back(rows.at(r, rows.findField("PRODUS")).toString());
        return out;
    }
};

TEST_F(WarrantiesTest, ListsLinesWithAWarrantyLaterThanTheSale) {
    const Date sold = Date::fromYmd(2020, 5, 10);
    Invoice(1, "BETA SRL", sold);
    Invoice(2, "ALFA SRL", sold);
    Line(1, 7, "ANVELOPA", sold.addDays(730));                  // run out long ago: still listed
    Line(1, 7, "BEC", sold);                                    // the pickers' default: no warranty
    Line(1, 7, "FILTRU", tables::Value());                      // no date at all
    Line(2, -1, "MANOPERA FRANE", Date::fromYmd(2020, 8, 10));  // a service line, 3 months
    Line(2, 8, "ACUMULATOR", sold.addDays(365));
    EXPECT_EQ(Products(QueryWarranties(db())),
              (std::vector<std::string>{"ACUMULATOR", "MANOPERA FRANE", "ANVELOPA"}));
    EXPECT_EQ(WarrantyColumns().size(), 10u);
    EXPECT_FALSE(PrintWarrantiesProblem(QueryWarranties(db())));
}

TEST_F(WarrantiesTest, SearchesByBuyerAndProductPrefixes) {
    const Date sold = Date::fromYmd(2024, 1, 10);
    Invoice(1, "ALFA SRL", sold);
    Invoice(2, "ALBA SA", sold);
    Line(1, 7, "BATERIE 60AH", sold.addDays(90));
    Line(1, 7, "BEC H7", sold.addDays(90));
    Line(2, 7, "BATERIE 70AH", sold.addDays(90));
    struct Case {
        const char *buyer, *product;
        std::vector<std::string> shown;
    };
    const Case cases[] = {{"", "", {"BATERIE 70AH", "BATERIE 60AH", "BEC H7"}},
                          {"al", "", {"BATERIE 70AH", "BATERIE 60AH", "BEC H7"}},
                          {" alf ", "", {"BATERIE 60AH", "BEC H7"}},
                          {"ALF", "bat", {"BATERIE 60AH"}},
                          {"", "BATERIE 7", {"BATERIE 70AH"}},
                          {"X'Y", "", {}}};
    for (const Case& c : cases) {
        WarrantySearch search{c.buyer, c.product};
        ASSERT_FALSE(search.check());
        tables::ResultSet rows = QueryWarranties(db());
        rows.setFilter(search.filter());
        EXPECT_EQ(Products(rows), c.shown) << c.buyer << "|" << c.product;
        if (c.shown.empty()) EXPECT_EQ(PrintWarrantiesProblem(rows)->message, "Nu aveti ce lista!");
    }
    WarrantySearch tooLong{std::string(33, 'A'), ""};
    EXPECT_EQ(tooLong.check()->field, WarrantySearch::kBuyerField);
}

}  // namespace
}  // namespace tvx::core
