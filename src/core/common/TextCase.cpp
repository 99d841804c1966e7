// Letter case and character counts of UTF-8 text (core/common). Stored texts hold the letters
// of a single-byte Central European code page, so the case mapping covers ASCII, Latin-1 and
// Latin Extended-A, plus the Romanian ș ț with comma that typed text may carry.
#include <string>
#include <string_view>

#include "core/common/TextRoutines.h"
#include "tables/Utf8.h"

namespace tvx::core {

namespace {

char32_t UpperLetter(char32_t cp) {
    if (cp >= U'a' && cp <= U'z') return cp - 0x20;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
    if (cp == 0xFF) return 0x178;
    // Pairs whose upper case is the even code, and pairs whose upper case is the odd one.
    const bool evenPairs = (cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177) ||
                           (cp >= 0x218 && cp <= 0x21B);
    if (evenPairs && cp % 2 == 1) return cp - 1;
    const bool oddPairs = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if (oddPairs && cp % 2 == 0) return cp - 1;
    return cp;
}

char32_t LowerLetter(char32_t cp) {
    if (cp >= U'A' && cp <= U'Z') return cp + 0x20;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
    if (cp == 0x178) return 0xFF;
    const bool evenPairs = (cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177) ||
                           (cp >= 0x218 && cp <= 0x21B);
    if (evenPairs && cp % 2 == 0) return cp + 1;
    const bool oddPairs = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if (oddPairs && cp % 2 == 1) return cp + 1;
    return cp;
}

// Maps every well-formed character through `map`; ill-formed bytes are copied as they are.
template <typename Map>
std::string MapLetters(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t start = pos;
        char32_t cp = 0;
        if (tables::decodeUtf8(text, pos, cp))
            tables::appendUtf8(out, map(cp));
        else
            out.append(text.substr(start, pos - start));
    }
    return out;
}

}  // namespace

std::string UpperText(std::string_view text) {
    return MapLetters(text, UpperLetter);
}

std::string LowerText(std::string_view text) {
    return MapLetters(text, LowerLetter);
}

size_t CharCount(std::string_view text) {
    size_t n = 0;
    for (const unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace tvx::core
