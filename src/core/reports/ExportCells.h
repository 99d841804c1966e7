// The cells of a result set as the export formats see them (core/reports, internal to the
// export): a typed cell per visible row and column, with the text each kind of format writes,
// and the escaping of the markup formats.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tables/ResultSet.h"

namespace tvx::core::exportcells {

enum class Kind { Empty, Text, Number, Date };

struct Cell {
    Kind kind = Kind::Empty;
    std::string text;      // texts as stored; numbers with their decimals and a point
    std::string isoDate;   // dates: yyyy-MM-dd
    std::string dayFirst;  // dates: dd.MM.yyyy
    int serial = 0;        // dates: days since 30.12.1899
};

Cell CellAt(const tables::ResultSet& rows, size_t row, int column);
// Whether the column holds numbers (aligned right).
bool NumericColumn(const tables::ResultSet& rows, int column);

// RTF text: \ { } escaped, characters beyond ASCII as \uN?.
std::string RtfEscaped(std::string_view text);

}  // namespace tvx::core::exportcells
