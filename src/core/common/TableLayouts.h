// Field layouts of every table the program writes: the permanent tables of the data
// directory in the order start-up creates them, and the work tables of the program folder.
// This is the one place the layouts live; start-up, the windows that build work tables and
// the data generator all take their CREATE TABLE statements from here.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tables/Decimal.h"

namespace tvx::core {

struct FieldSpec {
    std::string name;  // upper case, at most 10 characters
    char type = 'C';   // 'C' CHAR(width), 'N' DECIMAL(width, decimals), 'D' DATE
    int width = 0;
    int decimals = 0;
};

struct TableLayout {
    std::string name;  // table name; the file is name + ".dbf"
    std::vector<FieldSpec> fields;

    // Position of a field by name (case-insensitive), -1 when absent.
    int fieldIndex(std::string_view field) const;
};

// Conturi, FactIn, ChitIn, CapNIR, ProdNIR, CapFise, Fise, FactOut, ProdOut, Catalog,
// ChitOut, Comenzi, Timp, Precom: the order in which a new data directory gets them.
const std::vector<TableLayout>& permanentTables();

// Work tables of the program folder: u, ProdTemp, Stoc, Casa, Fact, Cumparari, Tmp, Aviz.
const std::vector<TableLayout>& workTables();

// The list of delivery notes; its file is "AvizFis" followed by a number, ".dbf".
const TableLayout& avizFisLayout();

// A permanent or work table (or AvizFis) by name, ignoring case; throws
// tvx::tables::EngineError naming the table when there is none.
const TableLayout& tableLayout(std::string_view name);

// Field `field` of table `table` (names ignoring case); throws tvx::tables::EngineError
// naming both when there is none.
const FieldSpec& fieldSpec(std::string_view table, std::string_view field);

// Whether a number fits a numeric field as the engine stores it: rounded half away from
// zero to the field's decimals, its text (sign and point included) within the width.
bool fitsField(const FieldSpec& field, const tables::Decimal& value);

// Column type as the dialect writes it: CHAR(24), DECIMAL(10,2), DATE.
std::string columnType(const FieldSpec& field);

// CREATE TABLE "file" (IDCONT DECIMAL(10,0), CONT CHAR(24), ...). Throws EngineError when
// the path cannot be written inside a quoted name (it holds a double quote).
std::string createTableStatement(const TableLayout& layout, const std::filesystem::path& file);

}  // namespace tvx::core
