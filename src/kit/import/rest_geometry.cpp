#include "kit/import/rest_geometry.h"

#include <algorithm>
#include <map>
#include <optional>

#include "kit/import/gltf_source.h"
#include "model/character_model.h"

namespace kvl::import {

namespace {

// Weights below this share of a vertex's total do not count as a blend.
constexpr double kNegligibleWeight = 0.01;

struct Primitive {
    std::vector<double> positions, texCoords, indices;
    std::vector<std::vector<double>> joints, weights;  // one set per JOINTS_n / WEIGHTS_n pair
};

bool readPrimitive(const tinygltf::Model& model, const tinygltf::Primitive& source, bool skinned,
                   Primitive& out, std::string& error) {
    auto attribute = [&](const std::string& name) {
        auto it = source.attributes.find(name);
        return it == source.attributes.end() ? -1 : it->second;
    };
    if (!readAccessor(model, attribute("POSITION"), 3, out.positions, error)) return false;
    const std::size_t count = out.positions.size() / 3;
    if (attribute("TEXCOORD_0") >= 0) {
        if (!readAccessor(model, attribute("TEXCOORD_0"), 2, out.texCoords, error)) return false;
        if (out.texCoords.size() != count * 2) out.texCoords.clear();
    }
    if (source.indices >= 0) {
        if (!readAccessor(model, source.indices, 1, out.indices, error)) return false;
    } else {
        for (std::size_t i = 0; i < count; ++i) out.indices.push_back(static_cast<double>(i));
    }
    for (int set = 0; skinned && attribute("JOINTS_" + std::to_string(set)) >= 0; ++set) {
        std::vector<double> joints, weights;
        if (!readAccessor(model, attribute("JOINTS_" + std::to_string(set)), 4, joints, error) ||
            !readAccessor(model, attribute("WEIGHTS_" + std::to_string(set)), 4, weights, error)) {
            return false;
        }
        if (joints.size() != count * 4 || weights.size() != count * 4) {
            error = "joints and weights do not match the vertices";
            return false;
        }
        out.joints.push_back(std::move(joints));
        out.weights.push_back(std::move(weights));
    }
    return true;
}

// A skin's matrices from bind space to the rest pose, and each joint's segment.
struct SkinBinding {
    std::vector<Matrix> matrices;
    std::vector<Slot> slots;
};

bool bindSkin(const tinygltf::Model& model, int skinIndex, const RestPose& pose, const std::vector<Slot>& slots,
              SkinBinding& binding, std::string& error) {
    if (skinIndex < 0 || static_cast<std::size_t>(skinIndex) >= model.skins.size()) {
        error = "a skin index is out of range";
        return false;
    }
    const tinygltf::Skin& skin = model.skins[skinIndex];
    std::vector<double> inverse;
    if (skin.inverseBindMatrices >= 0 && !readAccessor(model, skin.inverseBindMatrices, 16, inverse, error)) {
        return false;
    }
    for (std::size_t j = 0; j < skin.joints.size(); ++j) {
        const int node = skin.joints[j];
        if (node < 0 || static_cast<std::size_t>(node) >= model.nodes.size()) {
            error = "a skin joint is out of range";
            return false;
        }
        Matrix bind;
        if ((j + 1) * 16 <= inverse.size()) std::copy_n(inverse.begin() + j * 16, 16, bind.m.begin());
        binding.matrices.push_back(pose.bake[node] * pose.world[node] * bind);
        binding.slots.push_back(slots[node]);
    }
    return true;
}

// Sums a vertex's weights by segment, keeps the heaviest and, when the only other segment is
// its parent, the share that blends the two.
void bindVertex(const std::vector<std::pair<Slot, double>>& sums, RestVertex& vertex) {
    double total = 0.0;
    std::size_t best = 0;
    for (std::size_t i = 0; i < sums.size(); ++i) {
        total += sums[i].second;
        if (sums[i].second > sums[best].second) best = i;
    }
    vertex.slot = sums[best].first;
    vertex.weight = 1.0;
    const std::pair<Slot, double>* other = nullptr;
    for (std::size_t i = 0; i < sums.size(); ++i) {
        if (i == best || sums[i].second <= kNegligibleWeight * total) continue;
        if (other) return;  // three or more segments: no blend the rule can express
        other = &sums[i];
    }
    if (other && other->first == parentSlot(vertex.slot)) {
        vertex.weight = sums[best].second / (sums[best].second + other->second);
    }
}

}  // namespace

std::vector<Slot> slotsOfNodes(const tinygltf::Model& model, const HumanoidMap& map, const RestPose& pose) {
    std::vector<std::optional<Slot>> own(model.nodes.size());
    for (int s = 0; s < kavelune::JointCount; ++s) {
        if (map.body[s] >= 0) own[map.body[s]] = Slot{0, s};
    }
    if (map.fingers) {
        for (int side = 0; side < 2; ++side) {
            for (int k = 0; k < kHandSlots; ++k) own[map.hands[side][k]] = Slot{1 + side, k};
        }
    }
    std::vector<Slot> slots(model.nodes.size());
    for (int n : pose.order) {
        const int parent = pose.parent[n];
        slots[n] = own[n] ? *own[n] : (parent >= 0 ? slots[parent] : Slot{0, 0});
    }
    return slots;
}

Slot parentSlot(Slot slot) {
    if (slot.model == 0) return {0, kavelune::BodySegmentParent[slot.segment]};
    if (slot.segment == 0) return {0, slot.model == 1 ? 7 : 11};
    return {slot.model, kavelune::HandSegmentParent[slot.segment]};
}

bool collectRestGeometry(const tinygltf::Model& model, const HumanoidMap& map, const RestPose& pose,
                         RestGeometry& geometry, std::string& error) {
    const std::vector<Slot> slots = slotsOfNodes(model, map, pose);
    std::size_t sourceBase = 0;
    bool anySkin = false;
    for (int n : pose.order) {
        const tinygltf::Node& node = model.nodes[n];
        if (node.mesh < 0) continue;
        if (static_cast<std::size_t>(node.mesh) >= model.meshes.size()) {
            error = "a mesh index is out of range";
            return false;
        }
        const bool skinned = node.skin >= 0;
        SkinBinding skin;
        if (skinned && !bindSkin(model, node.skin, pose, slots, skin, error)) return false;
        anySkin = anySkin || skinned;
        const Matrix rigid = pose.bake[n] * pose.world[n];
        for (const tinygltf::Primitive& source : model.meshes[node.mesh].primitives) {
            if (source.mode != -1 && source.mode != TINYGLTF_MODE_TRIANGLES) {
                ++geometry.skippedPrimitives;
                continue;
            }
            geometry.morphTargets += source.targets.size();
            Primitive primitive;
            if (!readPrimitive(model, source, skinned, primitive, error)) return false;
            const std::size_t count = primitive.positions.size() / 3;
            const std::size_t first = geometry.vertices.size();
            std::vector<std::pair<Slot, double>> sums;
            for (std::size_t i = 0; i < count; ++i) {
                RestVertex vertex;
                const Vec3 p{primitive.positions[3 * i], primitive.positions[3 * i + 1], primitive.positions[3 * i + 2]};
                if (!primitive.texCoords.empty()) {
                    vertex.u = primitive.texCoords[2 * i];
                    vertex.v = primitive.texCoords[2 * i + 1];
                }
                vertex.sourceIndex = sourceBase + i;
                sums.clear();
                Vec3 blended;
                double total = 0.0;
                for (std::size_t set = 0; set < primitive.joints.size(); ++set) {
                    for (int k = 0; k < 4; ++k) {
                        const double w = primitive.weights[set][4 * i + k];
                        const double j = primitive.joints[set][4 * i + k];
                        if (!(w > 0.0) || j < 0 || j >= static_cast<double>(skin.matrices.size())) continue;
                        const auto joint = static_cast<std::size_t>(j);
                        blended = blended + skin.matrices[joint].transformPoint(p) * w;
                        total += w;
                        auto it = std::find_if(sums.begin(), sums.end(),
                                               [&](const auto& s) { return s.first == skin.slots[joint]; });
                        if (it == sums.end()) sums.emplace_back(skin.slots[joint], w);
                        else it->second += w;
                    }
                }
                if (total > 0.0) {
                    vertex.position = blended * (1.0 / total);
                    bindVertex(sums, vertex);
                } else {
                    vertex.position = rigid.transformPoint(p);
                    vertex.slot = slots[n];
                }
                geometry.vertices.push_back(vertex);
            }
            sourceBase += count;
            for (std::size_t f = 0; f + 2 < primitive.indices.size(); f += 3) {
                RestTriangle triangle;
                triangle.material = source.material;
                for (int c = 0; c < 3; ++c) {
                    const double index = primitive.indices[f + c];
                    if (index < 0 || index >= static_cast<double>(count)) {
                        error = "a triangle names a vertex that does not exist";
                        return false;
                    }
                    triangle.corners[c] = first + static_cast<std::size_t>(index);
                }
                geometry.triangles.push_back(triangle);
            }
        }
    }
    if (!anySkin) {
        error = "the model has no skin (no mesh is bound to a skeleton)";
        return false;
    }
    if (geometry.triangles.empty()) {
        error = "the model has no triangles";
        return false;
    }
    return true;
}

}  // namespace kvl::import
