#pragma once

#include <istream>
#include <string>
#include <utility>
#include <vector>

#include "motion/pool_motion.h"

namespace kavelune {

// What a reader understands after a motion's rotations. KaveluneLE reads an "OM" object block or
// an "MM" chunk list; KaveluneTrova knows only "OM", so any other marker (chunk lists included)
// ends its block and the motion plays without object and finger data.
enum class MotionBlockExtensions { ObjectBlockAndChunkList, ObjectBlockOnly };

// Reads the inflated content of one motion block (bars, frames, root positions, rotations and
// the optional "OM" object block or "MM" chunk list) into `motion`. Leaves the other fields of
// `motion` alone. False on a short or malformed block; the motion is then to be discarded.
bool parseMotionBlock(std::istream& in, PoolMotion& motion,
                      MotionBlockExtensions extensions = MotionBlockExtensions::ObjectBlockAndChunkList);

// How a motion block is written.
struct MotionBlockLayout {
    enum class Extension {
        Automatic,    // a chunk list when the motion has objects or fingers, else nothing
        None,         // the block ends after the rotations
        ObjectBlock,  // an "OM" object block (it cannot hold finger data)
        ChunkList,    // an "MM" chunk list with "OBJM" and "FING" chunks as needed
    };
    Extension extension = Extension::Automatic;
    // Further chunks (tag4, body) written before the known ones in a chunk list.
    std::vector<std::pair<std::string, std::string>> extraChunks;
};

}  // namespace kavelune
