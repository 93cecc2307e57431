#include "motion/dance_update.h"

#include "motion/track_evaluation.h"

namespace kavelune {

void reanchorDance(DanceSequence& dance, std::uint16_t slot) {
    if (dance.tracks.empty() || !dance.camera) return;
    std::uint16_t start = shotStart(*dance.camera, slot);
    const MotionTrack& first = dance.tracks.front();
    if (start >= first.slotOffset.size()) return;
    const Vec3s& offset = first.slotOffset[start];
    for (MotionTrack& track : dance.tracks) {
        track.baseOffsetX = offset.x;
        track.baseOffsetZ = offset.z;
    }
}

bool updateDance(DanceSequence& dance, std::uint32_t time, const DanceUpdateSwitches& switches) {
    BeatPosition position = lookupBeat(dance.beatMap, time);
    if (!position.found) return false;
    dance.currentSlot = position.slot;
    dance.currentFraction = position.fraction;
    if (switches.reanchor) reanchorDance(dance, position.slot);
    if (switches.moveCamera && dance.camera) {
        sampleCameraTrack(*dance.camera, position.slot, position.fraction);
    }
    if (switches.poseTracks) {
        for (MotionTrack& track : dance.tracks) {
            evaluateTrack(track, position.slot, position.fraction);
        }
    }
    return true;
}

std::uint32_t danceLength(const DanceSequence& dance) { return danceLength(dance.beatMap); }

}  // namespace kavelune
