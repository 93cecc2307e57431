#pragma once

#include <string>
#include <vector>

#include "motion/pool_motion.h"

// The demo's dance moves, each one or two bars of 4/4, each ending where it began so moves can
// follow one another in any order without the dancer drifting away.
namespace kvl::demo {

constexpr int kBeatsPerBar = 4;

// Object records of the prop moves, in the layout the prop placement reads (see
// app/object_record_layout.h): the right hand (type 2, which is also the anchor class of a prop
// hung at segment 12) carries the microphone at its grip, either turning with the hand (0x10)
// or taking the motion's own rotation (1). Both keep the grip in the same place, so the
// placement's smoothing of jumps between records is switched off (0x8000): it would otherwise
// drag the prop away from the hand for as long as a move without object data follows.
constexpr std::int32_t kRightHandType = 2;
constexpr std::uint16_t kNoSmoothing = 0x8000;
constexpr std::uint16_t kFollowHand = 0x10 | kNoSmoothing;
constexpr std::uint16_t kOwnRotation = 0x01 | kNoSmoothing;

struct Move {
    std::string name;  // a short label for the kit's own listing
    kavelune::PoolMotion motion;
};

// Dance moves that suit every dancer: bounce, step touch, clap, march, kick, arm wave, turn,
// disco point and side travel.
std::vector<Move> basicMoves();
std::vector<Move> armMoves();
std::vector<Move> travelMoves();

// Moves that hold the microphone: motions with object data for the prop.
std::vector<Move> propMoves();

}  // namespace kvl::demo
