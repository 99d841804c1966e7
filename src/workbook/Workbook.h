// A BIFF8 workbook (.xls) held in memory (workbook layer): the records of the workbook
// globals and of each sheet are kept as read, except those the engine owns and writes anew
// (shared strings, cells, ROW, DIMENSIONS, MERGEDCELLS, sheet offsets, cell indexes). Cells
// are values, texts, blanks and formulas with their format (XF) index; row operations move
// formulas, merged ranges and row heights the way a spreadsheet program does.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "workbook/Formula.h"

namespace tvx::workbook {

// A file that cannot be read as a BIFF8 workbook or cannot be written; `what()` is a
// Romanian sentence for the user.
class WorkbookError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Record {
    uint16_t id = 0;
    std::string data;
};

enum class CellKind { Blank, Number, Text, Boolean, Error, Formula };

struct Cell {
    CellKind kind = CellKind::Blank;
    uint16_t xf = 15;
    double number = 0;                   // Number, Boolean/Error code, a formula's numeric result
    std::string text;                    // Text, a formula's text result
    Tokens formula;                      // Formula
    CellKind cached = CellKind::Number;  // kind of a formula's stored result

    static Cell Of(CellKind kind, uint16_t xf, double number = 0) {
        Cell c;
        c.kind = kind;
        c.xf = xf;
        c.number = number;
        return c;
    }
    static Cell Num(double v, uint16_t xf = 15) { return Of(CellKind::Number, xf, v); }
    static Cell Str(std::string s, uint16_t xf = 15) {
        Cell c = Of(CellKind::Text, xf);
        c.text = std::move(s);
        return c;
    }
};

// A rectangle of cells, zero-based and inclusive.
struct Range {
    int firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
    bool operator==(const Range&) const = default;
};

class Sheet {
  public:
    std::string name;

    // The cell at row, col (zero-based); nullptr when the cell holds nothing.
    const Cell* find(int row, int col) const;
    // The cell, created blank (format of the row, else the default) when missing.
    Cell& at(int row, int col);
    void set(int row, int col, Cell cell) { rows_[row][col] = std::move(cell); }
    // Keeps the cell's format, drops its content (a formatted blank stays).
    void clear(int row, int col);
    const std::map<int, std::map<int, Cell>>& rows() const { return rows_; }
    // The first and one-past-last row and column that hold a cell; all 0 when empty.
    Range usedRange() const;

    // Inserts `count` copies of rows first..last (contents, formats, heights, merged ranges
    // inside the block, formulas with their relative rows moved) at row `at`. The sheet's
    // formulas and merged ranges follow the rows that moved; an area spanning `at` grows.
    void insertCopies(int first, int last, int count, int at);
    void deleteRows(int at, int count);

    void setColumnWidth(int col, int width256);
    void setRowHeight(int row, int twips);
    void addMerge(const Range& r) { merges_.push_back(r); }
    const std::vector<Range>& merges() const { return merges_; }

    // Computes the stored results of the formulas it can (arithmetic and SUM); the others
    // keep theirs. A spreadsheet program recalculates every formula on opening anyway.
    void recalculate();

  private:
    friend class Workbook;
    friend class BiffReader;
    friend class BiffWriter;

    std::map<int, std::map<int, Cell>> rows_;
    std::map<int, std::string> rowRecords_;  // ROW record of each row that has one
    std::vector<Range> merges_;
    std::vector<Record> head_;  // records before the cell table (DIMENSIONS not kept)
    std::vector<Record> tail_;  // records after it; a MERGEDCELLS slot marks where merges go
    bool parsed_ = true;        // a chart or macro sheet is kept as raw records in head_
    uint8_t visibility_ = 0, type_ = 0;
};

class Workbook {
  public:
    // Reads `path`. Throws WorkbookError when the file is missing, not an OLE2 file, has no
    // BIFF8 workbook stream, or is damaged.
    static Workbook Load(const std::filesystem::path& path);
    // A new workbook of one empty sheet, with the default font, formats and styles.
    static Workbook Create(const std::string& sheetName);

    // Writes the workbook to a temporary file beside `path`, then renames it over `path`:
    // a failure leaves nothing under `path` but what was there. Throws WorkbookError.
    void save(const std::filesystem::path& path);
    // The workbook file as bytes (OLE2 container).
    std::string bytes();

    int sheetCount() const { return static_cast<int>(sheets_.size()); }
    Sheet& sheet(int index) { return *sheets_.at(index); }

    // The row operations of Sheet, for sheet `index`; the names defined on that sheet (its
    // print area, print titles) follow the rows as well.
    void insertCopies(int index, int first, int last, int count, int at);
    void deleteRows(int index, int at, int count);

    // The print area of sheet `index` (its built-in name Print_Area), nullopt without one.
    std::optional<Range> printArea(int index) const;
    // Gives a new workbook's sheet `index` a print area (the sheet reference and the name are
    // added to the globals). Only for workbooks made by Create.
    void setPrintArea(int index, const Range& area);
    // Gives a new workbook's sheet `index` the texts printed at the top and the bottom of each
    // page, in the spreadsheet's page-text codes ("&L" left, "&C" centre, "&R" right part,
    // "&P" the page number, "&&" an ampersand); empty: none. At most 255 characters each, else
    // WorkbookError. Only for workbooks made by Create.
    void setPageTexts(int index, const std::string& header, const std::string& footer);

    // Styles of a new workbook: a font (height in twips, bold), a number format, a cell
    // format. Each returns the index cells refer to.
    struct Font {
        std::string name = "Arial";
        int height = 200;
        bool bold = false;
        bool italic = false;
    };
    struct Style {
        int font = 0;
        int format = 0;
        int horizontal = 0;  // 0 general, 1 left, 2 center, 3 right
        int vertical = 2;    // 0 top, 1 center, 2 bottom
        bool wrap = false;
        int borderLeft = 0, borderRight = 0, borderTop = 0, borderBottom = 0;  // 1 thin, 2 medium
    };
    int addFont(const Font& font);
    int addFormat(const std::string& code);
    int addStyle(const Style& style);

  private:
    friend class BiffReader;
    friend class BiffWriter;

    std::vector<Record> globals_;  // an SST record marks where the shared strings go
    std::vector<std::unique_ptr<Sheet>> sheets_;
    std::vector<std::pair<std::string, std::string>> otherStreams_;  // container streams kept
};

// Ids of the records the engine reads or writes.
namespace rec {
constexpr uint16_t kFormula = 0x0006, kEof = 0x000A, kContinue = 0x003C, kFont = 0x0031,
                   kFormat = 0x041E, kXf = 0x00E0, kBoundSheet = 0x0085, kMulRk = 0x00BD,
                   kMulBlank = 0x00BE, kRString = 0x00D6, kDbCell = 0x00D7, kMerged = 0x00E5,
                   kSst = 0x00FC, kLabelSst = 0x00FD, kExtSst = 0x00FF, kDimensions = 0x0200,
                   kBlank = 0x0201, kNumber = 0x0203, kLabel = 0x0204, kBoolErr = 0x0205,
                   kString = 0x0207, kRow = 0x0208, kIndex = 0x020B, kArray = 0x0221,
                   kTable = 0x0236, kRk = 0x027E, kStyle = 0x0293, kShrFmla = 0x04BC, kBof = 0x0809,
                   kColInfo = 0x007D, kName = 0x0018, kHeader = 0x0014, kFooter = 0x0015;
}

}  // namespace tvx::workbook
