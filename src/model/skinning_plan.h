#pragma once

#include <cstdint>
#include <vector>

namespace kavelune {

struct SkinnedMesh;

// A segment's rotation as a matrix, column by column, each column padded to four floats so a
// vertex is transformed with whole-register arithmetic. Built from a quaternion q it rotates
// exactly as q ⊗ (v, 0) ⊗ conjugate(q) does, also for a q that is not of unit length.
struct alignas(16) RotationMatrix {
    float column[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
};

// One vertex of a segment's list as posing treats it: transformed with one of the segment's
// rotations, or, when it repeats the previous transformed vertex's position and weight, a copy
// of that vertex's result.
struct SkinningStep {
    std::uint16_t vertex = 0;
    std::uint16_t source = 0;  // == vertex: transform it; otherwise copy the result of source
    std::uint32_t rotation = 0;  // index into SkinningPlan::weights and ::rotations
};

struct SegmentSkinning {
    std::uint32_t firstStep = 0;
    std::uint32_t stepCount = 0;
    std::uint32_t firstWeight = 0;
    std::uint32_t weightCount = 0;
};

// What posing can know about a mesh before its first pose, worked out once from the weights,
// the base positions and the segment lists: the distinct weights of each segment, so each of
// their rotations is computed once per pose however often the weights alternate along the
// list, and the list itself as steps. Posing then only fills in `rotations` and walks the
// steps. A mesh whose weights, base positions or segment lists change must be planned again.
struct SkinningPlan {
    std::vector<SegmentSkinning> segments;
    std::vector<SkinningStep> steps;
    std::vector<float> weights;             // distinct weights, segment after segment
    std::vector<RotationMatrix> rotations;  // one per weight; working space of the pose

    bool empty() const { return segments.empty(); }
};

// Plans the mesh's skinning from its segment lists, weights and base positions, walking each
// list as the pose does: a weight different from the previous one starts a new rotation; a
// vertex with the previous weight and the previous transformed vertex's exact base position
// is copied from it.
void planSkinning(SkinnedMesh& mesh);

}  // namespace kavelune
