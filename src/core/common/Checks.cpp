// Check digits of personal codes, tax codes and IBANs (core/common).
#include "core/common/Checks.h"

#include <array>

namespace tvx::core {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
int digit(char c) {
    return c - '0';
}

bool allDigits(std::string_view s) {
    for (char c : s)
        if (!isDigit(c)) return false;
    return !s.empty();
}

bool validDate(int year, int month, int day) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= days;
}

std::string trimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

}  // namespace

// A letter among the digits makes the code simply not valid.
bool CheckCNP(const std::string& text) {
    if (text.size() != 13 || !allDigits(text)) return false;
    const char sex = text[0];
    if (sex != '1' && sex != '2' && sex != '5' && sex != '6' && sex != '9') return false;
    const int yy = digit(text[1]) * 10 + digit(text[2]);
    const int year = (sex == '1' || sex == '2' ? 1900 : 2000) + yy;
    const int month = digit(text[3]) * 10 + digit(text[4]);
    const int day = digit(text[5]) * 10 + digit(text[6]);
    if (!validDate(year, month, day)) return false;
    static constexpr std::array<int, 12> kWeights = {2, 7, 9, 1, 4, 6, 3, 5, 8, 2, 7, 9};
    int sum = 0;
    for (size_t i = 0; i < kWeights.size(); ++i) sum += digit(text[i]) * kWeights[i];
    int control = sum % 11;
    if (control == 10) control = 1;
    return control == digit(text[12]);
}

// "RO" is removed whatever its case; a sign or any character other than a digit in the rest
// makes the code not valid.
bool CheckCUI(std::string& text) {
    text = trimBlanks(text);
    if (text.size() <= 1) return false;
    if ((text[0] == 'R' || text[0] == 'r') && (text[1] == 'O' || text[1] == 'o'))
        text = trimBlanks(text.substr(2));
    if (!allDigits(text) || text.size() < 3 || text.size() > 10) return false;
    const std::string padded = std::string(10 - text.size(), '0') + text;
    static constexpr std::array<int, 9> kWeights = {7, 5, 3, 2, 1, 7, 5, 3, 2};
    int sum = 0;
    for (size_t i = 0; i < kWeights.size(); ++i) sum += digit(padded[i]) * kWeights[i];
    return (sum * 10) % 11 % 10 == digit(padded[9]);
}

bool CheckIBAN(std::string& iban, std::string& bankName) {
    bankName.clear();
    std::string cleaned;
    for (char c : iban) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (isDigit(c) || (c >= 'A' && c <= 'Z')) cleaned.push_back(c);
    }
    iban = cleaned;
    if (iban.size() != 24 || iban.compare(0, 2, "RO") != 0 || !isDigit(iban[2]) ||
        !isDigit(iban[3]))
        return false;
    // ISO 13616: the first four characters moved to the end, letters as 10..35, mod 97.
    const std::string moved = iban.substr(4) + iban.substr(0, 4);
    int r = 0;
    for (char c : moved) {
        if (isDigit(c)) {
            r = (r * 10 + digit(c)) % 97;
        } else {
            const int n = c - 'A' + 10;
            r = (r * 100 + n) % 97;
        }
    }
    bankName = BankName(iban.substr(4, 4));
    return r == 1;
}

}  // namespace tvx::core
