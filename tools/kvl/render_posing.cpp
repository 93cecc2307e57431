#include "render_posing.h"

#include "model/character_pose.h"
#include "model/finger_pose.h"
#include "motion/dance_update.h"

namespace kvl {

namespace {

kavelune::CharacterLegs legsOf(const kavelune::CharacterModel& model) {
    kavelune::CharacterLegs legs;
    legs.hip = {model.pivots[13], model.pivots[16]};
    legs.thigh = {model.pivots[14], model.pivots[17]};
    legs.shin = {model.pivots[15], model.pivots[18]};
    legs.foot = {model.legs.footA, model.legs.footB};
    return legs;
}

void toHandInput(const kavelune::HandPosePair& pair, kavelune::HandPoseInput& input) {
    static_assert(sizeof(input.first) == sizeof(pair.first));
    std::copy(pair.first.begin(), pair.first.end(), input.first.begin());
    std::copy(pair.second.begin(), pair.second.end(), input.second.begin());
    input.weight = pair.weight;
}

}  // namespace

RenderPosing::RenderPosing(kavelune::DanceSequence* dance,
                           const std::vector<std::unique_ptr<kavelune::CharacterModel>>& models)
    : dance_(dance) {
    for (std::size_t i = 0; i < models.size(); ++i) {
        const kavelune::CharacterModel& model = *models[i];
        int track = model.dancer >= 0 ? model.dancer : static_cast<int>(i);
        if (dance_ == nullptr || track >= static_cast<int>(dance_->tracks.size()) ||
            model.pivots.size() < kavelune::JointCount) {
            track = -1;
        }
        bindings_.push_back(Binding{track, kavelune::LegFitting(legsOf(model))});
    }
}

std::uint32_t RenderPosing::danceTime(std::uint32_t musicTime) const {
    if (dance_ == nullptr) {
        return musicTime;
    }
    const std::uint32_t length = kavelune::danceLength(*dance_);
    return length > 0 ? musicTime % length : musicTime;
}

void RenderPosing::pose(std::uint32_t danceTime,
                        std::vector<std::unique_ptr<kavelune::CharacterModel>>& models) {
    if (dance_ == nullptr) {
        return;  // the models keep the rest pose they were loaded in
    }
    kavelune::DanceUpdateSwitches switches;
    switches.poseTracks = true;
    kavelune::updateDance(*dance_, danceTime, switches);
    for (std::size_t i = 0; i < models.size() && i < bindings_.size(); ++i) {
        const Binding& binding = bindings_[i];
        if (binding.track < 0) {
            continue;
        }
        const kavelune::MotionTrack& track = dance_->tracks[static_cast<std::size_t>(binding.track)];
        kavelune::CharacterPose pose;
        binding.fitting.fit(track.pose.rotations, track.pose.root, pose.rotations, pose.root);
        kavelune::HandPoseInput hands[2];
        if (track.hasFingers) {
            toHandInput(track.pose.leftHand, hands[0]);
            toHandInput(track.pose.rightHand, hands[1]);
            pose.hands[0] = &hands[0];
            pose.hands[1] = &hands[1];
        }
        kavelune::poseCharacter(*models[i], pose);
    }
}

}  // namespace kvl
