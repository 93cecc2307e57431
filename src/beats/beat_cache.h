#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "beats/beat_track.h"

namespace kavelune {

// The beats found in songs, kept per user so a song is analysed once: one small text file per
// song in a folder of the user's cache, named after the song's path, size and modification
// time. A song that changes gets a new name and so a new analysis; the file also repeats the
// key, so two keys that share a name never mix.
class BeatCache {
public:
    struct SongKey {
        std::string path;
        std::uintmax_t size = 0;
        std::int64_t modified = 0;  // the file system's own count
        bool operator==(const SongKey&) const = default;
    };

    explicit BeatCache(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // The song as it is on disk now; false when it cannot be looked at.
    static bool keyOf(const std::string& song, SongKey& key);

    // False when nothing is kept for this key, or what is kept cannot be read.
    bool load(const SongKey& key, BeatTrack& beats) const;
    // False when the folder or the file cannot be written.
    bool store(const SongKey& key, const BeatTrack& beats) const;

    std::filesystem::path fileFor(const SongKey& key) const;

private:
    std::filesystem::path folder_;
};

}  // namespace kavelune
