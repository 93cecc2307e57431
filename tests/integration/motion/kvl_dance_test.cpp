// The content kit's dance commands on a program folder written with the project's writers.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "kit/camera_pool_file_writer.h"
#include "kit/dance_file_writer.h"
#include "kit/motion_pool_file_writer.h"
#include "motion/camera_pool_file.h"
#include "motion/dance_file.h"
#include "motion/motion_constants.h"
#include "motion/motion_pool_file.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

using nlohmann::json;

PoolMotion steppingMotion(std::uint8_t bars, std::uint16_t frames, std::int16_t step) {
    PoolMotion motion;
    motion.bars = bars;
    motion.frames = frames;
    for (int f = 0; f < frames; ++f) {
        motion.rootPositions.push_back({static_cast<std::int16_t>(step * f), 900, 0});
        for (int joint = 0; joint < JointCount; ++joint) {
            motion.rotations.push_back({0.0f, 0.0f, 0.0f, 1.0f});
        }
    }
    return motion;
}

class KvlDanceTest : public ::testing::Test {
protected:
    KvlDanceTest() {
        MotionPoolContent pool;
        pool.poolId = 12;
        MotionPoolContent::Entry walk;
        walk.motion = steppingMotion(1, 5, 100);
        MotionPoolContent::Entry hold;
        hold.motion = steppingMotion(2, 3, 0);
        hold.motion.handPoses.resize(1);
        hold.motion.fingerKeys = {std::vector<std::int16_t>(3, 0), std::vector<std::int16_t>(3, 0),
                                  std::vector<std::int16_t>(3, 0), std::vector<std::int16_t>(3, 0)};
        hold.accessoryNumbers = {0};
        pool.entries = {walk, hold};
        pool.accessories = {"prop bytes"};
        // Made on a system that ignores letter case: the pool folder's name differs in case.
        home.makeFolder("Sequences/motion pool");
        EXPECT_TRUE(writeMotionPoolFile(home / "Sequences/motion pool/Steps.dmp", pool));
        CameraPoolContent cameras;
        cameras.poolId = 3;
        cameras.cameras = {{0, 0, "", {{0.0f, {0, 0, -1000, 0, 0, 0}}, {1.0f, {0, 0, -3000, 0, 0, 0}}}}};
        EXPECT_TRUE(writeCameraPoolFile(home / "Wide.dcp", cameras));

        DanceFile dance;
        dance.version = 2;
        dance.firstName = "Steps";
        dance.soundName = "steps.mp3";
        dance.beatMap = BeatMap{500, {{250, 250, 250, 250}, {500, 500}, {1000}}};
        dance.tracks.push_back({"MS", {0, 0, 1}, {0, 0, 0}, {{12, 0}, {12, 1}, {77, 0}}});
        dance.camera = CameraRecord{{0, 0, 0}, {0, 1, 0}, {2, 2, 1}, {{3, 0}}};
        EXPECT_TRUE(writeDanceFile(home / "Sequences/steps.dsq", dance));
    }

    json run(const std::string& arguments, int expectedStatus = 0) {
        std::string output;
        int status = testing::runCommand(std::string(KAVELUNE_KVL) + " " + arguments + " 2>/dev/null",
                                         &output);
        EXPECT_EQ(status, expectedStatus) << arguments;
        if (status != 0) return nullptr;
        return json::parse(output);
    }

    std::string homeArgument() const { return "--home '" + home.path().string() + "'"; }
    std::string dancePath() const { return "'" + (home / "Sequences/steps.dsq").string() + "'"; }

    testing::TempFolder home;
};

TEST_F(KvlDanceTest, InspectShowsTheDanceWithItsResolvedReferences) {
    json dance = run("inspect " + dancePath() + " " + homeArgument() + " --json");
    ASSERT_TRUE(dance.is_object());
    EXPECT_EQ(dance["version"], 2);
    EXPECT_EQ(dance["first_name"], "Steps");
    EXPECT_EQ(dance["sound"], "steps.mp3");
    EXPECT_EQ(dance["length_ms"], 500 + 1000 + 1000 + 1000);
    EXPECT_EQ(dance["beat_map"]["bars"][1], json({500, 500}));
    EXPECT_EQ(dance["rules"].size(), 4u);
    const json& track = dance["tracks"][0];
    ASSERT_EQ(track["motions"].size(), 2u);  // pool 77 does not exist
    EXPECT_EQ(track["motions"][0]["name"], "Steps");
    EXPECT_EQ(track["motions"][1]["bars"], 2);
    EXPECT_EQ(track["motions"][1]["hand_poses"], 1);
    EXPECT_EQ(track["slot_offset"][1], json({400, 0, 0}));
    EXPECT_EQ(track["slot_offset"][2], json({800, 0, 0}));
    EXPECT_TRUE(track["has_fingers"]);
    EXPECT_FALSE(track["has_object_motion"]);
    EXPECT_EQ(dance["camera"]["cameras"][0]["keys"], 2);
}

TEST_F(KvlDanceTest, InspectShowsPoolFiles) {
    json pool = run("inspect '" + (home / "Sequences/motion pool/Steps.dmp").string() + "' --json");
    EXPECT_EQ(pool["pool"], 12);
    ASSERT_EQ(pool["motions"].size(), 2u);
    EXPECT_EQ(pool["motions"][0]["frames"], 5);
    EXPECT_EQ(pool["motions"][1]["accessory"], 0);
    json cameras = run("inspect '" + (home / "Wide.dcp").string() + "' --json");
    EXPECT_EQ(cameras["pool"], 3);
    EXPECT_EQ(cameras["cameras"][0]["keys"], 2);
}

TEST_F(KvlDanceTest, PoseEvaluatesEachTimeInOrder) {
    json poses = run("pose " + dancePath() + " " + homeArgument() + " --times 0,500,1500,2000,9999 --json");
    ASSERT_EQ(poses.size(), 5u);
    EXPECT_FALSE(poses[0]["found"]);
    EXPECT_FALSE(poses[0]["tracks"][0]["ok"]);
    EXPECT_TRUE(poses[1]["found"]);
    EXPECT_EQ(poses[1]["slot"], 0);
    EXPECT_EQ(poses[1]["tracks"][0]["root"], json({0, 900, 0}));
    EXPECT_EQ(poses[1]["tracks"][0]["rotations"].size(), 19u);
    EXPECT_EQ(poses[2]["slot"], 1);
    EXPECT_EQ(poses[2]["tracks"][0]["root"][0], 400);  // slot 1 starts the walk again from x 400
    EXPECT_EQ(poses[3]["tracks"][0]["root"][0], 400 + 199);
    EXPECT_EQ(poses[3]["fraction"], 0.5);
    EXPECT_EQ(poses[3]["camera"][2], -2500.0);  // bar 1 of 2, halfway: u = 0.75
    // After the last bar the pose of the previous time is kept.
    EXPECT_FALSE(poses[4]["found"]);
    EXPECT_EQ(poses[4]["slot"], poses[3]["slot"]);
    EXPECT_EQ(poses[4]["tracks"][0]["root"], poses[3]["tracks"][0]["root"]);
}

TEST_F(KvlDanceTest, ReanchoringMovesTheDancerBackToTheShotStart) {
    std::string pose = "pose " + dancePath() + " " + homeArgument() + " --times 2000,3000 --json";
    json plain = run(pose);
    json anchored = run(pose + " --reanchor");
    // Slot 1 is bar 1 of a shot that began at slot 0, whose offset is 0: nothing moves.
    EXPECT_EQ(anchored[0]["tracks"][0]["root"], plain[0]["tracks"][0]["root"]);
    // Slot 2 begins a shot of its own: its ground offset of 800 is taken back.
    EXPECT_EQ(plain[1]["tracks"][0]["root"][0], 800);
    EXPECT_EQ(anchored[1]["tracks"][0]["root"][0], 0);
}

TEST_F(KvlDanceTest, FailuresAndBadArgumentsHaveTheirStatuses) {
    home.write("Sequences/broken.dsq", "not a dance");
    run("inspect '" + (home / "Sequences/broken.dsq").string() + "' --json", 1);
    run("pose " + dancePath() + " --times soon --json", 2);
    run("pose " + dancePath() + " --json", 2);
    run("inspect " + dancePath() + " --colour --json", 2);

    // A body track whose every reference is lost reads, but playback refuses it: so does pose.
    DanceFile lost;
    lost.beatMap = BeatMap{500, {{250, 250, 250, 250}}};
    lost.tracks.push_back({"MS", {NoMotion}, {NoMotion}, {{77, 0}}});
    ASSERT_TRUE(writeDanceFile(home / "Sequences/lost.dsq", lost));
    const std::string lostPath = "'" + (home / "Sequences/lost.dsq").string() + "'";
    run("inspect " + lostPath + " " + homeArgument() + " --json");
    run("pose " + lostPath + " " + homeArgument() + " --times 0 --json", 1);
}

}  // namespace
}  // namespace kavelune
