// Calendar dates as day numbers (proleptic Gregorian, days since 01.01.1970).
#include "tables/Date.h"

#include <cstdio>
#include <string>

#include "tables/EngineError.h"

namespace tvx::tables {

namespace {

// Howard Hinnant's days_from_civil / civil_from_days.
int daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int z, int& y, int& m, int& d) {
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y += m <= 2;
}

bool parseInt(std::string_view s, int& out) {
    if (s.empty() || s.size() > 4) return false;
    out = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + (c - '0');
    }
    return true;
}

// 30.12.1899 as a day number.
const int kSerialEpoch = daysFromCivil(1899, 12, 30);
// The first and the last day a date field can hold.
const int kFirstDay = daysFromCivil(1, 1, 1);
const int kLastDay = daysFromCivil(9999, 12, 31);

}  // namespace

bool Date::valid(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int max = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= max;
}

Date Date::fromYmd(int year, int month, int day) {
    if (!valid(year, month, day)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "Invalid date %02d.%02d.%04d", day, month, year);
        throw EngineError(buf);
    }
    return fromDayNumber(daysFromCivil(year, month, day));
}

std::optional<Date> Date::parseDayFirst(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    int parts[3];
    int n = 0;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '.' || text[i] == '/' || text[i] == '-') {
            if (n == 3 || !parseInt(text.substr(start, i - start), parts[n])) return std::nullopt;
            ++n;
            start = i + 1;
        }
    }
    if (n != 3) return std::nullopt;
    // The year must be written with four digits.
    size_t lastSep = text.find_last_of("./-");
    if (text.size() - lastSep - 1 != 4) return std::nullopt;
    if (!valid(parts[2], parts[1], parts[0])) return std::nullopt;
    return fromDayNumber(daysFromCivil(parts[2], parts[1], parts[0]));
}

std::optional<Date> Date::parseDbf(std::string_view text) {
    if (text.size() != 8) return std::nullopt;
    int y, m, d;
    if (!parseInt(text.substr(0, 4), y) || !parseInt(text.substr(4, 2), m) ||
        !parseInt(text.substr(6, 2), d) || !valid(y, m, d))
        return std::nullopt;
    return fromDayNumber(daysFromCivil(y, m, d));
}

Date Date::addDays(long long n) const {
    if (n < static_cast<long long>(kFirstDay) - days_ ||
        n > static_cast<long long>(kLastDay) - days_)
        throw EngineError("Date out of range: " + toString() + " moved by " + std::to_string(n) +
                          " days leaves the years 1..9999");
    return fromDayNumber(days_ + static_cast<int>(n));
}

bool Date::inRange() const {
    return days_ >= kFirstDay && days_ <= kLastDay;
}

Date Date::fromSerial(int serial) {
    return fromDayNumber(kSerialEpoch + serial);
}
int Date::toSerial() const {
    return days_ - kSerialEpoch;
}

namespace {
struct Civil {
    int y, m, d;
};
Civil civil(int days) {
    Civil c;
    civilFromDays(days, c.y, c.m, c.d);
    return c;
}
}  // namespace

int Date::year() const {
    return civil(days_).y;
}
int Date::month() const {
    return civil(days_).m;
}
int Date::day() const {
    return civil(days_).d;
}

std::string Date::toString() const {
    int y, m, d;
    civilFromDays(days_, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d, m, y);
    return buf;
}

std::string Date::toDbf() const {
    int y, m, d;
    civilFromDays(days_, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return buf;
}

}  // namespace tvx::tables
