// String encodings of BIFF8 records (workbook layer).
#include "workbook/Bytes.h"

namespace tvx::workbook::bytes {

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string CharsToUtf8(std::string_view data, size_t count, bool wide) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        if (!wide) {
            AppendUtf8(out, U8(data, i));
            continue;
        }
        uint32_t unit = U16(data, 2 * i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count) {
            const uint32_t low = U16(data, 2 * (i + 1));
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, unit);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<uint8_t>(text[i]);
        uint32_t cp = c;
        size_t len = 1;
        if (c >= 0xF0 && i + 3 < text.size()) {
            cp = ((c & 0x07) << 18) | ((text[i + 1] & 0x3F) << 12) | ((text[i + 2] & 0x3F) << 6) |
                 (text[i + 3] & 0x3F);
            len = 4;
        } else if (c >= 0xE0 && i + 2 < text.size()) {
            cp = ((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F);
            len = 3;
        } else if (c >= 0xC0 && i + 1 < text.size()) {
            cp = ((c & 0x1F) << 6) | (text[i + 1] & 0x3F);
            len = 2;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string UnicodeString(std::string_view utf8, bool length8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    bool wide = false;
    for (char16_t u : units) wide = wide || u > 0xFF;
    std::string out;
    if (length8)
        PutU8(out, static_cast<uint8_t>(units.size()));
    else
        PutU16(out, static_cast<uint16_t>(units.size()));
    PutU8(out, wide ? 1 : 0);
    for (char16_t u : units) {
        if (wide)
            PutU16(out, u);
        else
            PutU8(out, static_cast<uint8_t>(u));
    }
    return out;
}

std::string ReadUnicodeString(std::string_view d, size_t& at, bool length8) {
    size_t count = length8 ? U8(d, at) : U16(d, at);
    at += length8 ? 1 : 2;
    const uint8_t flags = U8(d, at++);
    size_t runs = 0, ext = 0;
    if (flags & 0x08) runs = U16(d, at), at += 2;
    if (flags & 0x04) ext = U32(d, at), at += 4;
    const bool wide = flags & 0x01;
    const size_t bytes = count * (wide ? 2 : 1);
    std::string text = at < d.size() ? CharsToUtf8(d.substr(at), count, wide) : std::string();
    at += bytes + runs * 4 + ext;
    return text;
}

}  // namespace tvx::workbook::bytes
