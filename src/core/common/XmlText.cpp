// Escaping text for XML and HTML files (core/common).
#include "core/common/XmlText.h"

#include "tables/Utf8.h"

namespace tvx::core {

std::string XmlText(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size() + 8);
    size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            ++pos;
            switch (byte) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\'':
                    out += "&apos;";
                    break;
                case '\n':
                    out += keepLineBreaks ? "&#10;" : " ";
                    break;
                case '\r':
                    if (!keepLineBreaks) out += ' ';
                    break;
                case '\t':
                    out += keepLineBreaks ? '\t' : ' ';
                    break;
                default:
                    out += byte < 0x20 ? ' ' : static_cast<char>(byte);
            }
            continue;
        }
        const size_t start = pos;
        char32_t cp = 0;
        if (!tables::decodeUtf8(text, pos, cp) || cp == 0xFFFE || cp == 0xFFFF)
            tables::appendUtf8(out, 0xFFFD);
        else
            out.append(text.substr(start, pos - start));
    }
    return out;
}

}  // namespace tvx::core
