// tvxsql: SQL shell of the table engine. Reads statements from standard input and runs
// each one as soon as its closing line arrives: a statement ends with a ';' that ends a
// line outside quotes. A SELECT prints its column names and rows joined by '|', any other
// statement "ok N"; a failing statement prints "error: <message>" and the shell goes on.
// Exit status: 0 when every statement ran, 1 when any failed, 2 for bad arguments or a
// missing data directory.
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tables/Database.h"
#include "tables/ResultFormat.h"
#include "tables/sql/Parser.h"

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#else
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
namespace tt = tvx::tables;

bool stdinIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(fileno(stdin)) != 0;
#endif
}

bool isBlank(std::string_view s) {
    return s.find_first_not_of(" \t\r\n\f\v") == s.npos;
}

std::string_view trimmed(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t\r\n\f\v");
    if (b == s.npos) return {};
    const size_t e = s.find_last_not_of(" \t\r\n\f\v");
    return s.substr(b, e - b + 1);
}

// Collects input lines into statements with the script splitter's rule, tracking the
// quote state across lines so that a statement can be run as soon as it is complete.
class StatementReader {
  public:
    // Adds one line (without its line break); true when it completed a statement.
    bool addLine(std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // A comment line before a statement starts is skipped whole, as the splitter does.
        if (quote_ == 0 && isBlank(text_) && trimmed(line).starts_with("--")) return false;
        for (char c : line) {
            if (quote_ == 0 && (c == '"' || c == '\'')) {
                quote_ = c;
            } else if (c == quote_) {
                quote_ = 0;
            }
        }
        text_.append(line);
        text_.push_back('\n');
        return quote_ == 0 && trimmed(line).ends_with(';');
    }
    bool inStatement() const { return !isBlank(text_); }
    // The statements collected so far (normally one), emptying the reader.
    std::vector<std::string> take() {
        std::vector<std::string> statements = tvx::tables::sql::splitScript(text_);
        text_.clear();
        quote_ = 0;
        return statements;
    }

  private:
    std::string text_;
    char quote_ = 0;
};

// Runs one statement and prints its outcome; false when it failed.
bool runStatement(tt::Database& db, const std::string& sql) {
    try {
        tt::StatementResult result = db.run(sql);
        if (result.isQuery) {
            for (const std::string& line : tt::formatResult(result.rows)) std::cout << line << '\n';
        } else {
            std::cout << "ok " << result.affected << '\n';
        }
        std::cout.flush();
        return true;
    } catch (const std::exception& e) {
        std::cout << "error: " << e.what() << std::endl;
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: tvxsql DATA_DIR [PROGRAM_DIR]\n"
                     "Reads SQL statements from standard input; end each with ';' at the end "
                     "of a line.\n";
        return 2;
    }
    const fs::path dataDir = argv[1];
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec)) {
        std::cerr << "tvxsql: data directory " << dataDir.string() << " does not exist\n";
        return 2;
    }
    const fs::path programDir = argc == 3 ? fs::path(argv[2]) : fs::path();

    try {
        tt::Database db(dataDir, programDir);
        const bool interactive = stdinIsTerminal();
        if (interactive) {
            std::cout << "tvxsql on " << dataDir.string()
                      << ": end a statement with ';' at the end of a line, Ctrl-D to quit.\n";
        }
        bool failed = false;
        StatementReader reader;
        std::string line;
        while (true) {
            if (interactive)
                std::cout << (reader.inStatement() ? "   ...> " : "tvxsql> ") << std::flush;
            if (!std::getline(std::cin, line)) break;
            if (!reader.addLine(line)) continue;
            for (const std::string& sql : reader.take()) failed |= !runStatement(db, sql);
        }
        if (interactive) std::cout << '\n';
        for (const std::string& sql : reader.take()) failed |= !runStatement(db, sql);
        return failed ? 1 : 0;
    } catch (const std::exception& e) {
        std::cerr << "tvxsql: " << e.what() << '\n';
        return 2;
    }
}
