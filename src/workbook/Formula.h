// Formula token arrays (rgce) of BIFF8 cells (workbook layer): walking them, moving their
// references when rows are inserted, deleted or copied the way a spreadsheet program does,
// computing the result of simple arithmetic formulas, and compiling the formula text of the
// template sources ("F8-G8", "SUM(F6:F8)", "C7+E10-F10", "E5+SUM(E9:E17)/2").
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tvx::workbook {

// The formula tokens of one cell.
using Tokens = std::string;

// Rows `at` .. `at`+count-1 were inserted: references at or below `at` move down; an area
// that starts above `at` and ends at or below it grows. `threeD`: references naming a sheet
// move too (a name of the sheet itself, such as its print area).
void InsertRowsInFormula(Tokens& rgce, int at, int count, bool threeD = false);
// Rows `at` .. `at`+count-1 were deleted: references below move up, references into the
// deleted rows become #REF!, areas shrink.
void DeleteRowsInFormula(Tokens& rgce, int at, int count, bool threeD = false);
// The formula was copied `delta` rows down (up when negative): relative row references follow.
void MoveRelativeRows(Tokens& rgce, int delta);
// A shared formula (relative ptgRefN/ptgAreaN tokens) as the formula of the cell at row, col.
Tokens ResolveShared(const Tokens& rgce, int row, int col);

// The value of a referenced cell for the evaluation: a number, or nullopt for text or
// anything that is not a number (blank cells are 0).
using CellNumber = std::function<std::optional<double>(int row, int col)>;
// The result of the formula when it is made of numbers, references, + - * /, unary minus,
// parentheses and SUM; nullopt otherwise (unknown token, text operand, division by zero).
std::optional<double> EvaluateFormula(const Tokens& rgce, const CellNumber& cell);

// Compiles a formula of references (A1, $A$1), areas (A1:B2), numbers, + - * /, parentheses
// and SUM(...). Throws std::invalid_argument naming the formula when it cannot.
Tokens CompileFormula(std::string_view text);

// Column letters ("A" = 0, "AA" = 26) and a cell reference "B13" as zero-based row, column.
// False for a text that is not a reference.
bool ParseCellRef(std::string_view text, int& row, int& col);

}  // namespace tvx::workbook
