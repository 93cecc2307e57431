#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/quaternion.h"
#include "base/vec3s.h"
#include "motion/motion_constants.h"

namespace kavelune {

// One key frame of object motion (24 bytes stored).
struct ObjectFrame {
    std::uint8_t record = 0;             // object record number
    std::uint8_t framesSinceStart = 0;   // frames since the object segment began, modulo 256
    Vec3s position;
    Quaternion rotation;

    bool operator==(const ObjectFrame&) const = default;
};

// An object description (16 bytes stored); its values belong to the attachment placement, which
// reads the first of them as a float.
struct ObjectRecord {
    std::array<std::uint32_t, 4> values{};

    float firstAsFloat() const;
    void setFirstAsFloat(float value);
    bool operator==(const ObjectRecord&) const = default;
};

// One finger pose of one hand, kept as stored for the hand model.
using HandPose = std::array<std::uint8_t, HandPoseBytes>;

// Per frame finger keys of both hands. At a key frame the key and next entries both hold a hand
// pose number; between keys the key entry holds the negative distance back to the previous key
// frame and the next entry the positive distance forward to the next one.
struct FingerKeys {
    std::vector<std::int16_t> leftKey;
    std::vector<std::int16_t> leftNext;
    std::vector<std::int16_t> rightKey;
    std::vector<std::int16_t> rightNext;

    bool operator==(const FingerKeys&) const = default;
};

// One sub-motion of a motion pool file.
struct PoolMotion {
    std::int32_t poolId = 0;
    std::uint16_t subIndex = 0;
    std::string name;          // the pool file's name without its extension
    std::uint8_t bars = 1;     // bars of music the motion spans
    std::uint16_t frames = 0;  // key frames, spread evenly over the bars
    std::vector<Vec3s> rootPositions;     // frames entries
    std::vector<Quaternion> rotations;    // frames * JointCount entries, frame after frame
    std::vector<ObjectFrame> objectFrames;
    std::vector<ObjectRecord> objectRecords;
    std::vector<HandPose> handPoses;
    FingerKeys fingerKeys;
    std::int16_t accessory = -1;  // index into the owning track's accessory list

    // Squad's inner control point of every joint key (laid out like `rotations`) and of every
    // object key, worked out once when the motion is loaded (computeControlPoints); empty until
    // then, when sampling works them out from the neighbouring keys as it goes.
    std::vector<Quaternion> rotationControls;
    std::vector<Quaternion> objectControls;

    const Quaternion* rotationsOfFrame(std::size_t frame) const {
        return rotations.data() + frame * JointCount;
    }
    bool hasObjectMotion() const { return !objectFrames.empty(); }
    bool hasFingers() const { return !handPoses.empty(); }

    bool operator==(const PoolMotion&) const = default;
};

// A prop model requested by a motion. Its content is kept as stored; nothing in the program
// draws accessories, and one copy is shared per (pool, accessory number) within a track.
struct AccessoryModel {
    std::int32_t poolId = 0;
    std::uint16_t number = 0;
    std::string data;

    bool operator==(const AccessoryModel&) const = default;
};

// Why a motion cannot be evaluated, or nullptr when it can: fewer than two frames, no bars, or
// arrays whose lengths do not match the frame count or point outside themselves.
const char* motionDefect(const PoolMotion& motion);

}  // namespace kavelune
