#include "app/launch/launch_file.h"

#include <fstream>
#include <limits>

#include "base/text.h"

namespace kavelune {

namespace {

std::int32_t toInt32(long long value) {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

void applyLaunchLine(std::string_view line, LaunchFile& file) {
    if (line.empty() || line.front() == '#') {
        return;
    }
    std::size_t keyStart = 0;
    while (keyStart < line.size() && isBlank(line[keyStart])) ++keyStart;
    std::size_t keyEnd = keyStart;
    while (keyEnd < line.size() && !isBlank(line[keyEnd])) ++keyEnd;
    std::string_view key = line.substr(keyStart, keyEnd - keyStart);
    if (key.empty() || key.size() > kLaunchKeyLimit) {
        return;
    }

    std::size_t firstQuote = line.find('"');
    std::size_t lastQuote = line.rfind('"');
    if (firstQuote == std::string_view::npos || lastQuote == firstQuote) {
        return;
    }
    std::string_view value = trimBlanks(line.substr(firstQuote + 1, lastQuote - firstQuote - 1));
    if (value.empty()) {
        return;
    }

    auto number = [&]() { return toInt32(leadingInteger(value)); };
    if (equalsNoCase(key, "width")) {
        file.width = number();
    } else if (equalsNoCase(key, "height")) {
        file.height = number();
    } else if (equalsNoCase(key, "x")) {
        file.x = number();
    } else if (equalsNoCase(key, "y")) {
        file.y = number();
    } else if (equalsNoCase(key, "character") || equalsNoCase(key, "characters")) {
        file.character = value;
    } else if (equalsNoCase(key, "dance")) {
        file.dance = value;
    } else if (equalsNoCase(key, "sound") || equalsNoCase(key, "sounds")) {
        file.sound = value;
    } else if (equalsNoCase(key, "list") || equalsNoCase(key, "lists")) {
        file.list = value;
    } else if (equalsNoCase(key, "loop")) {
        file.loop = number() != 0;
    } else if (equalsNoCase(key, "shadow")) {
        file.shadow = number() != 0;
    } else if (equalsNoCase(key, "exitonend")) {
        file.exitonend = number() != 0;
    } else if (equalsNoCase(key, "topwindow")) {
        file.topwindow = number() != 0;
    }
}

bool readLaunchFile(const std::filesystem::path& path, LaunchFile& file) {
    if (path.empty()) {
        return false;
    }
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() > kLaunchLineLimit) {
            continue;
        }
        applyLaunchLine(line, file);
    }
    file.loaded = true;
    return true;
}

}  // namespace kavelune
