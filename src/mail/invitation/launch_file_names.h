#pragma once

#include <string>
#include <string_view>

namespace kavelune {

// The paths a launch file names, read by the launch file's rules: `key "value"` lines, keys
// without regard to case ("character"/"characters", "dance", "sound"/"sounds"), the value
// between the line's first and last double quote, trimmed; "#" first makes a comment; a later
// line wins.
struct LaunchFileNames {
    std::string character;
    std::string dance;
    std::string sound;
};

LaunchFileNames readLaunchFileNames(std::string_view text);

}  // namespace kavelune
