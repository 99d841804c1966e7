// Tests of the text routines: cleaning typed text for statements, removing blanks from
// codes, joining filter terms and the lines of a multi-line box.
#include <gtest/gtest.h>

#include "core/common/TextRoutines.h"

namespace tvx::core {
namespace {

TEST(CleanText, TrimsCollapsesBlanksAndReplacesQuotes) {
    EXPECT_EQ(CleanText("  Ion  Popescu's firma   "), "Ion Popescu`s firma");
    EXPECT_EQ(CleanText("\"SC\"    'X' SRL"), "`SC` `X` SRL");
    EXPECT_EQ(CleanText("\t MAGAZIN 1\r\n"), "MAGAZIN 1");
    EXPECT_EQ(CleanText("Bra\xC8\x99ov  (CJ)"), "Bra\xC8\x99ov (CJ)");
    EXPECT_EQ(CleanText("   "), "");
}

TEST(RemoveSpaces, DropsEveryBlank) {
    EXPECT_EQ(RemoveSpaces(" RO49 AAAA\t1B31 0075\r\n"), "RO49AAAA1B310075");
}

TEST(JoinFilterTerms, PutsAndBetweenAdjacentTerms) {
    EXPECT_EQ(JoinFilterTerms("(A='1')(B='2')(C='3')"), "(A='1') AND (B='2') AND (C='3')");
    EXPECT_EQ(JoinFilterTerms("  ((A='1'))(B='2') "), "((A='1')) AND (B='2')");
    EXPECT_EQ(JoinFilterTerms("   "), "");
}

TEST(JoinLines, ConcatenatesNonEmptyLinesWithoutSeparator) {
    EXPECT_EQ(JoinLines(std::vector<std::string>{"Str. Lunga 5", "", "Bl. A"}),
              "Str. Lunga 5Bl. A");
    EXPECT_EQ(JoinLines("Str. Lunga 5\r\n\r\nBl. A\nSc. 2\r"), "Str. Lunga 5Bl. ASc. 2");
    EXPECT_EQ(JoinLines("a\r\n  \r\nb"), "a  b");
}

TEST(Trimmed, DropsBlanksAtBothEndsOnly) {
    EXPECT_EQ(Trimmed(" \t Str. Lunga  5 \r\n"), "Str. Lunga  5");
    EXPECT_EQ(Trimmed(" \t\r\n"), "");
    EXPECT_EQ(Trimmed("ă"), "ă");  // multi-byte letters are not blanks
}

TEST(LetterCase, RomanianAndLatinLettersBothWays) {
    EXPECT_EQ(UpperText("bună ziua, ștefan țîră şi ăâî éÿ ł ž"),
              "BUNĂ ZIUA, ȘTEFAN ȚÎRĂ ŞI ĂÂÎ ÉŸ Ł Ž");
    EXPECT_EQ(LowerText("BUNĂ ZIUA, ȘTEFAN ȚÎRĂ ŞI ĂÂÎ ÉŸ Ł Ž"),
              "bună ziua, ștefan țîră şi ăâî éÿ ł ž");
    EXPECT_EQ(UpperText("×÷ 5€"), "×÷ 5€");                 // signs and other characters stay
    const std::string broken = std::string("a\xC3") + "b";  // a cut two-byte character
    EXPECT_EQ(UpperText(broken), std::string("A\xC3") + "B");
}

TEST(CharCount, CountsCharactersNotBytes) {
    EXPECT_EQ(CharCount("ȘTEFAN"), 6u);
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount("5€"), 2u);
}

}  // namespace
}  // namespace tvx::core
