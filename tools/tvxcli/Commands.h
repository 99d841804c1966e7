// tvxcli's command registry: every command file adds one `Command` at namespace scope
// (`const bool registered = RegisterCommand({...});`), and main dispatches on its name.
// A command prints one line saying what it wrote on success; on failure it prints
// "error: <reason>" to the error stream, leaves no file behind and returns non-zero.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tvx::cli {

struct Command {
    std::string name;     // "einvoice"
    std::string usage;    // "einvoice DATA_DIR IDFACTO OUT.xml"
    std::string summary;  // one line for --help
    // Arguments after the command name; returns the process exit status.
    std::function<int(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err)>
        run;
};

bool RegisterCommand(Command command);

// A message of the program on one line: its line breaks (the message window opens with one)
// become blanks, and leading blanks go.
inline std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    const size_t start = text.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : text.substr(start);
}
const std::vector<Command>& RegisteredCommands();

}  // namespace tvx::cli
