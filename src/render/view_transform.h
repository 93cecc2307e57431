#pragma once

#include "base/quaternion.h"
#include "render/matrix4.h"
#include "render/view_rotation.h"

namespace kavelune {

// The rotation by pitch about x then yaw about y, as the view transform applies it (the matrix
// Rx(pitch) · Ry(yaw)).
Matrix4 viewPitchYaw(float pitchDegrees, float yawDegrees);

// When the rotation record has changed, moves the pivot between the record and the view
// translation so the picture stays still: at the start of a drag T := T − R·pivot (the drag
// then turns about the pivot), at its end T := T + R·pivot and the pivot returns to 0.
// Clears the changed flag.
void settleViewRotation(ViewRotation& rotation, Vec3f& translation);

// The view transform as a matrix: translate T, rotate pitch (x), yaw (y), roll (z), translate
// by the pivot while a drag is active, then lift the stage by (0, −900, 0). A null record
// applies only the lift.
Matrix4 viewTransformMatrix(const ViewRotation* rotation, const Vec3f& translation);

// A model's placement: translate(stage), turn degrees about +y, translate(root).
Matrix4 modelPlacementMatrix(const Vec3s& stage, float turnDegrees, const Vec3s& root);

// A point given in the scene's (stage) frame expressed in a model's own frame, the inverse of
// its placement.
Vec3f toModelFrame(const Vec3f& point, const Vec3s& stage, float turnDegrees, const Vec3s& root);

}  // namespace kavelune
