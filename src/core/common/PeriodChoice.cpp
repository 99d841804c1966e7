// State and checks of the period and month pickers (core/common).
#include "core/common/PeriodChoice.h"

#include <algorithm>
#include <chrono>

namespace tvx::core {

using tables::Date;

Date Today() {
    const auto now = std::chrono::system_clock::now();
    const std::chrono::year_month_day ymd{std::chrono::floor<std::chrono::days>(now)};
    return Date::fromYmd(static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                         static_cast<unsigned>(ymd.day()));
}

Date AddMonths(Date date, int months) {
    int index = date.year() * 12 + (date.month() - 1) + months;
    const int year = index / 12;
    const int month = index % 12 + 1;
    int day = date.day();
    while (day > 28 && !Date::valid(year, month, day)) --day;
    return Date::fromYmd(year, month, day);
}

PeriodChoice::PeriodChoice(Date today) : from(AddMonths(today, -1)), to(today) {
    locations.push_back(kAllLocations);
}

void PeriodChoice::resetLocations(const std::vector<std::string>& fileLines) {
    locations.assign(1, kAllLocations);
    locations.insert(locations.end(), fileLines.begin(), fileLines.end());
    location = 0;
}

std::optional<FieldProblem> PeriodChoice::confirm() const {
    if (to < from) return FieldProblem{"DeLa", "Intervalul ales este incorect!"};
    return std::nullopt;
}

MonthChoice::MonthChoice(Date today) : year(std::clamp(today.year(), kFirstYear, kLastYear)) {}

const std::vector<std::string>& MonthChoice::monthNames() {
    static const std::vector<std::string> names = {
        "Ianuarie", "Februarie", "Martie",     "Aprilie",   "Mai",       "Iunie",
        "Iulie",    "August",    "Septembrie", "Octombrie", "Noiembrie", "Decembrie"};
    return names;
}

Date MonthChoice::first() const {
    return Date::fromYmd(year, month, 1);
}

Date MonthChoice::last() const {
    return AddMonths(first(), 1).addDays(-1);
}

}  // namespace tvx::core
