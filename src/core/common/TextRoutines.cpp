// Text routines shared by every window (core/common).
#include "core/common/TextRoutines.h"

namespace tvx::core {

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::string Trimmed(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

std::string CleanText(std::string_view text) {
    const std::string trimmed = Trimmed(text);
    std::string out;
    out.reserve(trimmed.size());
    for (char c : trimmed) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out.push_back(c == '\'' || c == '"' ? '`' : c);
    }
    return out;
}

std::string RemoveSpaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f')
            out.push_back(c);
    return out;
}

std::string JoinFilterTerms(std::string_view filter) {
    const std::string trimmed = Trimmed(filter);
    std::string out;
    out.reserve(trimmed.size() + 16);
    for (size_t i = 0; i < trimmed.size(); ++i) {
        out.push_back(trimmed[i]);
        if (trimmed[i] == ')' && i + 1 < trimmed.size() && trimmed[i + 1] == '(') out += " AND ";
    }
    return out;
}

namespace {

// 'text' with its quotes written twice, as the row filter reads them.
std::string FilterLiteral(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

}  // namespace

std::string FilterEquals(std::string_view field, std::string_view value) {
    const std::string f(field);
    // A final star would make "=" a prefix test; bounding from both sides is exact.
    if (!value.empty() && value.back() == '*')
        return f + ">=" + FilterLiteral(value) + " AND " + f + "<=" + FilterLiteral(value);
    return f + "=" + FilterLiteral(value);
}

std::string FilterPrefix(std::string_view field, std::string_view prefix) {
    return std::string(field) + "=" + FilterLiteral(std::string(prefix) + "*");
}

std::string JoinFilters(const std::vector<std::string>& terms) {
    std::string out;
    for (const std::string& term : terms) out += (out.empty() ? "(" : " AND (") + term + ")";
    return out;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line;
    return out;
}

std::string JoinLines(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n') out.push_back(c);
    return out;
}

}  // namespace tvx::core
