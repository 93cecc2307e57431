#include "kit/demo/demo_mesh.h"

#include <algorithm>
#include <map>
#include <numbers>
#include <tuple>

namespace kvl::demo {

namespace {

constexpr double kPi = std::numbers::pi;

double smoothStep(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

bool isPole(const Ring& ring) { return ring.sideRadius == 0.0 && ring.forwardRadius == 0.0; }

std::int16_t toUnits(double value) {
    return static_cast<std::int16_t>(std::clamp(std::lround(value), -32768L, 32767L));
}

}  // namespace

std::vector<Ring> capsuleRings(Vec3d a, Vec3d b, double radiusA, double radiusB, int segment,
                               double startWeight, double rampShare, int bodyRings, int capRings,
                               double flatten) {
    const Vec3d axis = b - a;
    const double span = length(axis);
    const Vec3d d = normalise(axis);
    const double total = span + radiusA + radiusB;
    auto weightAt = [&](double along) {
        const double share = std::clamp(along / span, 0.0, 1.0);
        return startWeight + (1.0 - startWeight) * smoothStep(share / rampShare);
    };
    std::vector<Ring> rings;
    auto push = [&](Vec3d centre, double radius, double along) {
        Ring ring;
        ring.centre = centre;
        ring.sideRadius = radius;
        ring.forwardRadius = radius * flatten;
        ring.binding = {segment, weightAt(along)};
        ring.v = std::clamp((along + radiusA) / total, 0.0, 1.0);
        rings.push_back(ring);
    };
    for (int k = 0; k < capRings; ++k) {
        const double theta = 0.5 * kPi * k / capRings;
        const double along = -radiusA * std::cos(theta);
        push(a + d * along, radiusA * std::sin(theta), along);
    }
    for (int i = 0; i <= bodyRings; ++i) {
        const double t = static_cast<double>(i) / bodyRings;
        push(a + d * (span * t), radiusA + (radiusB - radiusA) * t, span * t);
    }
    for (int k = capRings - 1; k >= 0; --k) {
        const double theta = 0.5 * kPi * k / capRings;
        const double along = span + radiusB * std::cos(theta);
        push(a + d * along, radiusB * std::sin(theta), along);
    }
    return rings;
}

std::vector<Ring> ellipsoidRings(Vec3d centre, Vec3d axis, double halfLength, double sideRadius,
                                 double forwardRadius, Binding binding, int rings) {
    const Vec3d d = normalise(axis);
    std::vector<Ring> result;
    for (int k = 0; k <= rings; ++k) {
        const double theta = kPi * k / rings;
        Ring ring;
        ring.centre = centre + d * (-std::cos(theta) * halfLength);
        const double scale = (k == 0 || k == rings) ? 0.0 : std::sin(theta);
        ring.sideRadius = sideRadius * scale;
        ring.forwardRadius = forwardRadius * scale;
        ring.binding = binding;
        ring.v = 1.0 - static_cast<double>(k) / rings;
        result.push_back(ring);
    }
    return result;
}

MeshBuilder::MeshBuilder(std::vector<Vec3d> joints) : joints_(std::move(joints)) {}

int MeshBuilder::beginPart(const std::string& textureSpec, bool smooth) {
    parts_.push_back({textureSpec, smooth, {}, 0});
    return static_cast<int>(parts_.size()) - 1;
}

void MeshBuilder::addLoft(const std::vector<Ring>& rings, const LoftStyle& style) {
    if (parts_.empty()) {
        beginPart("");
    }
    Part& part = parts_.back();
    const int stride = style.sides + 1;
    const int first = vertexCount();
    for (std::size_t i = 0; i < rings.size(); ++i) {
        const Ring& ring = rings[i];
        const Vec3d previous = rings[i == 0 ? 0 : i - 1].centre;
        const Vec3d next = rings[std::min(i + 1, rings.size() - 1)].centre;
        Vec3d direction = normalise(next - previous);
        Vec3d forward = style.forwardHint - direction * dot(style.forwardHint, direction);
        if (length(forward) < 1e-6) {
            forward = Vec3d{0.0, 1.0, 0.0} - direction * direction.y;
        }
        forward = normalise(forward);
        const Vec3d side = cross(forward, direction);
        for (int j = 0; j <= style.sides; ++j) {
            const double phi = -0.5 * kPi + 2.0 * kPi * j / style.sides;
            Vertex vertex;
            vertex.position = ring.centre + side * (std::cos(phi) * ring.sideRadius) +
                              forward * (std::sin(phi) * ring.forwardRadius);
            vertex.binding = ring.binding;
            vertex.u = style.uScale * j / style.sides;
            vertex.v = ring.v;
            vertices_.push_back(vertex);
        }
    }
    for (std::size_t i = 0; i + 1 < rings.size(); ++i) {
        const bool startPole = isPole(rings[i]);
        const bool endPole = isPole(rings[i + 1]);
        for (int j = 0; j < style.sides; ++j) {
            const auto a0 = static_cast<std::uint16_t>(first + i * stride + j);
            const auto a1 = static_cast<std::uint16_t>(a0 + 1);
            const auto b0 = static_cast<std::uint16_t>(a0 + stride);
            const auto b1 = static_cast<std::uint16_t>(b0 + 1);
            if (!startPole) {
                part.indices.insert(part.indices.end(), {a0, a1, b0});
            }
            if (!endPole) {
                part.indices.insert(part.indices.end(), {a1, b1, b0});
            }
        }
    }
}

void MeshBuilder::hidePart(int part) { parts_[part].hiddenFaces = parts_[part].indices.size() / 3; }

kavelune::Vertex4s MeshBuilder::relativeVertex(const Vertex& vertex) const {
    const Vec3d joint = joints_[vertex.binding.segment];
    return {toUnits(vertex.position.x - joint.x), toUnits(vertex.position.y - joint.y),
            toUnits(vertex.position.z - joint.z), 1};
}

void MeshBuilder::finish(kavelune::SkinnedMesh& mesh, const std::vector<int>& parents) const {
    mesh.baseVertices.clear();
    mesh.weights.clear();
    mesh.texCoords.clear();
    mesh.secondTexCoords.clear();
    for (const Vertex& vertex : vertices_) {
        mesh.baseVertices.push_back(relativeVertex(vertex));
        mesh.weights.push_back(static_cast<float>(vertex.binding.weight));
        mesh.texCoords.push_back(static_cast<float>(vertex.u));
        mesh.texCoords.push_back(static_cast<float>(vertex.v));
    }
    mesh.secondTexCoords = mesh.texCoords;

    mesh.parts.clear();
    for (const Part& source : parts_) {
        kavelune::MeshPart part;
        part.flags = source.smooth ? kavelune::MeshPart::SmoothFlag : 0;
        part.textureSpec = source.textureSpec;
        part.indices = source.indices;
        part.hidden.assign(part.faceCount(), 0);
        std::fill(part.hidden.begin(), part.hidden.begin() + source.hiddenFaces, 1);
        mesh.parts.push_back(std::move(part));
    }

    mesh.pivots.assign(joints_.size(), {});
    for (std::size_t s = 1; s < joints_.size(); ++s) {
        const Vec3d offset = joints_[s] - joints_[parents[s]];
        mesh.pivots[s] = {toUnits(offset.x), toUnits(offset.y), toUnits(offset.z)};
    }
    mesh.segmentVertices.assign(joints_.size(), {});
    for (std::size_t i = 0; i < vertices_.size(); ++i) {
        mesh.segmentVertices[vertices_[i].binding.segment].push_back(static_cast<std::uint16_t>(i));
    }
}

std::vector<float> MeshBuilder::restNormals() const {
    // Weld by the stored (rounded) position so seams shade as one surface.
    std::map<std::tuple<long, long, long>, std::size_t> groups;
    std::vector<std::size_t> groupOf(vertices_.size());
    for (std::size_t i = 0; i < vertices_.size(); ++i) {
        const Vec3d& p = vertices_[i].position;
        auto key = std::make_tuple(std::lround(p.x), std::lround(p.y), std::lround(p.z));
        groupOf[i] = groups.emplace(key, groups.size()).first->second;
    }
    std::vector<Vec3d> sums(groups.size());
    for (const Part& part : parts_) {
        for (std::size_t f = 0; f + 2 < part.indices.size(); f += 3) {
            const Vec3d a = vertices_[part.indices[f]].position;
            const Vec3d b = vertices_[part.indices[f + 1]].position;
            const Vec3d c = vertices_[part.indices[f + 2]].position;
            const Vec3d n = cross(b - a, c - a);
            for (int k = 0; k < 3; ++k) {
                Vec3d& sum = sums[groupOf[part.indices[f + k]]];
                sum = sum + n;
            }
        }
    }
    std::vector<float> normals;
    normals.reserve(vertices_.size() * 3);
    for (std::size_t i = 0; i < vertices_.size(); ++i) {
        const Vec3d n = normalise(sums[groupOf[i]]);
        normals.insert(normals.end(), {static_cast<float>(n.x), static_cast<float>(n.y),
                                       static_cast<float>(n.z)});
    }
    return normals;
}

}  // namespace kvl::demo
