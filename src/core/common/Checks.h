// Check digits of Romanian personal codes (CNP), company tax codes (CUI) and IBANs, with
// the table of bank codes that names the bank of an IBAN (core/common).
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tvx::core {

// True when `text` is a valid 13-digit personal numeric code.
bool CheckCNP(const std::string& text);
// Normalises `text` in place as the check does and tells whether it is a valid tax code.
bool CheckCUI(std::string& text);
// Normalises `iban` in place (upper case, letters and digits only: the blanks of a grouped
// IBAN go) and tells whether it is valid; `bankName` receives the bank of a Romanian IBAN from
// the bank table (empty when none is found).
bool CheckIBAN(std::string& iban, std::string& bankName);
// A Romanian IBAN as stored: 24 letters and digits.
inline constexpr int kIbanLength = 24;
// What an IBAN field takes: room for the grouped form people copy ("RO49 AAAA 1B31 0075 9384
// 0000", 24 + 5 blanks) with some blanks to spare; the check then keeps the 24 characters.
inline constexpr int kTypedIbanLength = 34;

// One row of the bank table: the four letters that follow the check digits of a Romanian
// IBAN, and the bank's name.
struct BankCode {
    std::string_view code;
    std::string_view name;
};
// The bank table in its search order.
std::span<const BankCode> BankCodes();
// The bank of a four-letter code (exact, upper case); empty when the table has none.
std::string BankName(std::string_view code);

}  // namespace tvx::core
