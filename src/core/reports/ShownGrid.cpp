// Copying a grid's visible rows and columns under their titles (core/reports).
#include "core/reports/ShownGrid.h"

namespace tvx::core {

tables::ResultSet ShownGrid(const tables::ResultSet& rows,
                            const std::vector<ShownColumn>& columns) {
    std::vector<tables::ColumnInfo> infos;
    std::vector<int> sources;
    for (const ShownColumn& column : columns) {
        const int source = rows.fieldIndex(column.field);
        tables::ColumnInfo info = rows.columns()[static_cast<size_t>(source)];
        if (!column.title.empty()) info.name = column.title;
        infos.push_back(std::move(info));
        sources.push_back(source);
    }
    std::vector<tables::Value> cells;
    cells.reserve(rows.rowCount() * sources.size());
    for (size_t row = 0; row < rows.rowCount(); ++row)
        for (int source : sources) cells.push_back(rows.at(row, source));
    return tables::ResultSet(std::move(infos), std::move(cells));
}

}  // namespace tvx::core
