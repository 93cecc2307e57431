#include "model/skinning.h"

#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "model/skinning_math.h"

namespace kavelune {

namespace {

using skinning::PartialRotations;
using skinning::Translation;

// Deforms the vertices of one segment. A vertex follows its segment's rotation by its weight:
// weight 1 takes the full world rotation, anything else the parent's world rotation times a
// partial local rotation. The plan lists the segment's distinct weights, so each rotation is
// made once here however the weights alternate along the list; a vertex repeating the
// previous one's position and weight is copied instead of transformed again.
void skinSegment(SkinnedMesh& mesh, std::size_t segment, const Quaternion& parentRotation) {
    SkinningPlan& plan = mesh.skinning;
    if (segment >= plan.segments.size()) {
        return;
    }
    const SegmentSkinning& s = plan.segments[segment];
    if (s.stepCount == 0) {
        return;
    }
    const PartialRotations partial(mesh.localRotations[segment]);
    for (std::uint32_t k = s.firstWeight; k < s.firstWeight + s.weightCount; ++k) {
        const float weight = plan.weights[k];
        const Quaternion rotation = weight != 1.0f ? parentRotation * partial.at(weight)
                                                   : mesh.worldRotations[segment];
        plan.rotations[k] = skinning::rotationMatrixOf(rotation);
    }

    const Translation joint = skinning::translationOf(mesh.joints[segment]);
    const Vertex4s* base = mesh.baseVertices.data();
    const Vec3f* rest = mesh.restNormals.data();
    Vertex4s* deformed = mesh.vertices.data();
    Vec3f* normals = mesh.normals.data();
    const SkinningStep* step = plan.steps.data() + s.firstStep;
    const SkinningStep* end = step + s.stepCount;
    for (; step != end; ++step) {
        const std::uint16_t v = step->vertex;
        if (step->source != v) {
            deformed[v] = deformed[step->source];
            normals[v] = normals[step->source];
            continue;
        }
        const RotationMatrix& rotation = plan.rotations[step->rotation];
        skinning::transformVertex(rotation, joint, base[v], deformed[v]);
        skinning::transformNormal(rotation, rest[v], normals[v]);
    }
}

// World rotation and joint of a segment under its parent's rotation and joint.
void placeSegment(SkinnedMesh& mesh, std::size_t segment, const Quaternion& parentRotation,
                  const Vec3s& parentJoint) {
    mesh.worldRotations[segment] = parentRotation * mesh.localRotations[segment];
    mesh.joints[segment] = rotateAndTranslate(parentRotation, mesh.pivots[segment], parentJoint);
}

void transformBox(CharacterModel& model, std::size_t segment) {
    const RotationMatrix rotation = skinning::rotationMatrixOf(model.worldRotations[segment]);
    const Translation joint = skinning::translationOf(model.joints[segment]);
    const BoxCorners& rest = model.boxes[segment];
    BoxCorners& moved = model.transformedBoxes[segment];
    for (std::size_t c = 0; c < rest.size(); ++c) {
        skinning::transformVertex(rotation, joint, rest[c], moved[c]);
    }
}

Vec3f normalizedOrZero(const Vec3f& v) {
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length > 0.0f) {
        return {v.x / length, v.y / length, v.z / length};
    }
    return v;
}

Vec3f unitFaceNormal(const Vertex4s& a, const Vertex4s& b, const Vertex4s& c) {
    Vec3f n;
    skinning::crossOfEdges(a, b, c, n);
    return normalizedOrZero(n);
}

}  // namespace

void updateFaceNormals(std::vector<MeshPart>& parts, const std::vector<Vertex4s>& vertices) {
    for (auto& part : parts) {
        const std::size_t faces = std::min(part.faceCount(), part.faceNormals.size());
        const bool hasHiddenFlags = part.hidden.size() >= faces;
        // A flat part lights each face with its normal, which must be of unit length. A smooth
        // part lights with its vertex normals; its face normals only decide which side of a
        // face a point lies on, and the length does not change the side.
        const bool unit = !part.smooth();
        const std::uint16_t* index = part.indices.data();
        for (std::size_t f = 0; f < faces; ++f, index += 3) {
            // Hidden faces are never drawn, so nothing reads their normals.
            if (hasHiddenFlags && part.hidden[f] != 0) {
                continue;
            }
            const Vertex4s& a = vertices[index[0]];
            const Vertex4s& b = vertices[index[1]];
            const Vertex4s& c = vertices[index[2]];
            if (unit) {
                part.faceNormals[f] = unitFaceNormal(a, b, c);
            } else {
                skinning::crossOfEdges(a, b, c, part.faceNormals[f]);
            }
        }
    }
}

void poseHand(HandModel& hand, const Quaternion& parentRotation, const Vec3s& hostJoint) {
    placeSegment(hand, 0, parentRotation, hostJoint);
    skinSegment(hand, 0, parentRotation);
    for (std::size_t s = 1; s < HandSegmentCount; ++s) {
        auto parent = static_cast<std::size_t>(HandSegmentParent[s]);
        placeSegment(hand, s, hand.worldRotations[parent], hand.joints[parent]);
        skinSegment(hand, s, hand.worldRotations[parent]);
    }
    updateFaceNormals(hand.parts, hand.vertices);
}

// The root segment: identity parent, its joint is its pivot unrotated.
static void poseRootSegment(CharacterModel& model) {
    model.worldRotations[0] = model.localRotations[0];
    model.joints[0] = model.pivots[0];
    transformBox(model, 0);
    skinSegment(model, 0, Quaternion::identity());
}

void poseBody(CharacterModel& model) {
    // The root's children hang from the origin (not from the root's joint) under the root's
    // rotation.
    poseRootSegment(model);
    for (std::size_t s = 1; s < JointCount; ++s) {
        auto parent = static_cast<std::size_t>(BodySegmentParent[s]);
        Vec3s parentJoint = parent == 0 ? Vec3s{} : model.joints[parent];
        const Quaternion parentRotation = model.worldRotations[parent];
        placeSegment(model, s, parentRotation, parentJoint);
        transformBox(model, s);
        skinSegment(model, s, parentRotation);
        if (model.hands.size() == 2 && (s == FirstHandHostSegment || s == SecondHandHostSegment)) {
            HandModel& hand = model.hands[s == FirstHandHostSegment ? 0 : 1];
            hand.localRotations[0] = model.localRotations[s];
            poseHand(hand, parentRotation, model.joints[s]);
        }
    }
    updateFaceNormals(model.parts, model.vertices);
}

void poseRigidProp(CharacterModel& prop) {
    poseRootSegment(prop);
    updateFaceNormals(prop.parts, prop.vertices);
}

void computeSmoothNormals(const std::vector<MeshPart>& parts,
                          const std::vector<Vertex4s>& vertices, std::vector<Vec3f>& normals) {
    // Weld: every vertex joins the group of the first vertex at exactly its position.
    std::vector<std::size_t> group(vertices.size());
    std::unordered_map<std::uint64_t, std::size_t> firstAt;
    firstAt.reserve(vertices.size());
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        std::uint64_t key = (std::uint64_t{static_cast<std::uint16_t>(vertices[v].x)} << 32) |
                            (std::uint64_t{static_cast<std::uint16_t>(vertices[v].y)} << 16) |
                            std::uint64_t{static_cast<std::uint16_t>(vertices[v].z)};
        group[v] = firstAt.try_emplace(key, v).first->second;
    }
    std::vector<Vec3f> sums(vertices.size());
    for (const auto& part : parts) {
        std::size_t faces = std::min(part.faceCount(), part.faceNormals.size());
        for (std::size_t f = 0; f < faces; ++f) {
            // Unit normals of every face, whatever the pose keeps for the part's own use.
            const std::uint16_t* index = &part.indices[3 * f];
            const Vec3f n = unitFaceNormal(vertices[index[0]], vertices[index[1]], vertices[index[2]]);
            for (std::size_t corner = 0; corner < 3; ++corner) {
                Vec3f& sum = sums[group[part.indices[3 * f + corner]]];
                sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
            }
        }
    }
    normals.resize(vertices.size());
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        normals[v] = normalizedOrZero(sums[group[v]]);
    }
}

}  // namespace kavelune
