// Damaged content must be refused at load or be safe to play: whatever a damaged motion block
// or dance parses into is evaluated over whole bars (run under the sanitizers to see a stray
// read).
#include <gtest/gtest.h>

#include <sstream>

#include "kit/dance_file_writer.h"
#include "kit/motion_pool_file_writer.h"
#include "motion/dance_sequence.h"
#include "motion/motion_block.h"
#include "motion/motion_pool.h"
#include "motion/track_evaluation.h"
#include "motion_fixtures.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

PoolMotion motionWithEverything() {
    PoolMotion motion = testing::walkingMotion(2, 5, 40);
    for (int f = 0; f < 5; ++f) {
        motion.objectFrames.push_back({static_cast<std::uint8_t>(f < 2 ? 1 : 2),
                                       static_cast<std::uint8_t>(f < 2 ? f : f - 2),
                                       {}, Quaternion::identity()});
    }
    motion.objectRecords.resize(2);
    motion.handPoses.resize(2);
    motion.fingerKeys = testing::fingerKeysFor(5, {0, 2, 4}, {0, 1, 0});
    return motion;
}

void playEverySlot(MotionTrack& track) {
    for (std::uint16_t slot = 0; slot < track.slotCount() + 1; ++slot) {
        for (float fraction : {0.0f, 0.03f, 0.5f, 0.95f, 0.99999f}) {
            evaluateTrack(track, slot, fraction);
        }
    }
}

TEST(CorruptInputTest, DamagedMotionBlocksAreRefusedOrPlaySafely) {
    std::string content = encodeMotionBlock(motionWithEverything());
    int accepted = 0;
    for (std::size_t at = 0; at < content.size(); ++at) {
        for (unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            std::string damaged = content;
            damaged[at] = static_cast<char>(value);
            std::istringstream in(damaged);
            PoolMotion motion;
            if (!parseMotionBlock(in, motion) || motionDefect(motion) != nullptr) continue;
            ++accepted;
            MotionTrack track;
            track.motions = {motion};
            track.slotMotion = {0, 0, 0};
            track.slotBar = {0, static_cast<std::uint16_t>(motion.bars > 1 ? 1 : 0), 0};
            computeSlotOffsets(track);
            computeTrackFlags(track);
            playEverySlot(track);
        }
    }
    EXPECT_GT(accepted, 0);
}

TEST(CorruptInputTest, DamagedDancesAreRefusedOrPlaySafely) {
    testing::TempFolder folder;
    std::filesystem::path poolFolder = folder.makeFolder("pool");
    ASSERT_TRUE(writeMotionPoolFile(poolFolder / "p.dmp",
                                    testing::poolOf(3, {motionWithEverything(),
                                                        testing::walkingMotion(1, 2)})));
    MotionPool pool;
    pool.setFolder(poolFolder);
    pool.setCameraFolder(folder.path());
    DanceFile file = testing::danceOf({"MS", {0, 0, 1, 0xFFFF, 1}, {0, 1, 0, 0, 0}, {{3, 0}, {3, 1}}}, 5);
    file.camera = CameraRecord{{0, 0, 1, 1, 0xFFFF}, {0, 1, 0, 1, 0xFFFF}, {2, 2, 2, 2, 0xFFFF}, {}};
    std::string content = encodeDanceContent(file);
    int accepted = 0;
    for (std::size_t at = 0; at < content.size(); ++at) {
        for (unsigned char value : {0x00, 0x01, 0x05, 0xFF}) {
            std::string damaged = content;
            damaged[at] = static_cast<char>(value);
            std::istringstream in(damaged);
            DanceFile records;
            DanceSequence dance;
            if (!parseDanceContent(in, records) || !buildDanceSequence(records, pool, dance)) {
                continue;
            }
            ++accepted;
            for (MotionTrack& track : dance.tracks) playEverySlot(track);
            if (dance.camera) {
                for (std::uint16_t slot = 0; slot < 8; ++slot) {
                    sampleCameraTrack(*dance.camera, slot, 0.5f);
                    shotStart(*dance.camera, slot);
                }
            }
        }
    }
    EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace kavelune
