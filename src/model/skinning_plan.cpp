#include "model/skinning_plan.h"

#include "model/character_model.h"

namespace kavelune {

namespace {

// The weight the walk of a segment starts from: no real weight equals it, so the first vertex
// always starts a rotation.
constexpr float kNoWeightYet = -100.0f;

bool samePosition(const Vertex4s& a, const Vertex4s& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// The slot of `weight` among the segment's weights so far, added when new. Weights are read
// from bytes, so a segment has a few dozen at most and a linear search is enough.
std::uint32_t weightSlot(SkinningPlan& plan, const SegmentSkinning& segment, float weight) {
    for (std::uint32_t k = 0; k < segment.weightCount; ++k) {
        if (plan.weights[segment.firstWeight + k] == weight) {
            return segment.firstWeight + k;
        }
    }
    plan.weights.push_back(weight);
    return static_cast<std::uint32_t>(plan.weights.size() - 1);
}

}  // namespace

void planSkinning(SkinnedMesh& mesh) {
    SkinningPlan& plan = mesh.skinning;
    plan = SkinningPlan{};
    plan.segments.reserve(mesh.segmentVertices.size());
    for (const auto& list : mesh.segmentVertices) {
        SegmentSkinning segment;
        segment.firstStep = static_cast<std::uint32_t>(plan.steps.size());
        segment.firstWeight = static_cast<std::uint32_t>(plan.weights.size());
        float previousWeight = kNoWeightYet;
        std::uint16_t previous = 0;
        std::uint32_t rotation = 0;
        for (std::uint16_t v : list) {
            const float weight = mesh.weights[v];
            if (weight != previousWeight) {
                rotation = weightSlot(plan, segment, weight);
                segment.weightCount =
                    static_cast<std::uint32_t>(plan.weights.size()) - segment.firstWeight;
                previousWeight = weight;
            } else if (samePosition(mesh.baseVertices[v], mesh.baseVertices[previous])) {
                plan.steps.push_back({v, previous, rotation});
                continue;
            }
            plan.steps.push_back({v, v, rotation});
            previous = v;
        }
        segment.stepCount = static_cast<std::uint32_t>(plan.steps.size()) - segment.firstStep;
        plan.segments.push_back(segment);
    }
    plan.rotations.assign(plan.weights.size(), RotationMatrix{});
}

}  // namespace kavelune
