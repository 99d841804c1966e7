// Typed export cells, the escaping of markup, and the built-in XML spreadsheet.
#include "core/reports/ExportCells.h"

#include <cstdio>

#include "tables/Utf8.h"

namespace tvx::core::exportcells {

using tables::ResultSet;
using tables::Value;

Cell CellAt(const ResultSet& rows, size_t row, int column) {
    const Value value = rows.at(row, column);
    Cell cell;
    if (value.isNull()) return cell;
    if (value.isDate()) {
        const tables::Date date = value.date();
        cell.kind = Kind::Date;
        char iso[16];
        std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", date.year(), date.month(), date.day());
        cell.isoDate = iso;
        cell.dayFirst = date.toString();
        cell.serial = date.toSerial();
        cell.text = cell.dayFirst;
        return cell;
    }
    if (value.isNumber()) {
        cell.kind = Kind::Number;
        cell.text = value.number().toString();
        return cell;
    }
    cell.text = value.toString();
    // Stored texts keep the blanks that fill their field.
    while (!cell.text.empty() && cell.text.back() == ' ') cell.text.pop_back();
    cell.kind = cell.text.empty() ? Kind::Empty : Kind::Text;
    return cell;
}

bool NumericColumn(const ResultSet& rows, int column) {
    return rows.columns().at(column).type == 'N';
}

std::string XmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
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
                out += "&#39;";
                break;
            case '\r':
                break;
            case '\n':
                out += "&#10;";
                break;
            default:
                // Control characters are not allowed in XML.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        }
    }
    return out;
}

std::string RtfEscaped(std::string_view text) {
    std::string out;
    for (size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        if (!tables::decodeUtf8(text, pos, cp)) cp = U'?';
        if (cp == U'\\' || cp == U'{' || cp == U'}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == U'\n') {
            out += "\\line ";
        } else if (cp < 0x20) {
            continue;
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            // \uN takes a signed 16-bit number; '?' is what readers without Unicode show.
            const int n = cp > 0x7FFF ? static_cast<int>(cp) - 0x10000 : static_cast<int>(cp);
            out += "\\u" + std::to_string(n) + "?";
        }
    }
    return out;
}

std::string XmlSpreadsheet(const ResultSet& rows, const std::string& header,
                           const std::string& footer,
                           const std::function<void(size_t, size_t)>& progress) {
    const int columns = rows.columnCount();
    std::string x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<?mso-application progid=\"Excel.Sheet\"?>\r\n"
        "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""
        " xmlns:o=\"urn:schemas-microsoft-com:office:office\""
        " xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
        " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\r\n"
        "<Styles>\r\n"
        "<Style ss:ID=\"Default\" ss:Name=\"Normal\"><Font ss:FontName=\"Arial\" ss:Size=\"10\"/>"
        "</Style>\r\n"
        "<Style ss:ID=\"t\"><Font ss:FontName=\"Arial\" ss:Size=\"10\" ss:Bold=\"1\"/></Style>\r\n"
        "<Style ss:ID=\"d\"><NumberFormat ss:Format=\"dd\\.mm\\.yyyy\"/></Style>\r\n"
        "</Styles>\r\n"
        "<Worksheet ss:Name=\"Export\">\r\n<Table>\r\n";
    // 20 characters of the standard font are about 110 points.
    if (columns > 0)
        x += "<Column ss:Width=\"110\" ss:Span=\"" + std::to_string(columns - 1) + "\"/>\r\n";
    x += "<Row>";
    for (int c = 0; c < columns; ++c)
        x += "<Cell ss:StyleID=\"t\"><Data ss:Type=\"String\">" +
             XmlEscaped(rows.columns()[c].name) + "</Data></Cell>";
    x += "</Row>\r\n";
    const size_t count = rows.rowCount();
    for (size_t r = 0; r < count; ++r) {
        x += "<Row>";
        for (int c = 0; c < columns; ++c) {
            const Cell cell = CellAt(rows, r, c);
            switch (cell.kind) {
                case Kind::Empty:
                    x += "<Cell/>";
                    break;
                case Kind::Number:
                    x += "<Cell><Data ss:Type=\"Number\">" + cell.text + "</Data></Cell>";
                    break;
                case Kind::Date:
                    x += "<Cell ss:StyleID=\"d\"><Data ss:Type=\"DateTime\">" + cell.isoDate +
                         "T00:00:00.000</Data></Cell>";
                    break;
                case Kind::Text:
                    x += "<Cell><Data ss:Type=\"String\">" + XmlEscaped(cell.text) +
                         "</Data></Cell>";
                    break;
            }
        }
        x += "</Row>\r\n";
        if (progress) progress(r + 1, count);
    }
    x += "</Table>\r\n<WorksheetOptions xmlns=\"urn:schemas-microsoft-com:office:excel\">\r\n"
         "<PageSetup>";
    if (!header.empty()) x += "<Header x:Data=\"&amp;C" + XmlEscaped(header) + "\"/>";
    x += "<Footer x:Data=\"&amp;L" + XmlEscaped(footer) +
         "&amp;RPagina &amp;P\"/>"
         "<PageMargins x:Bottom=\"0.3\" x:Left=\"0.3\" x:Right=\"0.3\" x:Top=\"0.3\"/>"
         "</PageSetup>\r\n</WorksheetOptions>\r\n</Worksheet>\r\n</Workbook>\r\n";
    return x;
}

}  // namespace tvx::core::exportcells
