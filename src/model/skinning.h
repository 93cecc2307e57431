#pragma once

#include <vector>

#include "base/quaternion.h"
#include "base/vec3s.h"
#include "model/character_model.h"

namespace kavelune {

// Poses the body from its local rotations: world rotations, joints, boxes and deformed
// vertices and normals of every segment in order 0..18, the first hand right after segment 8
// and the second after segment 12, then every part's face normals. Vertices follow the
// skinning plans made at load (prepareLoadedModel). Allocates nothing.
void poseBody(CharacterModel& model);

// Poses a hand from its local rotations under a host: palm rotation = parentRotation ⊗ R[0],
// palm joint = parentRotation · pivot[0] + hostJoint. Then its face normals.
void poseHand(HandModel& hand, const Quaternion& parentRotation, const Vec3s& hostJoint);

// Poses only segment 0 of a rigid prop from its L[0] (identity parent, joint = pivot[0]): its
// box, its vertices and its face normals.
void poseRigidProp(CharacterModel& prop);

// Face normal of every face of every part from the deformed vertices: (b − a) × (c − a),
// normalised when its length is above 0. A smooth part's face normals only serve culling, which
// needs their side and not their length, so they keep the cross product as it is; the normals of
// hidden faces, which are never drawn, are left as they were.
void updateFaceNormals(std::vector<MeshPart>& parts, const std::vector<Vertex4s>& vertices);

// Smooth normals from the current deformed vertices: vertices at exactly the same position
// share the sum of the unit normals of the faces that touch any of them. Used once at load.
void computeSmoothNormals(const std::vector<MeshPart>& parts,
                          const std::vector<Vertex4s>& vertices, std::vector<Vec3f>& normals);

}  // namespace kavelune
