#include "app/scene/character_performer.h"

#include <algorithm>
#include <bit>

#include "app/scene/object_record_layout.h"

namespace kavelune {

namespace {

void copyHand(const HandPosePair& pair, HandPoseInput& input) {
    std::copy(pair.first.begin(), pair.first.end(), input.first.begin());
    std::copy(pair.second.begin(), pair.second.end(), input.second.begin());
    input.weight = pair.weight;
}

}  // namespace

std::optional<std::size_t> performerTrackIndex(int dancer, std::size_t position, std::size_t trackCount) {
    if (trackCount == 0) return std::nullopt;
    return dancer >= 0 ? static_cast<std::size_t>(dancer) % trackCount : position % trackCount;
}

CharacterLegs CharacterPerformer::legsOf(const CharacterModel& model) {
    CharacterLegs legs;
    auto pivot = [&](std::size_t segment) {
        return segment < model.pivots.size() ? model.pivots[segment] : Vec3s{};
    };
    legs.hip = {pivot(13), pivot(16)};
    legs.thigh = {pivot(14), pivot(17)};
    legs.shin = {pivot(15), pivot(18)};
    legs.foot = {model.legs.footA, model.legs.footB};
    return legs;
}

CharacterPerformer::CharacterPerformer(CharacterModel& model)
    : model_(&model), fitting_(legsOf(model)) {
    pose_.rotations.fill(Quaternion::identity());
    pose_.root = model.root;
}

void CharacterPerformer::fillObjectState(const TrackPose& pose) {
    const ObjectRecord& record = pose.object.record;
    object_.recordKey = std::bit_cast<float>(record.values[0]);
    object_.type = static_cast<std::int32_t>(record.values[1]);
    object_.objectClass = object_.type;
    object_.flags = static_cast<std::uint16_t>(record.values[2] & 0xFFFF);
    object_.offset = {lowHalf(record.values[3]), highHalf(record.values[3]), highHalf(record.values[2])};
    object_.rotation = pose.object.rotation;
    object_.shift = {static_cast<float>(pose.object.position.x), static_cast<float>(pose.object.position.y),
                     static_cast<float>(pose.object.position.z)};
    object_.shiftScale = model_->legs.legScale;
    object_.transition = pose.object.time;
}

void CharacterPerformer::takePose() {
    if (track_) {
        const TrackPose& pose = track_->pose;
        fitting_.fit(pose.rotations, pose.root, pose_.rotations, pose_.root);
        pose_.hands[0] = nullptr;
        pose_.hands[1] = nullptr;
        if (track_->hasFingers) {
            if (pose.leftHand.set) {
                copyHand(pose.leftHand, hands_[0]);
                pose_.hands[0] = &hands_[0];
            }
            if (pose.rightHand.set) {
                copyHand(pose.rightHand, hands_[1]);
                pose_.hands[1] = &hands_[1];
            }
        }
        pose_.object = nullptr;
        if (track_->hasObjectMotion && pose.object.hasRecord) {
            fillObjectState(pose);
            pose_.object = &object_;
        }
    }
    poseCharacter(*model_, pose_);
}

}  // namespace kavelune
