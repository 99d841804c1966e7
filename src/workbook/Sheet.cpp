// Cells of a worksheet and the row operations on them (workbook layer).
#include <functional>
#include <set>

#include "workbook/Bytes.h"
#include "workbook/Workbook.h"

namespace tvx::workbook {

using namespace bytes;

namespace {

// Moves every key >= `at` of `rows` by `delta` (negative: the keys in between are gone).
template <typename Map>
void MoveKeys(Map& rows, int at, int delta) {
    Map moved;
    for (auto& [row, value] : rows) {
        if (row < at)
            moved.emplace(row, std::move(value));
        else if (delta > 0 || row >= at - delta)
            moved.emplace(row + delta, std::move(value));
    }
    rows = std::move(moved);
}

}  // namespace

const Cell* Sheet::find(int row, int col) const {
    const auto r = rows_.find(row);
    if (r == rows_.end()) return nullptr;
    const auto c = r->second.find(col);
    return c == r->second.end() ? nullptr : &c->second;
}

Cell& Sheet::at(int row, int col) {
    auto& cells = rows_[row];
    const auto it = cells.find(col);
    if (it != cells.end()) return it->second;
    Cell blank;
    const auto record = rowRecords_.find(row);
    if (record != rowRecords_.end() && (U16(record->second, 12) & 0x0080))
        blank.xf = U16(record->second, 14) & 0x0FFF;  // the row's own format
    return cells.emplace(col, blank).first->second;
}

void Sheet::clear(int row, int col) {
    Cell& cell = at(row, col);
    cell = Cell::Of(CellKind::Blank, cell.xf);
}

Range Sheet::usedRange() const {
    Range used{0, 0, 0, 0};
    bool any = false;
    for (const auto& [row, cells] : rows_) {
        if (cells.empty()) continue;
        const int first = cells.begin()->first, last = cells.rbegin()->first + 1;
        if (!any) used = {row, row + 1, first, last};
        used.lastRow = row + 1;
        used.firstCol = std::min(used.firstCol, first);
        used.lastCol = std::max(used.lastCol, last);
        any = true;
    }
    return used;
}

void Sheet::insertCopies(int first, int last, int count, int at) {
    if (count <= 0 || last < first) return;
    const int height = last - first + 1;
    const int inserted = height * count;
    for (auto& [row, cells] : rows_)
        for (auto& [col, cell] : cells)
            if (cell.kind == CellKind::Formula) InsertRowsInFormula(cell.formula, at, inserted);
    MoveKeys(rows_, at, inserted);
    MoveKeys(rowRecords_, at, inserted);
    std::vector<Range> blockMerges;
    for (Range& m : merges_) {
        if (m.firstRow >= first && m.lastRow <= last) blockMerges.push_back(m);
        if (m.firstRow >= at) m.firstRow += inserted;
        if (m.lastRow >= at) m.lastRow += inserted;
    }
    auto moved = [&](int row) { return row >= at ? row + inserted : row; };
    for (int k = 0; k < count; ++k) {
        const int offset = at + k * height - first;  // destination row minus source row
        for (int r = first; r <= last; ++r) {
            const int source = moved(r), target = r + offset;
            const auto cells = rows_.find(source);
            if (cells != rows_.end()) {
                auto copy = cells->second;
                for (auto& [col, cell] : copy)
                    if (cell.kind == CellKind::Formula)
                        MoveRelativeRows(cell.formula, target - source);
                rows_[target] = std::move(copy);
            }
            const auto record = rowRecords_.find(source);
            if (record != rowRecords_.end()) rowRecords_[target] = record->second;
        }
        for (Range m : blockMerges) {
            m.firstRow += offset;
            m.lastRow += offset;
            merges_.push_back(m);
        }
    }
}

void Sheet::deleteRows(int at, int count) {
    if (count <= 0) return;
    const int end = at + count;
    MoveKeys(rows_, at, -count);
    MoveKeys(rowRecords_, at, -count);
    for (auto& [row, cells] : rows_)
        for (auto& [col, cell] : cells)
            if (cell.kind == CellKind::Formula) DeleteRowsInFormula(cell.formula, at, count);
    std::vector<Range> kept;
    for (Range m : merges_) {
        const int firstRow =
            m.firstRow < at ? m.firstRow : (m.firstRow >= end ? m.firstRow - count : at);
        const int lastRow =
            m.lastRow < at ? m.lastRow : (m.lastRow >= end ? m.lastRow - count : at - 1);
        if (lastRow < firstRow || (lastRow == firstRow && m.firstCol == m.lastCol)) continue;
        m.firstRow = firstRow;
        m.lastRow = lastRow;
        kept.push_back(m);
    }
    merges_ = std::move(kept);
}

void Sheet::setColumnWidth(int col, int width256) {
    std::string d;
    PutU16(d, static_cast<uint16_t>(col));
    PutU16(d, static_cast<uint16_t>(col));
    PutU16(d, static_cast<uint16_t>(width256));
    PutU16(d, 15);
    PutU16(d, 0x0002);  // custom width
    PutU16(d, 0);
    for (Record& r : head_)
        if (r.id == rec::kColInfo && U16(r.data, 0) == col && U16(r.data, 2) == col) {
            r.data = d;
            return;
        }
    head_.push_back({rec::kColInfo, d});
}

void Sheet::setRowHeight(int row, int twips) {
    std::string& d = rowRecords_[row];
    if (d.size() < 16) {
        d.clear();
        for (uint16_t v : {0, 0, 0, 0x00FF, 0, 0, 0x0100, 0x000F}) PutU16(d, v);
    }
    SetU16(d, 6, static_cast<uint16_t>(twips));
    SetU16(d, 12, static_cast<uint16_t>(U16(d, 12) | 0x0040));  // height set by hand
}

void Sheet::recalculate() {
    std::map<std::pair<int, int>, std::optional<double>> done;
    std::set<std::pair<int, int>> inProgress;
    std::function<std::optional<double>(int, int)> value = [&](int row,
                                                               int col) -> std::optional<double> {
        Cell* cell = nullptr;
        if (const auto r = rows_.find(row); r != rows_.end())
            if (const auto c = r->second.find(col); c != r->second.end()) cell = &c->second;
        if (!cell || cell->kind == CellKind::Blank) return 0.0;
        if (cell->kind == CellKind::Number || cell->kind == CellKind::Boolean) return cell->number;
        if (cell->kind != CellKind::Formula) return std::nullopt;
        if (const auto it = done.find({row, col}); it != done.end()) return it->second;
        if (!inProgress.insert({row, col}).second) return std::nullopt;  // a cycle
        const std::optional<double> result = EvaluateFormula(cell->formula, value);
        inProgress.erase({row, col});
        if (result) {
            cell->cached = CellKind::Number;
            cell->number = *result;
            cell->text.clear();
        }
        done[{row, col}] = result;
        return result;
    };
    for (auto& [row, cells] : rows_)
        for (auto& [col, cell] : cells)
            if (cell.kind == CellKind::Formula) value(row, col);
}

}  // namespace tvx::workbook

namespace tvx::workbook {

namespace {

// Calls `change` with the formula of every NAME record defined on sheet `index` (its
// 1-based sheet number in the record), then puts the formula back.
void ForEachSheetName(std::vector<Record>& globals, int index,
                      const std::function<void(Tokens&)>& change) {
    for (Record& r : globals) {
        if (r.id != rec::kName || r.data.size() < 14 || U16(r.data, 8) != index + 1) continue;
        const size_t nameLength = U8(r.data, 3), formulaLength = U16(r.data, 4);
        const bool wide = U8(r.data, 14) & 0x01;
        const size_t at = 15 + nameLength * (wide ? 2 : 1);
        if (at + formulaLength > r.data.size()) continue;
        Tokens formula = r.data.substr(at, formulaLength);
        change(formula);
        r.data.replace(at, formulaLength, formula);
    }
}

}  // namespace

void Workbook::insertCopies(int index, int first, int last, int count, int at) {
    sheet(index).insertCopies(first, last, count, at);
    if (count <= 0 || last < first) return;
    const int inserted = (last - first + 1) * count;
    ForEachSheetName(globals_, index,
                     [&](Tokens& t) { InsertRowsInFormula(t, at, inserted, true); });
}

void Workbook::deleteRows(int index, int at, int count) {
    sheet(index).deleteRows(at, count);
    if (count <= 0) return;
    ForEachSheetName(globals_, index, [&](Tokens& t) { DeleteRowsInFormula(t, at, count, true); });
}

}  // namespace tvx::workbook
