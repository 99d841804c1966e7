// The result-set export's workbook (core/reports): a BIFF8 .xls written by the workbook
// engine, one sheet "Export" with the column titles in bold, texts as texts, numbers as
// numbers, dates as day numbers shown dd.mm.yyyy, columns 20 characters wide, the header line
// printed at the top of each page and "Creat la" with the page number at the bottom.
#pragma once

#include <cstddef>
#include <filesystem>

#include "core/reports/ResultSetExport.h"

namespace tvx::core {

// The most rows a sheet holds under its title row.
constexpr size_t kMaxWorkbookRows = 65535;

// Writes `rows` to `file` (whole or not at all). Throws EngineError when the table has more
// rows than a sheet holds (before writing anything) or the file cannot be written.
void WriteExportWorkbook(const tables::ResultSet& rows, const ExportOptions& options,
                         const std::filesystem::path& file);

}  // namespace tvx::core
