// Table creation through the engine and row appending through the dBase file.
#include "TableWriter.h"

#include "tables/EngineError.h"
#include "tables/FieldCodec.h"

namespace tvx::gen {

TableWriter::TableWriter(tables::Database& db, const core::TableLayout& layout)
    : file_(db.dataDir() / (layout.name + ".dbf")), table_(layout.name) {
    db.forget(file_);
    dbf_ = tables::dbf::DbfFile::open(file_);
    const auto& fields = dbf_->fields();
    for (size_t i = 0; i < fields.size(); ++i) fieldIndex_[fields[i].name] = static_cast<int>(i);
    if (fields.size() != layout.fields.size())
        throw tables::EngineError("Created table does not have its layout's fields", table_);
}

TableWriter::~TableWriter() = default;

TableWriter& TableWriter::row() {
    record_ = dbf_->blankRecord();
    return *this;
}

TableWriter& TableWriter::set(std::string_view field, const tables::Value& value) {
    auto it = fieldIndex_.find(std::string(field));
    if (it == fieldIndex_.end())
        throw tables::EngineError("Unknown column " + std::string(field), table_);
    if (record_.empty()) row();
    const auto& f = dbf_->fields()[static_cast<size_t>(it->second)];
    if (value.isNull())
        record_.replace(static_cast<size_t>(f.offset), static_cast<size_t>(f.width),
                        static_cast<size_t>(f.width), ' ');
    else
        tables::encodeField(value, f, record_, table_);
    return *this;
}

void TableWriter::append() {
    if (record_.empty()) row();
    dbf_->appendRecord(record_);
    record_.clear();
    ++rows_;
}

}  // namespace tvx::gen
