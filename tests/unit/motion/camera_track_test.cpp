#include "motion/camera_track.h"

#include <gtest/gtest.h>

#include <fstream>

#include "kit/camera_pool_file_writer.h"
#include "motion/camera_pool_file.h"
#include "motion/pool_file_layout.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

PoolCamera twoKeys() {
    return {0, 0, "", {{0.25f, {0, 0, -1000, 0, 0, 0}}, {0.75f, {100, 200, -2000, 10, 20, 30}}}};
}

TEST(CameraSamplingTest, InterpolatesBetweenKeysAndHoldsTheNearestOutside) {
    CameraParameters out{};
    ASSERT_TRUE(sampleCamera(twoKeys(), 0.5f, out));
    EXPECT_EQ(out, (CameraParameters{50, 100, -1500, 5, 10, 15}));
    sampleCamera(twoKeys(), 0.0f, out);
    EXPECT_EQ(out, twoKeys().keys[0].parameters);
    sampleCamera(twoKeys(), 0.75f, out);
    EXPECT_EQ(out, twoKeys().keys[1].parameters);
    sampleCamera(twoKeys(), 3.0f, out);
    EXPECT_EQ(out, twoKeys().keys[1].parameters);
    CameraParameters untouched{1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(sampleCamera(PoolCamera{}, 0.5f, untouched));
    EXPECT_EQ(untouched, (CameraParameters{1, 1, 1, 1, 1, 1}));
}

TEST(CameraSamplingTest, ATrackSamplesItsSlotsCameraOverTheShotsLength) {
    CameraTrack track;
    EXPECT_EQ(track.parameters, CameraTrack::kInitialParameters);
    track.cameras = {twoKeys()};
    track.slotCamera = {0, 0, 0xFFFF, 0};
    track.slotBar = {0, 1, 0xFFFF, 0};
    track.slotLength = {2, 2, 0xFFFF, 0};
    sampleCameraTrack(track, 1, 0.0f);  // u = 1 / 2
    EXPECT_FLOAT_EQ(track.parameters[0], 50.0f);
    sampleCameraTrack(track, 2, 0.5f);
    EXPECT_EQ(track.parameters, CameraTrack::kEmptySlotParameters);
    sampleCameraTrack(track, 3, 0.5f);  // a zero length holds the start
    EXPECT_EQ(track.parameters, twoKeys().keys[0].parameters);
    sampleCameraTrack(track, 9, 0.5f);
    EXPECT_EQ(track.parameters, CameraTrack::kEmptySlotParameters);
}

TEST(ShotStartTest, GoesBackBySlotBarOrOverEqualSlotCameras) {
    CameraTrack track;
    track.slotCamera = {0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF, 1};
    track.slotBar = {0, 1, 2, 0xFFFF, 0xFFFF, 0xFFFF, 7};
    track.slotLength = {3, 3, 3, 0xFFFF, 0xFFFF, 0xFFFF, 1};
    EXPECT_EQ(shotStart(track, 2), 0);
    EXPECT_EQ(shotStart(track, 1), 0);
    EXPECT_EQ(shotStart(track, 5), 3);
    EXPECT_EQ(shotStart(track, 3), 3);
    EXPECT_EQ(shotStart(track, 6), 0);  // a bar past the slot never goes below slot 0
}

TEST(CameraPoolFileTest, RoundTripsAndFindsEntriesBySizeWithoutCheckingTheSubIndex) {
    testing::TempFolder folder;
    CameraPoolContent content;
    content.poolId = 31;
    content.cameras = {twoKeys(), {0, 0, "", {{0.0f, {9, 9, 9, 9, 9, 9}}}}};
    std::string bytes = encodeCameraPool(content);
    // Entry 1's stored sub-index: after header (7), count (2), sizes (8) and entry 0.
    std::int32_t size0 = static_cast<std::uint8_t>(bytes[9]) | (static_cast<std::uint8_t>(bytes[10]) << 8);
    bytes[17 + size0] = 5;
    folder.write("c.dcp", bytes);
    CameraPoolContent read;
    ASSERT_TRUE(readCameraPoolFile(folder / "c.dcp", read));
    ASSERT_EQ(read.cameras.size(), 2u);
    EXPECT_EQ(read.cameras[0].keys, content.cameras[0].keys);
    EXPECT_EQ(read.cameras[1].keys, content.cameras[1].keys);
    EXPECT_EQ(read.cameras[1].subIndex, 1);
    EXPECT_EQ(read.cameras[1].name, "c");

    for (std::size_t length = 0; length + 2 < bytes.size(); ++length) {
        folder.write("cut.dcp", bytes.substr(0, length));
        EXPECT_FALSE(readCameraPoolFile(folder / "cut.dcp", read)) << "cut at " << length;
    }
}

}  // namespace
}  // namespace kavelune
