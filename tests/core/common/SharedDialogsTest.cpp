// Core state of the small shared dialogs: the period and month pickers, the unit-of-measure
// chooser with its remembered answers, the user dialog's checks and the IBAN field.
#include <gtest/gtest.h>

#include "../CoreTestSupport.h"
#include "core/common/Checks.h"
#include "core/common/IbanEntry.h"
#include "core/common/PeriodChoice.h"
#include "core/common/UnitChoice.h"
#include "core/common/UserEntry.h"

namespace tvx::core {
namespace {

using tables::Date;

TEST(PeriodChoice, StartsOneMonthBackAndClampsMonthEnds) {
    PeriodChoice p(Date::fromYmd(2024, 3, 31));
    EXPECT_EQ(p.from, Date::fromYmd(2024, 2, 29));
    EXPECT_EQ(p.to, Date::fromYmd(2024, 3, 31));
    EXPECT_EQ(AddMonths(Date::fromYmd(2024, 1, 15), -1), Date::fromYmd(2023, 12, 15));
    EXPECT_EQ(AddMonths(Date::fromYmd(2023, 12, 31), 2), Date::fromYmd(2024, 2, 29));
}

TEST(PeriodChoice, RefusesAReversedIntervalAtTheFirstDate) {
    PeriodChoice p(Date::fromYmd(2024, 5, 10));
    p.from = Date::fromYmd(2024, 5, 11);
    p.to = Date::fromYmd(2024, 5, 10);
    const auto problem = p.confirm();
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, "DeLa");
    EXPECT_EQ(problem->message, "Intervalul ales este incorect!");
    p.to = p.from;  // a single day is allowed
    EXPECT_FALSE(p.confirm().has_value());
}

TEST(PeriodChoice, LocationsRefillWithEveryLocationFirst) {
    PeriodChoice p(Date::fromYmd(2024, 5, 10));
    p.resetLocations({"MAGAZIN", "DEPOZIT"});
    p.location = 2;
    p.resetLocations({"MAGAZIN"});
    ASSERT_EQ(p.locations.size(), 2u);
    EXPECT_EQ(p.locations[0], " * toate gestiunile *");
    EXPECT_EQ(p.locations[1], "MAGAZIN");
    EXPECT_TRUE(p.allLocations());
}

TEST(MonthChoice, MonthBecomesItsWholePeriod) {
    MonthChoice m(Date::fromYmd(2031, 7, 4));
    EXPECT_EQ(m.year, 2031);
    m.month = 2;
    m.year = 2024;
    EXPECT_EQ(m.first(), Date::fromYmd(2024, 2, 1));
    EXPECT_EQ(m.last(), Date::fromYmd(2024, 2, 29));
    m.month = 12;
    EXPECT_EQ(m.last(), Date::fromYmd(2024, 12, 31));
    EXPECT_EQ(MonthChoice(Date::fromYmd(1999, 1, 1)).year, MonthChoice::kFirstYear);
    EXPECT_EQ(MonthChoice::monthNames().size(), 12u);
    EXPECT_EQ(MonthChoice::monthNames()[8], "Septembrie");
}

class UnitChoiceTest : public ::testing::Test {
  protected:
    testsupport::ScratchDir dir;
    Settings settings{dir.path() / "Tvx2010.set"};
};

TEST_F(UnitChoiceTest, EmptyChoiceIsRefusedAndAnAnswerIsRemembered) {
    UnitChoice c(settings);
    EXPECT_FALSE(c.open("buc"));
    EXPECT_EQ(c.unit, "BUC");
    EXPECT_EQ(c.chosen, -1);
    const auto problem = c.confirm();
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, "UMS");
    EXPECT_EQ(problem->message, "Nu ati ales Unitatea de masura!");

    c.chosen = 1;
    EXPECT_FALSE(c.confirm().has_value());
    EXPECT_EQ(settings.readSetting("UMS", "BUC"), "H87 - BUCATI");
    EXPECT_EQ(settings.readSetting("UMS", "BUCAuto"), "");

    UnitChoice again(settings);
    EXPECT_FALSE(again.open("BUC"));
    EXPECT_EQ(again.chosenItem(), "H87 - BUCATI");
}

TEST_F(UnitChoiceTest, TickedAnswerIsNeverAskedAgain) {
    UnitChoice c(settings);
    c.open("KG");
    c.chosen = 7;
    c.dontAsk = true;
    ASSERT_FALSE(c.confirm().has_value());
    EXPECT_TRUE(c.open("kg"));
    EXPECT_EQ(UnitChoice::codeOf(c.chosenItem()), "KGM");
    EXPECT_FALSE(c.open("L"));  // another unit still asks
}

TEST(UnitChoice, ItemsAndCodes) {
    const auto& items = UnitChoice::items();
    ASSERT_EQ(items.size(), 28u);
    EXPECT_EQ(items.front(), "ANN - AN");
    EXPECT_EQ(items.back(), "DAY - ZIUA");
    EXPECT_EQ(UnitChoice::codeOf("QAN - TRIMESTRU (DE UN AN)"), "QAN");
    EXPECT_EQ(UnitChoice::codeOf("XYZ"), "XYZ");
}

TEST(UserEntry, ChecksInOrderAndCleansTheName) {
    UserEntry u;
    u.title = "Adaugare Utilizator";
    u.name = "   ";
    auto problem = u.confirm({});
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, "Nume");
    EXPECT_EQ(problem->message, "Lipseste numele!");

    u.name = "  ION   POP ";
    u.password = "A";
    u.confirmation = "B";
    problem = u.confirm({"ION POP"});
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->message, "Acest nume mai exista!");
    EXPECT_EQ(u.name, "ION POP");

    problem = u.confirm({"ALTUL"});
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->field, "Pas2");
    EXPECT_EQ(problem->message, "Parola nu e la fel ca mai sus!");

    u.passwordsEnabled = false;
    EXPECT_FALSE(u.confirm({"ALTUL"}).has_value());
}

TEST(UserEntry, ModifyingMayKeepTheNameAndGradesMapToNumbers) {
    UserEntry u;
    u.title = "Modificare utilizator";
    u.name = "ION";
    EXPECT_FALSE(u.confirm({"ION"}).has_value());
    EXPECT_EQ(u.gradeNumber(), 1);
    u.grade = 1;
    EXPECT_EQ(u.gradeNumber(), 2);
}

TEST(IbanEntry, BankLineAndSaveFollowTheCheck) {
    IbanEntry e;
    EXPECT_FALSE(e.canSave());
    e.setText("RO31BTRL0123456789012345");
    EXPECT_TRUE(e.canSave());
    EXPECT_EQ(e.bankLine(), BankName("BTRL"));
    EXPECT_FALSE(e.bankLine().empty());
    e.setText("RO30BTRL0123456789012345");  // wrong check digits
    EXPECT_FALSE(e.canSave());
    EXPECT_EQ(e.bankLine(), "Cont incorect !");
    const std::string grouped = "ro31 BTRL 0123 4567 8901 2345";  // as people copy it
    EXPECT_GE(IbanEntry::kMaxLength, grouped.size());             // the field takes it whole
    e.setText(grouped);
    EXPECT_TRUE(e.canSave());
    EXPECT_EQ(e.result(), "RO31BTRL0123456789012345");
}

}  // namespace
}  // namespace tvx::core
