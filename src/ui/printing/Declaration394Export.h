// "Declaratia 394" > "Export in Excel" (ui/printing): the per-client rows (SOC2, CUI2, COUNTF,
// TOT) handed straight to the result-set export's workbook for viewing, headed by the period.
#pragma once

#include <string>

class QWidget;

namespace tvx::tables {
class ResultSet;
}

namespace tvx::ui {

// Writes `rows` to a workbook and opens it; the header line is "Declaratia 394 " + the period
// line. An error is shown with its message. Returns whether the workbook was written.
bool ExportDeclaration394(const tables::ResultSet& rows, const std::string& periodLine,
                          QWidget* parent);

}  // namespace tvx::ui
