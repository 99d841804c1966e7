// A grid as the user sees it, for the result-set export (core/reports): the rows its filter
// lets through, in their order, and only the grid's columns, in the grid's order, named by
// their titles, so the export's title row reads as the grid's.
#pragma once

#include <string>
#include <vector>

#include "tables/ResultSet.h"

namespace tvx::core {

struct ShownColumn {
    std::string field;  // the column of the result set
    std::string title;  // its title in the grid; empty: the field name
};

// The visible rows of `rows` under `columns`. A field the rows lack throws EngineError.
tables::ResultSet ShownGrid(const tables::ResultSet& rows, const std::vector<ShownColumn>& columns);

}  // namespace tvx::core
