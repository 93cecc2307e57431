#include "mail/invitation/launch_file_names.h"

#include "base/text.h"

namespace kavelune {

LaunchFileNames readLaunchFileNames(std::string_view text) {
    LaunchFileNames names;
    for (const std::string& line : splitOn(text, '\n')) {
        if (line.empty() || line.front() == '#') continue;
        std::size_t keyStart = line.find_first_not_of(" \t\r");
        if (keyStart == std::string::npos) continue;
        std::size_t keyEnd = line.find_first_of(" \t\r", keyStart);
        std::string_view key = std::string_view(line).substr(keyStart, keyEnd == std::string::npos ? std::string::npos : keyEnd - keyStart);
        std::size_t open = line.find('"');
        std::size_t close = line.rfind('"');
        if (open == std::string::npos || close == open) continue;
        std::string value(trimBlanks(std::string_view(line).substr(open + 1, close - open - 1)));
        if (value.empty()) continue;
        if (equalsNoCase(key, "character") || equalsNoCase(key, "characters")) {
            names.character = value;
        } else if (equalsNoCase(key, "dance")) {
            names.dance = value;
        } else if (equalsNoCase(key, "sound") || equalsNoCase(key, "sounds")) {
            names.sound = value;
        }
    }
    return names;
}

}  // namespace kavelune
