#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kavelune {

// One parsed launch file: `key "value"` lines choosing the character, dance, play list, window
// size and place, and four switches. Fields keep their defaults where the file says nothing.
struct LaunchFile {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t x = -1;  // -1: not given
    std::int32_t y = -1;
    std::string character;
    std::string dance;
    std::string sound;
    std::string list;
    bool loop = true;
    bool shadow = true;
    bool exitonend = false;
    bool topwindow = false;
    bool loaded = false;  // the file was opened and read
};

// Lines longer than this are skipped whole (a value that long is no usable path); reading
// always goes on to the end of the file.
constexpr std::size_t kLaunchLineLimit = 4094;
// Keys longer than this cannot be one of ours, so their lines are skipped.
constexpr std::size_t kLaunchKeyLimit = 255;

// Reads a launch file into `file`. Returns false when the path is empty or cannot be opened
// (the file is never created); true otherwise, whatever the file held.
bool readLaunchFile(const std::filesystem::path& path, LaunchFile& file);

// Applies one line to `file`; exposed for the tests of the line rules.
void applyLaunchLine(std::string_view line, LaunchFile& file);

}  // namespace kavelune
