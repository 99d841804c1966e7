// Reading a written workbook back through the independent checkers of the shared tools:
// xls-dump (xlrd: the stored values and the formulas) and xls-lo-csv (LibreOffice: the
// values recalculated on loading). Cells are keyed "A1".
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "support/TestPaths.h"

namespace tvx::testsupport {

struct DumpedCell {
    std::string value;    // as xlrd reads it: text, shortest number, ISO date
    std::string formula;  // "=SUM(F6:F10)" or ""
};

inline std::string RunTool(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return output;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    status = ::pclose(pipe);
    return output;
}

inline std::string ColumnName(int col) {
    std::string name;
    for (++col; col > 0; col = (col - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (col - 1) % 26));
    return name;
}

// The first sheet's cells as xls-dump prints them; a failing run fails the calling test.
inline std::map<std::string, DumpedCell> XlsDump(const std::filesystem::path& file) {
    int status = 0;
    const std::string output = RunTool(
        std::string("\"") + TVX_SHARED_DIR + "/tools/xls-dump\" \"" + file.string() + "\" 2>&1",
        status);
    EXPECT_EQ(status, 0) << "xls-dump failed on " << file << ":\n" << output;
    std::map<std::string, DumpedCell> cells;
    std::istringstream in(output);
    std::string line;
    int sheets = 0;
    while (std::getline(in, line)) {
        if (line.rfind("# sheet", 0) == 0 && ++sheets > 1) break;
        if (line.empty() || line[0] == '#') continue;
        const size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        if (tab1 == std::string::npos) continue;
        cells[line.substr(0, tab1)] = {line.substr(tab1 + 1, tab2 - tab1 - 1),
                                       tab2 == std::string::npos ? "" : line.substr(tab2 + 1)};
    }
    return cells;
}

// The first sheet as LibreOffice recalculates it, non-empty cells only; nullopt when
// LibreOffice is not installed (the caller skips).
inline std::optional<std::map<std::string, std::string>> LibreOfficeValues(
    const std::filesystem::path& file) {
    int status = 0;
    RunTool("command -v soffice >/dev/null 2>&1", status);
    if (status != 0) return std::nullopt;
    const std::string output = RunTool(
        std::string("\"") + TVX_SHARED_DIR + "/tools/xls-lo-csv\" \"" + file.string() + "\" 2>&1",
        status);
    EXPECT_EQ(status, 0) << "xls-lo-csv failed on " << file << ":\n" << output;
    std::map<std::string, std::string> cells;
    std::istringstream in(output);
    std::string line;
    int row = -1, sheets = 0;
    while (std::getline(in, line)) {
        if (line.rfind("# sheet", 0) == 0) {
            if (++sheets > 1) break;
            continue;
        }
        ++row;
        std::string cell;
        bool quoted = false;
        int col = 0;
        for (size_t i = 0; i <= line.size(); ++i) {
            const char c = i < line.size() ? line[i] : ',';
            if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == ',' && !quoted) {
                if (!cell.empty()) cells[ColumnName(col) + std::to_string(row + 1)] = cell;
                cell.clear();
                ++col;
            } else if (c != '\r') {
                cell += c;
            }
        }
    }
    return cells;
}

}  // namespace tvx::testsupport
