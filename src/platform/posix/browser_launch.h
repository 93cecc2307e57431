#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavelune::posix {

using CommandLine = std::vector<std::string>;

// The command lines that may show `url` in the user's browser, in the order to try them: the
// desktop's opener (xdg-open), then each entry of `browserVariable` (the $BROWSER convention:
// entries separated by ":", "%s" standing for the address, which is appended when an entry has
// none). The address is always one argument of its own; no shell sees it.
std::vector<CommandLine> browserCommandLines(std::string_view url, std::string_view browserVariable);

// Runs the command lines in turn until one starts and exits with status 0. Blocks meanwhile.
bool runFirstSuccessful(const std::vector<CommandLine>& commandLines);

// Opens `url` in the browser from a background thread, so a browser that stays in the
// foreground does not hold up the caller. Nothing is reported when no browser can be found.
void openInBrowser(std::string url);

}  // namespace kavelune::posix
