#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "motion/beat_map.h"

namespace kavelune {

// Lays a dance on a song that is not its own: the dance's beats are laid one by one on the
// song's beats, from the song beat that starts its first bar on, so each of the dance's bars
// spans as many of the song's beats as it has beats itself, and every move lands on a beat.
// The dance repeats bar by bar for as long as the song goes on. What it gives is a time in the
// dance's own beat map, so the dance is posed exactly as it always is.
class DanceRetiming {
public:
    // False, leaving the retiming inactive, for a dance without beats or a song with fewer
    // than two beats from `firstBarBeat` on. `songBeatsMs` must be rising.
    bool build(const BeatMap& dance, const std::vector<std::uint32_t>& songBeatsMs, std::size_t firstBarBeat);
    void clear();
    bool active() const { return !songBeats_.empty(); }

    // The dance time to show when the song is at `songMs`. Before the song's first bar the
    // dance's lead-in is stretched over the song's; past the song's last beat its beats go on
    // at the last beat's pace. Allocates nothing.
    std::uint32_t danceTime(std::uint32_t songMs) const;

private:
    std::vector<std::uint32_t> danceBeatStart_;   // in the dance's own time, beats of length 0 left out
    std::vector<std::uint32_t> danceBeatLength_;
    std::vector<std::uint32_t> songBeats_;        // from the first bar's beat on
    std::uint32_t danceLeadIn_ = 0;               // the dance's start offset
    std::uint32_t lastGap_ = 0;                   // between the song's last two beats
};

// How many beats most of the dance's bars have (the first such count on a tie); 4 for a dance
// without bars.
int typicalBeatsPerBar(const BeatMap& dance);

}  // namespace kavelune
