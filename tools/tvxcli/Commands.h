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
const std::vector<Command>& RegisteredCommands();

}  // namespace tvx::cli
