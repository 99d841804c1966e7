// Values <-> dBase field bytes.
#include "tables/FieldCodec.h"

#include <cstring>

#include "tables/EngineError.h"
#include "tables/dbf/Codepage.h"

namespace tvx::tables {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return s;
}

std::string describe(const dbf::FieldDescriptor& f) {
    std::string d = f.name + " " + f.type + "(" + std::to_string(f.width);
    if (f.type == 'N' || f.type == 'F') d += "," + std::to_string(f.decimals);
    return d + ")";
}

[[noreturn]] void mismatch(const Value& v, const char* what, const dbf::FieldDescriptor& f,
                           const std::string& table) {
    throw EngineError(
        "Type mismatch: '" + v.toString() + "' is not " + what + " for field " + describe(f),
        table);
}

Decimal numberFor(const Value& value, const dbf::FieldDescriptor& f, const std::string& table) {
    if (value.isNumber()) return value.number();
    if (value.isText()) {
        if (auto d = Decimal::parse(value.text())) return *d;
    }
    mismatch(value, "a number", f, table);
}

}  // namespace

Value decodeField(std::string_view raw, const dbf::FieldDescriptor& field) {
    switch (field.type) {
        case 'C': {
            // Text fields are mostly padding: blanks go eight at a time first.
            size_t e = raw.size();
            while (e >= 8 && std::memcmp(raw.data() + e - 8, "        ", 8) == 0) e -= 8;
            while (e > 0 && (raw[e - 1] == ' ' || raw[e - 1] == '\0')) --e;
            return Value(dbf::cp1250ToUtf8(raw.substr(0, e)));
        }
        case 'N':
        case 'F': {
            auto t = trim(raw);
            if (t.empty()) return {};
            auto d = Decimal::parse(t);
            if (!d) return {};
            if (field.decimals >= 0 && field.decimals <= Decimal::kMaxScale &&
                d->scale() <= field.decimals)
                return Value(d->rescaled(field.decimals));
            return Value(*d);
        }
        case 'D': {
            auto t = trim(raw);
            if (t.empty()) return {};
            if (auto d = Date::parseDbf(t)) return Value(*d);
            return {};
        }
        case 'L': {
            auto t = trim(raw);
            if (t.empty()) return {};
            char c = t.front();
            if (c == 'T' || c == 't' || c == 'Y' || c == 'y') return Value::logical(true);
            if (c == 'F' || c == 'f' || c == 'N' || c == 'n') return Value::logical(false);
            return {};
        }
        case 'M':
        case 'B':
        case 'G':
        case 'I':
        case '+':
        case 'O':
        case '@':
            return {};  // memo pointers and binary fields carry no readable value here
        default: {
            auto t = trim(raw);
            return Value(dbf::cp1250ToUtf8(t));
        }
    }
}

Value coerceForField(const Value& value, const dbf::FieldDescriptor& f, const std::string& table) {
    if (value.isNull()) return value;
    switch (f.type) {
        case 'C':
            if (value.isText()) return value;
            return Value(value.toString());
        case 'N':
        case 'F': {
            if (value.isText() && trim(value.text()).empty()) return {};
            Decimal d = numberFor(value, f, table);
            return Value(d.rescaled(std::min(f.decimals, Decimal::kMaxScale), Rounding::HalfAway));
        }
        case 'D':
            if (value.isDate()) return value;
            if (value.isText()) {
                if (trim(value.text()).empty()) return {};
                if (auto d = Date::parseDayFirst(value.text())) return Value(*d);
            }
            mismatch(value, "a date", f, table);
        case 'L':
            if (value.isLogical()) return value;
            if (value.isText()) {
                auto t = trim(value.text());
                if (t == "T" || t == "t" || t == "Y" || t == "y") return Value::logical(true);
                if (t == "F" || t == "f" || t == "N" || t == "n") return Value::logical(false);
                if (t.empty()) return {};
            }
            mismatch(value, "a logical", f, table);
        default:
            throw EngineError("Field " + describe(f) + " cannot be written", table);
    }
}

void encodeField(const Value& value, const dbf::FieldDescriptor& f, std::string& record,
                 const std::string& table) {
    Value v = coerceForField(value, f, table);
    char* out = record.data() + f.offset;
    std::memset(out, ' ', static_cast<size_t>(f.width));
    if (v.isNull()) return;
    switch (f.type) {
        case 'C': {
            std::string bytes = dbf::utf8ToCp1250(v.text());
            std::memcpy(out, bytes.data(), std::min(bytes.size(), static_cast<size_t>(f.width)));
            return;
        }
        case 'N':
        case 'F': {
            std::string text = v.number().toString();
            if (static_cast<int>(text.size()) > f.width)
                throw EngineError("Value " + text + " does not fit field " + describe(f), table);
            std::memcpy(out + (f.width - static_cast<int>(text.size())), text.data(), text.size());
            return;
        }
        case 'D': {
            // A date outside the years 1..9999 has no YYYYMMDD form: refused, never cut.
            if (!v.date().inRange())
                throw EngineError(
                    "Value " + v.date().toString() + " does not fit field " + describe(f), table);
            std::string text = v.date().toDbf();
            std::memcpy(out, text.data(), std::min<size_t>(8, static_cast<size_t>(f.width)));
            return;
        }
        case 'L':
            out[0] = v.logical() ? 'T' : 'F';
            return;
        default:
            return;
    }
}

}  // namespace tvx::tables
