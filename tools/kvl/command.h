#pragma once

#include <string>
#include <vector>

namespace kvl {

// Exit statuses every subcommand keeps to.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

using CommandFunction = int (*)(const std::vector<std::string>& args);

// A subcommand registers itself from its own file:
//   static kvl::Command registration("launch", "DIR [CMDLINE_FILE] --json|--written", runLaunch);
struct Command {
    Command(const char* name, const char* usage, CommandFunction run);
};

// `kvl inspect FILE` dispatches on the file's extension (lower case, without the dot).
struct Inspector {
    Inspector(const char* extension, CommandFunction run);
};

// Prints "kvl NAME: message" on stderr and returns the status.
int fail(const std::string& command, const std::string& message, int status = kExitFailed);

}  // namespace kvl
