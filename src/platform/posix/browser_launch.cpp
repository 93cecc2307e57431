#include "platform/posix/browser_launch.h"

#include <cstdlib>
#include <thread>

#include "base/text.h"
#include "platform/posix/child_process.h"

namespace kavelune::posix {

namespace {

CommandLine browserEntryCommand(std::string_view entry, std::string_view url) {
    CommandLine line;
    bool placedUrl = false;
    std::size_t position = 0;
    while (position < entry.size()) {
        while (position < entry.size() && (entry[position] == ' ' || entry[position] == '\t')) ++position;
        if (position >= entry.size()) break;
        std::size_t end = entry.find_first_of(" \t", position);
        if (end == std::string_view::npos) end = entry.size();
        std::string argument(entry.substr(position, end - position));
        for (std::size_t mark = argument.find("%s"); mark != std::string::npos;
             mark = argument.find("%s", mark + url.size())) {
            argument.replace(mark, 2, url);
            placedUrl = true;
        }
        line.push_back(std::move(argument));
        position = end;
    }
    if (!line.empty() && !placedUrl) line.emplace_back(url);
    return line;
}

bool runToSuccess(const CommandLine& line) { return runAndWait(line) == 0; }

}  // namespace

std::vector<CommandLine> browserCommandLines(std::string_view url, std::string_view browserVariable) {
    std::vector<CommandLine> lines;
    lines.push_back({"xdg-open", std::string(url)});
    for (const std::string& entry : splitOn(browserVariable, ':')) {
        CommandLine line = browserEntryCommand(entry, url);
        if (!line.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

bool runFirstSuccessful(const std::vector<CommandLine>& commandLines) {
    for (const CommandLine& line : commandLines) {
        if (runToSuccess(line)) return true;
    }
    return false;
}

void openInBrowser(std::string url) {
    const char* browser = std::getenv("BROWSER");
    std::vector<CommandLine> lines = browserCommandLines(url, browser ? browser : "");
    std::thread([lines = std::move(lines)] { runFirstSuccessful(lines); }).detach();
}

}  // namespace kavelune::posix
