// Windows-1250 <-> UTF-8 conversion. The upper half of the code page is a fixed table;
// the reverse direction searches a sorted copy of it. Romanian comma-below letters are
// folded onto the cedilla letters the code page has. Bytes the code page leaves undefined
// (0x81, 0x83, 0x88, 0x90, 0x98) read as '?', the same mark that stands for characters the
// code page cannot hold, so a read-modify-write cycle never grows a field's byte length.
#include "tables/dbf/Codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "tables/Utf8.h"

namespace tvx::tables::dbf {

namespace {

// Unicode code points of bytes 0x80..0xFF; 0 marks a byte the code page leaves undefined.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 0x88
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

// Characters outside the code page that still have a faithful stand-in in it.
constexpr std::array<std::pair<char32_t, char>, 4> kFolded = {{
    {0x0218, '\xAA'},  // S with comma below -> S with cedilla
    {0x0219, '\xBA'},  // s with comma below -> s with cedilla
    {0x021A, '\xDE'},  // T with comma below -> T with cedilla
    {0x021B, '\xFE'},  // t with comma below -> t with cedilla
}};

using ReverseEntry = std::pair<char32_t, char>;

// Code point -> byte for the upper half and the folded letters, sorted by code point.
const std::vector<ReverseEntry>& reverseTable() {
    static const std::vector<ReverseEntry> table = [] {
        std::vector<ReverseEntry> entries;
        for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
            if (kHighHalf[i] != 0) {
                entries.emplace_back(kHighHalf[i], static_cast<char>(0x80 + i));
            }
        }
        entries.insert(entries.end(), kFolded.begin(), kFolded.end());
        std::sort(entries.begin(), entries.end());
        return entries;
    }();
    return table;
}

char toCp1250(char32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    const auto& table = reverseTable();
    auto it = std::lower_bound(table.begin(), table.end(), cp,
                               [](const ReverseEntry& e, char32_t v) { return e.first < v; });
    return (it != table.end() && it->first == cp) ? it->second : '?';
}

}  // namespace

std::string cp1250ToUtf8(std::string_view bytes) {
    // Most fields are plain ASCII: that part is copied as it is, in one go.
    const auto high = std::find_if(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    std::string out(bytes.begin(), high);
    if (high == bytes.end()) return out;
    out.reserve(bytes.size() + 8);
    for (char c : bytes.substr(static_cast<size_t>(high - bytes.begin()))) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else if (char16_t cp = kHighHalf[b - 0x80]; cp != 0) {
            appendUtf8(out, cp);
        } else {
            out += '?';
        }
    }
    return out;
}

std::string utf8ToCp1250(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        out += decodeUtf8(utf8, pos, cp) ? toCp1250(cp) : '?';
    }
    return out;
}

}  // namespace tvx::tables::dbf
