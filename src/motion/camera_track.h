#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kavelune {

// Camera parameters x, y, z, rx, ry, rz.
using CameraParameters = std::array<float, 6>;

struct CameraKey {
    float time = 0.0f;  // normalised 0 to 1, increasing from key to key
    CameraParameters parameters{};

    bool operator==(const CameraKey&) const = default;
};

// One sub-camera of a camera pool file.
struct PoolCamera {
    std::int32_t poolId = 0;
    std::uint16_t subIndex = 0;
    std::string name;  // the pool file's name without its extension
    std::vector<CameraKey> keys;

    bool operator==(const PoolCamera&) const = default;
};

// Per bar, which camera motion runs and how far it has got.
struct CameraTrack {
    static constexpr CameraParameters kInitialParameters{0.0f, 0.0f, -3500.0f, 0.0f, 0.0f, 0.0f};
    static constexpr CameraParameters kEmptySlotParameters{0.0f, 0.0f, -4000.0f, 0.0f, 0.0f, 0.0f};

    CameraParameters parameters = kInitialParameters;  // result of the last sampling
    std::vector<std::uint16_t> slotCamera;  // index into cameras; NoMotion = none
    std::vector<std::uint16_t> slotBar;
    std::vector<std::uint16_t> slotLength;
    std::vector<PoolCamera> cameras;
};

// The parameters of a camera motion at normalised time u, interpolated linearly between the
// two keys around u; before the first key or at and after the last one the nearest key holds.
// False (and `out` untouched) for a camera without keys.
bool sampleCamera(const PoolCamera& camera, float u, CameraParameters& out);

// Samples the track at (slot, fraction) into its parameters. A slot past the track, or one
// naming a camera that is not in the list, counts as a slot without camera.
void sampleCameraTrack(CameraTrack& track, std::uint16_t slot, float fraction);

// The first slot of the camera shot that contains `slot`.
std::uint16_t shotStart(const CameraTrack& track, std::uint16_t slot);

}  // namespace kavelune
