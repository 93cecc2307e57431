#include <gtest/gtest.h>

#include "model/attachment.h"
#include "model/character_pose.h"
#include "model/model_setup.h"
#include "model/skinning.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

using testing::makeFigure;

Vec3s plus(const Vec3s& a, const Vec3s& b) {
    return {static_cast<std::int16_t>(a.x + b.x), static_cast<std::int16_t>(a.y + b.y),
            static_cast<std::int16_t>(a.z + b.z)};
}

std::unique_ptr<CharacterModel> makeProp(std::int32_t propMode) {
    auto prop = std::make_unique<CharacterModel>(makeFigure(testing::FigureOptions{.verticesPerSegment = 3}));
    prop->propMode = propMode;
    prepareLoadedModel(*prop);
    return prop;
}

// A posed host carrying a prop at `anchor` with an offset.
CharacterModel hostWith(std::int32_t propMode, std::int16_t anchor) {
    CharacterModel host = makeFigure();
    prepareLoadedModel(host);
    host.stagePosition = {100, 0, -300};
    host.turn = 45;
    bindAttachment(host, makeProp(propMode), anchor, Vec3s{10, 20, 30});
    CharacterPose pose;
    pose.rotations[0] = fromAxisAngle(0, 1, 0, 0.5f);
    pose.rotations[7] = fromAxisAngle(0, 0, 1, 0.8f);
    pose.rotations[8] = fromAxisAngle(1, 0, 0, -0.4f);
    pose.rotations[11] = fromAxisAngle(0, 0, 1, -0.8f);
    pose.root = {5, 880, -7};
    std::copy(pose.rotations.begin(), pose.rotations.end(), host.localRotations.begin());
    host.root = pose.root;
    poseBody(host);
    return host;
}

TEST(AttachmentAnchors, AnchorCodesMapToTheirClasses) {
    EXPECT_EQ(anchorClassOf(4), 1);
    EXPECT_EQ(anchorClassOf(8), 4);
    EXPECT_EQ(anchorClassOf(12), 2);
    EXPECT_EQ(anchorClassOf(15), 16);
    EXPECT_EQ(anchorClassOf(18), 8);
    EXPECT_EQ(anchorClassOf(-2), 6);
    for (int other : {0, 1, 3, 7, 19, -1, 1000}) {
        EXPECT_EQ(anchorClassOf(other), 0) << other;
    }
}

TEST(AttachmentBinding, PropTakesTheHostsPivotsAndStagePlacement) {
    CharacterModel host = hostWith(1, 8);
    ASSERT_TRUE(host.attachment);
    EXPECT_EQ(host.attachment->pivots, host.pivots);
    EXPECT_EQ(host.attachment->stagePosition, (Vec3s{100, 0, -300}));
    EXPECT_EQ(host.attachment->turn, 45);
    EXPECT_EQ(host.attachmentBinding.anchorClass, 4);
}

TEST(AttachmentPlacement, ByAnchorARigidPropFollowsTheAnchorJoint) {
    CharacterModel host = hostWith(1, 8);
    placeAttachment(host, nullptr);
    const CharacterModel& prop = *host.attachment;
    Vec3s expected = plus(rotateAndTranslate(host.worldRotations[8], Vec3s{10, 20, 30}, host.joints[8]),
                          host.root);
    EXPECT_EQ(prop.localRotations[0], host.worldRotations[8]);
    EXPECT_EQ(prop.root, expected);
    std::uint16_t v = prop.segmentVertices[0][0];
    Vec3s moved = rotateAndTranslate(host.worldRotations[8],
                                     Vec3s{prop.baseVertices[v].x, prop.baseVertices[v].y,
                                           prop.baseVertices[v].z},
                                     prop.pivots[0]);
    EXPECT_EQ(prop.vertices[v], (Vertex4s{moved.x, moved.y, moved.z, 1}));
    // Its box, shifted by its place relative to the host's root, becomes the host's root box.
    Vec3s shift{static_cast<std::int16_t>(expected.x - host.root.x),
                static_cast<std::int16_t>(expected.y - host.root.y),
                static_cast<std::int16_t>(expected.z - host.root.z)};
    for (std::size_t c = 0; c < BoxCornerCount; ++c) {
        const Vertex4s& from = prop.transformedBoxes[0][c];
        EXPECT_EQ(host.transformedBoxes[0][c],
                  (Vertex4s{static_cast<std::int16_t>(from.x + shift.x),
                            static_cast<std::int16_t>(from.y + shift.y),
                            static_cast<std::int16_t>(from.z + shift.z), 1}));
    }
}

TEST(AttachmentPlacement, OnlyPropMode1IsMoved) {
    CharacterModel host = hostWith(0, 8);
    std::vector<Vertex4s> before = host.attachment->vertices;
    Vec3s rootBefore = host.attachment->root;
    placeAttachment(host, nullptr);
    EXPECT_EQ(host.attachment->vertices, before);
    EXPECT_EQ(host.attachment->root, rootBefore);
}

TEST(AttachmentPlacement, NegativeOrUnknownAnchorsLeaveThePropAtTheOrigin) {
    for (std::int16_t anchor : {std::int16_t{-1}, std::int16_t{19}}) {
        CharacterModel host = hostWith(1, anchor);
        placeAttachment(host, nullptr);
        EXPECT_EQ(host.attachment->root, (Vec3s{0, 0, 0})) << anchor;
        EXPECT_EQ(host.attachment->localRotations[0], Quaternion::identity()) << anchor;
    }
}

TEST(AttachmentPlacement, MotionDrivenWhenTheClassMatches) {
    CharacterModel host = hostWith(1, 8);  // class 4
    ObjectState object;
    object.objectClass = 4;
    object.type = 2;  // segment 12
    object.flags = 0x10 | 0x8000;
    object.offset = {0, 40, 0};
    object.recordKey = 1.0f;
    placeAttachment(host, &object);
    EXPECT_EQ(host.attachment->localRotations[0], host.worldRotations[12]);
    EXPECT_EQ(host.attachment->root,
              plus(rotateAndTranslate(host.worldRotations[12], object.offset, host.joints[12]),
                   host.root));

    object.flags = 0x01 | 0x8000;  // the object's own rotation
    object.rotation = fromAxisAngle(0, 1, 0, 1.2f);
    placeAttachment(host, &object);
    EXPECT_EQ(host.attachment->localRotations[0], object.rotation);

    object.objectClass = 2;  // another class: back to the anchor
    placeAttachment(host, &object);
    EXPECT_EQ(host.attachment->localRotations[0], host.worldRotations[8]);
}

TEST(AttachmentPlacement, BothHandsMeetHalfwayWithTheOffsetMirrored) {
    CharacterModel host = hostWith(1, -2);  // class 6
    ObjectState object;
    object.objectClass = 6;
    object.type = 6;
    object.flags = 0x10 | 0x8000;  // no single segment: the rotation stays identity
    object.offset = {30, 0, 0};
    placeAttachment(host, &object);
    Vec3s right = rotateAndTranslate(host.worldRotations[12], Vec3s{30, 0, 0}, host.joints[12]);
    Vec3s left = rotateAndTranslate(host.worldRotations[8], Vec3s{-30, 0, 0}, host.joints[8]);
    Vec3s middle{static_cast<std::int16_t>((right.x + left.x) / 2),
                 static_cast<std::int16_t>((right.y + left.y) / 2),
                 static_cast<std::int16_t>((right.z + left.z) / 2)};
    EXPECT_EQ(host.attachment->root, plus(middle, host.root));
    EXPECT_EQ(host.attachment->localRotations[0], Quaternion::identity());

    object.type = 3;  // no anchor at all
    object.flags = 0x02 | 0x8000;
    object.shift = {100.0f, -50.0f, 10.0f};
    object.shiftScale = 0.5f;
    placeAttachment(host, &object);
    EXPECT_EQ(host.attachment->root, (Vec3s{50, -25, 5}));
}

TEST(AttachmentPlacement, ANewObjectRecordFadesInFromThePreviousPlacement) {
    CharacterModel host = hostWith(1, 4);  // class 1
    ObjectState object;
    object.objectClass = 1;
    object.type = 3;  // no segment: Q = 0 plus the shift
    object.flags = 0x02;
    object.shiftScale = 1.0f;
    object.shift = {100.0f, 0.0f, 0.0f};
    object.recordKey = 1.0f;
    object.transition = 5.0f;
    placeAttachment(host, &object);
    EXPECT_EQ(host.attachment->root, (Vec3s{100, 0, 0}));  // no previous record: no fade

    object.recordKey = 2.0f;
    object.shift = {300.0f, 0.0f, 0.0f};
    placeAttachment(host, &object);
    EXPECT_EQ(host.attachment->root, (Vec3s{200, 0, 0}));  // 300 + 0.5 × (100 − 300)

    object.transition = 8.0f;  // same record later in the transition
    placeAttachment(host, &object);
    EXPECT_EQ(host.attachment->root, (Vec3s{260, 0, 0}));  // 300 + 0.2 × (−200)

    object.transition = 10.0f;
    placeAttachment(host, &object);
    EXPECT_EQ(host.attachment->root, (Vec3s{300, 0, 0}));

    object.transition = 5.0f;
    object.flags = 0x02 | 0x8000;  // smoothing off
    placeAttachment(host, &object);
    EXPECT_EQ(host.attachment->root, (Vec3s{300, 0, 0}));
}

}  // namespace
}  // namespace kavelune
