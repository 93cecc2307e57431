#pragma once

#include <cstdint>
#include <memory>

#include "base/quaternion.h"
#include "base/vec3s.h"
#include "model/character_model.h"

namespace kavelune {

// The current object state of the host's dance track, as the motion side evaluates it.
struct ObjectState {
    int objectClass = 0;     // the object class the host's dance track names
    std::int32_t type = 0;   // picks the anchor: 1 → 4, 2 → 12, 4 → 8, 6 → both hands,
                             // 8 → 18, 16 → 15
    std::uint16_t flags = 0; // 0x10 joint rotation, 1 object rotation, 2 shift,
                             // 0x8000 no smoothing
    Vec3s offset;            // O, in the anchor joint's frame
    Quaternion rotation;
    Vec3f shift;             // moved by shiftScale when flag 2 is set
    float shiftScale = 0.0f; // the leg scale computed with this frame's pose input
    float recordKey = -1.0f; // first value of the current object record; a change = new record
    float transition = 0.0f; // the track's transition value x (smoothing while 0 < x < 10)
};

// Anchor class of an anchor code: 4 → 1, 8 → 4, 12 → 2, 15 → 16, 18 → 8, −2 → 6, else 0.
int anchorClassOf(int anchor);

// Makes `prop` the host's attachment (replacing any earlier one) with the anchor and offset of
// the character entry. The prop takes a copy of the host's pivots and its stage placement.
void bindAttachment(CharacterModel& host, std::unique_ptr<CharacterModel> prop,
                    std::int16_t anchor, const Vec3s& offset);

// Chooses the attachment's rotation and position after the host was posed, poses a prop-mode-1
// attachment there, and moves its box into the host's segment-0 box. `object` is null when the
// host's track has no current object state. Does nothing without an attachment.
void placeAttachment(CharacterModel& host, const ObjectState* object);

}  // namespace kavelune
