#pragma once

#include <cstdint>
#include <vector>

namespace kavelune {

// The bar and beat timing of a dance's song. Bar i is danced by slot i of every track.
struct BeatMap {
    std::uint16_t startOffset = 0;                    // milliseconds before the first bar
    std::vector<std::vector<std::uint16_t>> bars;     // per bar, its beat durations in ms

    bool operator==(const BeatMap&) const = default;
};

// Where a music time falls in the beat map.
struct BeatPosition {
    bool found = false;
    std::uint16_t slot = 0;
    float fraction = 0.0f;  // in [0, 1); every beat of a bar covers an equal share
};

// A bar lasts the sum of its beats taken modulo 65536 (the stored sum is 16 bits wide).
std::uint32_t barLength(const std::vector<std::uint16_t>& beats);

// Slot and fraction of time t; not found before the start offset or after the last bar.
BeatPosition lookupBeat(const BeatMap& map, std::uint32_t time);

// Start offset plus every bar's length. Saturates at the largest 32-bit value.
std::uint32_t danceLength(const BeatMap& map);

}  // namespace kavelune
