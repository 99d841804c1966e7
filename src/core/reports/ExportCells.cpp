// Typed export cells and the escaping of markup.
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

}  // namespace tvx::core::exportcells
