#include <gtest/gtest.h>

#include "kit/camera_pool_file_writer.h"
#include "kit/dance_file_writer.h"
#include "kit/motion_pool_file_writer.h"
#include "motion/camera_pool_file.h"
#include "motion/dance_sequence.h"
#include "motion/motion_pool.h"
#include "motion_fixtures.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

using testing::walkingMotion;

class DanceLoadingTest : public ::testing::Test {
protected:
    DanceLoadingTest() {
        poolFolder = folder.makeFolder("Sequences/Motion Pool");
        pool.setFolder(poolFolder);
        pool.setCameraFolder(folder.path());
    }

    void writePool(const std::string& name, const MotionPoolContent& content) {
        ASSERT_TRUE(writeMotionPoolFile(poolFolder / name, content));
    }

    bool load(const DanceFile& file, DanceSequence& dance, std::size_t* opened = nullptr) {
        problem.clear();
        return buildDanceSequence(file, pool, dance, &problem, opened);
    }

    testing::TempFolder folder;
    std::filesystem::path poolFolder;
    MotionPool pool;
    std::string problem;
};

TEST_F(DanceLoadingTest, TheFirstPoolFileInNameOrderWithTheIdentifierDecides) {
    // "a" holds pool 7 with one motion, "b" holds pool 7 with two: sub-motion 1 of pool 7
    // fails, because only "a" is ever tried.
    writePool("b.dmp", testing::poolOf(7, {walkingMotion(1, 3), walkingMotion(2, 5)}));
    writePool("a.dmp", testing::poolOf(7, {walkingMotion(3, 4)}));
    folder.write("Sequences/Motion Pool/0.dmp", "MP\x02garbage");  // bad version: skipped
    folder.write("Sequences/Motion Pool/00.txt", "not a pool");
    DanceSequence dance;
    ASSERT_TRUE(load(testing::danceOf({"MS", {0, 0}, {0, 1}, {{7, 1}, {7, 0}, {99, 0}}}, 2), dance))
        << problem;
    ASSERT_EQ(dance.tracks[0].motions.size(), 1u);
    EXPECT_EQ(dance.tracks[0].motions[0].bars, 3);
    EXPECT_EQ(dance.tracks[0].motions[0].name, "a");
    EXPECT_EQ(pool.poolFileOf(7), "a.dmp");
    EXPECT_FALSE(pool.poolFileOf(99).has_value());
}

TEST_F(DanceLoadingTest, TheRegistryKeepsTheFileNamesWithExtension) {
    writePool("Disco.DMP", testing::poolOf(3, {walkingMotion(1, 3)}));
    DanceSequence dance;
    ASSERT_TRUE(load(testing::danceOf({"MS", {0}, {0}, {{3, 0}}}, 1), dance)) << problem;
    EXPECT_EQ(pool.poolFileOf(3), "Disco.DMP");
    EXPECT_EQ(dance.tracks[0].motions[0].name, "Disco");
    ASSERT_TRUE(load(testing::danceOf({"MS", {0}, {0}, {{3, 0}}}, 1), dance));
    EXPECT_EQ(pool.files().size(), 1u);  // the same pair is kept once
}

TEST_F(DanceLoadingTest, ATrackWhoseReferencesAllFailLoadsWithoutMotions) {
    DanceSequence dance;
    ASSERT_TRUE(load(testing::danceOf({"MS", {0xFFFF, 0xFFFF}, {0, 0}, {{1, 0}}}, 2), dance));
    EXPECT_TRUE(dance.tracks[0].motions.empty());
}

TEST_F(DanceLoadingTest, SlotsThatCannotBeEvaluatedRejectTheDance) {
    writePool("p.dmp", testing::poolOf(1, {walkingMotion(2, 5)}));
    DanceSequence dance;
    dance.soundName = "kept";
    // Slot 1 names motion 1, but the second reference fails.
    EXPECT_FALSE(load(testing::danceOf({"MS", {0, 1}, {0, 0}, {{1, 0}, {1, 5}}}, 2), dance));
    EXPECT_NE(problem.find("motion 1"), std::string::npos);
    // Bar 2 of a two-bar motion.
    EXPECT_FALSE(load(testing::danceOf({"MS", {0}, {2}, {{1, 0}}}, 1), dance));
    EXPECT_EQ(dance.soundName, "kept");

    DanceFile noBeats = testing::danceOf({"MS", {0}, {0}, {{1, 0}}}, 1);
    noBeats.beatMap.reset();
    EXPECT_FALSE(load(noBeats, dance));
}

TEST_F(DanceLoadingTest, SlotOffsetsCarryEachMotionOnFromWhereTheLastOneEnded) {
    // Motion 0 ends at x = 400 (5 frames of 100), motion 1 at x = 2 * 30.
    writePool("p.dmp", testing::poolOf(1, {walkingMotion(2, 5, 100), walkingMotion(1, 3, 30)}));
    TrackRecord track{"MS", {0, 0, 1, 0xFFFF, 1, 1}, {0, 1, 0, 0, 0, 0}, {{1, 0}, {1, 1}}};
    DanceSequence dance;
    ASSERT_TRUE(load(testing::danceOf(track, 6), dance)) << problem;
    const auto& offsets = dance.tracks[0].slotOffset;
    ASSERT_EQ(offsets.size(), 6u);
    EXPECT_EQ(offsets[0], (Vec3s{0, 0, 0}));
    EXPECT_EQ(offsets[1], (Vec3s{0, 0, 0}));       // bar 1 continues the motion
    EXPECT_EQ(offsets[2], (Vec3s{400, 0, -12}));   // a new motion starts
    EXPECT_EQ(offsets[3], (Vec3s{460, 0, -18}));   // an empty slot also takes the end
    EXPECT_EQ(offsets[4], (Vec3s{460, 0, -18}));   // nothing danced in the empty slot
    EXPECT_EQ(offsets[5], (Vec3s{520, 0, -24}));   // the same one-bar motion again
}

TEST_F(DanceLoadingTest, SlotOffsetsWrapAt16Bits) {
    writePool("p.dmp", testing::poolOf(1, {walkingMotion(1, 2, 30000)}));
    DanceSequence dance;
    ASSERT_TRUE(load(testing::danceOf({"MS", {0, 0, 0}, {0, 0, 0}, {{1, 0}}}, 3), dance));
    EXPECT_EQ(dance.tracks[0].slotOffset[2].x, static_cast<std::int16_t>(60000));
}

TEST_F(DanceLoadingTest, FlagsFollowTheResolvedMotions) {
    PoolMotion withObjects = walkingMotion(1, 3);
    withObjects.objectFrames.assign(3, ObjectFrame{});
    writePool("p.dmp", testing::poolOf(1, {walkingMotion(1, 3), withObjects}));
    DanceSequence dance;
    ASSERT_TRUE(load(testing::danceOf({"MS", {0}, {0}, {{1, 0}}}, 1), dance));
    EXPECT_FALSE(dance.tracks[0].hasObjectMotion);
    ASSERT_TRUE(load(testing::danceOf({"MS", {0}, {0}, {{1, 0}, {1, 1}}}, 1), dance));
    EXPECT_TRUE(dance.tracks[0].hasObjectMotion);
    EXPECT_FALSE(dance.tracks[0].hasFingers);
}

TEST_F(DanceLoadingTest, AccessoriesAreSharedWithinATrackOnly) {
    MotionPoolContent content = testing::poolOf(1, {walkingMotion(1, 3), walkingMotion(1, 3)});
    content.entries[0].accessoryNumbers = {0};
    content.entries[1].accessoryNumbers = {0};
    content.accessories = {"prop"};
    writePool("p.dmp", content);
    DanceFile file = testing::danceOf({"MS", {0, 1}, {0, 0}, {{1, 0}, {1, 1}}}, 2);
    file.tracks.push_back(file.tracks[0]);
    DanceSequence dance;
    ASSERT_TRUE(load(file, dance)) << problem;
    for (const MotionTrack& track : dance.tracks) {
        ASSERT_EQ(track.accessories.size(), 1u);
        EXPECT_EQ(track.motions[0].accessory, 0);
        EXPECT_EQ(track.motions[1].accessory, 0);
    }
}

TEST_F(DanceLoadingTest, LoadingOpensEachPoolFileOnceForTheIndexAndOncePerReference) {
    for (int i = 0; i < 20; ++i) {
        writePool("pool" + std::to_string(100 + i) + ".dmp", testing::poolOf(i, {walkingMotion(1, 3)}));
    }
    TrackRecord track{"MS", {0}, {0}, {}};
    for (int r = 0; r < 30; ++r) track.references.push_back({r % 20, 0});
    std::size_t opened = 0;
    DanceSequence dance;
    ASSERT_TRUE(load(testing::danceOf(track, 1), dance, &opened)) << problem;
    EXPECT_EQ(dance.tracks[0].motions.size(), 30u);
    EXPECT_EQ(opened, 20u + 30u);
}

TEST_F(DanceLoadingTest, CameraReferencesResolveInTheCameraFolderAndFailuresEmptyTheirSlots) {
    CameraPoolContent cameras;
    cameras.poolId = 4;
    cameras.cameras = {{0, 0, "", {{0.0f, {1, 2, 3, 4, 5, 6}}, {1.0f, {2, 2, 3, 4, 5, 6}}}}};
    ASSERT_TRUE(writeCameraPoolFile(folder / "shots.dcp", cameras));
    writePool("p.dmp", testing::poolOf(1, {walkingMotion(1, 3)}));
    DanceFile file = testing::danceOf({"MS", {0, 0, 0, 0}, {0, 0, 0, 0}, {{1, 0}}}, 4);
    // Reference 0 is missing, reference 1 resolves: slots naming 1 now name camera 0.
    file.camera = CameraRecord{{0, 1, 1, 5}, {0, 0, 1, 0}, {1, 2, 2, 1}, {{8, 0}, {4, 0}}};
    DanceSequence dance;
    ASSERT_TRUE(load(file, dance)) << problem;
    ASSERT_TRUE(dance.camera.has_value());
    const CameraTrack& camera = *dance.camera;
    ASSERT_EQ(camera.cameras.size(), 1u);
    EXPECT_EQ(camera.cameras[0].name, "shots");
    EXPECT_EQ(camera.slotCamera, (std::vector<std::uint16_t>{0xFFFF, 0, 0, 0xFFFF}));
    EXPECT_EQ(camera.slotBar, (std::vector<std::uint16_t>{0xFFFF, 0, 1, 0xFFFF}));
    EXPECT_EQ(camera.slotLength, (std::vector<std::uint16_t>{0xFFFF, 2, 2, 0xFFFF}));
}

TEST_F(DanceLoadingTest, LoadDanceReadsTheFileAndKeepsTheHeader) {
    writePool("p.dmp", testing::poolOf(1, {walkingMotion(1, 3)}));
    DanceFile file = testing::danceOf({"MU", {0}, {0}, {{1, 0}}}, 1);
    file.version = 2;
    file.firstName = "One";
    file.headerWord = 77;
    ASSERT_TRUE(writeDanceFile(folder / "d.dsq", file));
    DanceSequence dance;
    ASSERT_TRUE(loadDance(folder / "d.dsq", pool, dance, &problem)) << problem;
    EXPECT_EQ(dance.firstName, "One");
    EXPECT_EQ(dance.pairingRules.size(), 4u);
    EXPECT_EQ(dance.headerWord, 77);
    EXPECT_EQ(dance.soundName, "song.mp3");
    EXPECT_EQ(dance.tracks[0].tag, "MU");
    EXPECT_FALSE(loadDance(folder / "none.dsq", pool, dance));
}

}  // namespace
}  // namespace kavelune
