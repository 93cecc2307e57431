#include "motion/motion_pool_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/bz_stream.h"
#include "base/little_endian.h"
#include "base/zlib_block.h"
#include "kit/motion_pool_file_writer.h"
#include "motion/motion_block.h"
#include "motion/pool_file_layout.h"
#include "motion_fixtures.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

using testing::walkingMotion;

PoolMotion motionWithObjectsAndFingers() {
    PoolMotion motion = walkingMotion(2, 6);
    for (int f = 0; f < 6; ++f) {
        motion.objectFrames.push_back({static_cast<std::uint8_t>(f < 3 ? 0 : 1),
                                       static_cast<std::uint8_t>(f < 3 ? f : f - 3),
                                       {static_cast<std::int16_t>(10 * f), 5, -7},
                                       testing::storedRotation(0, 1, 0, 0.2f * f)});
    }
    ObjectRecord record;
    record.values = {1, 2, 3, 4};
    motion.objectRecords = {record, record};
    motion.objectRecords[1].values[3] = 9;
    HandPose open{};
    open[0] = 0;
    open[2] = 100;
    HandPose fist{};
    fist[2] = 200;
    fist[43] = 0x7F;
    motion.handPoses = {open, fist};
    motion.fingerKeys = testing::fingerKeysFor(6, {0, 5}, {0, 1});
    return motion;
}

bool parseBlock(const std::string& content, PoolMotion& motion,
                MotionBlockExtensions extensions = MotionBlockExtensions::ObjectBlockAndChunkList) {
    std::istringstream in(content);
    return parseMotionBlock(in, motion, extensions);
}

TEST(MotionBlockTest, RoundTripsPlainObjectBlockAndChunkListForms) {
    PoolMotion plain = walkingMotion(1, 3);
    PoolMotion read;
    ASSERT_TRUE(parseBlock(encodeMotionBlock(plain), read));
    EXPECT_EQ(read, plain);

    PoolMotion full = motionWithObjectsAndFingers();
    ASSERT_TRUE(parseBlock(encodeMotionBlock(full), read));
    EXPECT_EQ(read, full);

    MotionBlockLayout objectBlock;
    objectBlock.extension = MotionBlockLayout::Extension::ObjectBlock;
    PoolMotion objectsOnly = full;
    objectsOnly.handPoses.clear();
    objectsOnly.fingerKeys = {};
    ASSERT_TRUE(parseBlock(encodeMotionBlock(objectsOnly, objectBlock), read));
    EXPECT_EQ(read, objectsOnly);

    // A reader that knows only object blocks takes those, and the body alone from a chunk list.
    ASSERT_TRUE(parseBlock(encodeMotionBlock(objectsOnly, objectBlock), read, MotionBlockExtensions::ObjectBlockOnly));
    EXPECT_EQ(read, objectsOnly);
    ASSERT_TRUE(parseBlock(encodeMotionBlock(full), read, MotionBlockExtensions::ObjectBlockOnly));
    PoolMotion bodyOnly = full;
    bodyOnly.objectFrames.clear();
    bodyOnly.objectRecords.clear();
    bodyOnly.handPoses.clear();
    bodyOnly.fingerKeys = {};
    EXPECT_EQ(read, bodyOnly);
}

TEST(MotionBlockTest, RotationsAreScaledByOneTenThousandth) {
    PoolMotion motion = walkingMotion(1, 2);
    std::string content = encodeMotionBlock(motion);
    // First rotation component of frame 0, joint 0: after bars, frames and 2 root positions.
    std::size_t at = 1 + 2 + 2 * 6;
    content[at] = static_cast<char>(0x10);  // 10000 = 0x2710
    content[at + 1] = static_cast<char>(0x27);
    PoolMotion read;
    ASSERT_TRUE(parseBlock(content, read));
    EXPECT_FLOAT_EQ(read.rotations[0].x, 1.0f);
}

TEST(MotionBlockTest, UnknownChunksAreSkippedByTheirLength) {
    PoolMotion full = motionWithObjectsAndFingers();
    MotionBlockLayout layout;
    layout.extraChunks = {{"XTRA", std::string(37, 'x')}, {"OBJX", "END "}};
    PoolMotion read;
    ASSERT_TRUE(parseBlock(encodeMotionBlock(full, layout), read));
    EXPECT_EQ(read, full);
}

TEST(MotionBlockTest, AKnownChunkIsLeftByItsLengthNotByItsFields) {
    PoolMotion full = motionWithObjectsAndFingers();
    std::string content = encodeMotionBlock(full);
    // Lengthen the "FING" chunk by padding: the reader must skip the padding too.
    std::size_t fing = content.find("FING");
    ASSERT_NE(fing, std::string::npos);
    std::uint32_t length = static_cast<std::uint8_t>(content[fing + 4]) |
                           (static_cast<std::uint8_t>(content[fing + 5]) << 8);
    length += 5;
    content[fing + 4] = static_cast<char>(length & 0xFF);
    content[fing + 5] = static_cast<char>(length >> 8);
    content.insert(fing + 8 + length - 5, "PPPPP");
    PoolMotion read;
    ASSERT_TRUE(parseBlock(content, read));
    EXPECT_EQ(read.handPoses, full.handPoses);
}

TEST(MotionBlockTest, TruncatedBlocksFailAndOnlyAMissingMarkerIsAllowed) {
    std::string content = encodeMotionBlock(motionWithObjectsAndFingers());
    std::size_t plainEnd = 1 + 2 + 6 * 6 + 6 * JointCount * 8;
    for (std::size_t length = 0; length < content.size(); ++length) {
        PoolMotion read;
        bool ok = parseBlock(content.substr(0, length), read);
        // Cut exactly after the rotations (or inside the marker) leaves a plain motion.
        bool plain = length >= plainEnd && length < plainEnd + 2;
        EXPECT_EQ(ok, plain) << "cut at " << length;
    }
}

TEST(MotionDefectTest, FindsWhatCannotBeEvaluated) {
    EXPECT_EQ(motionDefect(motionWithObjectsAndFingers()), nullptr);
    PoolMotion oneFrame = walkingMotion(1, 1);
    EXPECT_NE(motionDefect(oneFrame), nullptr);
    PoolMotion noBars = walkingMotion(1, 4);
    noBars.bars = 0;
    EXPECT_NE(motionDefect(noBars), nullptr);
    PoolMotion fewObjects = motionWithObjectsAndFingers();
    fewObjects.objectFrames.pop_back();
    EXPECT_NE(motionDefect(fewObjects), nullptr);
    PoolMotion badPose = motionWithObjectsAndFingers();
    badPose.fingerKeys.rightKey[0] = 2;  // only poses 0 and 1 exist
    EXPECT_NE(motionDefect(badPose), nullptr);
    PoolMotion badDistance = motionWithObjectsAndFingers();
    badDistance.fingerKeys.leftNext[2] = 9;  // points past the last frame
    EXPECT_NE(motionDefect(badDistance), nullptr);
}

class PoolEntryTest : public ::testing::Test {
protected:
    bool read(const std::string& bytes, std::uint16_t sub, PoolMotion& motion) {
        std::istringstream in(bytes);
        std::int32_t id = 0;
        if (!pool_layout::readHeader(in, "MP", id)) return false;
        return readPoolEntry(in, id, sub, "pool", accessories, motion);
    }
    std::vector<AccessoryModel> accessories;
};

TEST_F(PoolEntryTest, ReadsTheWantedSubMotionByItsSizes) {
    MotionPoolContent content =
        testing::poolOf(42, {walkingMotion(1, 3), motionWithObjectsAndFingers(), walkingMotion(4, 9)});
    std::string bytes = encodeMotionPool(content);
    for (std::uint16_t k = 0; k < 3; ++k) {
        PoolMotion motion;
        ASSERT_TRUE(read(bytes, k, motion)) << k;
        EXPECT_EQ(motion.poolId, 42);
        EXPECT_EQ(motion.subIndex, k);
        EXPECT_EQ(motion.name, "pool");
        EXPECT_EQ(motion.accessory, -1);
        EXPECT_EQ(motion.rotations, content.entries[k].motion.rotations);
    }
    PoolMotion motion;
    EXPECT_FALSE(read(bytes, 3, motion));
}

TEST_F(PoolEntryTest, TheLastAccessoryRecordCountsAndAccessoriesAreSharedPerPoolAndNumber) {
    MotionPoolContent content = testing::poolOf(5, {walkingMotion(1, 3), walkingMotion(1, 3),
                                                    walkingMotion(1, 3)});
    content.entries[0].accessoryNumbers = {0, 1};
    content.entries[1].accessoryNumbers = {1};
    content.accessories = {"zero", "one"};
    std::string bytes = encodeMotionPool(content);
    PoolMotion first;
    ASSERT_TRUE(read(bytes, 0, first));
    ASSERT_EQ(accessories.size(), 1u);
    EXPECT_EQ(accessories[0].data, "one");
    EXPECT_EQ(accessories[0].number, 1);
    EXPECT_EQ(accessories[0].poolId, 5);
    PoolMotion second;
    ASSERT_TRUE(read(bytes, 1, second));
    EXPECT_EQ(accessories.size(), 1u);
    EXPECT_EQ(second.accessory, 0);
    PoolMotion third;
    ASSERT_TRUE(read(bytes, 2, third));
    EXPECT_EQ(third.accessory, -1);
}

TEST_F(PoolEntryTest, AMismatchedSubIndexOrAccessoryNumberFailsTheReference) {
    MotionPoolContent content = testing::poolOf(5, {walkingMotion(1, 3), walkingMotion(1, 3)});
    content.entries[1].accessoryNumbers = {3};  // no accessory 3 exists
    content.accessories = {"zero"};
    std::string bytes = encodeMotionPool(content);
    PoolMotion motion;
    EXPECT_FALSE(read(bytes, 1, motion));
    // Entry 0's stored sub-index changed to 1: found by size, refused by index.
    std::size_t entry0 = 7 + 2 + 2 * 4;
    bytes[entry0] = 1;
    EXPECT_FALSE(read(bytes, 0, motion));
}

TEST_F(PoolEntryTest, AnEntryWithFewerThanTwoFramesIsRefused) {
    std::string bytes = encodeMotionPool(testing::poolOf(5, {walkingMotion(1, 1)}));
    PoolMotion motion;
    EXPECT_FALSE(read(bytes, 0, motion));
}

TEST_F(PoolEntryTest, EveryTruncationFailsCleanly) {
    MotionPoolContent content = testing::poolOf(5, {motionWithObjectsAndFingers()});
    content.entries[0].accessoryNumbers = {0};
    content.accessories = {"prop"};
    std::string bytes = encodeMotionPool(content);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        accessories.clear();
        PoolMotion motion;
        EXPECT_FALSE(read(bytes.substr(0, length), 0, motion)) << "cut at " << length;
    }
}

TEST(MotionPoolFileTest, RoundTripsThroughAFile) {
    testing::TempFolder folder;
    MotionPoolContent content =
        testing::poolOf(-9, {walkingMotion(1, 3), motionWithObjectsAndFingers()});
    content.entries[1].accessoryNumbers = {1};
    content.accessories = {"a", "bb"};
    ASSERT_TRUE(writeMotionPoolFile(folder / "Disco.dmp", content));
    MotionPoolContent read;
    ASSERT_TRUE(readMotionPoolFile(folder / "Disco.dmp", read));
    EXPECT_EQ(read.poolId, -9);
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].motion.name, "Disco");
    EXPECT_EQ(read.entries[1].motion.handPoses, content.entries[1].motion.handPoses);
    EXPECT_EQ(read.entries[1].accessoryNumbers, std::vector<std::uint16_t>{1});
    EXPECT_EQ(read.accessories[1], "bb");

    std::string problem;
    folder.write("bad.dmp", "MP\x02....");
    EXPECT_FALSE(readMotionPoolFile(folder / "bad.dmp", read, &problem));
    EXPECT_FALSE(problem.empty());
}

}  // namespace
}  // namespace kavelune
