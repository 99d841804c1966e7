// Reading a workbook description line by line (tools/tvxworkbook).
#include "WorkbookSource.h"

#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace tvx::tools {

using workbook::Cell;
using workbook::CellKind;
using workbook::Workbook;

namespace {

// The words of a line; a double-quoted word keeps its blanks ("" inside is one quote).
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    for (size_t i = 0; i < line.size();) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                    word.push_back('"');
                    ++i;
                } else if (line[i] == '"') {
                    ++i;
                    break;
                } else {
                    word.push_back(line[i]);
                }
            }
            words.push_back("\"" + word);  // marks a quoted text
            continue;
        }
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') word.push_back(line[i++]);
        words.push_back(word);
    }
    return words;
}

std::string Unquote(const std::string& word) {
    return !word.empty() && word[0] == '"' ? word.substr(1) : word;
}

}  // namespace

Workbook BuildWorkbook(const std::string& text) {
    Workbook book = Workbook::Create("Sheet1");
    workbook::Sheet& sheet = book.sheet(0);
    std::map<std::string, int> fonts{{"default", 0}}, formats, styles{{"-", 15}};
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const std::vector<std::string> w = Words(line);
        if (w.empty()) continue;
        auto fail = [&](const std::string& why) {
            throw std::invalid_argument("line " + std::to_string(number) + ": " + why);
        };
        auto option = [&](size_t from, const std::string& key) -> std::string {
            for (size_t i = from; i < w.size(); ++i) {
                if (w[i] == key) return "1";
                if (w[i].rfind(key + "=", 0) == 0) return w[i].substr(key.size() + 1);
            }
            return {};
        };
        auto ref = [&](const std::string& word, int& row, int& col) {
            if (!workbook::ParseCellRef(word, row, col)) fail("not a cell: " + word);
        };
        if (w[0] == "sheet" && w.size() == 2) {
            sheet.name = Unquote(w[1]);
        } else if (w[0] == "font" && w.size() >= 2) {
            Workbook::Font font;
            font.bold = !option(2, "bold").empty();
            font.italic = !option(2, "italic").empty();
            if (const std::string size = option(2, "size"); !size.empty())
                font.height = std::stoi(size) * 20;
            fonts[w[1]] = book.addFont(font);
        } else if (w[0] == "format" && w.size() == 3) {
            formats[w[1]] = book.addFormat(Unquote(w[2]));
        } else if (w[0] == "style" && w.size() >= 2) {
            Workbook::Style style;
            if (const std::string f = option(2, "font"); !f.empty()) {
                if (!fonts.count(f)) fail("unknown font " + f);
                style.font = fonts[f];
            }
            if (const std::string f = option(2, "format"); !f.empty()) {
                if (!formats.count(f)) fail("unknown format " + f);
                style.format = formats[f];
            }
            const std::map<std::string, int> places{
                {"left", 1}, {"center", 2}, {"right", 3}, {"top", 0}, {"bottom", 2}};
            if (const std::string a = option(2, "align"); !a.empty())
                style.horizontal = places.at(a);
            if (const std::string a = option(2, "valign"); !a.empty())
                style.vertical = a == "center" ? 1 : places.at(a);
            style.wrap = !option(2, "wrap").empty();
            const std::string all = option(2, "border");
            auto line = [&](const char* side) {
                const std::string v = option(2, side);
                return !v.empty() ? std::stoi(v) : (!all.empty() ? std::stoi(all) : 0);
            };
            style.borderLeft = line("left");
            style.borderRight = line("right");
            style.borderTop = line("top");
            style.borderBottom = line("bottom");
            styles[w[1]] = book.addStyle(style);
        } else if (w[0] == "width" && w.size() == 3) {
            int row, col;
            ref(w[1] + "1", row, col);
            sheet.setColumnWidth(col, static_cast<int>(std::stod(w[2]) * 256));
        } else if (w[0] == "height" && w.size() == 3) {
            sheet.setRowHeight(std::stoi(w[1]) - 1, static_cast<int>(std::stod(w[2]) * 20));
        } else if (w[0] == "cell" && w.size() >= 3) {
            int row, col;
            ref(w[1], row, col);
            if (!styles.count(w[2])) fail("unknown style " + w[2]);
            const auto xf = static_cast<uint16_t>(styles[w[2]]);
            if (w.size() == 3) {
                sheet.set(row, col, Cell::Of(CellKind::Blank, xf));
            } else if (w[3][0] == '"') {
                sheet.set(row, col, Cell::Str(Unquote(w[3]), xf));
            } else if (w[3][0] == '=') {
                Cell cell = Cell::Of(CellKind::Formula, xf);
                try {
                    cell.formula = workbook::CompileFormula(w[3].substr(1));
                } catch (const std::exception& e) {
                    fail(e.what());
                }
                sheet.set(row, col, cell);
            } else {
                sheet.set(row, col, Cell::Num(std::stod(w[3]), xf));
            }
        } else if (w[0] == "print" && w.size() == 2) {
            const size_t colon = w[1].find(':');
            if (colon == std::string::npos) fail("not a range: " + w[1]);
            workbook::Range r;
            ref(w[1].substr(0, colon), r.firstRow, r.firstCol);
            ref(w[1].substr(colon + 1), r.lastRow, r.lastCol);
            book.setPrintArea(0, r);
        } else if (w[0] == "merge" && w.size() == 2) {
            const size_t colon = w[1].find(':');
            if (colon == std::string::npos) fail("not a range: " + w[1]);
            workbook::Range r;
            ref(w[1].substr(0, colon), r.firstRow, r.firstCol);
            ref(w[1].substr(colon + 1), r.lastRow, r.lastCol);
            sheet.addMerge(r);
        } else {
            fail("not understood: " + line);
        }
    }
    return book;
}

}  // namespace tvx::tools
