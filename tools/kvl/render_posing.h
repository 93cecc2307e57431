#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/scene/character_performer.h"
#include "model/character_model.h"
#include "motion/dance_sequence.h"

namespace kvl {

// Poses loaded character models from a dance for `kvl render` the way playback does: the dance
// is updated at the dance time and every model takes the pose of its performer track through
// the same performer the desktop scene uses (leg fitting, fingers, the prop's object data).
class RenderPosing {
public:
    RenderPosing(kavelune::DanceSequence* dance,
                 const std::vector<std::unique_ptr<kavelune::CharacterModel>>& models);
    // Music time in milliseconds; wrapped at the dance length as the player wraps it.
    std::uint32_t danceTime(std::uint32_t musicTime) const;
    // Updates the dance at `danceTime` and poses every bound model.
    void pose(std::uint32_t danceTime);

private:
    kavelune::DanceSequence* dance_;
    std::vector<kavelune::CharacterPerformer> performers_;
};

}  // namespace kvl
