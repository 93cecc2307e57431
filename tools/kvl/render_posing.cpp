#include "render_posing.h"

#include "motion/dance_update.h"

namespace kvl {

RenderPosing::RenderPosing(kavelune::DanceSequence* dance,
                           const std::vector<std::unique_ptr<kavelune::CharacterModel>>& models)
    : dance_(dance) {
    const std::size_t trackCount = dance_ ? dance_->tracks.size() : 0;
    performers_.reserve(models.size());
    for (std::size_t i = 0; i < models.size(); ++i) {
        kavelune::CharacterPerformer& performer = performers_.emplace_back(*models[i]);
        if (auto track = kavelune::performerTrackIndex(models[i]->dancer, i, trackCount)) {
            performer.bind(&dance_->tracks[*track]);
        }
    }
}

std::uint32_t RenderPosing::danceTime(std::uint32_t musicTime) const {
    if (dance_ == nullptr) {
        return musicTime;
    }
    const std::uint32_t length = kavelune::danceLength(*dance_);
    return length > 0 ? musicTime % length : musicTime;
}

void RenderPosing::pose(std::uint32_t danceTime) {
    if (dance_ == nullptr) {
        return;  // the models keep the rest pose they were loaded in
    }
    kavelune::DanceUpdateSwitches switches;
    switches.poseTracks = true;
    kavelune::updateDance(*dance_, danceTime, switches);
    for (kavelune::CharacterPerformer& performer : performers_) {
        performer.takePose();
    }
}

}  // namespace kvl
