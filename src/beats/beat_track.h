#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kavelune {

// The beats found in a song: when each falls and how strongly it is accented in the low
// register (kick drum and bass), which is what tells the first beat of a bar.
struct BeatTrack {
    double tempoBpm = 0.0;                // from the typical distance between beats
    std::vector<std::uint32_t> beatsMs;   // rising, milliseconds from the start of the song
    std::vector<float> accents;           // one per beat, 0 and up; only their ratios matter

    bool empty() const { return beatsMs.empty(); }
    bool operator==(const BeatTrack&) const = default;
};

// Which beat starts the first bar when the beats are grouped `beatsPerBar` at a time: of the
// first `beatsPerBar` beats, the one whose place in the bar carries the strongest accents
// over the whole song. 0 for an empty track or a bar of fewer than two beats.
std::size_t firstBarBeat(const BeatTrack& track, int beatsPerBar);

// The times at which bars start: every `beatsPerBar`-th beat from firstBarBeat.
std::vector<std::uint32_t> barStarts(const BeatTrack& track, int beatsPerBar);

// The tempo that the typical (median) distance between beats gives; 0 with fewer than two.
double tempoOf(const std::vector<std::uint32_t>& beatsMs);

}  // namespace kavelune
