// The spreadsheet exports' workbook engine (core/reports): a template workbook is opened,
// its [PLACEHOLDER]s replaced, its row marked "#DBF" repeated once per row of a result set
// ("%NRCRT" the running number, "#FIELD" a column's value), rows copied or deleted, and the
// result saved as a new XLSTmp<n>.xls of the program folder. There is no spreadsheet
// automation on this platform: the native writer always does the work, whatever the caller
// wants. Rows and columns are counted from 1.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "tables/ResultSet.h"
#include "tables/Value.h"
#include "workbook/Workbook.h"

namespace tvx::core {

class TExpXLSOLE {
  public:
    // Outputs go to `outputFolder` (the program folder).
    explicit TExpXLSOLE(std::filesystem::path outputFolder);

    // Opens `templatePath` and chooses the output name. False when the template is missing,
    // is not a workbook or is damaged, or no output name is free: `problem()` then says why.
    bool OpenTemplate(const std::filesystem::path& templatePath, bool automationWanted);
    // Whether spreadsheet automation is in use: never on this platform.
    bool automation() const { return false; }

    // Every cell of the first sheet whose whole text is `tag` (ignoring case and the blanks
    // around it) receives the value itself; a cell whose text contains it gets the value's text
    // in its place.
    void ReplaceTag(std::string_view tag, const tables::Value& value);
    void SetCell(int row, int col, const tables::Value& value);
    // Inserts `count` copies of rows first..last at row `dest`.
    void CopyRowBlock(int first, int last, int count, int dest);
    // Inserts `count` copies of `row` above it.
    void InsertRowCopies(int row, int count);
    void DeleteRows(int row, int count);
    // Fills the first row marked "#DBF" with every row of `rows` (the marker is emptied, so a
    // second call fills the next marked row). Nothing happens without a marked row.
    void FillFromDataSet(const tables::ResultSet& rows);
    // Saves the output (complete or not at all). When `show`, the opener installed by the
    // windows opens it. False, with `problem()`, when it cannot be written.
    bool FinishWorkbook(bool show);

    const std::filesystem::path& outputPath() const { return output_; }
    const std::string& problem() const { return problem_; }
    // The open workbook's first sheet (for the callers' own cell work and the tests).
    workbook::Sheet& sheet() { return book_->sheet(0); }

    // How a finished workbook is shown to the user; installed by the windows (none in tests).
    static void SetOpener(std::function<void(const std::filesystem::path&)> opener);

  private:
    std::filesystem::path folder_, output_;
    std::optional<workbook::Workbook> book_;
    std::string problem_;
};

// A value as a cell: text stays text, numbers and dates (day serial numbers) become numbers,
// logicals 1 or 0, NULL an empty cell; the cell keeps format `xf`.
workbook::Cell CellOf(const tables::Value& value, uint16_t xf);

}  // namespace tvx::core
