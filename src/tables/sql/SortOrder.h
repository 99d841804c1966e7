// ORDER BY of the engine (tables/sql): rows put in the order of their key values, as
// compareValues orders them, ties left in the order they were produced.
#pragma once

#include <cstddef>
#include <vector>

#include "tables/Value.h"

namespace tvx::tables::sql {

// Stable-sorts `order` (row numbers) by the rows' keys: `keys` holds `descending.size()`
// values per row, one after the other; descending[k] reverses key k. Keys of one type per
// column are first turned into integers of the same order (texts ranked, numbers brought to
// one scale, dates as day numbers), so the sort compares integers; a column mixing types is
// compared value by value (and an incomparable pair throws EngineError).
void sortByKeys(std::vector<size_t>& order, const std::vector<Value>& keys,
                const std::vector<bool>& descending);

}  // namespace tvx::tables::sql
