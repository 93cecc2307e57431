#include "kit/import/rest_pose.h"

#include <optional>

#include "kit/demo/demo_figure.h"
#include "kit/import/gltf_source.h"

namespace kvl::import {

namespace {

// Where a node points and which way it should point in the rest pose.
struct Aim {
    int towards = -1;  // node whose joint gives the bone's direction
    Vec3 direction;
    // Optionally, two nodes below whose joints give the bone's turn about its own direction.
    int sideFrom = -1;
    int sideTo = -1;
    Vec3 side;
};

Vec3 fromDemo(demo::Vec3d v) { return {v.x, v.y, v.z}; }

bool orderNodes(const tinygltf::Model& model, RestPose& pose, std::string& error) {
    const int count = static_cast<int>(model.nodes.size());
    pose.parent.assign(count, -1);
    for (int n = 0; n < count; ++n) {
        for (int child : model.nodes[n].children) {
            if (child < 0 || child >= count || child == n || pose.parent[child] >= 0) {
                error = "the node tree is damaged (node " + std::to_string(child) + ")";
                return false;
            }
            pose.parent[child] = n;
        }
    }
    pose.order.clear();
    for (int n = 0; n < count; ++n) {
        if (pose.parent[n] < 0) pose.order.push_back(n);
    }
    for (std::size_t i = 0; i < pose.order.size(); ++i) {
        for (int child : model.nodes[pose.order[i]].children) pose.order.push_back(child);
    }
    if (static_cast<int>(pose.order.size()) != count) {
        error = "the node tree has a cycle";
        return false;
    }
    return true;
}

// The bones the rest pose straightens, with the directions the demo dancers' skeleton gives.
std::vector<std::optional<Aim>> restAims(const tinygltf::Model& model, const HumanoidMap& map) {
    std::vector<std::optional<Aim>> aims(model.nodes.size());
    const auto joints = demo::figureJoints(demo::FigureShape{});
    auto aim = [&](int node, int towards, Vec3 direction) {
        if (node >= 0 && towards >= 0 && node != towards) aims[node] = Aim{towards, direction, -1, -1, {}};
    };
    for (auto [from, to] : {std::pair{6, 7}, {7, 8}, {10, 11}, {11, 12}, {13, 14}, {14, 15}, {16, 17}, {17, 18}}) {
        aim(map.body[from], map.body[to], fromDemo(joints[to] - joints[from]));
    }
    const Vec3 down{0.0, -1.0, 0.0};
    for (int side = 0; side < 2; ++side) {
        const auto& hand = map.hands[side];
        // The palm hangs along the middle finger; the four fingers hang straight, the thumb keeps
        // its own set.
        const int palm = map.body[side == 0 ? 8 : 12];
        aim(palm, hand[7], down);
        if (!map.fingers) continue;
        // The knuckles run from the index finger at the front to the little finger at the back,
        // so the palm faces the body.
        if (aims[palm]) {
            aims[palm]->sideFrom = hand[4];
            aims[palm]->sideTo = hand[13];
            aims[palm]->side = {0.0, 0.0, -1.0};
        }
        for (int slot = 4; slot < kHandSlots; ++slot) {
            const bool last = slot % 3 == 0;
            const int node = hand[slot];
            const auto& children = model.nodes[node].children;
            aim(node, last ? (children.empty() ? -1 : children.front()) : hand[slot + 1], down);
        }
    }
    return aims;
}

}  // namespace

bool computeRestPose(const tinygltf::Model& model, const HumanoidMap& map, RestPose& pose, std::string& error) {
    if (!orderNodes(model, pose, error)) return false;
    const std::size_t count = model.nodes.size();
    pose.world.assign(count, Matrix{});
    for (int n : pose.order) {
        const Matrix local = localMatrix(model.nodes[n]);
        pose.world[n] = pose.parent[n] < 0 ? local : pose.world[pose.parent[n]] * local;
    }
    auto at = [&](int node) { return pose.world[node].origin(); };

    // The whole figure turns first: head above hips, the left leg at +x.
    const Vec3 up = normalise(at(map.body[4]) - at(map.body[0]));
    Vec3 left = at(map.body[13]) - at(map.body[16]);
    if (length(left) < 1e-9) left = at(map.body[6]) - at(map.body[10]);
    left = normalise(left - up * dot(left, up));
    if (length(up) < 0.5 || length(left) < 0.5) {
        error = "cannot tell the skeleton's up and left directions";
        return false;
    }
    const Vec3 forward = cross(left, up);
    const Rotation facing{{{left.x, left.y, left.z}, {up.x, up.y, up.z}, {forward.x, forward.y, forward.z}}};

    const auto aims = restAims(model, map);
    std::vector<Rotation> turn(count, identityRotation());
    pose.bake.assign(count, Matrix{});
    pose.joint.assign(count, Vec3{});
    for (int n : pose.order) {
        const int parent = pose.parent[n];
        const Rotation parentTurn = parent < 0 ? facing : turn[parent];
        const Vec3 parentAt = parent < 0 ? Vec3{} : at(parent);
        const Vec3 parentJoint = parent < 0 ? Vec3{} : pose.joint[parent];
        pose.joint[n] = parentJoint + parentTurn * (at(n) - parentAt);
        turn[n] = parentTurn;
        if (aims[n]) {
            const Vec3 pointing = parentTurn * (at(aims[n]->towards) - at(n));
            if (length(pointing) > 1e-9) turn[n] = rotationBetween(pointing, aims[n]->direction) * parentTurn;
            if (aims[n]->sideFrom >= 0) {
                const Vec3 axis = normalise(aims[n]->direction);
                Vec3 now = turn[n] * (at(aims[n]->sideTo) - at(aims[n]->sideFrom));
                now = now - axis * dot(now, axis);
                const Vec3 wanted = aims[n]->side - axis * dot(aims[n]->side, axis);
                if (length(now) > 1e-9 && length(wanted) > 1e-9) turn[n] = rotationBetween(now, wanted) * turn[n];
            }
        }
        pose.bake[n] = translation(pose.joint[n]) * rotationMatrix(turn[n]) * translation(at(n) * -1.0);
    }
    return true;
}

}  // namespace kvl::import
