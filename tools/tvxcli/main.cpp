// tvxcli: the program's exports for scripts, through the same core routines as the windows.
//   tvxcli --help             lists the commands
//   tvxcli COMMAND ARGS...    runs one; exit 0 on success, 1 on failure, 2 for bad usage
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace tvx::cli {

namespace {
std::vector<Command>& registry() {
    static std::vector<Command> commands;
    return commands;
}
}  // namespace

bool RegisterCommand(Command command) {
    registry().push_back(std::move(command));
    return true;
}

const std::vector<Command>& RegisteredCommands() { return registry(); }

}  // namespace tvx::cli

namespace {

void printHelp(std::ostream& out) {
    out << "usage: tvxcli COMMAND ARGS...\n\ncommands:\n";
    auto commands = tvx::cli::RegisteredCommands();
    std::sort(commands.begin(), commands.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const auto& command : commands)
        out << "  tvxcli " << command.usage << "\n      " << command.summary << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        printHelp(std::cerr);
        return 2;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        printHelp(std::cout);
        return 0;
    }
    for (const auto& command : tvx::cli::RegisteredCommands()) {
        if (command.name != words[0]) continue;
        try {
            return command.run({words.begin() + 1, words.end()}, std::cout, std::cerr);
        } catch (const std::exception& e) {
            std::cerr << "error: " << e.what() << "\n";
            return 1;
        }
    }
    std::cerr << "error: unknown command \"" << words[0] << "\" (tvxcli --help lists them)\n";
    return 2;
}
