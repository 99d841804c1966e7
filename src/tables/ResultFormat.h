// Text form of a result set, shared by the SQL shell and the SQL case tests: the column
// names joined by '|', then one line per visible row with the values joined by '|'
// (Value::toString: numbers with their scale, dates dd.MM.yyyy, NULL as nothing).
#pragma once

#include <string>
#include <vector>

#include "tables/ResultSet.h"

namespace tvx::tables {

// The header line: column names joined by '|'.
std::string formatHeader(const ResultSet& rows);
// One visible row's values joined by '|'.
std::string formatRow(const ResultSet& rows, size_t row);
// The header line followed by one line per visible row.
std::vector<std::string> formatResult(const ResultSet& rows);

}  // namespace tvx::tables
