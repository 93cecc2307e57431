#include <gtest/gtest.h>

#include <cmath>

#include "motion/dance_update.h"
#include "motion/pose_sampling.h"
#include "motion/pose_sampling_lanes.h"
#include "motion/track_evaluation.h"
#include "motion_fixtures.h"

namespace kavelune {
namespace {

using testing::walkingMotion;

void expectNear(const Quaternion& a, const Quaternion& b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
    EXPECT_NEAR(a.w, b.w, tolerance);
}

// A motion whose every joint holds one fixed rotation, so blends can be told apart.
PoolMotion constantMotion(std::uint8_t bars, float angle, std::int16_t rootY = 1000) {
    PoolMotion motion = walkingMotion(bars, 4, 0);
    for (auto& p : motion.rootPositions) p = {0, rootY, 0};
    for (auto& q : motion.rotations) q = fromAxisAngle(0, 1, 0, angle);
    return motion;
}

MotionTrack trackOf(std::vector<PoolMotion> motions, std::vector<std::uint16_t> slotMotion,
                    std::vector<std::uint16_t> slotBar) {
    MotionTrack track;
    track.motions = std::move(motions);
    track.slotMotion = std::move(slotMotion);
    track.slotBar = std::move(slotBar);
    computeSlotOffsets(track);
    computeTrackFlags(track);
    return track;
}

// The angle about y of joint 0's rotation.
float yAngle(const MotionTrack& track) {
    const Quaternion& q = track.pose.rotations[0];
    return 2.0f * std::atan2(q.y, q.w);
}

TEST(RootAtTest, TwoFramesAreLinearAndInnerSegmentsFollowTheCatmullRomCurve) {
    PoolMotion two = walkingMotion(1, 2, 100);
    EXPECT_EQ(rootAt(two, 0.5f), (Vec3s{50, 920, -1}));

    PoolMotion motion = walkingMotion(1, 5, 0);
    for (int f = 0; f < 5; ++f) motion.rootPositions[f] = {static_cast<std::int16_t>(f * f * 10), 0, 0};
    // Segment 1 (frames 1 to 2) with neighbours 0 and 3 at a = 0.5: Hermite gives
    // 0.5 * 10 + 0.5 * 40 + 0.125 * 20 - 0.125 * 40 = 22.5, truncated.
    EXPECT_EQ(rootAt(motion, 1.5f / 4.0f).x, 22);
    // First and last segments are linear: halfway between 0 and 10, and between 90 and 160.
    EXPECT_EQ(rootAt(motion, 0.5f / 4.0f).x, 5);
    EXPECT_EQ(rootAt(motion, 3.5f / 4.0f).x, 125);
}

TEST(RotationsAtTest, SlerpAtTheEdgesSquadInsideAndKeysAreHit) {
    PoolMotion motion = walkingMotion(1, 5);
    JointRotations rotations;
    rotationsAt(motion, 0.5f / 4.0f, rotations);
    expectNear(rotations[3], slerp(motion.rotations[3], motion.rotations[JointCount + 3], 0.5f));
    // Squad passes through its keys.
    rotationsAt(motion, 2.0f / 4.0f, rotations);
    expectNear(rotations[5], motion.rotations[2 * JointCount + 5]);
    // A rotation that turns evenly is followed evenly by squad as well.
    rotationsAt(motion, 1.5f / 4.0f, rotations);
    expectNear(rotations[0], slerp(motion.rotations[JointCount], motion.rotations[2 * JointCount], 0.5f),
               2e-4f);
}

TEST(RotationsAtTest, SquadTakesTheShortWayWhenNeighboursDifferInSign) {
    Quaternion q0 = fromAxisAngle(0, 0, 1, 0.1f);
    Quaternion q1 = fromAxisAngle(0, 0, 1, 0.2f);
    Quaternion q2 = fromAxisAngle(0, 0, 1, 0.3f);
    Quaternion q3 = fromAxisAngle(0, 0, 1, 0.4f);
    Quaternion negated{-q2.x, -q2.y, -q2.z, -q2.w};
    Quaternion a = squad(q1, q2, q0, q3, 0.5f);
    Quaternion b = squad(q1, negated, Quaternion{-q0.x, -q0.y, -q0.z, -q0.w}, q3, 0.5f);
    expectNear(a, b);
    expectNear(a, fromAxisAngle(0, 0, 1, 0.25f), 1e-4f);
}

// Joint rotations interpolated one joint at a time with the library's slerp and the squad
// that works its control points out from the neighbours: the formulas as written.
Quaternion directRotation(const PoolMotion& motion, int joint, float u) {
    const FrameSegment segment = frameSegment(motion.frames, u);
    auto key = [&](int frame) { return motion.rotations[frame * JointCount + joint]; };
    const int i = segment.index;
    if (segment.atEdge) return slerp(key(i), key(i + 1), segment.share);
    return squad(key(i), key(i + 1), key(i - 1), key(i + 2), segment.share);
}

TEST(RotationsAtTest, PrecomputedControlPointsAndLaneArithmeticMatchTheDirectFormulas) {
    // Wide turns between keys (up to the slerp's short-way limit), and keys stored with either
    // sign, so every short-way choice of squad is taken.
    PoolMotion motion = walkingMotion(2, 12);
    for (int f = 0; f < motion.frames; ++f) {
        for (int joint = 0; joint < JointCount; ++joint) {
            Quaternion q = fromAxisAngle(1.0f, 0.3f * joint, -0.5f, 0.7f * f + 0.4f * joint);
            if ((f + joint) % 3 == 0) q = Quaternion{-q.x, -q.y, -q.z, -q.w};
            motion.rotations[f * JointCount + joint] = q;
        }
    }
    // The object rotation is one more channel: joint 4's keys.
    motion.objectFrames.resize(motion.frames);
    for (int f = 0; f < motion.frames; ++f) {
        motion.objectFrames[f].rotation = motion.rotations[f * JointCount + 4];
    }
    PoolMotion planned = motion;
    computeControlPoints(planned);
    ASSERT_EQ(planned.rotationControls.size(), planned.rotations.size());
    ASSERT_EQ(planned.objectControls.size(), planned.objectFrames.size());
    JointRotations fromKeys;
    JointRotations fromPlan;
    JointRotations blended;
    for (int step = 0; step < 200; ++step) {
        const float u = static_cast<float>(step) / 200.0f;
        rotationsAt(motion, u, fromKeys);
        rotationsAt(planned, u, fromPlan);
        for (int joint = 0; joint < JointCount; ++joint) {
            const Quaternion expected = directRotation(motion, joint, u);
            expectNear(fromKeys[joint], expected, 2e-6f);
            expectNear(fromPlan[joint], expected, 2e-6f);
        }
        const FrameSegment segment = frameSegment(motion.frames, u);
        expectNear(objectRotationAt(motion, segment), directRotation(motion, 4, u), 2e-6f);
        expectNear(objectRotationAt(planned, segment), directRotation(motion, 4, u), 2e-6f);
        // A cross-fade is the per joint slerp of the two samples.
        const float weight = static_cast<float>(step % 21) / 20.0f;
        blendedRotationsAt(planned, u, motion, 0.999f - u, weight, blended);
        JointRotations other;
        rotationsAt(motion, 0.999f - u, other);
        for (int joint = 0; joint < JointCount; ++joint) {
            expectNear(blended[joint], slerp(fromPlan[joint], other[joint], weight), 2e-6f);
        }
    }
}

TEST(RotationsAtTest, LaneArccosineSineAndCosineFollowTheLibraryOverTheirRange) {
    for (int step = 0; step <= 4000; ++step) {
        const float x = static_cast<float>(step) / 4000.0f;
        EXPECT_NEAR(sampling::arcCosine(sampling::splat(x))[2], std::acos(x), 3e-7f) << x;
        // Slerps with weights in [0, 1] ask for angles in [0, pi/2].
        const float angle = 1.5707963f * x;
        sampling::Lanes sine;
        sampling::Lanes cosine;
        sampling::sineAndCosine(sampling::splat(angle), sine, cosine);
        EXPECT_NEAR(sine[1], std::sin(angle), 3e-7f) << angle;
        EXPECT_NEAR(cosine[3], std::cos(angle), 3e-7f) << angle;
    }
}

TEST(TimeScaleTest, TheLastMomentOfTheLastBarStaysInTheLastSegment) {
    PoolMotion motion = walkingMotion(2, 9, 100);
    float u = (1.0f + std::nextafter(1.0f, 0.0f)) * TimeScale / 2.0f;
    FrameSegment segment = frameSegment(motion.frames, u);
    EXPECT_EQ(segment.index, 7);
    EXPECT_LT(segment.share, 1.0f);
    EXPECT_LT(rootAt(motion, u).x, 800);
}

TEST(EvaluateTrackTest, RefusesSlotsPastTheTrackTracksWithoutMotionsAndEmptySlots) {
    MotionTrack track = trackOf({walkingMotion(1, 4, 100)}, {0, 0xFFFF}, {0, 0});
    ASSERT_TRUE(evaluateTrack(track, 0, 0.5f));
    JointRotations kept = track.pose.rotations;
    EXPECT_FALSE(evaluateTrack(track, 2, 0.5f));
    EXPECT_NE(track.pose.root, Vec3s{});
    EXPECT_FALSE(evaluateTrack(track, 1, 0.5f));
    EXPECT_EQ(track.pose.root, Vec3s{});
    EXPECT_EQ(track.pose.rotations, kept);
    MotionTrack empty = trackOf({}, {0}, {0});
    EXPECT_FALSE(evaluateTrack(empty, 0, 0.5f));
}

TEST(EvaluateTrackTest, CrossFadeWeightsRiseFromZeroThroughHalfToOneAcrossTheBoundary) {
    const float a = 0.2f;
    const float b = 1.0f;
    MotionTrack track = trackOf({constantMotion(1, a, 1000), constantMotion(1, b, 2000)}, {0, 1},
                                {0, 0});
    const float w = TransitionWidth;
    // Outside the zone: plain.
    ASSERT_TRUE(evaluateTrack(track, 0, 1.0f - w));
    EXPECT_NEAR(yAngle(track), a, 1e-4f);
    EXPECT_EQ(track.pose.root.y, 1000);
    // Just inside the fade-out: still almost all of the first motion.
    evaluateTrack(track, 0, 1.0f - w + 1e-4f);
    EXPECT_NEAR(yAngle(track), a, 1e-3f);
    // At the boundary both sides give half and half.
    evaluateTrack(track, 0, std::nextafter(1.0f, 0.0f));
    EXPECT_NEAR(yAngle(track), (a + b) / 2.0f, 1e-3f);
    EXPECT_NEAR(track.pose.root.y, 1500, 1);
    evaluateTrack(track, 1, 0.0f);
    EXPECT_NEAR(yAngle(track), (a + b) / 2.0f, 1e-3f);
    EXPECT_EQ(track.pose.root.y, 1500);
    // The end of the fade-in reaches the second motion.
    evaluateTrack(track, 1, w - 1e-4f);
    EXPECT_NEAR(yAngle(track), b, 1e-3f);
    evaluateTrack(track, 1, w);
    EXPECT_NEAR(yAngle(track), b, 1e-4f);
    EXPECT_EQ(track.pose.root.y, 2000);
}

TEST(EvaluateTrackTest, TheFadeKeepsTheRootsGroundPositionFromTheCurrentMotion) {
    MotionTrack track = trackOf({walkingMotion(1, 4, 100), walkingMotion(1, 4, 10)}, {0, 1}, {0, 0});
    evaluateTrack(track, 0, 0.99f);
    Vec3s plain = rootAt(track.motions[0], 0.99f * TimeScale);
    EXPECT_EQ(track.pose.root.x, plain.x);
    EXPECT_EQ(track.pose.root.z, plain.z);
}

TEST(EvaluateTrackTest, NoFadeAtTheEdgesOfTheTrackOrNextToEmptySlots) {
    const float a = 0.2f;
    const float b = 1.0f;
    MotionTrack track = trackOf({constantMotion(1, a), constantMotion(1, b)},
                                {0, 1, 0xFFFF, 1}, {0, 0, 0, 0});
    evaluateTrack(track, 0, 0.0f);  // slot 0: nothing before it
    EXPECT_NEAR(yAngle(track), a, 1e-4f);
    evaluateTrack(track, 1, 0.99f);  // before an empty slot
    EXPECT_NEAR(yAngle(track), b, 1e-4f);
    evaluateTrack(track, 3, 0.01f);  // after an empty slot
    EXPECT_NEAR(yAngle(track), b, 1e-4f);
    evaluateTrack(track, 3, 0.99f);  // the last slot
    EXPECT_NEAR(yAngle(track), b, 1e-4f);
}

TEST(EvaluateTrackTest, ARepeatedOneBarMotionFadesIntoItsOwnStartButBarsOfOneMotionDoNot) {
    PoolMotion turning = walkingMotion(1, 4, 0);
    PoolMotion twoBars = walkingMotion(2, 8, 0);
    MotionTrack repeated = trackOf({turning}, {0, 0}, {0, 0});
    evaluateTrack(repeated, 0, 0.99f);
    JointRotations plain;
    rotationsAt(turning, 0.99f * TimeScale, plain);
    EXPECT_NE(repeated.pose.rotations[0], plain[0]);

    MotionTrack continued = trackOf({twoBars}, {0, 0}, {0, 1});
    evaluateTrack(continued, 0, 0.99f);
    rotationsAt(twoBars, 0.99f * TimeScale / 2.0f, plain);
    EXPECT_EQ(continued.pose.rotations, plain);
    evaluateTrack(continued, 1, 0.01f);
    rotationsAt(twoBars, 1.01f * TimeScale / 2.0f, plain);
    EXPECT_EQ(continued.pose.rotations, plain);
}

TEST(EvaluateTrackTest, TheRootIsMovedBySlotOffsetLessBaseOffset) {
    MotionTrack track = trackOf({walkingMotion(1, 3, 100)}, {0, 0}, {0, 0});
    ASSERT_EQ(track.slotOffset[1].x, 200);
    track.baseOffsetX = 50;
    track.baseOffsetZ = -6;
    evaluateTrack(track, 1, 0.5f);
    Vec3s own = rootAt(track.motions[0], 0.5f * TimeScale);
    EXPECT_EQ(track.pose.root.x, own.x + 200 - 50);
    EXPECT_EQ(track.pose.root.z, own.z - 6 + 6);
    EXPECT_EQ(track.pose.root.y, own.y);
}

PoolMotion objectMotion() {
    PoolMotion motion = walkingMotion(1, 5, 0);
    // Frames 0-1 use record 0, frames 2-4 record 1 (a new segment from frame 2).
    const std::uint8_t records[5] = {1, 1, 2, 2, 2};
    const std::uint8_t since[5] = {0, 1, 0, 1, 2};
    for (int f = 0; f < 5; ++f) {
        motion.objectFrames.push_back({records[f], since[f],
                                       {static_cast<std::int16_t>(f * 100), 0, 0},
                                       fromAxisAngle(1, 0, 0, 0.1f * f)});
    }
    ObjectRecord first;
    first.values = {10, 11, 12, 13};
    ObjectRecord second = first;
    second.setFirstAsFloat(2.5f);
    motion.objectRecords = {first, second, first};
    return motion;
}

TEST(ObjectMotionTest, PositionRecordTimeAndSnapshotFollowTheSegments) {
    PoolMotion motion = objectMotion();
    ObjectPose object;
    // x = 4 * u = 2.5: frames 2 and 3 name the same record, so the position is interpolated.
    sampleObjectMotion(motion, 2.5f / 4.0f, object);
    EXPECT_EQ(object.position.x, 250);
    ASSERT_TRUE(object.hasRecord);
    EXPECT_EQ(object.record, motion.objectRecords[2]);
    EXPECT_FLOAT_EQ(object.time, 0.5f);
    // The segment began at frame 2, whose record (counted from 1) is record 1.
    EXPECT_EQ(object.keptRecord, motion.objectRecords[1]);
    EXPECT_EQ(object.snapshotRoot, motion.rootPositions[2]);
    EXPECT_EQ(object.snapshotObjectPosition.x, 200);
    EXPECT_EQ(object.snapshotRotations[4], motion.rotations[2 * JointCount + 4]);

    // Across a record change the position holds frame i's.
    sampleObjectMotion(motion, 1.5f / 4.0f, object);
    EXPECT_EQ(object.position.x, 100);
    EXPECT_EQ(object.record, motion.objectRecords[1]);
    EXPECT_FLOAT_EQ(object.time, 1.5f);
    EXPECT_EQ(object.keptRecord, motion.objectRecords[0]);
    EXPECT_EQ(object.snapshotRoot, motion.rootPositions[0]);
}

TEST(ObjectMotionTest, ASnapshotIsOnlyRetakenWhenTheRecordChanges) {
    PoolMotion motion = objectMotion();
    ObjectPose object;
    sampleObjectMotion(motion, 2.5f / 4.0f, object);
    object.snapshotRoot = {1, 2, 3};  // marks the kept snapshot
    sampleObjectMotion(motion, 3.5f / 4.0f, object);
    EXPECT_EQ(object.snapshotRoot, (Vec3s{1, 2, 3}));
    motion.objectFrames[2].record = 0;  // segment start names no record
    sampleObjectMotion(motion, 2.5f / 4.0f, object);
    EXPECT_FLOAT_EQ(object.keptRecord.firstAsFloat(), -1.0f);
}

TEST(ObjectMotionTest, SegmentsLongerThan256FramesAreFoundBySteppingBack) {
    PoolMotion motion = walkingMotion(1, 300, 0);
    for (int f = 0; f < 300; ++f) {
        motion.objectFrames.push_back({0, static_cast<std::uint8_t>(f % 256), {}, {}});
    }
    motion.objectRecords.resize(1);
    ObjectPose object;
    sampleObjectMotion(motion, 270.0f / 299.0f, object);
    EXPECT_NEAR(object.time, 270.0f, 1e-2f);
}

TEST(ObjectMotionTest, ARecordPastTheListChangesNothing) {
    PoolMotion motion = objectMotion();
    motion.objectRecords.resize(1);
    ObjectPose object;
    sampleObjectMotion(motion, 2.5f / 4.0f, object);
    EXPECT_FALSE(object.hasRecord);
    EXPECT_FLOAT_EQ(object.keptRecord.firstAsFloat(), -1.0f);
}

TEST(ObjectMotionTest, AnObjectKeptFromAnEarlierMotionIsNotMovedAgain) {
    PoolMotion plain = walkingMotion(1, 3, 100);
    MotionTrack track = trackOf({objectMotion(), plain}, {0, 1, 1}, {0, 0, 0});
    ASSERT_TRUE(track.hasObjectMotion);
    evaluateTrack(track, 0, 0.5f);
    Vec3s object = track.pose.object.position;
    evaluateTrack(track, 2, 0.5f);
    evaluateTrack(track, 2, 0.6f);
    EXPECT_EQ(track.pose.object.position, object);
}

TEST(FingerTest, KeyFramesGiveOnePoseAndFramesBetweenMixTheKeysAround) {
    PoolMotion motion = walkingMotion(1, 7, 0);
    HandPose a{};
    a[2] = 1;
    HandPose b{};
    b[2] = 2;
    motion.handPoses = {a, b};
    motion.fingerKeys = testing::fingerKeysFor(7, {0, 4, 6}, {0, 1, 0});
    HandPosePair left;
    HandPosePair right;
    sampleFingers(motion, 0.5f / 6.0f, left, right);
    EXPECT_EQ(left.first, a);
    EXPECT_EQ(left.second, a);
    EXPECT_FLOAT_EQ(left.weight, 0.0f);
    // Frame x = 2.5 lies between key frames 0 and 4: weight (2.5 - 0 - 1) / (4 - 0 - 1).
    sampleFingers(motion, 2.5f / 6.0f, left, right);
    EXPECT_EQ(left.first, a);
    EXPECT_EQ(left.second, b);
    EXPECT_FLOAT_EQ(left.weight, 0.5f);
    EXPECT_EQ(right.second, b);
    EXPECT_TRUE(right.set);
}

TEST(UpdateDanceTest, StoresSlotAndFractionAndLeavesPosesOutsideTheBeatMap) {
    DanceSequence dance;
    dance.beatMap.startOffset = 1000;
    dance.beatMap.bars = {{500, 500}, {500, 500}};
    dance.tracks.push_back(trackOf({walkingMotion(1, 4, 100)}, {0, 0}, {0, 0}));
    ASSERT_TRUE(updateDance(dance, 2250, {}));
    EXPECT_EQ(dance.currentSlot, 1);
    EXPECT_FLOAT_EQ(dance.currentFraction, 0.25f);
    TrackPose before = dance.tracks[0].pose;
    EXPECT_FALSE(updateDance(dance, 999, {}));
    EXPECT_FALSE(updateDance(dance, 3000, {}));
    EXPECT_EQ(dance.currentSlot, 1);
    EXPECT_EQ(dance.tracks[0].pose.root, before.root);
    EXPECT_EQ(dance.tracks[0].pose.rotations, before.rotations);
}

TEST(UpdateDanceTest, ReanchoringTakesTrackZerosOffsetAtTheShotStartForEveryTrack) {
    DanceSequence dance;
    dance.beatMap.bars.assign(4, {1000});
    dance.tracks.push_back(trackOf({walkingMotion(1, 3, 100)}, {0, 0, 0, 0}, {0, 0, 0, 0}));
    dance.tracks.push_back(trackOf({walkingMotion(1, 3, 7)}, {0, 0, 0, 0}, {0, 0, 0, 0}));
    DanceUpdateSwitches switches;
    switches.reanchor = true;
    // Without a camera track nothing is re-anchored.
    updateDance(dance, 3500, switches);
    EXPECT_EQ(dance.tracks[1].baseOffsetX, 0);
    dance.camera.emplace();
    dance.camera->slotCamera = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    dance.camera->slotBar = {0xFFFF, 0, 1, 1};
    dance.camera->slotLength = {0xFFFF, 2, 2, 2};
    updateDance(dance, 3500, switches);  // slot 3, bar 1 of its shot: the shot began at slot 2
    EXPECT_EQ(dance.tracks[0].baseOffsetX, 400);
    EXPECT_EQ(dance.tracks[1].baseOffsetX, 400);
    EXPECT_EQ(dance.tracks[1].baseOffsetZ, -12);
    EXPECT_EQ(dance.tracks[0].pose.root.x, rootAt(dance.tracks[0].motions[0], 0.5f * TimeScale).x + 600 - 400);
}

TEST(UpdateDanceTest, MovesTheCameraOnlyWhenAsked) {
    DanceSequence dance;
    dance.beatMap.bars = {{1000}};
    dance.camera.emplace();
    dance.camera->slotCamera = {0xFFFF};
    dance.camera->slotBar = {0xFFFF};
    dance.camera->slotLength = {0xFFFF};
    updateDance(dance, 10, {});
    EXPECT_EQ(dance.camera->parameters, CameraTrack::kInitialParameters);
    DanceUpdateSwitches switches;
    switches.moveCamera = true;
    updateDance(dance, 10, switches);
    EXPECT_EQ(dance.camera->parameters, CameraTrack::kEmptySlotParameters);
}

}  // namespace
}  // namespace kavelune
