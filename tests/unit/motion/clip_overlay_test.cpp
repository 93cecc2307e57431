#include "motion/clip_overlay.h"

#include <gtest/gtest.h>

#include "motion/dance_update.h"
#include "motion/track_evaluation.h"
#include "motion_fixtures.h"

namespace kavelune {
namespace {

using testing::walkingMotion;

DanceSequence danceWith(PoolMotion motion, std::size_t bars, std::uint16_t barMs) {
    DanceSequence dance;
    dance.beatMap.bars.assign(bars, {barMs});
    MotionTrack track;
    track.motions.push_back(std::move(motion));
    track.slotMotion.assign(bars, 0);
    track.slotBar.assign(bars, 0);
    computeSlotOffsets(track);
    computeTrackFlags(track);
    dance.tracks.push_back(std::move(track));
    return dance;
}

class ClipOverlayTest : public ::testing::Test {
protected:
    ClipOverlayTest() : dance(danceWith(walkingMotion(1, 5, 100), 10, 1000)) {
        PoolMotion turned = walkingMotion(1, 5, 0, 1.0f);
        for (auto& p : turned.rootPositions) p.z = static_cast<std::int16_t>(p.z * 10);
        clips.push_back(danceWith(turned, 2, 1000));  // 2000 ms
        clips.push_back(DanceSequence{});             // no track
    }

    // One frame of the scene: the dance, then the clip.
    void frame(std::uint32_t time) {
        updateDance(dance, time, {});
        overlay.update(time);
    }

    DanceSequence dance;
    std::vector<DanceSequence> clips;
    ClipOverlay overlay;
};

TEST_F(ClipOverlayTest, StartIsRefusedOutOfRangeWithoutATrackAndWhileAClipRuns) {
    MotionTrack& target = dance.tracks[0];
    EXPECT_FALSE(overlay.start(clips, 2, 500, 0, target));
    EXPECT_FALSE(overlay.start(clips, 1, 500, 0, target));
    EXPECT_TRUE(overlay.start(clips, 0, 500, 0, target));
    EXPECT_FALSE(overlay.start(clips, 0, 500, 0, target));
}

TEST_F(ClipOverlayTest, TheRampIsAtMostHalfTheClip) {
    ASSERT_TRUE(overlay.start(clips, 0, 999, 0, dance.tracks[0]));
    EXPECT_EQ(overlay.ramp(), 999u);
    overlay.stop();
    ASSERT_TRUE(overlay.start(clips, 0, 1000, 0, dance.tracks[0]));
    EXPECT_EQ(overlay.ramp(), 1000u);
    overlay.stop();
    ASSERT_TRUE(overlay.start(clips, 0, 5000, 0, dance.tracks[0]));
    EXPECT_EQ(overlay.ramp(), 1000u);
    EXPECT_EQ(overlay.length(), 2000u);
}

TEST_F(ClipOverlayTest, WeightsRampInHoldAndRampOutThenTheClipEnds) {
    ASSERT_TRUE(overlay.start(clips, 0, 500, 3000, dance.tracks[0]));
    frame(3000);
    EXPECT_FLOAT_EQ(overlay.weight(), 0.0f);
    frame(3250);
    EXPECT_NEAR(overlay.weight(), 0.5f, 1e-6f);
    frame(4000);
    EXPECT_FLOAT_EQ(overlay.weight(), 1.0f);
    EXPECT_EQ(dance.tracks[0].pose.rotations, clips[0].tracks[0].pose.rotations);
    frame(4750);
    EXPECT_NEAR(overlay.weight(), 0.5f, 1e-6f);
    frame(5000);
    EXPECT_TRUE(overlay.running());
    frame(5001);
    EXPECT_FALSE(overlay.running());
}

TEST_F(ClipOverlayTest, AnEarlierTimeEndsTheClip) {
    ASSERT_TRUE(overlay.start(clips, 0, 500, 3000, dance.tracks[0]));
    frame(3100);
    frame(100);  // the dance wrapped around
    EXPECT_FALSE(overlay.running());
}

TEST_F(ClipOverlayTest, TheDancerNeitherJumpsWhenTheClipStartsNorWhenItTakesOver) {
    MotionTrack& target = dance.tracks[0];
    updateDance(dance, 3000, {});
    Vec3s before = target.pose.root;
    ASSERT_TRUE(overlay.start(clips, 0, 500, 3000, target));
    frame(3000);
    EXPECT_EQ(target.pose.root.x, before.x);
    EXPECT_EQ(target.pose.root.z, before.z);

    frame(3499);
    Vec3s nearlyFull = target.pose.root;
    frame(3500);  // full weight: the dancer stands where the clip has taken it
    Vec3s full = target.pose.root;
    EXPECT_NEAR(full.x, nearlyFull.x, 5);
    EXPECT_NEAR(full.z, nearlyFull.z, 5);
    // From now on the dancer's own pose starts from there too.
    updateDance(dance, 3500, {});
    EXPECT_NEAR(target.pose.root.x, full.x, 1);
    EXPECT_NEAR(target.pose.root.z, full.z, 1);
}

TEST_F(ClipOverlayTest, PartialWeightsBlendRotationsAndRoot) {
    MotionTrack& target = dance.tracks[0];
    ASSERT_TRUE(overlay.start(clips, 0, 500, 3000, target));
    frame(3000);
    updateDance(dance, 3250, {});
    TrackPose own = target.pose;
    overlay.update(3250);
    const TrackPose& clip = clips[0].tracks[0].pose;
    float w = overlay.weight();
    Quaternion expected = slerp(own.rotations[6], clip.rotations[6], w);
    EXPECT_FLOAT_EQ(target.pose.rotations[6].x, expected.x);
    EXPECT_EQ(target.pose.root.y,
              static_cast<std::int16_t>(static_cast<int>(w * clip.root.y + (1 - w) * own.root.y)));
}

}  // namespace
}  // namespace kavelune
