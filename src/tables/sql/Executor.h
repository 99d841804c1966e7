// Runs parsed statements against a Database (tables/ layer).
#pragma once

#include <memory>

#include "tables/Database.h"
#include "tables/sql/Ast.h"

namespace tvx::tables::sql {

// A SELECT, INSERT, UPDATE or DELETE bound to its tables, kept to run the same text again.
struct Prepared;
struct PreparedDeleter {
    void operator()(Prepared* p) const;
};
using PreparedPtr = std::unique_ptr<Prepared, PreparedDeleter>;

// Runs one statement. A statement that fails changes nothing: every value is checked
// and encoded before the first byte is written. With `kept`, a statement bound by an
// earlier run is run again when every table it names is still the one it was bound to
// (same file, not read again, repacked or re-laid out); otherwise it is bound anew and
// kept there. Parameters are read at every run.
StatementResult executeStatement(Database& db, const Statement& statement, const Params& params,
                                 PreparedPtr* kept = nullptr);

}  // namespace tvx::tables::sql
