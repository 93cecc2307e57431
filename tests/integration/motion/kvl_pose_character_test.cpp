// kvl pose --character fits each track's pose onto a character read from its archive.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>

#include "kit/dance_file_writer.h"
#include "kit/dcz_writer.h"
#include "kit/motion_pool_file_writer.h"
#include "model/dcz_reader.h"
#include "motion/dance_file.h"
#include "motion/leg_fitting.h"
#include "motion/motion_pool_file.h"
#include "support/temp_folder.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

using nlohmann::json;

TEST(KvlPoseCharacterTest, FittedPosesFollowTheCharactersOwnLegs) {
    testing::TempFolder home;
    home.makeFolder("Sequences/Motion Pool");
    home.makeFolder("Characters");
    ASSERT_TRUE(writeDczFile(home / "Characters/figure.dcz", testing::makeFigure()));

    MotionPoolContent pool;
    pool.poolId = 1;
    MotionPoolContent::Entry entry;
    entry.motion.bars = 1;
    entry.motion.frames = 3;
    for (int f = 0; f < 3; ++f) {
        entry.motion.rootPositions.push_back({static_cast<std::int16_t>(100 * f), 1900, 0});
        for (int joint = 0; joint < JointCount; ++joint) {
            // Knees bent, thighs forward, everything else turning a little.
            float angle = joint == 14 || joint == 17 ? 0.8f : (joint == 13 || joint == 16 ? -0.4f : 0.1f * f);
            Quaternion q = fromAxisAngle(1, 0, 0, angle);
            entry.motion.rotations.push_back(
                {std::round(q.x * 10000) / 10000, 0, 0, std::round(q.w * 10000) / 10000});
        }
    }
    pool.entries = {entry};
    ASSERT_TRUE(writeMotionPoolFile(home / "Sequences/Motion Pool/p.dmp", pool));
    DanceFile dance;
    dance.beatMap = BeatMap{0, {{1000}}};
    dance.tracks.push_back({"MS", {0}, {0}, {{1, 0}}});
    ASSERT_TRUE(writeDanceFile(home / "Sequences/d.dsq", dance));

    std::string output;
    ASSERT_EQ(testing::runCommand(std::string(KAVELUNE_KVL) + " pose '" +
                                      (home / "Sequences/d.dsq").string() + "' --home '" +
                                      home.path().string() + "' --character '" +
                                      (home / "Characters/figure.dcz").string() +
                                      "' --times 500 --json",
                                  &output),
              0);
    json track = json::parse(output)[0]["tracks"][0];
    ASSERT_TRUE(track.contains("fitted"));

    auto model = std::make_unique<CharacterModel>();
    ASSERT_TRUE(loadModelArchive(home / "Characters/figure.dcz", *model));
    CharacterLegs legs;
    for (int leg = 0; leg < 2; ++leg) {
        legs.hip[leg] = model->pivots[13 + 3 * leg];
        legs.thigh[leg] = model->pivots[14 + 3 * leg];
        legs.shin[leg] = model->pivots[15 + 3 * leg];
    }
    legs.foot = {model->legs.footA, model->legs.footB};
    LegFitting fitting(legs);
    EXPECT_DOUBLE_EQ(fitting.legFactor(), 0.4);

    JointRotations motion;
    for (int joint = 0; joint < JointCount; ++joint) {
        const json& q = track["rotations"][joint];
        motion[joint] = {q[0].get<float>(), q[1].get<float>(), q[2].get<float>(), q[3].get<float>()};
    }
    Vec3s root{track["root"][0].get<std::int16_t>(), track["root"][1].get<std::int16_t>(),
               track["root"][2].get<std::int16_t>()};
    JointRotations fitted;
    Vec3s fittedRoot;
    fitting.fit(motion, root, fitted, fittedRoot);
    EXPECT_EQ(track["fitted"]["root"], json({fittedRoot.x, fittedRoot.y, fittedRoot.z}));
    for (int joint = 0; joint < JointCount; ++joint) {
        EXPECT_NEAR(track["fitted"]["rotations"][joint][0].get<float>(), fitted[joint].x, 1e-5f);
        EXPECT_NEAR(track["fitted"]["rotations"][joint][3].get<float>(), fitted[joint].w, 1e-5f);
    }
    // The root is scaled to the shorter legs and lowered to the character's hips.
    EXPECT_LT(fittedRoot.y, root.y * 0.4 + 1);

    EXPECT_EQ(testing::runCommand(std::string(KAVELUNE_KVL) + " pose '" +
                                  (home / "Sequences/d.dsq").string() +
                                  "' --character /nonexistent.dcz --times 1 --json 2>/dev/null"),
              1);
}

}  // namespace
}  // namespace kavelune
