// The result-set export (core/reports): every visible row and column of a result set, column
// titles first, written as HTML, a workbook, a Word document, aligned text, comma- or
// tab-separated text, RTF, DIF or SYLK. Files are written whole or not at all (a temporary file
// renamed over the target). The workbook goes through a replaceable writer, so a native
// workbook engine can take over without touching the callers. The clipboard is the
// window's: it gets ClipboardText.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tables/Date.h"
#include "tables/ResultSet.h"

namespace tvx::core {

enum class ExportFormat { Html, Excel, Word, Text, Csv, Tab, Rtf, Dif, Sylk, Clipboard };

struct ExportFormatInfo {
    ExportFormat format;
    const char* typeName;   // the file type's name in the format choice and the save dialog
    const char* extension;  // with its dot; empty for the clipboard
};
// The formats in the order the export dialog offers them.
const std::vector<ExportFormatInfo>& ExportFormats();
const ExportFormatInfo& ExportFormatOf(ExportFormat format);

// The texts of the export window.
constexpr const char* kExportCaption = "Export datele";
constexpr const char* kExportProgressText = "Prelucrez...";
constexpr const char* kClipboardDone = "Tabelul a fost copiat in Clipboard!";

struct ExportOptions {
    std::string header;    // the line above the table (empty: none)
    tables::Date created;  // the footer says "Creat la" + this date
    // Called after each row written with (rows done, rows in all).
    std::function<void(size_t done, size_t total)> progress;
};

// The footer line: "Creat la " + dd.MM.yyyy.
std::string ExportFooter(const ExportOptions& options);

// Writes a workbook file. The writer in use can be replaced (SetWorkbookWriter); the one
// built in writes a native .xls through the workbook engine (WriteExportWorkbook).
class WorkbookWriter {
  public:
    virtual ~WorkbookWriter() = default;
    // The extension of the files it writes, with its dot.
    virtual std::string extension() const = 0;
    // Writes the whole workbook to `file` (a fresh temporary path); throws EngineError.
    virtual void write(const tables::ResultSet& rows, const ExportOptions& options,
                       const std::filesystem::path& file) const = 0;
};
std::shared_ptr<const WorkbookWriter> CurrentWorkbookWriter();
// Null puts the built-in writer back.
void SetWorkbookWriter(std::shared_ptr<const WorkbookWriter> writer);

// The bytes of a text-based format (every format but Excel and the clipboard): UTF-8, lines
// ending in CR LF. Comma- and tab-separated text hold the titles and rows only, numbers with
// a point and dates as yyyy-MM-dd, which spreadsheet programs read as numbers and dates in
// any language; the other formats carry the header and footer lines and dates as dd.MM.yyyy.
std::string ExportBytes(const tables::ResultSet& rows, ExportFormat format,
                        const ExportOptions& options);

// What the clipboard gets: the tab-separated text.
std::string ClipboardText(const tables::ResultSet& rows, const ExportOptions& options);

// The extension a format's files get (the workbook writer's for Excel).
std::string ExportExtension(ExportFormat format);

// Writes `rows` to `file` (any existing file is replaced only when the new one is complete).
// Throws EngineError naming the file; nothing is left under its name on failure.
void ExportToFile(const tables::ResultSet& rows, ExportFormat format, const ExportOptions& options,
                  const std::filesystem::path& file);

// "Numai vizualizare": writes a fresh file named "Export<n>" + the format's extension in
// `folder` (a free number; an old file of that name is replaced) and returns its path;
// empty when no name is free.
std::filesystem::path ExportForViewing(const tables::ResultSet& rows, ExportFormat format,
                                       const ExportOptions& options,
                                       const std::filesystem::path& folder);

}  // namespace tvx::core
