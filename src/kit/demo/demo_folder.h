#pragma once

#include <filesystem>
#include <string>

// `kvl make-demo`: a complete program folder of generated content.
namespace kvl::demo {

struct DemoReport {
    int songs = 0;
    int dances = 0;
    int characters = 0;
};

// Writes kavelune.txt, Characters, Sequences (with the Motion Pool), the camera pool, Sounds
// and Info into `programFolder`, replacing generated files that are already there. The same
// program always writes the same bytes.
bool writeDemoFolder(const std::filesystem::path& programFolder, DemoReport& report, std::string& error);

}  // namespace kvl::demo
