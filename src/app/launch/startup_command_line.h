#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kavelune {

// The program's command line: an optional program folder (--home DIR or --home=DIR, anywhere),
// an optional saved invitation to open (--open-invitation FILE or --open-invitation=FILE,
// anywhere), then, in order, a launch file path, a window x, a window y and an exit-on-end switch. A
// number that cannot be read is not given, and neither are the ones after it.
struct StartupCommandLine {
    std::string home;
    std::string openInvitation;
    std::string launchFile;
    std::optional<int> x;
    std::optional<int> y;
    std::optional<bool> exitOnEnd;
    bool help = false;     // --help or -h
    bool version = false;  // --version
    // Options this program does not know, kept for the report.
    std::vector<std::string> unknownOptions;
};

// `arguments` without the program name.
StartupCommandLine parseStartupCommandLine(const std::vector<std::string>& arguments);

}  // namespace kavelune
