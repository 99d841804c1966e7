// Labour lines of a car-service invoice: the amounts of a line, the quantities pre-set from
// the lines already on the document, the service lines replaced by the operations billed
// (goods lines kept and renumbered, order, remark, warranty, totals), a cancelled choice
// that keeps the lines, and a failing rebuild that changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../stock/StockTestSupport.h"
#include "core/admin/CompanyProfile.h"
#include "core/common/Rounding.h"
#include "core/sales/InvoiceEditor.h"
#include "core/stock/StockCards.h"
#include "core/workshop/WorkshopLines.h"

namespace tvx::core {
namespace {

using stocktest::D;
using tables::Date;
using tables::Decimal;
using Strings = std::vector<std::string>;

const Date kToday = Date::fromYmd(2026, 11, 30);

struct AmountCase {
    const char *hours, *times, *rate, *vat;
    const char *lineHours, *value, *lineVat;
};

TEST(LabourLineAmountsTest, HoursValueAndVatRoundedHalfAway) {
    const std::vector<AmountCase> cases = {
        // 1.5 hours twice at 100 lei/hour: 3 hours worth 300.00.
        {"1.5", "2", "100", "19", "3.00", "300.00", "57.00"},
        // 1.875 hours: the line shows 1.88; 187.50 x 19 = 3562.5 -> 35.63.
        {"1.25", "1.5", "100", "19", "1.88", "187.50", "35.63"},
        // 0.3 x 33.35 = 10.005 -> 10.01; 10.01 x 19 = 190.19 -> 1.90.
        {"0.1", "3", "33.35", "19", "0.30", "10.01", "1.90"},
        {"1", "1", "10.10", "9.5", "1.00", "10.10", "0.96"},
        {"2", "1", "50", "0", "2.00", "100.00", "0.00"},
        {"0", "4", "120", "19", "0.00", "0.00", "0.00"},
    };
    for (const AmountCase& c : cases) {
        const LabourAmounts a = LabourLineAmounts(D(c.hours), D(c.times), D(c.rate), D(c.vat));
        SCOPED_TRACE(std::string(c.hours) + " x " + c.times + " x " + c.rate);
        EXPECT_EQ(a.hours.toString(), c.lineHours);
        EXPECT_EQ(a.value.toString(), c.value);
        EXPECT_EQ(a.vat.toString(), c.lineVat);
    }
}

class WorkshopLinesTest : public stocktest::StockTest {
  protected:
    void SetUp() override {
        StockTest::SetUp();
        profile_.codFisc = "RO1234567";
        profile_.factSeria = "TVX";
        profile_.factNr = "7";
        profile_.factNrMax = "100";
        profile_.domeniu = CompanyProfile::kServiceAuto;
        lot_ = FindOrCreateLot(*db_, *settings_, "MAGAZIN", "MARFA", "FILTRU", "BUC", D("1"),
                               D("11.90"));
        Movement in = EntryMovement(D("5"), D("59.50"));
        in.idFisa = settings_->nextNumber("IDFISA");
        PostEntry(*db_, lot_, in);
        editor_ = std::make_unique<InvoiceEditor>(*db_, *settings_, profile_, dir_.path());
        editor_->prepare("MAGAZIN", std::nullopt, kToday, 0);
        ASSERT_FALSE(editor_->startNew());
        editor_->vatRate = "19";
        Norm(1, "DACIA", "MECANICA", "SCHIMB ULEI", "1.5", "100");
        Norm(2, "DACIA", "MECANICA", "DISTRIBUTIE", "3", "100");
        Norm(3, "DACIA", "ELECTRICA", "ALTERNATOR", "1.2", "90");
        Norm(4, "FORD", "MECANICA", "SCHIMB ULEI", "1", "110");
        Norm(5, "DACIA", "MECANICA", "VERIFICARE", "0", "100");
    }
    void Norm(long long id, const char* car, const char* section, const char* name,
              const char* hours, const char* rate) {
        db_->execute(
            "INSERT INTO Timp (IDTIMP, TIPAUTO, SECTIA, DENUMIRE, COD, TIMP, LEIORA, CANT)"
            " VALUES (:id, :t, :s, :d, '', :h, :r, 7)",
            {{"id", id}, {"t", car}, {"s", section}, {"d", name}, {"h", D(hours)}, {"r", D(rate)}});
    }
    void Bill(long long id, const char* times) {
        db_->execute("UPDATE Timp SET CANT=:c WHERE IDTIMP=:id", {{"c", D(times)}, {"id", id}});
    }
    Strings Quantities() {
        Strings out;
        auto rs = Query("SELECT CANT FROM Timp ORDER BY IDTIMP");
        for (rs.first(); !rs.eof(); rs.next()) out.push_back(rs.asNumber("CANT").toString());
        return out;
    }
    // Each line as NRCRT|PRODUS|UM|CANT|PRETOUT|VALOUT|VALTVA|OBS.
    Strings Lines() {
        Strings out;
        auto rs = editor_->lines();
        for (rs.first(); !rs.eof(); rs.next())
            out.push_back(
                rs.asNumber("NRCRT").toString() + "|" + rs.asText("PRODUS") + "|" +
                rs.asText("UM") + "|" + rs.asNumber("CANT").toString() + "|" +
                rs.asNumber("PRETOUT").toString() + "|" + rs.asNumber("VALOUT").toString() + "|" +
                RoundHalfAway(rs.asNumber("VALTVA"), 2).toString() + "|" + rs.asText("OBS"));
        return out;
    }
    // A goods line and a service line of the picker, then the labour of operations 1 and 3.
    void StartDocument() {
        editor_->addService({"SPALARE", "BUC", D("1"), D("23.80"), "", std::nullopt, 0});
        ProductPick goods;
        goods.idCap = lot_;
        goods.quantity = D("1");
        goods.price = D("11.90");
        editor_->addProduct(goods);
        ASSERT_TRUE(AddWorkshopLines(
            *editor_,
            [&] {
                Bill(1, "2");
                Bill(3, "1");
                return true;
            },
            kToday));
    }

    CompanyProfile profile_;
    std::unique_ptr<InvoiceEditor> editor_;
    long long lot_ = 0;
};

TEST_F(WorkshopLinesTest, ServiceLinesAreReplacedByTheOperationsBilled) {
    StartDocument();
    // Service lines go, the goods line is renumbered 1; labour by SECTIA, TIPAUTO, DENUMIRE.
    EXPECT_EQ(Lines(), (Strings{"1|FILTRU|BUC|1.00|10.00|10.00|1.90|",
                                "2|ALTERNATOR|ORE|1.20|90.00|108.00|20.52|ELECTRICA >> DACIA",
                                "3|SCHIMB ULEI|ORE|3.00|100.00|300.00|57.00|MECANICA >> DACIA"}));
    auto rs = editor_->lines();
    rs.last();
    EXPECT_EQ(rs.asDate("GARANTIE"), Date::fromYmd(2027, 2, 28)) << "three months, month end";
    EXPECT_EQ(rs.asNumber("IDFISA"), Decimal(-1));
    EXPECT_EQ(rs.asNumber("IDCAP"), Decimal(-1));
    EXPECT_EQ(rs.asNumber("IDCAT"), Decimal(0));
    EXPECT_EQ(editor_->totalValue, "418.00");
    EXPECT_EQ(editor_->totalVat, "79.42");
    EXPECT_EQ(editor_->totalPay, "497.42");
}

TEST_F(WorkshopLinesTest, OperationsOnTheDocumentArePresetAndACancelKeepsTheLines) {
    StartDocument();
    const Strings before = Lines();
    // Operation 4 has the name of a line but another car type; 5 has no standard time.
    Strings seen;
    ASSERT_TRUE(AddWorkshopLines(
        *editor_,
        [&] {
            seen = Quantities();
            Bill(5, "1");
            return true;
        },
        kToday));
    EXPECT_EQ(seen, (Strings{"2.00", "0.00", "1.00", "0.00", "0.00"}));
    EXPECT_EQ(Lines().back(), "4|VERIFICARE|ORE|0.00|100.00|0.00|0.00|MECANICA >> DACIA");
    EXPECT_FALSE(AddWorkshopLines(
        *editor_,
        [&] {
            seen = Quantities();
            Bill(2, "1");
            return false;
        },
        kToday));
    EXPECT_EQ(seen, (Strings{"2.00", "0.00", "1.00", "0.00", "1.00"}))
        << "an operation of standard time 0 on the document counts once";
    EXPECT_EQ(Lines().size(), 4u) << "cancelling keeps the lines";
    EXPECT_EQ(Lines()[2], before[2]);
}

TEST_F(WorkshopLinesTest, AFailedRebuildLeavesTheLinesAsTheyWere) {
    StartDocument();
    const Strings before = Lines();
    const std::string totals = editor_->totalPay;
    // 999 hours billed 9999 times do not fit the line's quantity column.
    Norm(6, "DACIA", "MECANICA", "MOTOR", "999", "100");
    EXPECT_THROW(AddWorkshopLines(
                     *editor_,
                     [&] {
                         Bill(6, "9999");
                         return true;
                     },
                     kToday),
                 std::exception);
    EXPECT_EQ(Lines(), before);
    EXPECT_EQ(editor_->totalPay, totals);
}

}  // namespace
}  // namespace tvx::core
