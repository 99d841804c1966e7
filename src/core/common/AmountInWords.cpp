// Romanian amount in words (core/common): groups of three digits from the left, each read
// as hundreds and a two-digit number, followed by the name of its group.
#include "core/common/AmountInWords.h"

#include <array>

#include "tables/EngineError.h"

namespace tvx::core {

namespace {

constexpr std::array<const char*, 10> kDigit = {"",      "una",  "doua",  "trei", "patru",
                                                "cinci", "sase", "sapte", "opt",  "noua"};
// Suffixes of groups 2, 3 and 4 counted from the right; the plural even for one.
constexpr std::array<const char*, 5> kGroup = {"", "", "mii", "milioane", "miliarde"};
constexpr size_t kMaxDigits = 12;

std::string groupWords(int h, int t, int u) {
    std::string w;
    if (h == 1)
        w = "unasuta";
    else if (h > 1)
        w = std::string(kDigit[h]) + "sute";
    const int tu = t * 10 + u;
    if (tu == 0) return w;
    if (tu < 10) return w + kDigit[u];
    if (tu == 10) return w + "zece";
    if (tu == 11) return w + "unsprezece";
    if (tu == 12) return w + "doisprezece";
    if (tu < 20) return w + kDigit[u] + "sprezece";
    w += std::string(kDigit[t]) + "zeci";
    if (u != 0) w += std::string("si") + kDigit[u];
    return w;
}

bool endsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Words of a text of digits; the caller has checked it.
std::string words(std::string digits) {
    while (digits.size() % 3 != 0) digits.insert(0, 1, '0');
    const size_t groups = digits.size() / 3;
    std::string result;
    for (size_t g = 0; g < groups; ++g) {
        const size_t number = groups - g;  // 1 units, 2 thousands, ...
        const char* d = digits.c_str() + g * 3;
        std::string w = groupWords(d[0] - '0', d[1] - '0', d[2] - '0');
        if (w.empty()) continue;
        result += w + kGroup[number];
    }
    if (result.empty()) return "zero";
    if (endsWith(result, "una"))
        result.back() = 'u';
    else if (endsWith(result, "doua"))
        result.replace(result.size() - 2, 2, "i");
    return result;
}

[[noreturn]] void notAnAmount(std::string_view amount, const char* why) {
    throw tables::EngineError("Cannot write \"" + std::string(amount) + "\" in words: " + why);
}

}  // namespace

std::string AmountInWords(std::string_view amount) {
    std::string text;
    for (char c : amount)
        if (c != ',') text.push_back(c);
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    text = text.substr(b, e - b);

    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.erase(0, 1);
    if (text.empty()) text = negative ? "" : "0";
    if (text.empty()) notAnAmount(amount, "no digits");
    if (text[0] == '.') text.insert(0, 1, '0');

    std::string whole = text, bani = "0";
    if (const size_t point = text.find('.'); point != std::string::npos) {
        whole = text.substr(0, point);
        bani = text.substr(point + 1, 2);
        if (bani.size() == 1) bani += "0";
        if (text.find_first_not_of("0123456789", point + 1) != std::string::npos)
            notAnAmount(amount, "only digits may follow the decimal point");
    }
    if (whole.find_first_not_of("0123456789") != std::string::npos)
        notAnAmount(amount, "not a number");
    const size_t significant = whole.find_first_not_of('0');
    if (significant != std::string::npos && whole.size() - significant > kMaxDigits)
        notAnAmount(amount, "more than 12 digits of lei");
    if (significant == std::string::npos)
        whole.clear();
    else
        whole.erase(0, significant);

    std::string result = words(whole) + " lei si " + words(bani) + " bani";
    const bool nonZero = !whole.empty() || bani.find_first_not_of('0') != std::string::npos;
    return negative && nonZero ? "minus " + result : result;
}

}  // namespace tvx::core
