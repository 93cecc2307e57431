#include "kit/import/model_assembly.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <numbers>
#include <tuple>

namespace kvl::import {

namespace {

using kavelune::SkinnedMesh;

constexpr std::size_t kMaxVertices = std::numeric_limits<std::uint16_t>::max() + std::size_t{1};

// Rest joints of the body segments and of both hands' segments, in the file's units.
struct Joints {
    std::array<Vec3, kavelune::JointCount> body;
    std::array<std::array<Vec3, kHandSlots>, 2> hands;

    Vec3 of(Slot slot) const { return slot.model == 0 ? body[slot.segment] : hands[slot.model - 1][slot.segment]; }
};

Joints restJoints(const HumanoidMap& map, const RestPose& pose) {
    Joints joints;
    for (int s = 0; s < kavelune::JointCount; ++s) {
        // An absent optional bone sits on its parent's joint: a zero-length pivot.
        joints.body[s] = map.body[s] >= 0 ? pose.joint[map.body[s]] : joints.body[kavelune::BodySegmentParent[s]];
    }
    for (int side = 0; side < 2 && map.fingers; ++side) {
        for (int k = 0; k < kHandSlots; ++k) joints.hands[side][k] = pose.joint[map.hands[side][k]];
    }
    return joints;
}

// One model under construction: its vertices by source vertex and its parts by material.
class MeshAssembly {
public:
    explicit MeshAssembly(const std::function<kavelune::Vertex4s(Vec3)>& toUnits) : toUnits_(toUnits) {}

    void addTriangle(const RestTriangle& triangle, const std::array<RestVertex, 3>& corners,
                     const std::vector<Vec3>& cornerJoints, const std::vector<std::string>& textures) {
        auto [partIt, added] = partOfMaterial_.emplace(triangle.material, parts_.size());
        if (added) {
            const std::size_t entry = triangle.material >= 0 && static_cast<std::size_t>(triangle.material) + 1 <
                                                                   textures.size()
                                         ? static_cast<std::size_t>(triangle.material)
                                         : textures.size() - 1;
            parts_.push_back({textures[entry], {}});
        }
        for (int c = 0; c < 3; ++c) {
            const RestVertex& v = corners[c];
            const auto key = std::make_tuple(v.sourceIndex, v.slot.segment, v.weight);
            auto [it, fresh] = index_.emplace(key, vertices_.size());
            if (fresh) {
                vertices_.push_back(v);
                joints_.push_back(cornerJoints[c]);
            }
            parts_[partIt->second].indices.push_back(it->second);
        }
    }

    std::size_t vertexCount() const { return vertices_.size(); }

    void finish(SkinnedMesh& mesh, const std::vector<Vec3>& segmentJoints, const std::vector<int>& parents) const {
        for (std::size_t i = 0; i < vertices_.size(); ++i) {
            const RestVertex& v = vertices_[i];
            mesh.baseVertices.push_back(toUnits_(v.position - joints_[i]));
            mesh.weights.push_back(static_cast<float>(v.weight));
            mesh.texCoords.push_back(static_cast<float>(v.u));
            mesh.texCoords.push_back(static_cast<float>(v.v));
        }
        mesh.secondTexCoords = mesh.texCoords;
        for (const auto& source : parts_) {
            kavelune::MeshPart part;
            part.flags = kavelune::MeshPart::SmoothFlag;
            part.textureSpec = source.texture;
            part.indices.assign(source.indices.begin(), source.indices.end());
            part.hidden.assign(part.faceCount(), 0);
            mesh.parts.push_back(std::move(part));
        }
        mesh.pivots.assign(segmentJoints.size(), {});
        for (std::size_t s = 1; s < segmentJoints.size(); ++s) {
            const kavelune::Vertex4s p = toUnits_(segmentJoints[s] - segmentJoints[parents[s]]);
            mesh.pivots[s] = {p.x, p.y, p.z};
        }
        mesh.segmentVertices.assign(segmentJoints.size(), {});
        for (std::size_t i = 0; i < vertices_.size(); ++i) {
            mesh.segmentVertices[vertices_[i].slot.segment].push_back(static_cast<std::uint16_t>(i));
        }
    }

    // Smooth normals of the rest shape, welded by position (hand models store them).
    std::vector<kavelune::Vec3f> restNormals() const {
        std::map<std::tuple<long, long, long>, std::size_t> groups;
        std::vector<std::size_t> groupOf(vertices_.size());
        for (std::size_t i = 0; i < vertices_.size(); ++i) {
            const Vec3 p = vertices_[i].position * 1e4;
            groupOf[i] = groups.emplace(std::make_tuple(std::lround(p.x), std::lround(p.y), std::lround(p.z)),
                                        groups.size()).first->second;
        }
        std::vector<Vec3> sums(groups.size());
        for (const auto& part : parts_) {
            for (std::size_t f = 0; f + 2 < part.indices.size(); f += 3) {
                const Vec3 a = vertices_[part.indices[f]].position;
                const Vec3 n = cross(vertices_[part.indices[f + 1]].position - a, vertices_[part.indices[f + 2]].position - a);
                for (int k = 0; k < 3; ++k) sums[groupOf[part.indices[f + k]]] = sums[groupOf[part.indices[f + k]]] + n;
            }
        }
        std::vector<kavelune::Vec3f> normals;
        for (std::size_t i = 0; i < vertices_.size(); ++i) {
            const Vec3 n = normalise(sums[groupOf[i]]);
            normals.push_back({static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)});
        }
        return normals;
    }

private:
    struct Part {
        std::string texture;
        std::vector<std::size_t> indices;
    };
    std::function<kavelune::Vertex4s(Vec3)> toUnits_;
    std::map<std::tuple<std::size_t, int, double>, std::size_t> index_;
    std::vector<RestVertex> vertices_;
    std::vector<Vec3> joints_;
    std::vector<Part> parts_;
    std::map<int, std::size_t> partOfMaterial_;
};

}  // namespace

bool assembleModel(const HumanoidMap& map, const RestPose& pose, const RestGeometry& geometry,
                   const AssemblyOptions& options, kavelune::CharacterModel& model, std::string& error) {
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    for (const RestTriangle& triangle : geometry.triangles) {
        for (std::size_t corner : triangle.corners) {
            low = std::min(low, geometry.vertices[corner].position.y);
            high = std::max(high, geometry.vertices[corner].position.y);
        }
    }
    if (!(high - low > 1e-9) || !(options.height > 0.0)) {
        error = "the model has no height";
        return false;
    }
    const Joints joints = restJoints(map, pose);
    const double scale = options.height / (high - low);
    bool outOfRange = false;
    // Differences of positions in file units to model units; the hips stand over the origin.
    auto toUnits = [scale, &outOfRange](Vec3 d) {
        auto unit = [&](double value) {
            double scaled = std::round(value * scale);
            if (!std::isfinite(scaled)) scaled = 1e9;
            outOfRange = outOfRange || std::abs(scaled) > 32767.0;
            return static_cast<std::int16_t>(std::clamp(scaled, -32767.0, 32767.0));
        };
        return kavelune::Vertex4s{unit(d.x), unit(d.y), unit(d.z), 1};
    };

    std::array<MeshAssembly, 3> meshes{MeshAssembly(toUnits), MeshAssembly(toUnits), MeshAssembly(toUnits)};
    for (const RestTriangle& triangle : geometry.triangles) {
        std::array<RestVertex, 3> corners;
        int target = 0;
        for (int c = 0; c < 3; ++c) {
            corners[c] = geometry.vertices[triangle.corners[c]];
            if (target == 0) target = corners[c].slot.model;
        }
        // A triangle across the wrist goes to the hand; its arm corners hang on the palm with
        // weight 0, which follows the forearm exactly.
        std::vector<Vec3> cornerJoints;
        for (RestVertex& corner : corners) {
            if (corner.slot.model != target) {
                corner.slot = {target, 0};
                corner.weight = target == 0 ? 1.0 : 0.0;
            }
            cornerJoints.push_back(joints.of(corner.slot));
        }
        meshes[target].addTriangle(triangle, corners, cornerJoints, options.materialTextures);
    }
    for (const MeshAssembly& mesh : meshes) {
        if (mesh.vertexCount() > kMaxVertices) {
            error = "the model has " + std::to_string(mesh.vertexCount()) + " vertices in one part of the body; at most " +
                    std::to_string(kMaxVertices) + " fit";
            return false;
        }
    }

    model.version = 133;
    // Segment 0 is placed by the motion, not by a pivot, so the hips' own offset is dropped;
    // the floor comes from the legs' pivots and the feet.
    meshes[0].finish(model, std::vector<Vec3>(joints.body.begin(), joints.body.end()),
                     std::vector<int>(kavelune::BodySegmentParent.begin(), kavelune::BodySegmentParent.end()));
    if (map.fingers) {
        for (int side = 0; side < 2; ++side) {
            kavelune::HandModel hand;
            hand.version = 1;
            meshes[1 + side].finish(hand, std::vector<Vec3>(joints.hands[side].begin(), joints.hands[side].end()),
                                    std::vector<int>(kavelune::HandSegmentParent.begin(), kavelune::HandSegmentParent.end()));
            hand.restNormals = meshes[1 + side].restNormals();
            // At rest the fingers curl a little, as a relaxed hand does.
            const double sideSign = side == 0 ? 1.0 : -1.0;
            hand.restRotations.assign(kavelune::HandSegmentCount, kavelune::Quaternion::identity());
            const float curl = static_cast<float>(-sideSign * 12.0 * std::numbers::pi / 180.0);
            for (int segment = 4; segment < kavelune::HandSegmentCount; ++segment) {
                hand.restRotations[segment] = kavelune::fromAxisAngle(0.0f, 0.0f, 1.0f, curl);
            }
            model.hands.push_back(std::move(hand));
        }
    }
    if (outOfRange) {
        error = "the model does not fit the 16-bit range at height " + std::to_string(options.height);
        return false;
    }
    return true;
}

}  // namespace kvl::import
