#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/launch/launch_file.h"

namespace kavelune {

inline constexpr const char* kDefaultLaunchFileName = "kavelune.txt";
inline constexpr const char* kSavedLaunchFileName = "current.txt";

// The record of the chosen launch values, one for the program's run. The shell, the loaders and the
// invitation mail read it and write the current state into it; it is saved to current.txt at
// exit.
class LaunchSettings {
public:
    std::int32_t x = -1;  // -1: centre the window
    std::int32_t y = -1;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string character;
    std::string dance;
    std::string sound;
    std::string list;
    std::vector<std::string> danceFiles;  // content the current dance uses
    bool loop = true;
    bool shadow = false;
    bool exitonend = false;
    bool valid = true;
    bool topwindow = false;

    LaunchFile defaultFile;      // kavelune.txt
    LaunchFile commandLineFile;  // the file named on the command line
    LaunchFile savedFile;        // current.txt

    // Chooses the launch file in `programFolder`: the command-line file if it could be read,
    // else current.txt, else kavelune.txt, copying every value from that one file alone. When
    // none can be read, valid is off and the "Can't find kavelune.txt file!" box is shown.
    // A relative command-line path is taken from the program folder. current.txt is looked for
    // in `stateFolder` (the program folder itself when empty; an installed program keeps it in
    // the user's configuration folder).
    static LaunchSettings choose(const std::filesystem::path& programFolder,
                                 const std::string& commandLinePath = {},
                                 const std::filesystem::path& stateFolder = {});

    // The written form as current.txt holds it (CR LF line ends, keys followed by tabs).
    std::string written() const;

    // Writes current.txt in `stateFolder` through a temporary file and a rename.
    bool saveCurrent(const std::filesystem::path& stateFolder) const;

    void copyFrom(const LaunchFile& file);
};

}  // namespace kavelune
