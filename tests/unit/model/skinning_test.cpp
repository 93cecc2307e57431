#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/character_pose.h"
#include "model/model_setup.h"
#include "model/skinning.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

using testing::FigureOptions;
using testing::makeFigure;

constexpr float kPi = std::numbers::pi_v<float>;

Vec3s pointOf(const Vertex4s& v) { return {v.x, v.y, v.z}; }

Vertex4s expectedVertex(const Quaternion& r, const Vertex4s& base, const Vec3s& joint) {
    Vec3s p = rotateAndTranslate(r, pointOf(base), joint);
    return {p.x, p.y, p.z, 1};
}

// A figure with two vertices in segment 5 (weights 0 and 1) and one in segment 0, all other
// segments empty, and a root pivot off the origin.
CharacterModel weightedArm() {
    CharacterModel model;
    model.pivots = testing::figurePivots();
    model.pivots[0] = {5, 7, 9};
    model.segmentVertices.assign(JointCount, {});
    model.baseVertices = {{30, 0, 0, 1}, {30, 0, 0, 1}, {10, 20, 0, 1}, {0, 0, 0, 1}};
    model.weights = {0.0f, 1.0f, 0.5f, 1.0f};
    model.segmentVertices[5] = {0, 1, 2};
    model.segmentVertices[0] = {3};
    MeshPart part;
    part.indices = {0, 1, 2, 0, 2, 3};
    model.parts.push_back(part);
    prepareLoadedModel(model);
    return model;
}

TEST(SkinningRest, IdentityRotationsPlaceVerticesAtBasePlusTheirJoint) {
    CharacterModel model = makeFigure(FigureOptions{.hands = true});
    model.pivots[0] = {3, -4, 5};
    prepareLoadedModel(model);
    poseBody(model);
    // The root joint is its pivot; the root's children hang from the origin, not from it.
    EXPECT_EQ(model.joints[0], (Vec3s{3, -4, 5}));
    EXPECT_EQ(model.joints[1], model.pivots[1]);
    EXPECT_EQ(model.joints[13], model.pivots[13]);
    EXPECT_EQ(model.joints[15], (Vec3s{80, -850, 0}));
    EXPECT_EQ(model.joints[8], (Vec3s{460, 250, 0}));
    for (std::size_t s = 0; s < JointCount; ++s) {
        for (std::uint16_t v : model.segmentVertices[s]) {
            const Vertex4s& base = model.baseVertices[v];
            const Vec3s& j = model.joints[s];
            EXPECT_EQ(model.vertices[v],
                      (Vertex4s{static_cast<std::int16_t>(base.x + j.x),
                                static_cast<std::int16_t>(base.y + j.y),
                                static_cast<std::int16_t>(base.z + j.z), 1}))
                << "segment " << s << " vertex " << v;
        }
    }
}

TEST(SkinningWeights, WeightZeroFollowsTheParentAndWeightOneTheWholeRotation) {
    CharacterModel model = weightedArm();
    Quaternion shoulder = fromAxisAngle(0, 0, 1, kPi / 2);
    Quaternion chest = fromAxisAngle(0, 1, 0, kPi / 3);
    model.localRotations[2] = chest;
    model.localRotations[5] = shoulder;
    poseBody(model);

    Quaternion parent = model.worldRotations[2];
    EXPECT_EQ(model.worldRotations[5], parent * shoulder);
    EXPECT_EQ(model.vertices[0], expectedVertex(parent, model.baseVertices[0], model.joints[5]));
    EXPECT_EQ(model.vertices[1],
              expectedVertex(model.worldRotations[5], model.baseVertices[1], model.joints[5]));
    EXPECT_EQ(model.vertices[2], expectedVertex(parent * partialRotation(shoulder, 0.5f),
                                                model.baseVertices[2], model.joints[5]));
    // The root vertex moves with the root joint (its pivot), unrotated here.
    EXPECT_EQ(model.vertices[3], (Vertex4s{5, 7, 9, 1}));
}

TEST(SkinningWeights, RotatedCoordinatesTruncateTowardZero) {
    CharacterModel model = weightedArm();
    model.baseVertices[1] = {10, 0, 0, 1};
    model.pivots[5] = {0, 0, 0};
    model.pivots[2] = {0, 0, 0};
    model.pivots[1] = {0, 0, 0};
    model.localRotations[5] = fromAxisAngle(0, 0, 1, std::acos(-0.27f));
    poseBody(model);
    EXPECT_EQ(model.vertices[1].x, -2);  // −2.7 → −2, not −3
    EXPECT_EQ(model.vertices[1].y, 9);   // 9.63 → 9
}

TEST(SkinningDuplicates, ARepeatedPositionAndWeightCopiesThePreviousResult) {
    CharacterModel model = weightedArm();
    model.weights[0] = 1.0f;  // vertices 0 and 1: same position, same weight
    planSkinning(model);      // weights changed after load
    model.restNormals[0] = {0, 1, 0};
    model.restNormals[1] = {0, 0, 1};  // would rotate differently if it were recomputed
    model.localRotations[5] = fromAxisAngle(1, 0, 0, 0.7f);
    poseBody(model);
    EXPECT_EQ(model.vertices[1], model.vertices[0]);
    EXPECT_EQ(model.normals[1], model.normals[0]);
    EXPECT_EQ(model.normals[0], rotate(model.worldRotations[5], Vec3f{0, 1, 0}));
}

TEST(SkinningDuplicates, SameWeightAtANewPositionIsTransformedWithTheSharedRotation) {
    CharacterModel model = weightedArm();
    model.weights[2] = 1.0f;
    planSkinning(model);
    model.localRotations[5] = fromAxisAngle(0, 1, 1, 1.1f);
    poseBody(model);
    EXPECT_EQ(model.vertices[2],
              expectedVertex(model.worldRotations[5], model.baseVertices[2], model.joints[5]));
}

TEST(SkinningNormals, FaceNormalsAreUnitCrossProductsAndDegenerateFacesGetZero) {
    std::vector<Vertex4s> vertices = {{0, 0, 0, 1}, {10, 0, 0, 1}, {0, 10, 0, 1}, {20, 0, 0, 1}};
    std::vector<MeshPart> parts(1);
    parts[0].indices = {0, 1, 2, 0, 1, 3, 2, 1, 0};
    parts[0].faceNormals.resize(3);
    updateFaceNormals(parts, vertices);
    EXPECT_EQ(parts[0].faceNormals[0], (Vec3f{0, 0, 1}));
    EXPECT_EQ(parts[0].faceNormals[1], (Vec3f{0, 0, 0}));  // collinear
    EXPECT_EQ(parts[0].faceNormals[2], (Vec3f{0, 0, -1}));  // winding decides the side
}

TEST(SkinningNormals, SmoothNormalsWeldEqualPositionsAndLeaveDegenerateOnlyVerticesZero) {
    // Two triangles meeting at a fold along the y axis; the shared edge is stored twice.
    std::vector<Vertex4s> vertices = {
        {0, 0, 0, 1}, {0, 10, 0, 1}, {10, 0, 0, 1},   // face in z = 0, normal −z
        {0, 0, 0, 1}, {0, 10, 0, 1}, {0, 0, 10, 1},   // face in x = 0, normal +x
        {50, 0, 0, 1}, {60, 0, 0, 1}, {70, 0, 0, 1},  // degenerate
    };
    std::vector<MeshPart> parts(1);
    parts[0].indices = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    parts[0].faceNormals.resize(3);
    updateFaceNormals(parts, vertices);
    std::vector<Vec3f> normals;
    computeSmoothNormals(parts, vertices, normals);
    float h = 1.0f / std::sqrt(2.0f);
    for (std::size_t v : {0u, 1u, 3u, 4u}) {
        EXPECT_NEAR(normals[v].x, h, 1e-6f) << v;
        EXPECT_NEAR(normals[v].y, 0.0f, 1e-6f) << v;
        EXPECT_NEAR(normals[v].z, -h, 1e-6f) << v;
    }
    EXPECT_EQ(normals[2], (Vec3f{0, 0, -1}));
    EXPECT_EQ(normals[5], (Vec3f{1, 0, 0}));
    for (std::size_t v : {6u, 7u, 8u}) {
        EXPECT_EQ(normals[v], (Vec3f{0, 0, 0}));
    }
}

TEST(SkinningBoxes, TransformedCornersFollowTheSegment) {
    CharacterModel model = makeFigure();
    prepareLoadedModel(model);
    model.localRotations[0] = fromAxisAngle(0, 1, 0, 0.4f);
    model.localRotations[14] = fromAxisAngle(1, 0, 0, -0.9f);
    poseBody(model);
    for (std::size_t s : {0u, 14u, 15u}) {
        for (std::size_t c = 0; c < BoxCornerCount; ++c) {
            EXPECT_EQ(model.transformedBoxes[s][c],
                      expectedVertex(model.worldRotations[s], model.boxes[s][c], model.joints[s]));
        }
    }
}

TEST(SkinningHands, HandsHangFromSegments8And12UnderTheirParentsRotation) {
    CharacterModel model = makeFigure(FigureOptions{.hands = true});
    prepareLoadedModel(model);
    model.localRotations[2] = fromAxisAngle(0, 1, 0, 0.3f);
    model.localRotations[7] = fromAxisAngle(0, 0, 1, 0.5f);
    model.localRotations[8] = fromAxisAngle(1, 0, 0, 0.6f);
    model.localRotations[12] = fromAxisAngle(0, 1, 0, -0.6f);
    poseBody(model);
    for (std::size_t h = 0; h < 2; ++h) {
        std::size_t host = h == 0 ? 8 : 12;
        const HandModel& hand = model.hands[h];
        Quaternion parent = model.worldRotations[host - 1];
        EXPECT_EQ(hand.localRotations[0], model.localRotations[host]);
        EXPECT_EQ(hand.worldRotations[0], parent * model.localRotations[host]);
        EXPECT_EQ(hand.joints[0], rotateAndTranslate(parent, hand.pivots[0], model.joints[host]));
        // A finger segment chains from the palm like a body segment.
        EXPECT_EQ(hand.worldRotations[1], hand.worldRotations[0] * hand.localRotations[1]);
        EXPECT_EQ(hand.joints[1],
                  rotateAndTranslate(hand.worldRotations[0], hand.pivots[1], hand.joints[0]));
        std::uint16_t palmVertex = hand.segmentVertices[0][0];
        ASSERT_EQ(hand.weights[palmVertex], 1.0f);
        EXPECT_EQ(hand.vertices[palmVertex],
                  expectedVertex(hand.worldRotations[0], hand.baseVertices[palmVertex],
                                 hand.joints[0]));
    }
}

TEST(SkinningHands, HandsStartAtTheirRestRotationsAndKeepTheirOwnNormals) {
    CharacterModel model = makeFigure(FigureOptions{.hands = true});
    prepareLoadedModel(model);
    const HandModel& hand = model.hands[0];
    for (std::size_t k = 1; k < HandSegmentCount; ++k) {
        EXPECT_EQ(hand.localRotations[k], hand.restRotations[k]);
    }
    EXPECT_EQ(hand.restNormals[0], (Vec3f{0, 1, 0}));
    EXPECT_EQ(hand.restNormals[1], (Vec3f{0, -1, 0}));
}

// The skinning as first written, kept as the reference for the faster one: each vertex rotated
// through the quaternion product, the partial rotation made again whenever the weight changes.
void referenceSkinSegment(const SkinnedMesh& mesh, std::size_t segment, const Quaternion& parent,
                          std::vector<Vertex4s>& vertices, std::vector<Vec3f>& normals) {
    float previousWeight = -100.0f;
    std::size_t previous = 0;
    Quaternion rotation;
    for (std::uint16_t v : mesh.segmentVertices[segment]) {
        const float weight = mesh.weights[v];
        if (weight != previousWeight) {
            rotation = weight != 1.0f ? parent * partialRotation(mesh.localRotations[segment], weight)
                                      : mesh.worldRotations[segment];
            previousWeight = weight;
        } else if (pointOf(mesh.baseVertices[v]) == pointOf(mesh.baseVertices[previous])) {
            vertices[v] = vertices[previous];
            normals[v] = normals[previous];
            continue;
        }
        vertices[v] = expectedVertex(rotation, mesh.baseVertices[v], mesh.joints[segment]);
        normals[v] = rotate(rotation, mesh.restNormals[v]);
        previous = v;
    }
}

// Compares a posed mesh with the reference under the same world rotations and joints.
void expectCloseToReference(const SkinnedMesh& mesh, const std::vector<Quaternion>& parents,
                            const char* what) {
    std::vector<Vertex4s> vertices = mesh.baseVertices;
    std::vector<Vec3f> normals(mesh.vertexCount());
    for (std::size_t s = 0; s < mesh.segmentCount(); ++s) {
        referenceSkinSegment(mesh, s, parents[s], vertices, normals);
    }
    int differing = 0;
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        const Vertex4s& a = mesh.vertices[v];
        const Vertex4s& b = vertices[v];
        ASSERT_LE(std::abs(a.x - b.x), 1) << what << " vertex " << v;
        ASSERT_LE(std::abs(a.y - b.y), 1) << what << " vertex " << v;
        ASSERT_LE(std::abs(a.z - b.z), 1) << what << " vertex " << v;
        ASSERT_EQ(a.w, 1);
        differing += a == b ? 0 : 1;
        ASSERT_NEAR(mesh.normals[v].x, normals[v].x, 1e-5f) << what << " normal " << v;
        ASSERT_NEAR(mesh.normals[v].y, normals[v].y, 1e-5f) << what << " normal " << v;
        ASSERT_NEAR(mesh.normals[v].z, normals[v].z, 1e-5f) << what << " normal " << v;
    }
    // A unit of difference only where a coordinate lands next to a whole number.
    EXPECT_LT(differing, static_cast<int>(vertices.size()) / 20) << what;
}

TEST(SkinningReference, PositionsStayWithinOneUnitOfTheQuaternionPathAndNormalsAgree) {
    CharacterModel model = makeFigure(FigureOptions{.verticesPerSegment = 90, .hands = true,
                                                    .handVerticesPerSegment = 12});
    // Weights as the file gives them (bytes), several per segment and alternating.
    for (std::size_t v = 0; v < model.weights.size(); ++v) {
        model.weights[v] = static_cast<float>((v * 37) % 128) / 127.0f;
    }
    prepareLoadedModel(model);
    for (int frame = 0; frame < 12; ++frame) {
        const float t = 0.37f * static_cast<float>(frame);
        for (std::size_t s = 0; s < JointCount; ++s) {
            model.localRotations[s] = fromAxisAngle(std::sin(t + s), 1.0f, std::cos(2 * t + s),
                                                    1.3f * std::sin(t * 0.7f + s));
        }
        // Blends are not renormalised: a rotation a little longer than 1 is posed as given.
        model.localRotations[3] = Quaternion{0.1f, 0.2f, -0.3f, 0.98f};
        poseBody(model);

        std::vector<Quaternion> parents(JointCount, Quaternion::identity());
        for (std::size_t s = 1; s < JointCount; ++s) {
            parents[s] = model.worldRotations[BodySegmentParent[s]];
        }
        expectCloseToReference(model, parents, "body");
        for (std::size_t h = 0; h < 2; ++h) {
            const HandModel& hand = model.hands[h];
            std::vector<Quaternion> handParents(HandSegmentCount);
            handParents[0] = model.worldRotations[h == 0 ? 7 : 11];
            for (std::size_t s = 1; s < HandSegmentCount; ++s) {
                handParents[s] = hand.worldRotations[HandSegmentParent[s]];
            }
            expectCloseToReference(hand, handParents, "hand");
        }
        for (std::size_t s = 0; s < JointCount; ++s) {
            for (std::size_t c = 0; c < BoxCornerCount; ++c) {
                const Vertex4s expected =
                    expectedVertex(model.worldRotations[s], model.boxes[s][c], model.joints[s]);
                EXPECT_LE(std::abs(model.transformedBoxes[s][c].x - expected.x), 1);
                EXPECT_LE(std::abs(model.transformedBoxes[s][c].y - expected.y), 1);
                EXPECT_LE(std::abs(model.transformedBoxes[s][c].z - expected.z), 1);
            }
        }
        // Face normals of a smooth part keep the cross product's length; its direction is the
        // unit normal's.
        const MeshPart& part = model.parts[0];
        for (std::size_t f = 0; f < part.faceCount(); ++f) {
            if (part.hidden[f] != 0) continue;
            std::vector<MeshPart> flat(1);
            flat[0].indices.assign(part.indices.begin() + 3 * f, part.indices.begin() + 3 * f + 3);
            flat[0].faceNormals.resize(1);
            updateFaceNormals(flat, model.vertices);
            const Vec3f& n = part.faceNormals[f];
            const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
            if (length == 0.0f) continue;
            EXPECT_NEAR(n.x / length, flat[0].faceNormals[0].x, 1e-5f);
            EXPECT_NEAR(n.y / length, flat[0].faceNormals[0].y, 1e-5f);
            EXPECT_NEAR(n.z / length, flat[0].faceNormals[0].z, 1e-5f);
        }
    }
}

TEST(SkinningPose, PosingIsIdempotentAndTakesRotationsAndRootFromThePose) {
    CharacterModel model = makeFigure(FigureOptions{.hands = true});
    prepareLoadedModel(model);
    CharacterPose pose;
    for (std::size_t s = 0; s < JointCount; ++s) {
        pose.rotations[s] = fromAxisAngle(1, static_cast<float>(s), 2, 0.05f * static_cast<float>(s));
    }
    pose.root = {12, 900, -40};
    poseCharacter(model, pose);
    auto vertices = model.vertices;
    auto normals = model.normals;
    auto handVertices = model.hands[1].vertices;
    poseCharacter(model, pose);
    EXPECT_EQ(model.vertices, vertices);
    EXPECT_EQ(model.normals, normals);
    EXPECT_EQ(model.hands[1].vertices, handVertices);
    EXPECT_EQ(model.root, pose.root);
    EXPECT_EQ(model.localRotations[11], pose.rotations[11]);
}

TEST(ModelSetup, LoadComputesBoxesLegDataAndRestNormals) {
    CharacterModel model = makeFigure();
    model.segmentVertices[6].clear();
    model.segmentVertices[15] = {0, 1};
    model.baseVertices[0] = {4, -50, 30, 1};
    model.baseVertices[1] = {-4, 10, 150, 1};
    model.segmentVertices[18] = {2};
    model.baseVertices[2] = {0, 25, -10, 1};
    prepareLoadedModel(model);

    EXPECT_EQ(model.boxes[6], (BoxCorners{{{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1},
                                           {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}}}));
    // Min and max start at 0, so the joint is always inside the box.
    EXPECT_EQ(model.boxes[18][0], (Vertex4s{0, 0, -10, 1}));
    EXPECT_EQ(model.boxes[18][6], (Vertex4s{0, 25, 0, 1}));
    EXPECT_EQ(model.boxes[15][1], (Vertex4s{4, -50, 0, 1}));
    EXPECT_EQ(model.boxes[15][7], (Vertex4s{-4, 10, 150, 1}));

    EXPECT_EQ(model.legs.footA, (Vec3s{0, -49, 148}));  // trunc(0.99 × −50), trunc(0.99 × 150)
    EXPECT_EQ(model.legs.footB, (Vec3s{0, 0, 0}));
    // −0.5 × (−50 − 400 − 400 − 50 − 400 − 400 − 49 + 0)
    EXPECT_EQ(model.legs.rootY, 874);
    EXPECT_FLOAT_EQ(model.legs.legScale, 0.4f);  // −0.00025 × (−1600)
    EXPECT_EQ(model.root, (Vec3s{0, 874, 0}));

    ASSERT_EQ(model.restNormals.size(), model.vertexCount());
    EXPECT_EQ(model.normals, model.restNormals);
    EXPECT_EQ(model.vertices.size(), model.vertexCount());
    EXPECT_EQ(model.parts[0].drawIndices.size(), model.parts[0].indices.size());
}

}  // namespace
}  // namespace kavelune
