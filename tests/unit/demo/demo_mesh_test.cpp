// Lofted primitives as the model format stores them: vertices relative to their segment's joint,
// faces wound so their normals face out (the renderer culls by them), seams welded for shading.
#include <gtest/gtest.h>

#include <set>

#include "kit/demo/demo_figure.h"
#include "kit/demo/demo_mesh.h"

namespace kvl::demo {
namespace {

// Two segments: a root at the origin and a child joint 400 units up.
MeshBuilder twoSegmentBuilder() { return MeshBuilder({Vec3d{0, 0, 0}, Vec3d{0, 400, 0}}); }

TEST(DemoMesh, StoresVerticesRelativeToTheirJointAndPivotsFromTheParent) {
    MeshBuilder builder = twoSegmentBuilder();
    builder.beginPart("skin.jpg");
    builder.addLoft(capsuleRings({0, 400, 0}, {0, 800, 0}, 50, 40, 1, 0.3, 0.3));
    kavelune::SkinnedMesh mesh;
    builder.finish(mesh, {-1, 0});
    ASSERT_EQ(mesh.pivots.size(), 2u);
    EXPECT_EQ(mesh.pivots[1], (kavelune::Vec3s{0, 400, 0}));
    ASSERT_EQ(mesh.segmentVertices[1].size(), mesh.baseVertices.size());
    EXPECT_TRUE(mesh.segmentVertices[0].empty());
    int lowest = 32767;
    int highest = -32768;
    for (const auto& vertex : mesh.baseVertices) {
        lowest = std::min(lowest, static_cast<int>(vertex.y));
        highest = std::max(highest, static_cast<int>(vertex.y));
        EXPECT_EQ(vertex.w, 1);
    }
    // The capsule runs from its joint (minus the cap) to 400 above it (plus the cap).
    EXPECT_EQ(lowest, -50);
    EXPECT_EQ(highest, 440);
    EXPECT_EQ(mesh.texCoords.size(), 2 * mesh.baseVertices.size());
    EXPECT_EQ(mesh.weights.size(), mesh.baseVertices.size());
}

TEST(DemoMesh, WeightsRampFromTheJointToOne) {
    MeshBuilder builder = twoSegmentBuilder();
    builder.addLoft(capsuleRings({0, 400, 0}, {0, 800, 0}, 50, 40, 1, 0.3, 0.3));
    kavelune::SkinnedMesh mesh;
    builder.finish(mesh, {-1, 0});
    for (std::size_t i = 0; i < mesh.baseVertices.size(); ++i) {
        const int y = mesh.baseVertices[i].y;
        if (y <= 0) {
            EXPECT_FLOAT_EQ(mesh.weights[i], 0.3f);
        }
        if (y >= 200) {
            EXPECT_FLOAT_EQ(mesh.weights[i], 1.0f);
        }
    }
}

// Face normals point away from the axis for upward and downward lofts alike.
TEST(DemoMesh, FacesFaceOutward) {
    for (double direction : {1.0, -1.0}) {
        MeshBuilder builder = twoSegmentBuilder();
        builder.addLoft(capsuleRings({0, 400, 0}, {0, 400 + 300 * direction, 0}, 60, 60, 1, 1.0, 0.1));
        kavelune::SkinnedMesh mesh;
        builder.finish(mesh, {-1, 0});
        const auto& indices = mesh.parts.at(0).indices;
        ASSERT_FALSE(indices.empty());
        for (std::size_t f = 0; f < indices.size(); f += 3) {
            auto at = [&](int k) {
                const auto& v = mesh.baseVertices[indices[f + k]];
                return Vec3d{static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z)};
            };
            const Vec3d n = cross(at(1) - at(0), at(2) - at(0));
            if (length(n) < 1e-9) continue;
            const Vec3d centre = (at(0) + at(1) + at(2)) * (1.0 / 3.0);
            const Vec3d axisPoint{0.0, centre.y, 0.0};
            EXPECT_GT(dot(n, centre - axisPoint), 0.0) << "face " << f / 3 << " direction " << direction;
        }
    }
}

TEST(DemoMesh, RestNormalsAreUnitAndShareTheSeam) {
    MeshBuilder builder({Vec3d{0, 0, 0}});
    builder.addLoft(ellipsoidRings({0, 0, 0}, {0, 1, 0}, 100, 80, 80, {0, 1.0}, 8));
    const auto normals = builder.restNormals();
    ASSERT_EQ(normals.size(), 3u * builder.vertexCount());
    for (std::size_t i = 0; i < normals.size(); i += 3) {
        const double l = std::sqrt(normals[i] * normals[i] + normals[i + 1] * normals[i + 1] + normals[i + 2] * normals[i + 2]);
        EXPECT_NEAR(l, 1.0, 1e-5);
    }
    // The first and last vertex of a ring sit at the same place and get the same normal.
    const int stride = LoftStyle{}.sides + 1;
    for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(normals[3 * stride + k], normals[3 * (2 * stride - 1) + k]);
}

TEST(DemoFigure, StandsOnTheFloorWithNineteenSegmentsAndTwoHands) {
    FigureSpec figureSpec;
    figureSpec.look.hands = true;
    const auto model = buildFigure(figureSpec);
    const auto joints = figureJoints(figureSpec.shape);
    ASSERT_EQ(model.pivots.size(), static_cast<std::size_t>(kavelune::JointCount));
    ASSERT_EQ(model.hands.size(), 2u);
    int lowest = 32767;
    std::set<int> segmentsUsed;
    for (int s = 0; s < kavelune::JointCount; ++s) {
        for (auto index : model.segmentVertices[s]) {
            lowest = std::min(lowest, static_cast<int>(std::lround(joints[s].y)) + model.baseVertices[index].y);
            segmentsUsed.insert(s);
        }
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(segmentsUsed.size(), static_cast<std::size_t>(kavelune::JointCount) - 2)  // collars carry nothing
        << "every limb segment carries geometry";
    for (const auto& hand : model.hands) {
        EXPECT_EQ(hand.pivots.size(), static_cast<std::size_t>(kavelune::HandSegmentCount));
        EXPECT_EQ(hand.restNormals.size(), hand.baseVertices.size());
        EXPECT_EQ(hand.restRotations.size(), static_cast<std::size_t>(kavelune::HandSegmentCount));
    }
    // The body's own hands are hidden behind the hand models, and only those.
    std::size_t hidden = 0;
    for (const auto& part : model.parts)
        for (auto flag : part.hidden) hidden += flag != 0;
    EXPECT_GT(hidden, 0u);
    EXPECT_LT(hidden, 1000u);
}

}  // namespace
}  // namespace kvl::demo
