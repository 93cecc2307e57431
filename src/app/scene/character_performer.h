#pragma once

#include <cstddef>
#include <optional>

#include "model/attachment.h"
#include "model/character_model.h"
#include "model/character_pose.h"
#include "motion/leg_fitting.h"
#include "motion/motion_track.h"

namespace kavelune {

// A character dancing one track of the dance: it holds the leg fitting made from the
// character's own legs and, every frame, turns the track's pose (rotations, root, fingers,
// object) into the character's pose and skins the model. Allocates nothing per frame.
class CharacterPerformer {
public:
    explicit CharacterPerformer(CharacterModel& model);

    // The track to read from; null leaves the character in its rest pose.
    void bind(const MotionTrack* track) { track_ = track; }
    const MotionTrack* track() const { return track_; }
    CharacterModel& model() { return *model_; }

    // Reads the bound track's current pose, fits it to the character and poses the model.
    void takePose();

    // The character's legs as the leg fitting needs them.
    static CharacterLegs legsOf(const CharacterModel& model);

private:
    void fillObjectState(const TrackPose& pose);

    CharacterModel* model_;
    const MotionTrack* track_ = nullptr;
    LegFitting fitting_;
    CharacterPose pose_;
    HandPoseInput hands_[2];
    ObjectState object_;
};

// The track a character dances: its chosen dancer number, else its place in the character
// list, modulo the number of tracks. Nothing when the dance has no track.
std::optional<std::size_t> performerTrackIndex(int dancer, std::size_t position, std::size_t trackCount);

}  // namespace kavelune
