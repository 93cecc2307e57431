#include "model/skinning.h"

#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace kavelune {

namespace {

constexpr float kNoWeightYet = -100.0f;

Vec3s pointOf(const Vertex4s& v) { return {v.x, v.y, v.z}; }

Vertex4s transformVertex(const Quaternion& rotation, const Vertex4s& base, const Vec3s& joint) {
    Vec3s p = rotateAndTranslate(rotation, pointOf(base), joint);
    return {p.x, p.y, p.z, 1};
}

bool samePosition(const Vertex4s& a, const Vertex4s& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Deforms the vertices of one segment. A vertex follows its segment's rotation by its weight:
// weight 1 takes the full world rotation, anything else the parent's world rotation times a
// partial local rotation. Runs of equal weight share one rotation, and a vertex repeating the
// previous one's position and weight is copied instead of transformed again.
void skinSegment(SkinnedMesh& mesh, std::size_t segment, const Quaternion& parentRotation) {
    const Vec3s& joint = mesh.joints[segment];
    float previousWeight = kNoWeightYet;
    std::size_t previous = 0;
    Quaternion rotation = Quaternion::identity();
    for (std::uint16_t v : mesh.segmentVertices[segment]) {
        float weight = mesh.weights[v];
        if (weight != previousWeight) {
            rotation = weight != 1.0f
                           ? parentRotation * partialRotation(mesh.localRotations[segment], weight)
                           : mesh.worldRotations[segment];
            previousWeight = weight;
        } else if (samePosition(mesh.baseVertices[v], mesh.baseVertices[previous])) {
            mesh.vertices[v] = mesh.vertices[previous];
            mesh.normals[v] = mesh.normals[previous];
            continue;
        }
        mesh.vertices[v] = transformVertex(rotation, mesh.baseVertices[v], joint);
        mesh.normals[v] = rotate(rotation, mesh.restNormals[v]);
        previous = v;
    }
}

// World rotation and joint of a segment under its parent's rotation and joint.
void placeSegment(SkinnedMesh& mesh, std::size_t segment, const Quaternion& parentRotation,
                  const Vec3s& parentJoint) {
    mesh.worldRotations[segment] = parentRotation * mesh.localRotations[segment];
    mesh.joints[segment] = rotateAndTranslate(parentRotation, mesh.pivots[segment], parentJoint);
}

void transformBox(CharacterModel& model, std::size_t segment) {
    const Quaternion& rotation = model.worldRotations[segment];
    const Vec3s& joint = model.joints[segment];
    const BoxCorners& rest = model.boxes[segment];
    BoxCorners& moved = model.transformedBoxes[segment];
    for (std::size_t c = 0; c < rest.size(); ++c) {
        moved[c] = transformVertex(rotation, rest[c], joint);
    }
}

Vec3f faceNormal(const Vertex4s& a, const Vertex4s& b, const Vertex4s& c) {
    float ux = static_cast<float>(b.x - a.x);
    float uy = static_cast<float>(b.y - a.y);
    float uz = static_cast<float>(b.z - a.z);
    float vx = static_cast<float>(c.x - a.x);
    float vy = static_cast<float>(c.y - a.y);
    float vz = static_cast<float>(c.z - a.z);
    Vec3f n{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
    float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0.0f) {
        n = {n.x / length, n.y / length, n.z / length};
    }
    return n;
}

Vec3f normalizedOrZero(const Vec3f& v) {
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length > 0.0f) {
        return {v.x / length, v.y / length, v.z / length};
    }
    return v;
}

}  // namespace

void updateFaceNormals(std::vector<MeshPart>& parts, const std::vector<Vertex4s>& vertices) {
    for (auto& part : parts) {
        std::size_t faces = std::min(part.faceCount(), part.faceNormals.size());
        const std::uint16_t* index = part.indices.data();
        for (std::size_t f = 0; f < faces; ++f, index += 3) {
            part.faceNormals[f] = faceNormal(vertices[index[0]], vertices[index[1]], vertices[index[2]]);
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
            const Vec3f& n = part.faceNormals[f];
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
