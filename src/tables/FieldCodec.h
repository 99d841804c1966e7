// Conversion between engine Values and the bytes of a dBase field (tables/ layer):
// Windows-1250 text, right-aligned decimals, YYYYMMDD dates, T/F logicals.
#pragma once

#include <string>
#include <string_view>

#include "tables/Value.h"
#include "tables/dbf/DbfFile.h"

namespace tvx::tables {

// Reads a field. Empty numbers and dates, and unreadable ones, are NULL; text loses its
// trailing blanks; numbers carry the field's decimals.
Value decodeField(std::string_view raw, const dbf::FieldDescriptor& field);

// Writes a value into `out` (field.width bytes at field.offset of a record). Text longer
// than the field is cut; a number is rounded half away to the field's decimals. Throws
// EngineError naming `table` and the field when the value does not fit or has the wrong type.
void encodeField(const Value& value, const dbf::FieldDescriptor& field, std::string& record,
                 const std::string& table);

// The value converted the way encodeField would store it, without writing it (used to
// compare a lookup value with stored values of that field). Throws like encodeField.
Value coerceForField(const Value& value, const dbf::FieldDescriptor& field,
                     const std::string& table);

}  // namespace tvx::tables
