#pragma once

#include "base/quaternion.h"

namespace kavelune {

// How the user has turned the view, shared between the window (which changes it with mouse
// drags) and the renderer (which applies it). Angles in degrees.
struct ViewRotation {
    Vec3f pivot;          // the point turned about while a drag is active
    float pitch = 0.0f;   // about x
    float yaw = 0.0f;     // about y
    float roll = 0.0f;    // about z
    bool dragActive = false;
    bool changed = false;  // the pivot or the drag state changed since the last frame
};

}  // namespace kavelune
