// A date with its time of day as one decimal day number (core/common): whole days since
// 30.12.1899 plus the time as a fraction of the day, kept to four decimals, as the pre-orders
// store their reception and completion; and its text "dd.MM.yyyy  hh:mm".
#pragma once

#include <string>

#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::core {

struct DayTime {
    tables::Date date;
    int minutes = 0;  // of the day, 0..1439
};

// The day number of `date` plus `minutes` as a fraction of the day, to four decimals.
tables::Decimal StampValue(tables::Date date, int minutes);
// The date and the time (to the nearest minute: four decimals keep it) of a day number.
DayTime SplitStamp(const tables::Decimal& stamp);
// "hh:mm" of minutes of the day.
std::string TimeText(int minutes);
// "dd.MM.yyyy  hh:mm" (two blanks) of a day number.
std::string StampText(const tables::Decimal& stamp);

}  // namespace tvx::core
