// kvl: the content kit. Each subcommand lives in a file of its own and registers itself here.
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "command.h"

namespace kvl {

namespace {

struct CommandEntry {
    std::string usage;
    CommandFunction run = nullptr;
};

std::map<std::string, CommandEntry>& commands() {
    static std::map<std::string, CommandEntry> table;
    return table;
}

std::map<std::string, CommandFunction>& inspectors() {
    static std::map<std::string, CommandFunction> table;
    return table;
}

void printUsage(std::ostream& out) {
    out << "usage: kvl COMMAND ARGS...   (kvl COMMAND --help for one command)\n";
    for (const auto& [name, entry] : commands()) {
        out << "  kvl " << name << " " << entry.usage << "\n";
    }
}

bool asksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

int runInspect(const std::vector<std::string>& args) {
    if (args.empty() || args[0].rfind("--", 0) == 0) {
        return fail("inspect", "needs a file", kExitUsage);
    }
    const std::string& file = args[0];
    std::size_t dot = file.find_last_of('.');
    std::size_t slash = file.find_last_of("/\\");
    std::string extension = (dot == std::string::npos || (slash != std::string::npos && dot < slash))
                                ? std::string()
                                : kavelune::toLowerAscii(file.substr(dot + 1));
    auto it = inspectors().find(extension);
    if (it == inspectors().end()) {
        return fail("inspect", "cannot inspect files of type '" + extension + "'", kExitUsage);
    }
    return it->second(args);
}

Command inspectCommand("inspect", "FILE [options] --json", runInspect);

}  // namespace

Command::Command(const char* name, const char* usage, CommandFunction run) {
    commands()[name] = {usage, run};
}

Inspector::Inspector(const char* extension, CommandFunction run) { inspectors()[extension] = run; }

int fail(const std::string& command, const std::string& message, int status) {
    std::cerr << "kvl " << command << ": " << message << "\n";
    return status;
}

}  // namespace kvl

int main(int argc, char** argv) {
    if (argc < 2) {
        kvl::printUsage(std::cerr);
        return kvl::kExitUsage;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        kvl::printUsage(std::cout);
        return kvl::kExitOk;
    }
    if (name == "--version") {
        std::cout << "kvl " << KAVELUNE_VERSION << "\n";
        return kvl::kExitOk;
    }
    auto it = kvl::commands().find(name);
    if (it == kvl::commands().end()) {
        std::cerr << "kvl: unknown command '" << name << "'\n";
        kvl::printUsage(std::cerr);
        return kvl::kExitUsage;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    if (kvl::asksForHelp(args)) {
        std::cout << "usage: kvl " << name << " " << it->second.usage << "\n";
        return kvl::kExitOk;
    }
    // A command that meets something it did not foresee (a file it cannot make sense of, a
    // full disk) still ends with a message and a failure status, never by abort().
    try {
        return it->second.run(args);
    } catch (const std::exception& error) {
        return kvl::fail(name, std::string("unexpected error: ") + error.what());
    } catch (...) {
        return kvl::fail(name, "unexpected error");
    }
}
