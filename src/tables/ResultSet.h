// Read-only result of a SELECT (tables/ layer): a materialised snapshot of rows with a
// cursor (first/next/eof), random access for grids, the in-memory row filter
// ((SOC2='AB*') AND (DATAOUT>='01.03.2024')) and locate.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/Value.h"

namespace tvx::tables {

struct ColumnInfo {
    std::string name;  // field name, alias, or EXPRn
    char type = 'C';   // 'C', 'N', 'D', 'L'
    int width = 0;     // field width (computed columns: widest value's text)
    int decimals = 0;  // numbers: decimals of the field or the widest computed scale
};

// Where the rows of a result set come from: values computed when the statement ran, or
// records of table images read when a cell is asked for (see LazyRows).
class RowSource {
  public:
    virtual ~RowSource() = default;
    virtual size_t rowCount() const = 0;
    virtual Value cell(size_t row, int column) const = 0;
};

class ResultSet {
  public:
    ResultSet() = default;
    ResultSet(std::vector<ColumnInfo> columns, std::vector<Value> cells);
    ResultSet(std::vector<ColumnInfo> columns, std::shared_ptr<const RowSource> rows);

    const std::vector<ColumnInfo>& columns() const { return columns_; }
    int columnCount() const { return static_cast<int>(columns_.size()); }
    // Index of the first column with that name (case-insensitive), -1 when absent.
    int findField(std::string_view name) const;
    // Like findField, but a missing column throws EngineError naming it.
    int fieldIndex(std::string_view name) const;

    // Rows visible through the filter.
    size_t rowCount() const { return visible_.size(); }
    bool empty() const { return visible_.empty(); }
    Value at(size_t row, int column) const;

    // Cursor over the visible rows.
    void first() { pos_ = 0; }
    void next() {
        if (pos_ < visible_.size()) ++pos_;
    }
    bool eof() const { return pos_ >= visible_.size(); }
    size_t position() const { return pos_; }
    void moveTo(size_t row) { pos_ = row < visible_.size() ? row : visible_.size(); }
    void last() { pos_ = visible_.empty() ? 0 : visible_.size() - 1; }

    // Current row's field. Throws EngineError at eof or for an unknown name.
    Value value(std::string_view name) const;
    Value value(int column) const;
    std::string asText(std::string_view name) const;          // display text, NULL -> ""
    Decimal asNumber(std::string_view name) const;            // NULL or blank -> 0
    std::optional<Date> asDate(std::string_view name) const;  // NULL -> nullopt

    // In-memory filter: terms (FIELD op 'value') joined by AND, op one of = <> < > <= >=;
    // a quote inside a value is written twice; 'AB*' is a prefix match, =NULL / <>NULL test
    // emptiness. Empty text clears the filter. Throws EngineError for malformed text or an unknown
    // field. The cursor goes first.
    void setFilter(std::string_view filter);
    const std::string& filter() const { return filter_; }
    // Moves the cursor to the first visible row whose field equals `value` exactly and
    // returns true; returns false and leaves the cursor where it was otherwise.
    bool locate(std::string_view name, const Value& value);

    // Stable sort of all rows by one column (grids: title click).
    void sortBy(int column, bool descending);

  private:
    Value cell(size_t physicalRow, int column) const { return rows_->cell(physicalRow, column); }
    void showAllRows();
    std::vector<ColumnInfo> columns_;
    std::shared_ptr<const RowSource> rows_;
    std::vector<size_t> order_;    // physical rows in display order
    std::vector<size_t> visible_;  // physical rows passing the filter, in display order
    std::string filter_;
    size_t pos_ = 0;
};

}  // namespace tvx::tables
