// Text form of a result set: header and row lines joined by '|'.
#include "tables/ResultFormat.h"

namespace tvx::tables {

std::string formatHeader(const ResultSet& rows) {
    std::string line;
    for (int c = 0; c < rows.columnCount(); ++c) {
        if (c > 0) line += '|';
        line += rows.columns()[static_cast<size_t>(c)].name;
    }
    return line;
}

std::string formatRow(const ResultSet& rows, size_t row) {
    std::string line;
    for (int c = 0; c < rows.columnCount(); ++c) {
        if (c > 0) line += '|';
        line += rows.at(row, c).toString();
    }
    return line;
}

std::vector<std::string> formatResult(const ResultSet& rows) {
    std::vector<std::string> lines;
    lines.reserve(rows.rowCount() + 1);
    lines.push_back(formatHeader(rows));
    for (size_t r = 0; r < rows.rowCount(); ++r) lines.push_back(formatRow(rows, r));
    return lines;
}

}  // namespace tvx::tables
