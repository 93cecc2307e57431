#pragma once

#include <vector>

#include "base/quaternion.h"
#include "model/character_model.h"

namespace kavelune {

// Rebuilds the part's draw list with the faces that turn their front to `point` (model
// coordinates): a face is kept when its hidden flag is clear and dot(n, point) > dot(n, p0),
// n its face normal and p0 its first deformed vertex. Kept faces go in order, three indices
// and one face number each. Allocates nothing once the draw lists are sized.
void cullPartFaces(MeshPart& part, const std::vector<Vertex4s>& vertices, const Vec3f& point);

// Culls every part of a mesh against `point`.
void cullMeshFaces(SkinnedMesh& mesh, const Vec3f& point);

// Gives the part draw lists room for every face; the loader does this, a hand-built model may
// not have.
void reserveDrawLists(SkinnedMesh& mesh);

}  // namespace kavelune
