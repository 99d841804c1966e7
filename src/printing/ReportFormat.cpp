// Display formats and computed values of the report engine (printing/ layer).
#include "printing/ReportFormat.h"

#include <cctype>

#include "tables/EngineError.h"

namespace tvx::printing {

using tables::Date;
using tables::Decimal;
using tables::EngineError;
using tables::Value;

namespace {

bool isNumberPattern(std::string_view f) {
    if (f.starts_with("#,##")) f.remove_prefix(4);
    if (f.empty() || f[0] != '0') return false;
    const size_t point = f.find('.');
    const std::string_view whole = f.substr(0, point);
    if (whole.find_first_not_of('0') != std::string_view::npos) return false;
    if (point == std::string_view::npos) return true;
    const std::string_view decimals = f.substr(point + 1);
    return decimals.size() <= 18 && decimals.find_first_not_of('0') == std::string_view::npos;
}

bool isDatePattern(std::string_view f) {
    bool hasPart = false;
    for (size_t i = 0; i < f.size();) {
        if (f.substr(i, 4) == "yyyy") {
            i += 4, hasPart = true;
        } else if (f.substr(i, 2) == "dd" || f.substr(i, 2) == "MM" || f.substr(i, 2) == "yy") {
            i += 2, hasPart = true;
        } else if (std::isalnum(static_cast<unsigned char>(f[i]))) {
            return false;
        } else {
            ++i;
        }
    }
    return hasPart;
}

std::string twoDigits(int n) {
    return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}

std::string formatDate(Date d, std::string_view f) {
    std::string out;
    for (size_t i = 0; i < f.size();) {
        if (f.substr(i, 4) == "yyyy") {
            std::string y = std::to_string(d.year());
            out += std::string(4 - std::min<size_t>(4, y.size()), '0') + y;
            i += 4;
        } else if (f.substr(i, 2) == "dd") {
            out += twoDigits(d.day()), i += 2;
        } else if (f.substr(i, 2) == "MM") {
            out += twoDigits(d.month()), i += 2;
        } else if (f.substr(i, 2) == "yy") {
            out += twoDigits(d.year() % 100), i += 2;
        } else {
            out += f[i++];
        }
    }
    return out;
}

std::string groupThousands(const std::string& plain) {
    const bool negative = !plain.empty() && plain[0] == '-';
    const std::string digits = negative ? plain.substr(1) : plain;
    const size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    const std::string rest = point == std::string::npos ? std::string() : digits.substr(point);
    for (long i = static_cast<long>(whole.size()) - 3; i > 0; i -= 3) whole.insert(i, 1, ',');
    return (negative ? "-" : "") + whole + rest;
}

std::string formatNumber(const Decimal& n, std::string_view f) {
    const size_t point = f.find('.');
    const int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(f.size() - point - 1);
    const std::string plain = n.rounded(decimals).toString();
    return f.starts_with("#,##") ? groupThousands(plain) : plain;
}

Operand parseOperand(std::string_view text) {
    Operand o;
    if (text.empty()) throw EngineError("missing operand");
    if (text[0] == '$') {
        o.kind = Operand::Kind::Parameter;
        o.name = std::string(text.substr(1));
        if (o.name.empty()) throw EngineError("a parameter needs a name after $");
        return o;
    }
    if (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.') {
        const auto number = Decimal::parse(text);
        if (!number) throw EngineError("bad number \"" + std::string(text) + "\"");
        o.kind = Operand::Kind::Number;
        o.number = *number;
        return o;
    }
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            throw EngineError("bad field name \"" + std::string(text) + "\"");
    o.kind = Operand::Kind::Field;
    o.name = std::string(text);
    return o;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string operandText(const Operand& o) {
    switch (o.kind) {
        case Operand::Kind::Field:
            return o.name;
        case Operand::Kind::Parameter:
            return "$" + o.name;
        case Operand::Kind::Number:
            return o.number.toString();
    }
    return {};
}

Value operandValue(const Operand& o, const tables::ResultSet* rows, size_t row,
                   const std::map<std::string, std::string>& parameters) {
    switch (o.kind) {
        case Operand::Kind::Number:
            return o.number;
        case Operand::Kind::Parameter: {
            const auto it = parameters.find(o.name);
            return it == parameters.end() ? Value() : Value(it->second);
        }
        case Operand::Kind::Field:
            if (!rows) return Value();
            const int column = rows->fieldIndex(o.name);
            return row < rows->rowCount() ? rows->at(row, column) : Value();
    }
    return Value();
}

Decimal asNumber(const Value& v, const Operand& o) {
    if (v.isNull()) return Decimal();
    if (v.isNumber()) return v.number();
    if (v.isText()) {
        const std::string_view t = trimmed(v.text());
        if (t.empty()) return Decimal();
        if (const auto n = Decimal::parse(t)) return *n;
    }
    throw EngineError("\"" + operandText(o) + "\" is not a number: \"" + v.toString() + "\"");
}

}  // namespace

bool isKnownFormat(std::string_view format) {
    return format.empty() || isNumberPattern(format) || isDatePattern(format);
}

std::string formatValue(const Value& value, std::string_view format) {
    if (value.isNull()) return {};
    if (isNumberPattern(format)) {
        if (value.isNumber()) return formatNumber(value.number(), format);
        if (value.isText())
            if (const auto n = Decimal::parse(value.text())) return formatNumber(*n, format);
    } else if (isDatePattern(format)) {
        if (value.isDate()) return formatDate(value.date(), format);
        if (value.isText())
            if (const auto d = Date::parseDayFirst(trimmed(value.text())))
                return formatDate(*d, format);
    }
    return value.toString();
}

Expression parseExpression(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) throw EngineError("empty expression");
    Expression e;
    // The operator is the first + - * / after the first character (a leading sign belongs
    // to nothing here: operands are names, unsigned numbers and parameters).
    size_t at = std::string_view::npos;
    for (size_t i = 1; i < text.size(); ++i)
        if (text[i] == '+' || text[i] == '-' || text[i] == '*' || text[i] == '/') {
            at = i;
            break;
        }
    try {
        if (at == std::string_view::npos) {
            e.left = parseOperand(text);
        } else {
            e.left = parseOperand(trimmed(text.substr(0, at)));
            e.op = text[at];
            e.right = parseOperand(trimmed(text.substr(at + 1)));
        }
    } catch (const EngineError& error) {
        throw EngineError(std::string(error.what()) + " in expression \"" + std::string(text) +
                          "\"");
    }
    return e;
}

std::string expressionText(const Expression& e) {
    std::string text = operandText(e.left);
    if (e.op) text += std::string(" ") + e.op + " " + operandText(e.right);
    return text;
}

Value evaluate(const Expression& e, const tables::ResultSet* rows, size_t row,
               const std::map<std::string, std::string>& parameters) {
    const Value left = operandValue(e.left, rows, row, parameters);
    if (!e.op) return left;
    const Decimal a = asNumber(left, e.left);
    const Decimal b = asNumber(operandValue(e.right, rows, row, parameters), e.right);
    switch (e.op) {
        case '+':
            return a + b;
        case '-':
            return a - b;
        case '*':
            return a * b;
        default:
            if (b.isZero()) throw EngineError("division by zero in \"" + expressionText(e) + "\"");
            return a / b;
    }
}

}  // namespace tvx::printing
