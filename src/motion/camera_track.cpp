#include "motion/camera_track.h"

#include "motion/motion_constants.h"

namespace kavelune {

bool sampleCamera(const PoolCamera& camera, float u, CameraParameters& out) {
    const std::vector<CameraKey>& keys = camera.keys;
    if (keys.empty()) return false;
    // Outside the key range the nearest key holds (a NaN time holds the first key).
    if (!(u >= keys.front().time)) {
        out = keys.front().parameters;
        return true;
    }
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        const CameraKey& from = keys[i];
        const CameraKey& to = keys[i + 1];
        if (from.time <= u && u < to.time) {
            float a = (u - from.time) / (to.time - from.time);
            for (std::size_t p = 0; p < out.size(); ++p) {
                out[p] = from.parameters[p] + (to.parameters[p] - from.parameters[p]) * a;
            }
            return true;
        }
    }
    out = keys.back().parameters;
    return true;
}

void sampleCameraTrack(CameraTrack& track, std::uint16_t slot, float fraction) {
    bool inTrack = slot < track.slotCamera.size() && slot < track.slotBar.size() &&
                   slot < track.slotLength.size();
    std::uint16_t camera = inTrack ? track.slotCamera[slot] : NoMotion;
    if (camera == NoMotion || camera >= track.cameras.size()) {
        track.parameters = CameraTrack::kEmptySlotParameters;
        return;
    }
    std::uint16_t length = track.slotLength[slot];
    // A zero length is not a span at all; hold the camera's start instead of dividing by it.
    float u = length == 0 ? 0.0f : (static_cast<float>(track.slotBar[slot]) + fraction) / length;
    sampleCamera(track.cameras[camera], u, track.parameters);
}

std::uint16_t shotStart(const CameraTrack& track, std::uint16_t slot) {
    if (slot >= track.slotBar.size() || slot >= track.slotCamera.size()) return slot;
    std::uint16_t bar = track.slotBar[slot];
    if (bar != NoMotion) {
        return bar <= slot ? static_cast<std::uint16_t>(slot - bar) : 0;
    }
    std::uint16_t start = slot;
    while (start > 0 && track.slotCamera[start - 1] == track.slotCamera[slot]) {
        --start;
    }
    return start;
}

}  // namespace kavelune
