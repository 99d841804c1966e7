// Distinct field values for drop-down lists (core/common).
#include "core/common/Lists.h"

#include "tables/ResultSet.h"

namespace tvx::core {

namespace {

bool isBlankText(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) > ' ') return false;
    return true;
}

}  // namespace

std::vector<std::string> FillDistinct(tables::Database& db, const std::string& tablePath,
                                      const std::string& condition, const std::string& field,
                                      const tables::Params& params) {
    std::string sql = "SELECT DISTINCT " + field + "\nFROM \"" + tablePath + "\"\n";
    if (!isBlankText(condition)) sql += "WHERE " + condition + "\n";
    sql += "ORDER BY " + field;
    tables::ResultSet rows = db.query(sql, params);
    std::vector<std::string> values;
    for (rows.first(); !rows.eof(); rows.next()) {
        std::string value = rows.value(0).toString();
        if (!isBlankText(value)) values.push_back(std::move(value));
    }
    return values;
}

int SelectListItem(const std::vector<std::string>& items, const std::string& text) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return static_cast<int>(i);
    return -1;
}

}  // namespace tvx::core
