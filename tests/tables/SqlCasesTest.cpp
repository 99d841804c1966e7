// Driver of the declarative SQL case files (*.test in the case folder): one test per file,
// each on a fresh data directory and program folder. A file is a list of records:
//
//   statement ok | statement count N | statement error SUBSTRING | query
//   <statement text: lines up to a blank line, or for a query up to a line ---->
//   <query only: expected output lines, formatted as tvxsql prints them, up to a blank line>
//
// Lines starting with '#' between records are comments. $DATA and $PROG in the statement
// text, the expected lines and the error text stand for the two folders' paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/ResultFormat.h"

namespace fs = std::filesystem;
using namespace tvx::tables;

namespace {

struct CaseRecord {
    enum Kind { Ok, Count, Error, Query } kind = Ok;
    int line = 0;                       // 1-based line of the record's header
    long long count = 0;                // Count
    std::string errorText;              // Error: expected part of the message
    std::string sql;                    // statement lines joined by '\n'
    std::vector<std::string> expected;  // Query: header and row lines
};

struct CaseFile {
    std::vector<CaseRecord> records;
    std::vector<std::pair<int, std::string>> problems;  // format errors by line
};

bool isBlank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

std::string trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Reads the header line of a record; false when it is none of the four forms.
bool parseHeader(const std::string& line, CaseRecord& record) {
    std::istringstream in(line);
    std::string first, second;
    in >> first >> second;
    std::string rest;
    std::getline(in, rest);
    rest = trim(rest);
    if (first == "query") {
        record.kind = CaseRecord::Query;
        return second.empty();
    }
    if (first != "statement") return false;
    if (second == "ok") {
        record.kind = CaseRecord::Ok;
        return rest.empty();
    }
    if (second == "error") {
        record.kind = CaseRecord::Error;
        record.errorText = rest;
        return true;
    }
    if (second == "count") {
        record.kind = CaseRecord::Count;
        if (rest.empty() || rest.find_first_not_of("0123456789") != std::string::npos) return false;
        record.count = std::stoll(rest);
        return true;
    }
    return false;
}

CaseFile parseCaseFile(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    CaseFile file;
    size_t i = 0;
    while (i < lines.size()) {
        if (isBlank(lines[i]) || lines[i].starts_with("#")) {
            ++i;
            continue;
        }
        CaseRecord record;
        record.line = static_cast<int>(i + 1);
        const bool known = parseHeader(trim(lines[i]), record);
        ++i;
        if (!known) {
            file.problems.emplace_back(record.line, "unknown record header: " + lines[i - 1]);
            while (i < lines.size() && !isBlank(lines[i])) ++i;
            continue;
        }
        const bool query = record.kind == CaseRecord::Query;
        bool separator = false;
        for (; i < lines.size() && !isBlank(lines[i]); ++i) {
            if (trim(lines[i]) == "----") {
                separator = true;
                ++i;
                break;
            }
            if (!record.sql.empty()) record.sql += '\n';
            record.sql += lines[i];
        }
        if (separator != query) {
            file.problems.emplace_back(
                record.line, query ? "query without a ---- line" : "---- after a statement record");
        }
        for (; separator && i < lines.size() && !isBlank(lines[i]); ++i)
            record.expected.push_back(lines[i]);
        if (record.sql.empty()) {
            file.problems.emplace_back(record.line, "record without statement text");
            continue;
        }
        if (separator != query) continue;
        file.records.push_back(std::move(record));
    }
    return file;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// A folder under the system's temporary directory, removed with everything in it.
class TempDir {
  public:
    explicit TempDir(const std::string& label) {
        static std::mt19937_64 random{std::random_device{}()};
        path_ = fs::temp_directory_path() / ("tvx-" + label + "-" + std::to_string(random()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

std::vector<fs::path> caseFiles() {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(TVX_SQL_CASES_DIR, ec))
        if (entry.is_regular_file() && entry.path().extension() == ".test")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text.empty() ? "  (nothing)\n" : text;
}

// What a statement produced, as tvxsql would print it; `engineError` tells an EngineError
// from any other exception, which is never a proper answer of the engine.
struct Outcome {
    std::vector<std::string> lines;
    StatementResult result;
    bool failed = false;
    bool engineError = false;
    std::string message;
};

Outcome runRecord(Database& db, const std::string& sql) {
    Outcome out;
    try {
        out.result = db.run(sql);
        if (out.result.isQuery) {
            out.lines = formatResult(out.result.rows);
        } else {
            out.lines = {"ok " + std::to_string(out.result.affected)};
        }
    } catch (const EngineError& e) {
        out.failed = out.engineError = true;
        out.message = e.what();
    } catch (const std::exception& e) {
        out.failed = true;
        out.message = std::string("(not an engine error) ") + e.what();
    }
    if (out.failed) out.lines = {"error: " + out.message};
    return out;
}

class SqlCase : public ::testing::TestWithParam<fs::path> {};

TEST_P(SqlCase, File) {
    const fs::path& file = GetParam();
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in) << "cannot read " << file;
    std::stringstream text;
    text << in.rdbuf();
    const CaseFile cases = parseCaseFile(text.str());
    const std::string name = file.string();
    for (const auto& [line, problem] : cases.problems)
        ADD_FAILURE_AT(name.c_str(), line) << "malformed case file: " << problem;
    ASSERT_FALSE(cases.records.empty()) << file << " holds no records";

    TempDir data("data"), program("prog");
    const std::string dataPath = data.path().generic_string();
    const std::string progPath = program.path().generic_string();
    const auto expand = [&](std::string s) {
        replaceAll(s, "$DATA", dataPath);
        replaceAll(s, "$PROG", progPath);
        return s;
    };
    Database db(data.path(), program.path());

    for (const CaseRecord& record : cases.records) {
        const std::string sql = expand(record.sql);
        Outcome out = runRecord(db, sql);
        std::string expected;
        bool ok = false;
        switch (record.kind) {
            case CaseRecord::Ok:
                ok = !out.failed;
                expected = "  success\n";
                break;
            case CaseRecord::Count: {
                const long long got = out.result.isQuery
                                          ? static_cast<long long>(out.result.rows.rowCount())
                                          : out.result.affected;
                ok = !out.failed && got == record.count;
                expected = "  " + std::to_string(record.count) + " rows\n";
                if (!out.failed && out.result.isQuery) out.lines = {std::to_string(got) + " rows"};
                break;
            }
            case CaseRecord::Error: {
                const std::string want = expand(record.errorText);
                ok = out.engineError && lower(out.message).find(lower(want)) != std::string::npos;
                expected = "  an engine error containing \"" + want + "\"\n";
                break;
            }
            case CaseRecord::Query: {
                std::vector<std::string> want;
                for (const std::string& line : record.expected) want.push_back(expand(line));
                ok = out.result.isQuery && !out.failed && out.lines == want;
                expected = joinLines(want);
                break;
            }
        }
        if (!ok) {
            ADD_FAILURE_AT(name.c_str(), record.line) << "statement:\n"
                                                      << sql << "\nexpected:\n"
                                                      << expected << "actual:\n"
                                                      << joinLines(out.lines);
        }
    }
}

std::string sanitizedStem(const fs::path& file) {
    std::string name = file.stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// The file's name; the position is added only when two names would read the same.
std::string testName(const ::testing::TestParamInfo<fs::path>& info) {
    const std::string name = sanitizedStem(info.param);
    int same = 0;
    for (const fs::path& other : caseFiles()) same += sanitizedStem(other) == name ? 1 : 0;
    return same > 1 || name.empty() ? name + "_" + std::to_string(info.index) : name;
}

INSTANTIATE_TEST_SUITE_P(Cases, SqlCase, ::testing::ValuesIn(caseFiles()), testName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SqlCase);

}  // namespace

// A wrong folder must not pass silently as "no cases".
TEST(SqlCaseFiles, FolderHoldsCaseFiles) {
    EXPECT_FALSE(caseFiles().empty()) << "no *.test files in " << TVX_SQL_CASES_DIR;
}

TEST(SqlCaseFiles, ReadsRecordsAndReportsMalformedOnes) {
    const CaseFile file = parseCaseFile(
        "# comment\n"
        "statement count 2\n"
        "UPDATE t\r\n"
        "SET A = 1\n"
        "\n"
        "query\n"
        "SELECT A FROM t\n"
        "----\n"
        "A\n"
        "# not a comment here\n"
        "\n"
        "statement error Type Mismatch\n"
        "SELECT 1 + 'x' FROM t\n"
        "\n"
        "statement maybe\n"
        "SELECT 1\n"
        "\n"
        "query\n"
        "SELECT 2\n"
        "\n"
        "statement count x\n"
        "DELETE FROM t\n");
    ASSERT_EQ(file.records.size(), 3u);
    EXPECT_EQ(file.records[0].kind, CaseRecord::Count);
    EXPECT_EQ(file.records[0].count, 2);
    EXPECT_EQ(file.records[0].sql, "UPDATE t\nSET A = 1");
    EXPECT_EQ(file.records[1].line, 6);
    EXPECT_EQ(file.records[1].sql, "SELECT A FROM t");
    EXPECT_EQ(file.records[1].expected, (std::vector<std::string>{"A", "# not a comment here"}));
    EXPECT_EQ(file.records[2].kind, CaseRecord::Error);
    EXPECT_EQ(file.records[2].errorText, "Type Mismatch");
    ASSERT_EQ(file.problems.size(), 3u);  // unknown header, query without ----, bad count
    EXPECT_EQ(file.problems[0].first, 15);
    EXPECT_EQ(file.problems[1].first, 18);
    EXPECT_EQ(file.problems[2].first, 21);
}
