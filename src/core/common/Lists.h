// Drop-down list contents drawn from tables (core/common): the distinct values of one field
// and the choice of an item by its text. The window copies the values into its list.
#pragma once

#include <string>
#include <vector>

#include "tables/Database.h"

namespace tvx::core {

// The values a list gains from "SELECT DISTINCT field FROM "tablePath" [WHERE condition]
// ORDER BY field": every non-blank value, in result order, as display text. The caller
// appends them to its list (which is not emptied) and selects nothing. Engine errors
// propagate.
// Values typed by the user go into `condition` as bound parameters (:name), never as text.
std::vector<std::string> FillDistinct(tables::Database& db, const std::string& tablePath,
                                      const std::string& condition, const std::string& field,
                                      const tables::Params& params = {});

// Index of the item equal to `text` (exact, case as stored), or -1 when none: the list then
// selects nothing and shows an empty text.
int SelectListItem(const std::vector<std::string>& items, const std::string& text);

}  // namespace tvx::core
