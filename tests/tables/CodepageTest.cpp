// Tests of the Windows-1250 <-> UTF-8 conversion: the Romanian letters in both forms,
// the whole upper half of the code page, and what happens to text the code page cannot hold.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tables/dbf/Codepage.h"

namespace {

using tvx::tables::dbf::cp1250ToUtf8;
using tvx::tables::dbf::utf8ToCp1250;

// Code points of a UTF-8 string (test inputs are well formed).
std::u32string codePoints(const std::string& utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
        out += cp;
        i += 1 + extra;
    }
    return out;
}

TEST(CodepageRomanian, CommaBelowLettersAreStoredAsCedillaLetters) {
    const std::string stored = utf8ToCp1250("ăâîșțĂÂÎȘȚ");
    EXPECT_EQ(stored, "\xE3\xE2\xEE\xBA\xFE\xC3\xC2\xCE\xAA\xDE");
    EXPECT_EQ(cp1250ToUtf8(stored), "ăâîşţĂÂÎŞŢ");
}

TEST(CodepageRomanian, CedillaLettersRoundTrip) {
    const std::string text = "Şcoala Ţării, şase ţărani";
    EXPECT_EQ(cp1250ToUtf8(utf8ToCp1250(text)), text);
    EXPECT_EQ(utf8ToCp1250("ŞşŢţ"), "\xAA\xBA\xDE\xFE");
}

TEST(CodepageTable, AsciiIsUnchangedBothWays) {
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) ascii += static_cast<char>(c);
    EXPECT_EQ(utf8ToCp1250(ascii), ascii);
    EXPECT_EQ(cp1250ToUtf8(ascii), ascii);
}

TEST(CodepageTable, KnownPositionsOfTheUpperHalf) {
    EXPECT_EQ(codePoints(cp1250ToUtf8("\x80")), U"\u20AC");  // euro sign
    EXPECT_EQ(codePoints(cp1250ToUtf8("\x8A\x9A\x8E\x9E")), U"\u0160\u0161\u017D\u017E");
    EXPECT_EQ(codePoints(cp1250ToUtf8("\xA0\xA3\xB3\xB5")), U"\u00A0\u0141\u0142\u00B5");
    EXPECT_EQ(codePoints(cp1250ToUtf8("\xC8\xD0\xE8\xF0")), U"\u010C\u0110\u010D\u0111");
    EXPECT_EQ(codePoints(cp1250ToUtf8("\xD5\xF5\xFF")), U"\u0150\u0151\u02D9");
}

TEST(CodepageTable, EveryDefinedByteRoundTripsToADistinctCharacter) {
    const std::set<int> undefined = {0x81, 0x83, 0x88, 0x90, 0x98};
    std::set<std::u32string> seen;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1250ToUtf8(byte);
        if (undefined.count(b)) {
            EXPECT_EQ(utf8, "?") << "byte " << b;
            continue;
        }
        const std::u32string cps = codePoints(utf8);
        ASSERT_EQ(cps.size(), 1u) << "byte " << b;
        EXPECT_GE(cps[0], 0x80u) << "byte " << b;
        EXPECT_TRUE(seen.insert(cps).second) << "byte " << b << " maps to a character twice";
        EXPECT_EQ(utf8ToCp1250(utf8), byte) << "byte " << b;
    }
    EXPECT_EQ(seen.size(), 123u);
}

TEST(CodepageFallback, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1250("ñ"), "?");               // Latin-1 letter cp1250 lacks
    EXPECT_EQ(utf8ToCp1250("日本"), "??");           // three-byte sequences
    EXPECT_EQ(utf8ToCp1250("a\U0001F600b"), "a?b");  // four-byte sequence, one mark
    EXPECT_EQ(utf8ToCp1250("ĂĞ"), "\xC3?");          // G with breve is not Romanian
}

TEST(CodepageFallback, IllFormedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(utf8ToCp1250("a\x80z"), "a?z");  // stray continuation byte
    EXPECT_EQ(utf8ToCp1250("\xE2\x82"
                           "A"),
              "?A");                                      // cut three-byte sequence
    EXPECT_EQ(utf8ToCp1250("x\xC4"), "x?");               // cut at the end of the text
    EXPECT_EQ(utf8ToCp1250("\xC0\xAF"), "??");            // overlong form of '/'
    EXPECT_EQ(utf8ToCp1250("\xED\xA0\x80"), "???");       // encoded surrogate
    EXPECT_EQ(utf8ToCp1250("\xF4\x90\x80\x80"), "????");  // above U+10FFFF
    EXPECT_EQ(utf8ToCp1250("\xFE\xFF"), "??");
    EXPECT_EQ(utf8ToCp1250("\xC4\x83\xC4"), "\xE3?");  // good letter, then a cut one
}

}  // namespace
