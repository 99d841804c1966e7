// "Declaratia 394" > "Export in Excel" (ui/printing): the per-client rows (SOC2, CUI2, COUNTF,
// TOT) handed to the result-set export. Until the workbook export exists this writes them as
// comma-separated text to the file the user names, replaced whole or not at all.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tvx::tables {
class ResultSet;
}

namespace tvx::ui {

// The file to write; empty = cancelled. Default: a save dialog for *.csv.
using ExportPathHook = std::function<QString(QWidget* parent)>;
void setDeclaration394PathHook(ExportPathHook hook);

// Exports `rows`; an error is shown with its message. Returns whether a file was written.
bool ExportDeclaration394(const tables::ResultSet& rows, QWidget* parent);

}  // namespace tvx::ui
