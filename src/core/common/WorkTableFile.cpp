// A work table written whole through the dBase file layer.
#include "core/common/WorkTableFile.h"

#include <system_error>

#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/FieldCodec.h"
#include "tables/dbf/DbfFile.h"

namespace tvx::core {

void DeleteWorkTable(tables::Database& db, const std::filesystem::path& file) {
    db.forget(file);
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ec)
        throw tables::EngineError("Cannot delete work table " + file.string() + ": " + ec.message(),
                                  file.stem().string());
}

void WriteWorkTable(tables::Database& db, const TableLayout& layout,
                    const std::filesystem::path& file,
                    const std::vector<std::vector<tables::Value>>& rows) {
    DeleteWorkTable(db, file);
    std::vector<tables::dbf::FieldDescriptor> fields;
    for (const FieldSpec& f : layout.fields)
        fields.push_back({f.name, f.type, f.width, f.decimals});
    auto dbf = tables::dbf::DbfFile::create(file, std::move(fields));
    try {
        const auto& described = dbf->fields();
        const std::string blank = dbf->blankRecord();
        std::string records;
        records.reserve(blank.size() * rows.size());
        std::string record;
        for (const auto& row : rows) {
            if (row.size() != described.size())
                throw tables::EngineError("A row of " + std::to_string(row.size()) +
                                              " values for a table of " +
                                              std::to_string(described.size()) + " fields",
                                          layout.name);
            record = blank;
            for (size_t i = 0; i < row.size(); ++i)
                if (!row[i].isNull())
                    tables::encodeField(row[i], described[i], record, layout.name);
            records += record;
        }
        dbf->appendRecords(records);
    } catch (...) {
        dbf.reset();
        std::error_code ec;
        std::filesystem::remove(file, ec);
        throw;
    }
    dbf.reset();
    db.forget(file);
}

}  // namespace tvx::core
