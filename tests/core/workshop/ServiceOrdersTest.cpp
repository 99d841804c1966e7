// Service orders in core: the counter COMANDANR (taken when a new order opens, once more
// when it is saved, untouched by an existing order), inserting and updating in place, the
// empty number, cleaned upper-case texts, the ordered checks and limits, and the lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../CoreTestSupport.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/workshop/ServiceOrders.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"

namespace tvx::core {
namespace {

using tables::Date;
using Strings = std::vector<std::string>;

class ServiceOrdersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto data = dir_.path() / "Data";
        std::filesystem::create_directories(data);
        db_ = std::make_unique<tables::Database>(data, dir_.path());
        db_->setDurable(false);
        CreateMissingTables(*db_);
        settings_ = std::make_unique<Settings>(data / "Tvx2010.set", db_.get());
        settings_->setIndex(kOrderCounter, "5");
    }
    ServiceOrder Open(long long id) { return OpenServiceOrder(*db_, *settings_, id, today_); }
    std::optional<FieldProblem> Save(ServiceOrder& order, const std::string& car,
                                     const std::string& plate, const std::string& state) {
        order.carType = car, order.plate = plate, order.state = state;
        return SaveServiceOrder(*db_, *settings_, order);
    }
    // The stored rows of one invoice, as "NR|DINDATA|AUTOTIP|NRCIRC|STARE".
    Strings Stored(long long id) {
        auto rows = db_->query(
            "SELECT * FROM " + QuotedPath(TableFile(*db_, "Comenzi")) + " WHERE IDFACTO=:id",
            {{"id", id}});
        Strings out;
        for (rows.first(); !rows.eof(); rows.next())
            out.push_back(rows.asNumber("NR").toString() + "|" +
                          rows.asDate("DINDATA")->toString() + "|" + rows.asText("AUTOTIP") + "|" +
                          rows.asText("NRCIRC") + "|" + rows.asText("STARE"));
        return out;
    }
    std::string Counter() { return settings_->peekIndex(kOrderCounter); }

    testsupport::ScratchDir dir_;
    std::unique_ptr<tables::Database> db_;
    std::unique_ptr<Settings> settings_;
    const Date today_ = Date::fromYmd(2026, 3, 14);
};

TEST_F(ServiceOrdersTest, NewOrderTakesANumberAtOnceAndSavingTakesAnother) {
    ServiceOrder first = Open(10);
    EXPECT_TRUE(first.isNew);
    EXPECT_EQ(first.number + "|" + first.date.toString(), "5|14.03.2026");
    EXPECT_EQ(first.carType + first.plate + first.state, "");
    EXPECT_EQ(Counter(), "6");  // spent even if the dialog is cancelled now
    ASSERT_FALSE(Save(first, "DACIA LOGAN", "B 12 ABC", "BUNA"));
    EXPECT_EQ(Counter(), "7");
    EXPECT_EQ(Stored(10), Strings{"5|14.03.2026|DACIA LOGAN|B 12 ABC|BUNA"});

    ServiceOrder second = Open(11);
    EXPECT_EQ(second.number, "7");
    ASSERT_FALSE(Save(second, "VW", "CJ 1 XYZ", "REPARATA"));
    EXPECT_EQ(Counter(), "9");
    // Saved again (a second "Memoreaza"): the row is rewritten, not doubled.
    ASSERT_FALSE(Save(second, "VW", "CJ 1 XYZ", "AVARIATA"));
    EXPECT_EQ(Stored(11), Strings{"7|14.03.2026|VW|CJ 1 XYZ|AVARIATA"});
    EXPECT_EQ(Counter(), "9");
}

TEST_F(ServiceOrdersTest, ExistingOrderIsShownWithoutCounterAndUpdatedInPlace) {
    ServiceOrder a = Open(10), b = Open(11);
    ASSERT_FALSE(Save(a, "DACIA", "B 12 ABC", "BUNA"));
    ASSERT_FALSE(Save(b, "FORD", "IS 9 QQQ", "BUNA"));
    const std::string before = Counter();

    ServiceOrder order = Open(10);
    EXPECT_FALSE(order.isNew);
    EXPECT_EQ(order.number + "|" + order.date.toString() + "|" + order.carType + "|" + order.plate +
                  "|" + order.state,
              "5|14.03.2026|DACIA|B 12 ABC|BUNA");
    order.number = "";  // an emptied number is saved as 0
    order.date = Date::fromYmd(2026, 4, 2);
    ASSERT_FALSE(Save(order, "DACIA", "B 13 ABC", "buna"));
    EXPECT_EQ(order.number, "0");
    EXPECT_EQ(Stored(10), Strings{"0|02.04.2026|DACIA|B 13 ABC|BUNA"});
    EXPECT_EQ(Stored(11), Strings{"6|14.03.2026|FORD|IS 9 QQQ|BUNA"});
    EXPECT_EQ(Counter(), before);
}

TEST_F(ServiceOrdersTest, TextsAreCleanedAndPutInUpperCase) {
    ServiceOrder order = Open(10);
    ASSERT_FALSE(Save(order, "  dacia   'logan' ", "b 12   abc", "buna, uşor lovită"));
    EXPECT_EQ(Stored(10), Strings{"5|14.03.2026|DACIA `LOGAN`|B 12 ABC|BUNA, UŞOR LOVITĂ"});
    order.carType = "mașină ţară", order.state = "îngrijită";
    EXPECT_FALSE(CheckServiceOrder(order));
    EXPECT_EQ(order.carType + "|" + order.state, "MAȘINĂ ŢARĂ|ÎNGRIJITĂ");
}

TEST_F(ServiceOrdersTest, ChecksRunInTheDialogsOrderAndWriteNothing) {
    struct Case {
        const char *number, *car, *plate, *state, *field, *message;
    };
    const std::string a32(32, 'A'), b12(12, 'B'), a33 = a32 + 'A', b13 = b12 + 'B', c25(25, 'C');
    for (const Case& c : {
             Case{"12a", "", "", "", "ComandaNr", nullptr},
             Case{"123456789", "", "", "", "ComandaNr", nullptr},
             Case{"", "  ", "", "", "AutoTip", "Lipseste AUTO tip!"},
             Case{"", "X", "", "", "NrCirc", "Lipseste Numar circulatie!"},
             Case{"", "X", "Y", " ", "StareTehnica", "Lipseste Starea tehnica!"},
             Case{"1", a33.c_str(), "Y", "Z", "AutoTip", nullptr},
             Case{"1", "X", b13.c_str(), "Z", "NrCirc", nullptr},
             Case{"1", "X", "Y", c25.c_str(), "StareTehnica", nullptr},
         }) {
        ServiceOrder order = Open(10);
        order.number = c.number;
        const auto problem = Save(order, c.car, c.plate, c.state);
        ASSERT_TRUE(problem) << c.field;
        EXPECT_EQ(problem->field, c.field);
        if (c.message) {
            EXPECT_EQ(problem->message, c.message);
        }
        EXPECT_FALSE(problem->message.empty());
        EXPECT_TRUE(order.isNew);
    }
    EXPECT_TRUE(Stored(10).empty());
    EXPECT_EQ(Counter(), "13");  // only the eight openings took numbers

    // At the limits everything is kept (a letter with diacritics counts once).
    std::string state;
    for (int i = 0; i < kStateLength; ++i) state += "Ă";
    ServiceOrder full = Open(10);
    full.number = "99999999";
    ASSERT_FALSE(Save(full, a32, b12, state));
    EXPECT_EQ(Stored(10), Strings{"99999999|14.03.2026|" + a32 + "|" + b12 + "|" + state});
}

TEST_F(ServiceOrdersTest, ListsHoldDistinctNonBlankValuesSorted) {
    EXPECT_TRUE(FillOrderLists(*db_).carTypes.empty());
    ServiceOrder a = Open(1), b = Open(2), c = Open(3);
    ASSERT_FALSE(Save(a, "VW", "B 1", "BUNA"));
    ASSERT_FALSE(Save(b, "DACIA", "B 2", "BUNA"));
    ASSERT_FALSE(Save(c, "VW", "B 3", "AVARIATA"));
    db_->execute("INSERT INTO " + QuotedPath(TableFile(*db_, "Comenzi")) +
                 " (IDFACTO, NR, AUTOTIP, NRCIRC, STARE) VALUES (4, 1, '', 'B 4', '  ')");
    const OrderLists lists = FillOrderLists(*db_);
    EXPECT_EQ(lists.carTypes, (Strings{"DACIA", "VW"}));
    EXPECT_EQ(lists.states, (Strings{"AVARIATA", "BUNA"}));
}

}  // namespace
}  // namespace tvx::core
