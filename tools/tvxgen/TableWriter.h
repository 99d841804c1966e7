// Bulk filling of one table just created through the engine (with its layout's CREATE TABLE
// statement): rows are encoded field by field with the engine's field codec and appended to
// the dBase file.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/common/TableLayouts.h"
#include "tables/Database.h"
#include "tables/Value.h"
#include "tables/dbf/DbfFile.h"

namespace tvx::gen {

class TableWriter {
  public:
    // Opens `layout.name + ".dbf"` of the database's data directory, which must exist with
    // the layout's fields.
    TableWriter(tables::Database& db, const core::TableLayout& layout);
    ~TableWriter();

    // Starts a new row with every field blank (NULL numbers and dates, empty text).
    TableWriter& row();
    // Sets a field of the current row; throws EngineError for an unknown field or a value
    // that does not fit.
    TableWriter& set(std::string_view field, const tables::Value& value);
    // Appends the current row to the file.
    void append();

    size_t rowCount() const { return rows_; }
    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
    std::string table_;
    std::unique_ptr<tables::dbf::DbfFile> dbf_;
    std::unordered_map<std::string, int> fieldIndex_;
    std::string record_;
    size_t rows_ = 0;
};

}  // namespace tvx::gen
