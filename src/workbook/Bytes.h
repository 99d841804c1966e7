// Little-endian fields of BIFF8 records and the two string encodings the format uses
// (workbook layer): 8-bit Latin-1 ("compressed") and UTF-16LE, both turned into UTF-8.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tvx::workbook::bytes {

inline uint8_t U8(std::string_view d, size_t at) {
    return at < d.size() ? static_cast<uint8_t>(d[at]) : 0;
}
inline uint16_t U16(std::string_view d, size_t at) {
    return static_cast<uint16_t>(U8(d, at) | (U8(d, at + 1) << 8));
}
inline uint32_t U32(std::string_view d, size_t at) {
    return U16(d, at) | (static_cast<uint32_t>(U16(d, at + 2)) << 16);
}
inline double F64(std::string_view d, size_t at) {
    uint64_t bits = U32(d, at) | (static_cast<uint64_t>(U32(d, at + 4)) << 32);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

inline void PutU8(std::string& d, uint8_t v) {
    d.push_back(static_cast<char>(v));
}
inline void PutU16(std::string& d, uint16_t v) {
    PutU8(d, v & 0xFF);
    PutU8(d, v >> 8);
}
inline void PutU32(std::string& d, uint32_t v) {
    PutU16(d, v & 0xFFFF);
    PutU16(d, v >> 16);
}
inline void PutF64(std::string& d, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    PutU32(d, static_cast<uint32_t>(bits));
    PutU32(d, static_cast<uint32_t>(bits >> 32));
}
inline void SetU16(std::string& d, size_t at, uint16_t v) {
    d[at] = static_cast<char>(v & 0xFF);
    d[at + 1] = static_cast<char>(v >> 8);
}
inline void SetU32(std::string& d, size_t at, uint32_t v) {
    SetU16(d, at, v & 0xFFFF);
    SetU16(d, at + 2, v >> 16);
}

// Appends the code point `cp` to `out` as UTF-8.
void AppendUtf8(std::string& out, uint32_t cp);
// `count` characters at `data`: one byte each (Latin-1) or two (UTF-16LE) when `wide`.
std::string CharsToUtf8(std::string_view data, size_t count, bool wide);
// UTF-8 text as UTF-16 code units (invalid bytes count as Latin-1).
std::u16string Utf8ToUtf16(std::string_view text);

// XLUnicodeString: 16-bit length, flags byte, characters. `length8` gives the 8-bit length
// form (ShortXLUnicodeString). Written compressed when every character fits in one byte.
std::string UnicodeString(std::string_view utf8, bool length8 = false);
// Reads the string at `at`; `at` is moved past it. Rich-text runs and phonetic data skipped.
std::string ReadUnicodeString(std::string_view d, size_t& at, bool length8 = false);

}  // namespace tvx::workbook::bytes
