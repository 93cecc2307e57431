#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "motion/beat_map.h"
#include "motion/camera_track.h"
#include "motion/dance_file.h"
#include "motion/motion_track.h"

namespace kavelune {

class MotionPool;

// A loaded dance: its tracks with their resolved motions, the beat map of its song, the camera
// track and the song's name.
struct DanceSequence {
    std::uint8_t version = 1;
    std::vector<PairingRule> pairingRules;  // four from version 2 on, else none
    std::vector<std::uint32_t> values;
    std::string firstName;
    std::string secondName;
    std::uint16_t headerWord = 0;
    std::string soundName;

    std::vector<MotionTrack> tracks;  // never resized after loading: characters refer to them
    std::optional<CameraTrack> camera;
    BeatMap beatMap;

    std::uint16_t currentSlot = 0;      // found by the last time lookup
    float currentFraction = 0.0f;
};

// Loads a dance file and resolves its pool references through `pool`. Unresolvable references
// are dropped (slots naming them are emptied for cameras). False, with `out` untouched, when
// the file cannot be read or parsed, has no beat map, or holds something that cannot be
// evaluated: a slot naming a motion past the track's motion list or a bar past its motion.
bool loadDance(const std::filesystem::path& file, MotionPool& pool, DanceSequence& out,
               std::string* problem = nullptr);

// The same from records already parsed. `filesOpened` receives how many files resolving the
// references opened.
bool buildDanceSequence(const DanceFile& file, MotionPool& pool, DanceSequence& out,
                        std::string* problem = nullptr, std::size_t* filesOpened = nullptr);

// Whether the dance player can dance it: every body track kept at least one motion after its
// references were resolved. A loaded dance that is not playable is refused, the current one
// staying.
bool isPlayable(const DanceSequence& dance, std::string* problem = nullptr);

}  // namespace kavelune
