// Parser of the local SQL dialect: statement text -> syntax tree (tables/ layer).
#pragma once

#include <string_view>

#include "tables/sql/Ast.h"

namespace tvx::tables::sql {

// Parses exactly one statement (a trailing ';' and blanks are allowed). Throws EngineError
// "Syntax error: <what> at position N" (N 1-based, in characters) for malformed text.
Statement parseStatement(std::string_view text);

// Splits a script into statements: a statement ends with a ';' that ends a line (outside
// quotes). Text after the last such ';' is returned as the last statement when not blank.
std::vector<std::string> splitScript(std::string_view script);

}  // namespace tvx::tables::sql
