#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/character_model.h"
#include "motion/dance_sequence.h"
#include "motion/leg_fitting.h"

namespace kvl {

// Poses loaded character models from a dance for `kvl render`, the way playback does it: the
// dance is updated at the dance time, and every model takes the pose of its performer track
// (its dancer number, or its place in the list) through its own leg fitting.
class RenderPosing {
public:
    RenderPosing(kavelune::DanceSequence* dance,
                 const std::vector<std::unique_ptr<kavelune::CharacterModel>>& models);

    // Music time in milliseconds; wrapped at the dance length as the player wraps it.
    std::uint32_t danceTime(std::uint32_t musicTime) const;
    // Updates the dance at `danceTime` and poses every bound model.
    void pose(std::uint32_t danceTime, std::vector<std::unique_ptr<kavelune::CharacterModel>>& models);

private:
    struct Binding {
        int track = -1;
        kavelune::LegFitting fitting;
    };
    kavelune::DanceSequence* dance_;
    std::vector<Binding> bindings_;
};

}  // namespace kvl
