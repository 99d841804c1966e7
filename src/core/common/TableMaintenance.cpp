// Packing and field-layout changes of table files (core/common).
#include "core/common/TableMaintenance.h"

#include <string>

#include "tables/EngineError.h"

namespace tvx::core {

namespace fs = std::filesystem;

void PackTable(tables::Database& db, const fs::path& table) {
    db.pack(db.resolveTable(table.string(), true));
}

tables::FieldLayout ReadFieldLayout(tables::Database& db, std::string_view table,
                                    std::string_view field) {
    const fs::path file = db.resolveTable(table, false);
    const std::optional<tables::FieldLayout> layout = db.readFieldLayout(file, field);
    if (!layout) throw tables::EngineError("Unknown column " + std::string(field), file.string());
    return *layout;
}

void ChangeFieldLayout(tables::Database& db, std::string_view table, std::string_view field,
                       const tables::FieldLayout& change) {
    const fs::path file = db.resolveTable(table, false);
    tables::FieldLayout layout = ReadFieldLayout(db, table, field);
    if (!change.name.empty()) layout.name = change.name;
    if (change.type != '\0') layout.type = change.type;
    if (change.width != 0) layout.width = change.width;
    if (change.decimals != 0) layout.decimals = change.decimals;
    db.changeFieldLayout(file, field, layout);
}

}  // namespace tvx::core
