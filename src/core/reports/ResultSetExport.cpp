// The result-set export: the text formats written here, the workbook through the writer in
// use, and the whole-or-nothing writing of the file.
#include "core/reports/ResultSetExport.h"

#include <algorithm>
#include <mutex>
#include <system_error>

#include "core/common/AtomicFile.h"
#include "core/common/TempFiles.h"
#include "core/common/TextRoutines.h"
#include "core/common/XmlText.h"
#include "core/reports/ExportCells.h"
#include "core/reports/ExportWorkbook.h"
#include "tables/EngineError.h"

namespace tvx::core {

using exportcells::Cell;
using exportcells::CellAt;
using exportcells::Kind;
using tables::ResultSet;

namespace {

constexpr const char* kEol = "\r\n";

void Progress(const ExportOptions& options, size_t done, size_t total) {
    if (options.progress) options.progress(done, total);
}

// Comma- or tab-separated: titles, then rows; a field holding the separator, a quote or a line
// break is quoted with its quotes doubled.
std::string Separated(const ResultSet& rows, char separator, const ExportOptions& options) {
    const auto field = [separator](const std::string& text) {
        if (text.find_first_of(std::string(1, separator) + "\"\r\n") == std::string::npos)
            return text;
        std::string quoted = "\"";
        for (char c : text) {
            if (c == '"') quoted += '"';
            quoted += c;
        }
        return quoted + "\"";
    };
    std::string out;
    for (int c = 0; c < rows.columnCount(); ++c)
        out += (c ? std::string(1, separator) : "") + field(rows.columns()[c].name);
    out += kEol;
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < rows.columnCount(); ++c) {
            const Cell cell = CellAt(rows, r, c);
            if (c) out += separator;
            out += field(cell.kind == Kind::Date ? cell.isoDate : cell.text);
        }
        out += kEol;
        Progress(options, r + 1, rows.rowCount());
    }
    return out;
}

// Aligned columns: each as wide as its widest text, numbers to the right, two blanks between.
std::string AlignedText(const ResultSet& rows, const ExportOptions& options) {
    const int columns = rows.columnCount();
    std::vector<std::vector<std::string>> table(rows.rowCount() + 1);
    std::vector<size_t> widths(columns, 0);
    for (int c = 0; c < columns; ++c) table[0].push_back(rows.columns()[c].name);
    for (size_t r = 0; r < rows.rowCount(); ++r)
        for (int c = 0; c < columns; ++c) table[r + 1].push_back(CellAt(rows, r, c).text);
    for (const auto& line : table)
        for (int c = 0; c < columns; ++c) widths[c] = std::max(widths[c], CharCount(line[c]));
    std::string out;
    if (!options.header.empty()) out += options.header + kEol + kEol;
    for (size_t r = 0; r < table.size(); ++r) {
        std::string line;
        for (int c = 0; c < columns; ++c) {
            const std::string pad(widths[c] - CharCount(table[r][c]), ' ');
            if (c) line += "  ";
            line += exportcells::NumericColumn(rows, c) ? pad + table[r][c] : table[r][c] + pad;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + kEol;
        if (r == 0) {
            size_t total = 0;
            for (int c = 0; c < columns; ++c) total += widths[c] + (c ? 2 : 0);
            out += std::string(total, '-') + kEol;
        } else {
            Progress(options, r, rows.rowCount());
        }
    }
    return out + kEol + ExportFooter(options) + kEol;
}

std::string Html(const ResultSet& rows, const ExportOptions& options) {
    const std::string title = options.header.empty() ? kExportCaption : options.header;
    std::string out = std::string("<!DOCTYPE html>") + kEol + "<html lang=\"ro\">" + kEol +
                      "<head>" + kEol + "<meta charset=\"utf-8\"/>" + kEol + "<title>" +
                      XmlText(title, true) + "</title>" + kEol +
                      "<style>table{border-collapse:collapse}th,td{border:1px solid #888;"
                      "padding:2px 6px}.n{text-align:right}</style>" +
                      kEol + "</head>" + kEol + "<body>" + kEol;
    if (!options.header.empty()) out += "<h3>" + XmlText(options.header, true) + "</h3>" + kEol;
    out += std::string("<table>") + kEol + "<thead><tr>";
    for (const auto& column : rows.columns()) out += "<th>" + XmlText(column.name, true) + "</th>";
    out += std::string("</tr></thead>") + kEol + "<tbody>" + kEol;
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        out += "<tr>";
        for (int c = 0; c < rows.columnCount(); ++c) {
            out += exportcells::NumericColumn(rows, c) ? "<td class=\"n\">" : "<td>";
            out += XmlText(CellAt(rows, r, c).text, true) + "</td>";
        }
        out += std::string("</tr>") + kEol;
        Progress(options, r + 1, rows.rowCount());
    }
    out += std::string("</tbody>") + kEol + "</table>" + kEol + "<p>" +
           XmlText(ExportFooter(options), true) + "</p>" + kEol + "</body>" + kEol + "</html>" +
           kEol;
    return out;
}

// An RTF document: the header in bold, a ruled table (numbers to the right) filling the width
// of an A4 page, the footer line.
std::string Rtf(const ResultSet& rows, const ExportOptions& options) {
    using exportcells::RtfEscaped;
    const int columns = rows.columnCount();
    // A4 with 1.5 cm margins: 9356 twips of text width, shared by the columns' field widths.
    constexpr int kTextWidth = 9356;
    std::vector<int> weights(columns);
    int weightSum = 0;
    for (int c = 0; c < columns; ++c) {
        weights[c] = std::clamp(
            std::max<int>(rows.columns()[c].width, static_cast<int>(rows.columns()[c].name.size())),
            6, 40);
        weightSum += weights[c];
    }
    std::string row;
    int edge = 0;
    for (int c = 0; c < columns; ++c) {
        edge += kTextWidth * weights[c] / std::max(weightSum, 1);
        row +=
            "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
            "\\clbrdrr\\brdrs\\brdrw10\\cellx" +
            std::to_string(edge);
    }
    const std::string rowStart = "\\trowd\\trgaph60\\trleft0" + row + kEol;
    std::string out =
        std::string("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}") + kEol +
        "\\paperw11906\\paperh16838\\margl850\\margr850\\margt850\\margb850" + kEol +
        "\\pard\\plain\\f0\\fs20" + kEol;
    if (!options.header.empty()) out += "{\\b " + RtfEscaped(options.header) + "}\\par\\par" + kEol;
    const auto cells = [&](const std::vector<std::string>& texts, bool bold) {
        std::string line = rowStart;
        for (int c = 0; c < columns; ++c) {
            line += "\\pard\\intbl";
            line += exportcells::NumericColumn(rows, c) && !bold ? "\\qr " : "\\ql ";
            line +=
                (bold ? "{\\b " + RtfEscaped(texts[c]) + "}" : RtfEscaped(texts[c])) + "\\cell ";
        }
        return line + "\\row" + kEol;
    };
    std::vector<std::string> titles;
    for (const auto& column : rows.columns()) titles.push_back(column.name);
    out += cells(titles, true);
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        std::vector<std::string> texts;
        for (int c = 0; c < columns; ++c) texts.push_back(CellAt(rows, r, c).text);
        out += cells(texts, false);
        Progress(options, r + 1, rows.rowCount());
    }
    out += "\\pard\\par " + RtfEscaped(ExportFooter(options)) + "\\par" + kEol + "}" + kEol;
    return out;
}

// DIF: a header of TABLE, VECTORS (columns), TUPLES (rows with the titles) and DATA, then per
// row BOT and one entry per cell: 0,number V for numbers, 1,0 "text" for the rest.
std::string Dif(const ResultSet& rows, const ExportOptions& options) {
    const auto text = [](const std::string& value) {
        std::string quoted = "1,0\r\n\"";
        for (char c : value) {
            if (c == '"') quoted += '"';
            if (c != '\r' && c != '\n') quoted += c;
        }
        return quoted + "\"\r\n";
    };
    std::string out = "TABLE\r\n0,1\r\n\"EXCEL\"\r\nVECTORS\r\n0," +
                      std::to_string(rows.columnCount()) + "\r\n\"\"\r\nTUPLES\r\n0," +
                      std::to_string(rows.rowCount() + 1) + "\r\n\"\"\r\nDATA\r\n0,0\r\n\"\"\r\n";
    out += "-1,0\r\nBOT\r\n";
    for (const auto& column : rows.columns()) out += text(column.name);
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        out += "-1,0\r\nBOT\r\n";
        for (int c = 0; c < rows.columnCount(); ++c) {
            const Cell cell = CellAt(rows, r, c);
            if (cell.kind == Kind::Number)
                out += "0," + cell.text + "\r\nV\r\n";
            else
                out += text(cell.text);
        }
        Progress(options, r + 1, rows.rowCount());
    }
    return out + "-1,0\r\nEOD\r\n";
}

// SYLK: formats (General, dates), columns 20 wide, bold titles, then one C record per cell;
// numbers and dates (as day serials with the date format) are values, the rest quoted text
// with ';' doubled.
std::string Sylk(const ResultSet& rows, const ExportOptions& options) {
    const int columns = rows.columnCount();
    std::string out = "ID;PTARVIX;N;E\r\nP;PGeneral\r\nP;Pdd.mm.yyyy\r\n";
    out += "B;Y" + std::to_string(rows.rowCount() + 1) + ";X" + std::to_string(columns) + "\r\n";
    if (columns > 0) out += "F;W1 " + std::to_string(columns) + " 20\r\n";
    const auto text = [](const std::string& value) {
        std::string quoted = "\"";
        for (char c : value) {
            if (c == ';') quoted += ';';
            if (c != '\r' && c != '\n') quoted += c;
        }
        return quoted + "\"";
    };
    for (int c = 0; c < columns; ++c)
        out += "F;SDM0;Y1;X" + std::to_string(c + 1) + "\r\nC;Y1;X" + std::to_string(c + 1) + ";K" +
               text(rows.columns()[c].name) + "\r\n";
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        const std::string y = std::to_string(r + 2);
        for (int c = 0; c < columns; ++c) {
            const Cell cell = CellAt(rows, r, c);
            const std::string at = ";Y" + y + ";X" + std::to_string(c + 1);
            if (cell.kind == Kind::Empty) continue;
            if (cell.kind == Kind::Date)
                out +=
                    "F;P1;FG0G" + at + "\r\nC" + at + ";K" + std::to_string(cell.serial) + "\r\n";
            else if (cell.kind == Kind::Number)
                out += "C" + at + ";K" + cell.text + "\r\n";
            else
                out += "C" + at + ";K" + text(cell.text) + "\r\n";
        }
        Progress(options, r + 1, rows.rowCount());
    }
    return out + "E\r\n";
}

// The built-in writer: a native .xls through the workbook engine.
class NativeWorkbookWriter : public WorkbookWriter {
  public:
    std::string extension() const override { return ".xls"; }
    void write(const ResultSet& rows, const ExportOptions& options,
               const std::filesystem::path& file) const override {
        WriteExportWorkbook(rows, options, file);
    }
};

std::mutex writerMutex;
std::shared_ptr<const WorkbookWriter>& WriterSlot() {
    static std::shared_ptr<const WorkbookWriter> writer = std::make_shared<NativeWorkbookWriter>();
    return writer;
}

}  // namespace

const std::vector<ExportFormatInfo>& ExportFormats() {
    using F = ExportFormat;
    static const std::vector<ExportFormatInfo> formats = {
        {F::Html, "HTML Documents", ".html"},
        {F::Excel, "Excel Files", ""},  // the workbook writer's extension
        {F::Word, "Word Documents", ".doc"},
        {F::Text, "Text Files", ".txt"},
        {F::Csv, "CSV (Comma delimited)", ".csv"},
        {F::Tab, "Text (Tab delimited)", ".tsv"},
        {F::Rtf, "Rich Text Format", ".rtf"},
        {F::Dif, "Data Interchange Format", ".dif"},
        {F::Sylk, "SYLK Files", ".slk"},
        {F::Clipboard, "Clipboard", ""},
    };
    return formats;
}

const ExportFormatInfo& ExportFormatOf(ExportFormat format) {
    for (const auto& info : ExportFormats())
        if (info.format == format) return info;
    return ExportFormats().front();
}

std::string ExportFooter(const ExportOptions& options) {
    return "Creat la " + options.created.toString();
}

std::shared_ptr<const WorkbookWriter> CurrentWorkbookWriter() {
    std::lock_guard lock(writerMutex);
    return WriterSlot();
}

void SetWorkbookWriter(std::shared_ptr<const WorkbookWriter> writer) {
    std::lock_guard lock(writerMutex);
    WriterSlot() = writer ? std::move(writer) : std::make_shared<NativeWorkbookWriter>();
}

std::string ExportBytes(const ResultSet& rows, ExportFormat format, const ExportOptions& options) {
    using F = ExportFormat;
    switch (format) {
        case F::Html:
            return Html(rows, options);
        case F::Word:  // Word opens RTF documents as its own
        case F::Rtf:
            return Rtf(rows, options);
        case F::Text:
            return AlignedText(rows, options);
        case F::Csv:
            return Separated(rows, ',', options);
        case F::Tab:
        case F::Clipboard:
            return Separated(rows, '\t', options);
        case F::Dif:
            return Dif(rows, options);
        case F::Sylk:
            return Sylk(rows, options);
        case F::Excel:
            break;
    }
    throw tables::EngineError("Exportul in format Excel se scrie numai intr-un fisier");
}

std::string ClipboardText(const ResultSet& rows, const ExportOptions& options) {
    return Separated(rows, '\t', options);
}

std::string ExportExtension(ExportFormat format) {
    if (format == ExportFormat::Excel) return CurrentWorkbookWriter()->extension();
    return ExportFormatOf(format).extension;
}

void ExportToFile(const ResultSet& rows, ExportFormat format, const ExportOptions& options,
                  const std::filesystem::path& file) {
    if (format != ExportFormat::Excel) {
        WriteFileAtomically(file, ExportBytes(rows, format, options));
        return;
    }
    // The writer fills a temporary file beside the target, renamed over it once complete.
    std::filesystem::path partial = file;
    partial += ".partial";
    std::error_code ignored;
    try {
        CurrentWorkbookWriter()->write(rows, options, partial);
        std::filesystem::rename(partial, file);
    } catch (const std::exception& error) {
        std::filesystem::remove(partial, ignored);
        throw tables::EngineError("Nu pot scrie " + file.string() + ": " + error.what());
    }
}

std::filesystem::path ExportForViewing(const ResultSet& rows, ExportFormat format,
                                       const ExportOptions& options,
                                       const std::filesystem::path& folder) {
    const std::filesystem::path file = TempFileName(folder, "Export", ExportExtension(format));
    if (file.empty()) return file;
    ExportToFile(rows, format, options, file);
    return file;
}

}  // namespace tvx::core
