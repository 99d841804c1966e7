// Helpers of the core tests: a scratch folder removed afterwards, and the field list of a
// dBase file as the independent reader dbf-dump (shared tools) reports it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"

namespace tvx::testsupport {

class ScratchDir {
  public:
    ScratchDir() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tvx-core-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

struct DumpedField {
    std::string name;
    char type = '?';
    int width = 0;
    int decimals = 0;
};

// Runs dbf-dump --no-rows on `file` and parses its "field list" section; a failing run or
// a WARN in its checks fails the calling test.
inline std::vector<DumpedField> dumpFields(const std::filesystem::path& file) {
    const std::string command = std::string("python3 \"") + TVX_SHARED_DIR +
                                "/tools/dbf-dump\" --no-rows \"" + file.string() + "\" 2>&1";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        const int status = ::pclose(pipe);
        EXPECT_EQ(status, 0) << "dbf-dump failed on " << file << ":\n" << output;
    } else {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    std::vector<DumpedField> fields;
    std::istringstream in(output);
    std::string line;
    bool inList = false;
    while (std::getline(in, line)) {
        if (line.rfind("field list", 0) == 0) {
            inList = true;
            continue;
        }
        if (!inList) continue;
        std::istringstream parts(line);
        int number = 0;
        DumpedField f;
        std::string type;
        if (!(parts >> number >> f.name >> type >> f.width >> f.decimals)) break;
        f.type = type.empty() ? '?' : type[0];
        fields.push_back(f);
    }
    EXPECT_EQ(output.find("WARN"), std::string::npos) << output;
    return fields;
}

// The rows of a dBase file as the independent reader dbf-dump prints them (CSV after the
// checks), each a map from field name to text; a failing run fails the calling test.
inline std::vector<std::map<std::string, std::string>> dumpRows(const std::filesystem::path& file) {
    const std::string command = std::string("python3 \"") + TVX_SHARED_DIR +
                                "/tools/dbf-dump\" \"" + file.string() + "\" 2>&1";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        EXPECT_EQ(::pclose(pipe), 0) << "dbf-dump failed on " << file << ":\n" << output;
    }
    // The rows follow the line "rows (CSV):"; the first names the fields.
    std::istringstream in(output);
    std::string line;
    std::vector<std::string> names;
    std::vector<std::map<std::string, std::string>> rows;
    auto split = [](const std::string& text) {
        std::vector<std::string> cells;
        std::string cell;
        bool quoted = false;
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == ',' && !quoted) {
                cells.push_back(cell);
                cell.clear();
            } else if (c != '\r') {
                cell += c;
            }
        }
        cells.push_back(cell);
        return cells;
    };
    bool inRows = false;
    while (std::getline(in, line)) {
        if (line.rfind("rows (CSV)", 0) == 0) {
            inRows = true;
            continue;
        }
        if (!inRows) continue;
        if (names.empty()) {
            names = split(line);
            continue;
        }
        const std::vector<std::string> cells = split(line);
        std::map<std::string, std::string> row;
        for (size_t i = 0; i < names.size() && i < cells.size(); ++i) row[names[i]] = cells[i];
        rows.push_back(std::move(row));
    }
    EXPECT_EQ(output.find("WARN"), std::string::npos) << output;
    return rows;
}

// The whole content of a file ("" when it cannot be read).
inline std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file of a data directory, byte for byte, but the engine's own: its journal and the
// tables' index files (caches it drops and rebuilds as it likes).
inline std::map<std::string, std::string> DataFiles(const std::filesystem::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".jnl" || ext == ".tvi" || !entry.is_regular_file()) continue;
        out[entry.path().filename().string()] = FileBytes(entry.path());
    }
    return out;
}

}  // namespace tvx::testsupport
