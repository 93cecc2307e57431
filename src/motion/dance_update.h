#pragma once

#include <cstdint>

#include "motion/dance_sequence.h"

namespace kavelune {

// What one dance update does besides the time lookup.
struct DanceUpdateSwitches {
    bool poseTracks = true;   // evaluate every track
    bool moveCamera = false;  // sample the camera track
    bool reanchor = false;    // set base offsets to the ground offset at the camera shot start
};

// Looks up the time in the beat map and, when it falls in a bar, stores slot and fraction in
// the dance and does what the switches ask. Before the start offset or after the last bar
// nothing changes and every track keeps its last pose. Returns whether the time was found.
// Allocates nothing.
bool updateDance(DanceSequence& dance, std::uint32_t time, const DanceUpdateSwitches& switches);

// Sets every track's base offset to track 0's slot offset at the first slot of the camera shot
// containing `slot`; nothing without tracks or without a camera track.
void reanchorDance(DanceSequence& dance, std::uint16_t slot);

// The dance's length in milliseconds (start offset and all bars).
std::uint32_t danceLength(const DanceSequence& dance);

}  // namespace kavelune
