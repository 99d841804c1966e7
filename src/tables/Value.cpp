// Values of the table engine: display text, comparison and hashing rules.
#include "tables/Value.h"

#include <functional>

#include "tables/EngineError.h"

namespace tvx::tables {

std::string_view trimmedView(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ') --e;
    return s.substr(0, e);
}

std::string rtrim(std::string_view s) {
    return std::string(trimmedView(s));
}

std::string toUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string Value::toString() const {
    switch (type()) {
        case ValueType::Null:
            return {};
        case ValueType::Text:
            return text();
        case ValueType::Number:
            return number().toString();
        case ValueType::Date:
            return date().toString();
        case ValueType::Logical:
            return logical() ? "T" : "F";
    }
    return {};
}

namespace {

int compareText(std::string_view a, std::string_view b) {
    // Byte by byte, as unsigned bytes (char_traits<char> compares like memcmp).
    const int c = trimmedView(a).compare(trimmedView(b));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Date textAsDate(const std::string& s) {
    auto d = Date::parseDayFirst(s);
    if (!d) throw EngineError("Type mismatch: '" + s + "' is not a date");
    return *d;
}

Decimal textAsNumber(const std::string& s) {
    auto d = Decimal::parse(s);
    if (!d) throw EngineError("Type mismatch: '" + s + "' is not a number");
    return *d;
}

template <typename T>
int cmp(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

int compareValues(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull()) return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    if (a.type() == b.type()) {
        switch (a.type()) {
            case ValueType::Text:
                return compareText(a.text(), b.text());
            case ValueType::Number:
                return compare(a.number(), b.number());
            case ValueType::Date:
                return cmp(a.date(), b.date());
            case ValueType::Logical:
                return cmp(a.logical(), b.logical());
            default:
                return 0;
        }
    }
    if (a.isText() && b.isDate()) return cmp(textAsDate(a.text()), b.date());
    if (a.isDate() && b.isText()) return cmp(a.date(), textAsDate(b.text()));
    if (a.isText() && b.isNumber()) return compare(textAsNumber(a.text()), b.number());
    if (a.isNumber() && b.isText()) return compare(a.number(), textAsNumber(b.text()));
    throw EngineError("Type mismatch: cannot compare " + a.toString() + " with " + b.toString());
}

bool sameKey(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    if (a.type() != b.type()) return false;
    return compareValues(a, b) == 0;
}

size_t hashValue(const Value& v) {
    switch (v.type()) {
        case ValueType::Null:
            return 0x51ED;
        case ValueType::Text:
            return std::hash<std::string_view>()(trimmedView(v.text()));
        case ValueType::Number:
            return v.number().hash();
        case ValueType::Date:
            return std::hash<int>()(v.date().dayNumber()) * 31 + 7;
        case ValueType::Logical:
            return v.logical() ? 0x1001 : 0x1002;
    }
    return 0;
}

}  // namespace tvx::tables
