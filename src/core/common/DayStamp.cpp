// Day numbers with a time of day.
#include "core/common/DayStamp.h"

#include <algorithm>

#include "core/common/Rounding.h"

namespace tvx::core {

using tables::Date;
using tables::Decimal;

Decimal StampValue(Date date, int minutes) {
    const Decimal fraction =
        RoundHalfAway(Decimal(std::clamp(minutes, 0, 1439)) / Decimal(1440), 4);
    return Decimal(date.toSerial()) + fraction;
}

DayTime SplitStamp(const Decimal& stamp) {
    long long days = stamp.rescaled(0, tables::Rounding::Truncate).toLongLong();
    long long minutes = RoundHalfAway((stamp - Decimal(days)) * Decimal(1440)).toLongLong();
    if (minutes >= 1440) {
        ++days;
        minutes -= 1440;
    }
    return {Date::fromSerial(static_cast<int>(days)), static_cast<int>(std::max(0LL, minutes))};
}

std::string TimeText(int minutes) {
    auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return two(minutes / 60) + ":" + two(minutes % 60);
}

std::string StampText(const Decimal& stamp) {
    const DayTime split = SplitStamp(stamp);
    return split.date.toString() + "  " + TimeText(split.minutes);
}

}  // namespace tvx::core
