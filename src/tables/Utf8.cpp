// UTF-8 code points one at a time.
#include "tables/Utf8.h"

namespace tvx::tables {

namespace {

bool inRange(unsigned char b, unsigned char lo, unsigned char hi) {
    return b >= lo && b <= hi;
}

}  // namespace

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool decodeUtf8(std::string_view in, std::size_t& pos, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(in[pos]);
    if (lead < 0x80) {
        cp = lead;
        ++pos;
        return true;
    }
    int extra = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the first continuation byte
    if (inRange(lead, 0xC2, 0xDF)) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (inRange(lead, 0xE0, 0xEF)) {
        extra = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;  // no overlong forms
        if (lead == 0xED) hi = 0x9F;  // no surrogates
    } else if (inRange(lead, 0xF0, 0xF4)) {
        extra = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;  // no overlong forms
        if (lead == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
        ++pos;  // stray continuation byte, C0/C1 or F5..FF
        return false;
    }
    ++pos;
    for (int i = 0; i < extra; ++i, lo = 0x80, hi = 0xBF) {
        if (pos >= in.size()) return false;
        const auto b = static_cast<unsigned char>(in[pos]);
        if (!inRange(b, lo, hi)) return false;
        cp = (cp << 6) | (b & 0x3F);
        ++pos;
    }
    return true;
}

}  // namespace tvx::tables
