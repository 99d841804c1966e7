// Tests of the check digits of personal codes, tax codes and IBANs, and of the bank table.
// The valid codes used here were computed independently of this code.
#include <gtest/gtest.h>

#include <set>

#include "core/common/Checks.h"

namespace tvx::core {
namespace {

TEST(CheckCNP, ValidCodesOfEveryAllowedFirstDigit) {
    // 29 February of 1996 and 2000; 1850515400191 has weighted sum mod 11 = 10, control 1.
    for (const char* code : {"1800101221144", "2960229400159", "5000229400158", "6000229400151",
                             "9000301400164", "1850515400191"})
        EXPECT_TRUE(CheckCNP(code)) << code;
}

TEST(CheckCNP, RejectsFirstDigitsDatesControlLengthAndLetters) {
    // Right controls but first digit 3, 4, 7, 8; then 30 February, 29 February 1900,
    // 31 April, month 13, month 00; then wrong control, lengths, letters and blanks.
    for (const char* code :
         {"3000101221147", "4000101221149", "7000101221144", "8000101221146", "1850230400196",
          "1000229400150", "1850431400196", "1851315400193", "1960029240117", "1800101221145",
          "180010122114", "18001012211440", "18001012A1144", "1800101 21144", ""})
        EXPECT_FALSE(CheckCNP(code)) << code;
}

TEST(CheckCUI, AcceptsTheCodeWithOrWithoutROAndLeavesItBare) {
    for (const char* typed : {"RO14399840", "14399840", "  RO 14399840 ", "ro14399840"}) {
        std::string text = typed;
        EXPECT_TRUE(CheckCUI(text)) << typed;
        EXPECT_EQ(text, "14399840") << typed;
    }
    // Three and ten digits; 1090 has (sum x 10) mod 11 = 10, so its control digit is 0.
    for (const char* typed : {"124", "1234567897", "1090"}) {
        std::string text = typed;
        EXPECT_TRUE(CheckCUI(text)) << typed;
    }
}

TEST(CheckCUI, RejectsShortLongWrongAndNonDigitCodes) {
    for (const char* typed :
         {"12", "12345678970", "14399841", "R", "", "RO", "-14399840", "14399 840", "1439984O"}) {
        std::string text = typed;
        EXPECT_FALSE(CheckCUI(text)) << typed;
    }
    std::string text = " RO 12 ";
    EXPECT_FALSE(CheckCUI(text));
    EXPECT_EQ(text, "12");
}

TEST(CheckIBAN, CleanedTextCheckAndBank) {
    std::string iban = "ro31 btrl 0123 4567 8901 2345", bank = "old";
    EXPECT_TRUE(CheckIBAN(iban, bank));
    EXPECT_EQ(iban, "RO31BTRL0123456789012345");
    EXPECT_EQ(bank, "BANCA TRANSILVANIA SA");
    iban = "RO30BTRL0123456789012345";  // wrong check digits: still the bank's name
    EXPECT_FALSE(CheckIBAN(iban, bank));
    EXPECT_EQ(bank, "BANCA TRANSILVANIA SA");
    iban = "RO31BTRL0123456789012354";  // two digits swapped
    EXPECT_FALSE(CheckIBAN(iban, bank));
    iban = "RO32AAAA0123456789012345";  // unknown bank
    EXPECT_TRUE(CheckIBAN(iban, bank));
    EXPECT_EQ(bank, "");
}

TEST(CheckIBAN, OnlyRomanianIbansOf24CharactersAreChecked) {
    for (const char* typed : {"DE89370400440532013000", "RO31BTRL012345678901234",
                              "RO31BTRL01234567890123456", "ROABBTRL0123456789012345", ""}) {
        std::string iban = typed, bank = "old";
        EXPECT_FALSE(CheckIBAN(iban, bank)) << typed;
        EXPECT_EQ(bank, "") << typed;
    }
}

TEST(BankCodes, TableRowsInOrderAndEachFoundThroughAnIban) {
    const auto banks = BankCodes();
    ASSERT_EQ(banks.size(), 38u);
    EXPECT_EQ(banks[19].code, "BSEA");
    EXPECT_EQ(banks[20].code, "EXIM");
    EXPECT_EQ(BankName("BRMA"), BankName("EXIM"));
    EXPECT_EQ(BankName("MIRB"), "BLOM BANK EGYPT SAE EGYPT - SUCURSALA ROMANIA");
    std::string iban = "RO33NBOR0123456789012345", bank;
    EXPECT_TRUE(CheckIBAN(iban, bank));
    EXPECT_EQ(bank, "BANCA NATIONALA A ROMANIEI (BNR)");
    iban = "RO88REVO0123456789012345";
    EXPECT_TRUE(CheckIBAN(iban, bank));
    EXPECT_EQ(bank, "REVOLUT BANK UAB");
    std::set<std::string_view> codes;
    for (const BankCode& b : banks) {
        codes.insert(b.code);
        iban = "RO00" + std::string(b.code) + "0123456789012345";
        CheckIBAN(iban, bank);
        EXPECT_EQ(bank, b.name) << b.code;
    }
    EXPECT_EQ(codes.size(), banks.size());
}

}  // namespace
}  // namespace tvx::core
