// Display formats and computed values of the report engine (printing/ layer). Numbers are
// shown with exact decimals, halves rounded away from zero; dates day first.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "printing/ReportLayout.h"
#include "tables/ResultSet.h"
#include "tables/Value.h"

namespace tvx::printing {

// Formats: "" (plain text of the value), number patterns "0", "0.00", "#,##0.00" (the count
// of digits after the point gives the decimals, "#,##" groups thousands with ','), and date
// patterns made of dd, MM, yyyy, yy and separators ("dd.MM.yyyy"). A text value under a number
// or date pattern is read as a number or a day-first date when it is one, else shown as is.
bool isKnownFormat(std::string_view format);
std::string formatValue(const tables::Value& value, std::string_view format);

// Parses "A", "A op B" (op + - * /), operands being field names, decimal numbers or $PARAM.
// Throws EngineError describing the fault; the caller adds where the text came from.
Expression parseExpression(std::string_view text);
std::string expressionText(const Expression& expression);

// Value of an expression on row `row` of `rows` (null `rows`, or a row past the end, gives
// NULL fields: a report without data still prints). Arithmetic is exact; a non-numeric operand of
// an operation or a division by zero throws EngineError.
tables::Value evaluate(const Expression& expression, const tables::ResultSet* rows, size_t row,
                       const std::map<std::string, std::string>& parameters);

}  // namespace tvx::printing
