// Runs parsed statements against a Database (tables/ layer).
#pragma once

#include "tables/Database.h"
#include "tables/sql/Ast.h"

namespace tvx::tables::sql {

// Runs one statement. A statement that fails changes nothing: every value is checked
// and encoded before the first byte is written.
StatementResult executeStatement(Database& db, const Statement& statement, const Params& params);

}  // namespace tvx::tables::sql
