// The per-frame path (dance update with every track, clip overlay, leg fitting) must not
// allocate: every operator new of this test program is counted while a frame runs.
#include <gtest/gtest.h>

#include <memory>

#include "motion/clip_overlay.h"
#include "motion/dance_retiming.h"
#include "motion/dance_update.h"
#include "motion/leg_fitting.h"
#include "motion_fixtures.h"
#include "support/allocation_counter.h"

namespace kavelune {
namespace {

TEST(PerFrameAllocationTest, UpdatingPosingOverlayingAndFittingAllocateNothing) {
    PoolMotion withExtras = testing::walkingMotion(2, 9, 50);
    for (int f = 0; f < 9; ++f) {
        withExtras.objectFrames.push_back({static_cast<std::uint8_t>(1 + f / 5),
                                           static_cast<std::uint8_t>(f % 5), {}, {}});
    }
    withExtras.objectRecords.resize(3);
    withExtras.handPoses.resize(2);
    withExtras.fingerKeys = testing::fingerKeysFor(9, {0, 4, 8}, {0, 1, 0});

    DanceSequence dance;
    dance.beatMap.bars.assign(6, {400, 400});
    MotionTrack track;
    track.motions = {withExtras, testing::walkingMotion(1, 5, 20)};
    track.slotMotion = {0, 0, 1, 1, 0xFFFF, 0};
    track.slotBar = {0, 1, 0, 0, 0, 0};
    computeSlotOffsets(track);
    computeTrackFlags(track);
    dance.tracks = {track, track};
    dance.camera.emplace();
    dance.camera->slotCamera.assign(6, 0xFFFF);
    dance.camera->slotBar.assign(6, 0xFFFF);
    dance.camera->slotLength.assign(6, 0xFFFF);
    std::vector<DanceSequence> clips = {dance};
    ClipOverlay overlay;
    ASSERT_TRUE(overlay.start(clips, 0, 300, 200, dance.tracks[0]));
    CharacterLegs legs;
    legs.hip = {Vec3s{-90, -40, 0}, Vec3s{90, -40, 0}};
    legs.thigh = {Vec3s{0, -450, 10}, Vec3s{0, -450, 10}};
    legs.shin = {Vec3s{0, -500, -20}, Vec3s{0, -500, -20}};
    legs.foot = {Vec3s{0, -60, 80}, Vec3s{0, -60, 80}};
    LegFitting fitting(legs);
    JointRotations fitted;
    Vec3s root;

    // A song of its own beats that the dance is laid on, as for a song not the dance's own.
    DanceRetiming retiming;
    ASSERT_TRUE(retiming.build(dance.beatMap, {300, 810, 1290, 1805, 2300, 2790}, 1));

    DanceUpdateSwitches all;
    all.moveCamera = true;
    all.reanchor = true;
    long before = testing::allocationsSoFar();
    for (std::uint32_t time = 0; time < 5000; time += 7) {
        updateDance(dance, retiming.danceTime(time), all);
        overlay.update(time);
        fitting.fit(dance.tracks[0].pose.rotations, dance.tracks[0].pose.root, fitted, root);
    }
    EXPECT_EQ(testing::allocationsSoFar() - before, 0);
    // The counter itself works.
    auto probe = std::make_unique<int>(1);
    EXPECT_EQ(testing::allocationsSoFar() - before, 1);
}

}  // namespace
}  // namespace kavelune
