// The SQL shell as a program: scripts piped into the built tvxsql binary on a temporary
// data directory, checking its output line by line and its exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

class TempDir {
  public:
    TempDir() {
        static std::mt19937_64 random{std::random_device{}()};
        path_ = fs::temp_directory_path() / ("tvx-shell-" + std::to_string(random()));
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

struct ShellRun {
    std::vector<std::string> lines;  // standard output and error, line by line
    int status = -1;
};

std::string quoted(const fs::path& p) {
    return "\"" + p.string() + "\"";
}

// Runs tvxsql with `args` (already quoted), feeding `script` on standard input.
ShellRun runShell(const std::string& args, const std::string& script, const TempDir& scratch) {
    const fs::path input = scratch.path() / "script.sql";
    std::ofstream(input, std::ios::binary) << script;
    const std::string command = quoted(TVX_TVXSQL) + " " + args + " < " + quoted(input) + " 2>&1";
    ShellRun run;
#ifdef _WIN32
    FILE* pipe = _popen(command.c_str(), "r");
#else
    FILE* pipe = popen(command.c_str(), "r");
#endif
    if (pipe == nullptr) return run;
    std::string output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
#ifdef _WIN32
    run.status = _pclose(pipe);
#else
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) run.lines.push_back(line);
    return run;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(Tvxsql, RunsStatementsAndGoesOnAfterAFailure) {
    TempDir dir;
    const std::string script = "CREATE TABLE \"" + dir.path().generic_string() +
                               "/Stoc.dbf\" (COD CHAR(10), PRET DECIMAL(10,2), DATAIN DATE);\n"
                               "INSERT INTO Stoc VALUES ('A1', 5, '01.02.2024');\n"
                               "INSERT INTO stoc (COD, PRET) VALUES ('B2   ', 12.345);\n"
                               "SELECT * FROM Stoc;\n"
                               "SELECT * FROM Lipsa;\n"
                               "UPDATE Stoc SET PRET = PRET * 2 WHERE COD = 'A1';\n"
                               "SELECT COD, PRET FROM Stoc ORDER BY PRET DESC;\n";
    const ShellRun run = runShell(quoted(dir.path()), script, dir);
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 11u) << ::testing::PrintToString(run.lines);
    EXPECT_EQ(
        Lines(run.lines.begin(), run.lines.begin() + 6),
        Lines({"ok 0", "ok 1", "ok 1", "COD|PRET|DATAIN", "A1|5.00|01.02.2024", "B2|12.35|"}));
    EXPECT_EQ(run.lines[6].rfind("error: ", 0), 0u) << run.lines[6];
    EXPECT_NE(run.lines[6].find("Lipsa"), std::string::npos) << run.lines[6];
    EXPECT_EQ(Lines(run.lines.begin() + 7, run.lines.end()),
              Lines({"ok 1", "COD|PRET", "B2|12.35", "A1|10.00"}));
}

TEST(Tvxsql, JoinsLinesUntilASemicolonEndsALineOutsideQuotes) {
    TempDir dir;
    const std::string script =
        "-- the buyer's table;\n"
        "CREATE TABLE \"" +
        dir.path().generic_string() +
        "/T.dbf\"\n"
        "  (COD CHAR(20), OBS CHAR(40));\n"
        "INSERT INTO T (COD, OBS)\n"
        "VALUES ('x;y', 'first;\n"
        "second');\n"
        "INSERT INTO T (COD, OBS) VALUES (\"it's;\", 'b');\n"
        "\n"
        "SELECT COD\n"
        "FROM T\n"
        "WHERE OBS = 'first;\n"
        "second';\n"
        "SELECT COD FROM T ORDER BY COD\n";  // no ';': runs at the end of the input
    const ShellRun run = runShell(quoted(dir.path()), script, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, Lines({"ok 0", "ok 1", "ok 1", "COD", "x;y", "COD", "it's;", "x;y"}));
}

TEST(Tvxsql, PrintsNothingButTheResultsWhenInputIsNotATerminal) {
    TempDir dir;
    const ShellRun empty = runShell(quoted(dir.path()), "", dir);
    EXPECT_EQ(empty.status, 0);
    EXPECT_TRUE(empty.lines.empty()) << ::testing::PrintToString(empty.lines);

    const ShellRun bad = runShell(quoted(dir.path()), "SELEC 1;\n", dir);
    EXPECT_EQ(bad.status, 1);
    ASSERT_EQ(bad.lines.size(), 1u);
    EXPECT_EQ(bad.lines[0].rfind("error: ", 0), 0u) << bad.lines[0];
}

TEST(Tvxsql, RefusesAMissingDataDirectoryAndWrongArguments) {
    TempDir dir;
    const fs::path missing = dir.path() / "nu-exista";
    const ShellRun run = runShell(quoted(missing), "SELECT 1;\n", dir);
    EXPECT_EQ(run.status, 2);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_NE(run.lines[0].find("nu-exista"), std::string::npos) << run.lines[0];
    EXPECT_FALSE(fs::exists(missing));  // not created behind the user's back

    const ShellRun noArgs = runShell("", "", dir);
    EXPECT_EQ(noArgs.status, 2);
    ASSERT_FALSE(noArgs.lines.empty());
    EXPECT_NE(noArgs.lines[0].find("usage"), std::string::npos) << noArgs.lines[0];
    EXPECT_EQ(runShell(quoted(dir.path()) + " a b", "", dir).status, 2);
}
