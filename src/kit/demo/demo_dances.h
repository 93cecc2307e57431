#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "kit/demo/demo_song.h"

// The demo's choreography: the motion pool files, the camera pool and the dance files built
// from them, each dance timed by the beat map of its song.
namespace kvl::demo {

struct DanceEntry {
    std::string file;       // file name in Sequences, e.g. "Groove.dsq"
    std::string pairedSound;  // path written to dancemp3.txt, relative to the program folder
};

// Writes Sequences/Motion Pool/*.dmp, the camera pool file into the program folder (where
// camera references are looked up) and Sequences/*.dsq. Returns the dances written.
bool writeSequences(const std::filesystem::path& programFolder, const std::vector<SongPlan>& songs,
                    std::vector<DanceEntry>& dances, std::string& error);

}  // namespace kvl::demo
