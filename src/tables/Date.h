// Calendar dates of the table engine: a day count, no time of day, no time zone.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace tvx::tables {

class Date {
  public:
    Date() = default;
    // Throws EngineError when the day does not exist (31.02.2024) or the year is outside 1..9999.
    static Date fromYmd(int year, int month, int day);
    static bool valid(int year, int month, int day);
    // "dd.MM.yyyy" (also d.M.yyyy; '/' and '-' accepted as separators), day first.
    static std::optional<Date> parseDayFirst(std::string_view text);
    // dBase storage form "YYYYMMDD".
    static std::optional<Date> parseDbf(std::string_view text);
    static Date fromDayNumber(int days) {
        Date d;
        d.days_ = days;
        return d;
    }
    // Serial day number used by the documents (whole days since 30.12.1899).
    static Date fromSerial(int serial);
    int toSerial() const;

    int dayNumber() const { return days_; }  // days since 01.01.1970
    int year() const;
    int month() const;
    int day() const;
    // The date `n` days later (earlier for n < 0). Throws EngineError when the result leaves
    // the years 1..9999, which a table's date field cannot hold.
    Date addDays(long long n) const;
    // Whether the date lies within the years 1..9999.
    bool inRange() const;

    std::string toString() const;  // dd.MM.yyyy
    std::string toDbf() const;     // YYYYMMDD

    friend bool operator==(Date a, Date b) { return a.days_ == b.days_; }
    friend auto operator<=>(Date a, Date b) { return a.days_ <=> b.days_; }

  private:
    int days_ = 0;
};

}  // namespace tvx::tables
