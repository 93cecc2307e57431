#include "model/attachment.h"

#include "model/skinning.h"

namespace kavelune {

namespace {

constexpr std::uint16_t kFlagJointRotation = 0x10;
constexpr std::uint16_t kFlagObjectRotation = 0x01;
constexpr std::uint16_t kFlagShift = 0x02;
constexpr std::uint16_t kFlagNoSmoothing = 0x8000;
constexpr int kNoSegment = -1;
constexpr int kBothHands = -2;

int anchorSegmentOfType(std::int32_t type) {
    switch (type) {
        case 1: return 4;
        case 2: return SecondHandHostSegment;
        case 4: return FirstHandHostSegment;
        case 6: return kBothHands;
        case 8: return 18;
        case 16: return 15;
        default: return kNoSegment;
    }
}

std::int16_t add16(int a, int b) { return static_cast<std::int16_t>(a + b); }

Vec3s add(const Vec3s& a, const Vec3s& b) {
    return {add16(a.x, b.x), add16(a.y, b.y), add16(a.z, b.z)};
}

Vec3s subtract(const Vec3s& a, const Vec3s& b) {
    return {add16(a.x, -b.x), add16(a.y, -b.y), add16(a.z, -b.z)};
}

// Rotation S and position Q chosen from the track's object state.
void motionDrivenPlacement(const CharacterModel& host, AttachmentBinding& binding,
                           const ObjectState& object, Quaternion& rotation, Vec3s& position) {
    int segment = anchorSegmentOfType(object.type);
    if ((object.flags & kFlagJointRotation) && segment >= 0) {
        rotation = host.worldRotations[segment];
    } else if (object.flags & kFlagObjectRotation) {
        rotation = object.rotation;
    } else {
        rotation = Quaternion::identity();
    }

    const Vec3s& o = object.offset;
    if (segment == kBothHands) {
        // The offset is mirrored in x for the first hand so both hands hold the prop alike.
        Vec3s second = rotateAndTranslate(host.worldRotations[SecondHandHostSegment], o,
                                          host.joints[SecondHandHostSegment]);
        Vec3s first = rotateAndTranslate(host.worldRotations[FirstHandHostSegment],
                                         Vec3s{static_cast<std::int16_t>(-o.x), o.y, o.z},
                                         host.joints[FirstHandHostSegment]);
        Vec3s middle{static_cast<std::int16_t>((second.x + first.x) / 2),
                     static_cast<std::int16_t>((second.y + first.y) / 2),
                     static_cast<std::int16_t>((second.z + first.z) / 2)};
        position = add(middle, host.root);
    } else if (segment >= 0) {
        position = add(rotateAndTranslate(host.worldRotations[segment], o, host.joints[segment]),
                       host.root);
    } else {
        position = Vec3s{};
    }

    if (object.flags & kFlagShift) {
        position = add(position, truncateToVec3s(object.shift.x * object.shiftScale,
                                                 object.shift.y * object.shiftScale,
                                                 object.shift.z * object.shiftScale));
    }

    // A new object record may put the prop somewhere else: remember how far it jumped and
    // fade that distance out over the track's transition.
    if (!binding.hasPlacement || object.recordKey != binding.lastRecordKey) {
        binding.smoothingDelta =
            binding.hasPlacement ? subtract(binding.lastPlacement, position) : Vec3s{};
        binding.lastRecordKey = object.recordKey;
    }
    binding.lastPlacement = position;
    binding.hasPlacement = true;

    float x = object.transition;
    if (!(object.flags & kFlagNoSmoothing) && x > 0.0f && x < 10.0f) {
        float share = (10.0f - x) * 0.1f;
        const Vec3s& d = binding.smoothingDelta;
        position = add(position, truncateToVec3s(share * d.x, share * d.y, share * d.z));
    }
}

}  // namespace

int anchorClassOf(int anchor) {
    switch (anchor) {
        case 4: return 1;
        case 8: return 4;
        case 12: return 2;
        case 15: return 16;
        case 18: return 8;
        case -2: return 6;
        default: return 0;
    }
}

void bindAttachment(CharacterModel& host, std::unique_ptr<CharacterModel> prop,
                    std::int16_t anchor, const Vec3s& offset) {
    if (!prop) {
        return;
    }
    prop->pivots = host.pivots;
    prop->stagePosition = host.stagePosition;
    prop->turn = host.turn;
    host.attachment = std::move(prop);
    host.attachmentBinding = AttachmentBinding{};
    host.attachmentBinding.anchor = anchor;
    host.attachmentBinding.anchorClass = anchorClassOf(anchor);
    host.attachmentBinding.offset = offset;
}

void placeAttachment(CharacterModel& host, const ObjectState* object) {
    if (!host.attachment) {
        return;
    }
    CharacterModel& prop = *host.attachment;
    AttachmentBinding& binding = host.attachmentBinding;
    // The prop is drawn with its own placement, which follows the host's.
    prop.stagePosition = host.stagePosition;
    prop.turn = host.turn;

    Quaternion rotation = Quaternion::identity();
    Vec3s position;
    if (object != nullptr && object->objectClass == binding.anchorClass) {
        motionDrivenPlacement(host, binding, *object, rotation, position);
    } else {
        binding.hasPlacement = false;
        // Anchors outside 0..18 name no segment and leave the prop unplaced, like negative ones.
        if (binding.anchor >= 0 && binding.anchor < JointCount) {
            rotation = host.worldRotations[binding.anchor];
            position = add(rotateAndTranslate(rotation, binding.offset, host.joints[binding.anchor]),
                           host.root);
        }
    }

    if (prop.propMode == 1) {
        prop.localRotations[0] = rotation;
        prop.root = position;
        poseRigidProp(prop);
    }

    if (!prop.transformedBoxes.empty() && !host.transformedBoxes.empty()) {
        Vec3s shift = subtract(position, host.root);
        const BoxCorners& from = prop.transformedBoxes[0];
        BoxCorners& to = host.transformedBoxes[0];
        for (std::size_t c = 0; c < from.size(); ++c) {
            to[c] = {add16(from[c].x, shift.x), add16(from[c].y, shift.y), add16(from[c].z, shift.z), 1};
        }
    }
}

}  // namespace kavelune
