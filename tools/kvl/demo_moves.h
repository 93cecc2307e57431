#pragma once

#include <string>
#include <vector>

#include "motion/pool_motion.h"

// The demo's dance moves, each one or two bars of 4/4, each ending where it began so moves can
// follow one another in any order without the dancer drifting away.
namespace kvl::demo {

constexpr int kBeatsPerBar = 4;

// Object records of the prop moves: their first value is a key that changes when the prop's
// handling changes; then the anchor type (2 = the right hand), the handling flags (0x10: the
// prop turns with the hand, 1: the prop takes the motion's own rotation) and the prop's anchor
// class (2 = a prop held at segment 12).
constexpr std::uint32_t kRightHandType = 2;
constexpr std::uint32_t kRightHandClass = 2;
constexpr std::uint32_t kFollowHand = 0x10;
constexpr std::uint32_t kOwnRotation = 0x01;

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
