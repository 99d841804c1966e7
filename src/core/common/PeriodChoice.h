// State and checks of the two report pickers (core/common): the period picker (first and
// last date, the stock location among " * toate gestiunile *" and the location list, the
// representative) and the month picker (month and year turned into a period). Both keep
// their values between uses; the windows only copy widgets in and out.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"

namespace tvx::core {

// Today's date on this computer's clock.
tables::Date Today();
// The same day `months` months earlier or later; a day the target month lacks becomes its
// last day (31.03 one month back is 28.02 or 29.02).
tables::Date AddMonths(tables::Date date, int months);

constexpr const char* kAllLocations = " * toate gestiunile *";

class PeriodChoice {
  public:
    // At program start: one month before today up to today.
    explicit PeriodChoice(tables::Date today);

    tables::Date from;
    tables::Date to;
    std::vector<std::string> locations;  // the choice as shown, " * toate gestiunile *" first
    int location = 0;                    // index into `locations`
    std::string representative;

    // Refills the location choice from the lines of the location list; the first item is
    // chosen again.
    void resetLocations(const std::vector<std::string>& fileLines);
    // True when the first item (every location) is chosen.
    bool allLocations() const { return location <= 0; }
    // "&Am ales": a last date before the first is refused at the first date ("DeLa").
    std::optional<FieldProblem> confirm() const;
};

class MonthChoice {
  public:
    static constexpr int kFirstYear = 2000;
    static constexpr int kLastYear = 2200;
    // At program start: January of the current year.
    explicit MonthChoice(tables::Date today);

    int month = 1;  // 1..12
    int year;

    static const std::vector<std::string>& monthNames();
    // Day 1 of the month up to the day before day 1 of the next month.
    tables::Date first() const;
    tables::Date last() const;
};

}  // namespace tvx::core
