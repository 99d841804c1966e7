// Template workbooks filled natively (core/reports).
#include "core/reports/ExpXLSOLE.h"

#include <system_error>
#include <vector>

#include "core/common/TempFiles.h"

namespace tvx::core {

namespace fs = std::filesystem;
using workbook::Cell;
using workbook::CellKind;

namespace {

std::function<void(const fs::path&)>& Opener() {
    static std::function<void(const fs::path&)> opener;
    return opener;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string Trimmed(std::string_view text) {
    const size_t from = text.find_first_not_of(" \t\r\n");
    if (from == std::string_view::npos) return {};
    const size_t to = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(from, to - from + 1));
}

// `text` with every occurrence of `tag` (ignoring case) replaced by `by`.
std::string ReplaceAllIgnoringCase(const std::string& text, const std::string& tag,
                                   const std::string& by) {
    const std::string upperText = Upper(text), upperTag = Upper(tag);
    std::string out;
    size_t from = 0;
    for (size_t at; (at = upperText.find(upperTag, from)) != std::string::npos;
         from = at + tag.size())
        out += text.substr(from, at - from) + by;
    return out + text.substr(from);
}

}  // namespace

Cell CellOf(const tables::Value& value, uint16_t xf) {
    switch (value.type()) {
        case tables::ValueType::Null:
            return Cell::Of(CellKind::Blank, xf);
        case tables::ValueType::Text:
            return Cell::Str(value.text(), xf);
        case tables::ValueType::Number:
            return Cell::Num(value.number().toDouble(), xf);
        case tables::ValueType::Date:
            return Cell::Num(value.date().toSerial(), xf);
        case tables::ValueType::Logical:
            return Cell::Num(value.logical() ? 1 : 0, xf);
    }
    return Cell::Of(CellKind::Blank, xf);
}

TExpXLSOLE::TExpXLSOLE(fs::path outputFolder) : folder_(std::move(outputFolder)) {}

void TExpXLSOLE::SetOpener(std::function<void(const fs::path&)> opener) {
    Opener() = std::move(opener);
}

bool TExpXLSOLE::OpenTemplate(const fs::path& templatePath, bool /*automationWanted*/) {
    book_.reset();
    output_.clear();
    problem_.clear();
    std::error_code ec;
    if (!fs::is_regular_file(templatePath, ec)) {
        problem_ = "Fisierul " + templatePath.string() + " lipseste!";
        return false;
    }
    try {
        book_ = workbook::Workbook::Load(templatePath);
    } catch (const workbook::WorkbookError& e) {
        problem_ = e.what();
        return false;
    }
    output_ = TempFileName(folder_, "XLSTmp", ".xls");
    if (output_.empty()) {
        book_.reset();
        problem_ = "Nu exista un nume liber pentru registrul XLSTmp in " + folder_.string() + "!";
        return false;
    }
    return true;
}

void TExpXLSOLE::ReplaceTag(std::string_view tag, const tables::Value& value) {
    if (!book_) return;
    const std::string wanted = Upper(Trimmed(tag));
    if (wanted.empty()) return;
    const std::string valueText = value.isNull() ? std::string() : value.toString();
    for (const auto& [row, cells] : sheet().rows())
        for (const auto& [col, cell] : cells) {
            if (cell.kind != CellKind::Text) continue;
            if (Upper(Trimmed(cell.text)) == wanted) {
                sheet().set(row, col, CellOf(value, cell.xf));
            } else if (Upper(cell.text).find(wanted) != std::string::npos) {
                Cell changed = cell;
                changed.text = ReplaceAllIgnoringCase(cell.text, Trimmed(tag), valueText);
                sheet().set(row, col, changed);
            }
        }
}

void TExpXLSOLE::SetCell(int row, int col, const tables::Value& value) {
    if (!book_ || row < 1 || col < 1) return;
    Cell& cell = sheet().at(row - 1, col - 1);
    cell = CellOf(value, cell.xf);
}

void TExpXLSOLE::CopyRowBlock(int first, int last, int count, int dest) {
    if (book_ && first >= 1 && dest >= 1)
        book_->insertCopies(0, first - 1, last - 1, count, dest - 1);
}

void TExpXLSOLE::InsertRowCopies(int row, int count) {
    if (book_ && row >= 1) book_->insertCopies(0, row - 1, row - 1, count, row - 1);
}

void TExpXLSOLE::DeleteRows(int row, int count) {
    if (book_ && row >= 1) book_->deleteRows(0, row - 1, count);
}

void TExpXLSOLE::FillFromDataSet(const tables::ResultSet& rows) {
    if (!book_) return;
    int markedRow = -1;
    for (const auto& [row, cells] : sheet().rows()) {
        for (const auto& [col, cell] : cells)
            if (cell.kind == CellKind::Text && Upper(Trimmed(cell.text)) == "#DBF") {
                sheet().clear(row, col);
                markedRow = row;
                break;
            }
        if (markedRow >= 0) break;
    }
    if (markedRow < 0 || rows.rowCount() == 0) return;
    book_->insertCopies(0, markedRow, markedRow, static_cast<int>(rows.rowCount()) - 1, markedRow);
    for (size_t k = 0; k < rows.rowCount(); ++k) {
        const int row = markedRow + static_cast<int>(k);
        std::vector<std::pair<int, Cell>> filled;
        for (const auto& [col, cell] : sheet().rows().at(row)) {
            if (cell.kind != CellKind::Text) continue;
            const std::string marker = Upper(Trimmed(cell.text));
            if (marker == "%NRCRT") {
                filled.emplace_back(col, Cell::Num(static_cast<double>(k + 1), cell.xf));
            } else if (marker.size() > 1 && marker[0] == '#') {
                const int field = rows.findField(marker.substr(1));
                if (field < 0) continue;
                const tables::Value value = rows.at(k, field);
                Cell out = CellOf(value, cell.xf);
                if (out.kind == CellKind::Number && out.number == 0)
                    out = Cell::Of(CellKind::Blank, cell.xf);
                filled.emplace_back(col, out);
            }
        }
        for (auto& [col, cell] : filled) sheet().set(row, col, std::move(cell));
    }
}

bool TExpXLSOLE::FinishWorkbook(bool show) {
    if (!book_) return false;
    try {
        book_->save(output_);
    } catch (const workbook::WorkbookError& e) {
        problem_ = e.what();
        return false;
    }
    book_.reset();
    if (show && Opener()) Opener()(output_);
    return true;
}

}  // namespace tvx::core
