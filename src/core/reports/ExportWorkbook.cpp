// The result-set export written as a native workbook through the workbook engine.
#include "core/reports/ExportWorkbook.h"

#include <string>

#include "core/reports/ExportCells.h"
#include "tables/EngineError.h"
#include "workbook/Workbook.h"

namespace tvx::core {

namespace {

// Page texts take '&' as the start of a code: a literal one is doubled.
std::string PageText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += '&';
        out += c;
    }
    return out;
}

// A page text holds at most 255 characters: a longer title is cut at a character boundary
// (never inside a doubled '&').
std::string FitPageText(std::string text) {
    constexpr size_t kMax = 255;
    if (text.size() <= kMax) return text;
    size_t end = kMax;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    size_t ampersands = 0;
    for (size_t i = text.size(); i > 0 && text[i - 1] == '&'; --i) ++ampersands;
    if (ampersands % 2) text.pop_back();
    return text;
}

}  // namespace

void WriteExportWorkbook(const tables::ResultSet& rows, const ExportOptions& options,
                         const std::filesystem::path& file) {
    using exportcells::Kind;
    using workbook::Cell;
    const size_t count = rows.rowCount();
    if (count > kMaxWorkbookRows)
        throw tables::EngineError(
            "Tabelul are " + std::to_string(count) +
            " de randuri, iar o foaie Excel primeste cel mult " + std::to_string(kMaxWorkbookRows) +
            ". Alegeti alt format (de exemplu CSV) sau restrangeti selectia.");
    try {
        auto book = workbook::Workbook::Create("Export");
        workbook::Workbook::Font bold;
        bold.bold = true;
        workbook::Workbook::Style titleStyle, dateStyle;
        titleStyle.font = book.addFont(bold);
        dateStyle.format = book.addFormat("dd.mm.yyyy");
        const auto titleXf = static_cast<uint16_t>(book.addStyle(titleStyle));
        const auto dateXf = static_cast<uint16_t>(book.addStyle(dateStyle));
        const auto textXf = static_cast<uint16_t>(book.addStyle({}));

        workbook::Sheet& sheet = book.sheet(0);
        const int columns = rows.columnCount();
        for (int c = 0; c < columns; ++c) {
            sheet.setColumnWidth(c, 20 * 256);
            sheet.set(0, c, Cell::Str(rows.columns()[c].name, titleXf));
        }
        for (size_t r = 0; r < count; ++r) {
            const int row = static_cast<int>(r) + 1;
            for (int c = 0; c < columns; ++c) {
                const exportcells::Cell cell = exportcells::CellAt(rows, r, c);
                switch (cell.kind) {
                    case Kind::Empty:
                        break;
                    case Kind::Text:
                        sheet.set(row, c, Cell::Str(cell.text, textXf));
                        break;
                    case Kind::Number:
                        sheet.set(row, c, Cell::Num(rows.at(r, c).number().toDouble(), textXf));
                        break;
                    case Kind::Date:
                        sheet.set(row, c, Cell::Num(cell.serial, dateXf));
                        break;
                }
            }
            if (options.progress) options.progress(r + 1, count);
        }
        const std::string header = options.header.empty() ? "" : "&C" + PageText(options.header);
        book.setPageTexts(0, FitPageText(header),
                          "&L" + PageText(ExportFooter(options)) + "&RPagina &P");
        book.save(file);
    } catch (const workbook::WorkbookError& error) {
        throw tables::EngineError(error.what());
    }
}

}  // namespace tvx::core
