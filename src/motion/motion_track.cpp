#include "motion/motion_track.h"

namespace kavelune {

void computeSlotOffsets(MotionTrack& track) {
    std::size_t count = track.slotMotion.size();
    track.slotOffset.assign(count, Vec3s{});
    for (std::size_t i = 1; i < count; ++i) {
        Vec3s offset = track.slotOffset[i - 1];
        std::uint16_t previous = track.slotMotion[i - 1];
        bool startsAfresh = track.slotBar[i] == 0 || track.slotMotion[i] == NoMotion;
        if (startsAfresh && previous != NoMotion && previous < track.motions.size() &&
            !track.motions[previous].rootPositions.empty()) {
            const Vec3s& last = track.motions[previous].rootPositions.back();
            // 16-bit sums that wrap, as the offsets are stored.
            offset.x = static_cast<std::int16_t>(offset.x + last.x);
            offset.z = static_cast<std::int16_t>(offset.z + last.z);
        }
        track.slotOffset[i] = offset;
    }
}

void computeTrackFlags(MotionTrack& track) {
    track.hasObjectMotion = false;
    track.hasFingers = false;
    for (const PoolMotion& motion : track.motions) {
        track.hasObjectMotion = track.hasObjectMotion || motion.hasObjectMotion();
        track.hasFingers = track.hasFingers || motion.hasFingers();
    }
}

}  // namespace kavelune
