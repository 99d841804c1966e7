// The readable description of a workbook template and its translation into a workbook
// (tools/tvxworkbook). One statement a line, '#' starts a comment:
//   sheet "Name"                         the (only) sheet's name
//   font NAME [bold] [italic] [size=10]  a font, named for the styles
//   format NAME "code"                   a number format ("dd.mm.yyyy", "#,##0.00")
//   style NAME [font=F] [format=N] [align=left|center|right] [valign=top|center|bottom]
//              [wrap] [border=1|2] [left=1] [right=1] [top=1] [bottom=1]
//   width COL CHARS                      column width in characters ("width B 30")
//   height ROW POINTS                    row height ("height 8 30")
//   cell REF STYLE VALUE                 VALUE is "text", a number or =formula; STYLE may be -
//   merge REF:REF                        merged cells
//   print REF:REF                        the print area
#pragma once

#include <string>

#include "workbook/Workbook.h"

namespace tvx::tools {

// Builds the workbook described by `text`. Throws std::invalid_argument naming the line.
workbook::Workbook BuildWorkbook(const std::string& text);

}  // namespace tvx::tools
