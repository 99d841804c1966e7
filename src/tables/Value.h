// A value of the table engine: NULL, text (UTF-8, CHAR values without trailing blanks),
// an exact number, a date or a logical. Comparisons follow the dialect's rules.
#pragma once

#include <string>
#include <variant>

#include "Date.h"
#include "Decimal.h"

namespace tvx::tables {

enum class ValueType { Null, Text, Number, Date, Logical };

class Value {
  public:
    Value() = default;
    Value(std::string text) : v_(std::move(text)) {}    // NOLINT
    Value(const char* text) : v_(std::string(text)) {}  // NOLINT
    Value(Decimal number) : v_(number) {}               // NOLINT
    Value(long long number) : v_(Decimal(number)) {}    // NOLINT
    Value(int number) : v_(Decimal(number)) {}          // NOLINT
    Value(Date date) : v_(date) {}                      // NOLINT
    static Value logical(bool b) {
        Value v;
        v.v_ = b;
        return v;
    }

    ValueType type() const { return static_cast<ValueType>(v_.index()); }
    bool isNull() const { return v_.index() == 0; }
    bool isText() const { return v_.index() == 1; }
    bool isNumber() const { return v_.index() == 2; }
    bool isDate() const { return v_.index() == 3; }
    bool isLogical() const { return v_.index() == 4; }

    const std::string& text() const { return std::get<std::string>(v_); }
    const Decimal& number() const { return std::get<Decimal>(v_); }
    Date date() const { return std::get<Date>(v_); }
    bool logical() const { return std::get<bool>(v_); }

    // Display text: text as is, numbers plain with their scale, dates dd.MM.yyyy,
    // logicals "T"/"F", NULL empty.
    std::string toString() const;

  private:
    std::variant<std::monostate, std::string, Decimal, Date, bool> v_;
};

// Three-way comparison for WHERE, ORDER BY and grouping. NULL sorts before everything.
// Text compares bytewise without trailing blanks; a text compared with a date is read
// as dd.MM.yyyy, with a number as a decimal. Incomparable values throw EngineError.
int compareValues(const Value& a, const Value& b);
// Equality as used by hash joins and GROUP BY (NULL equals NULL here).
bool sameKey(const Value& a, const Value& b);
size_t hashValue(const Value& v);

std::string rtrim(std::string_view s);
// The same text without its trailing blanks, as a view into `s`.
std::string_view trimmedView(std::string_view s);
std::string toUpperAscii(std::string_view s);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace tvx::tables
