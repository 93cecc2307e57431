// The demo's motion pool and dances as the player loads them, and the dancers' feet on the
// floor through the leg fitting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "app/scene/character_performer.h"
#include "base/path_resolution.h"
#include "demo_support.h"
#include "model/character_loader.h"
#include "model/character_pose.h"
#include "motion/dance_sequence.h"
#include "motion/dance_update.h"
#include "motion/leg_fitting.h"
#include "motion/motion_pool.h"
#include "motion/motion_pool_file.h"

namespace kavelune::testing {
namespace {

namespace fs = std::filesystem;

// One pool for the whole test program, as the desktop program keeps one for its run.
MotionPool& demoPool() {
    static MotionPool pool;
    pool.setFolder(demoFolder() / "Sequences" / "Motion Pool");
    pool.setCameraFolder(demoFolder());
    return pool;
}

std::vector<fs::path> danceFiles() { return filesWithExtension(demoFolder() / "Sequences", ".dsq"); }

TEST(DemoMotionPool, HoldsEnoughDistinctMovesWithFingersAndObjects) {
    std::vector<PoolMotion> motions;
    for (const fs::path& file : filesWithExtension(demoFolder() / "Sequences" / "Motion Pool", ".dmp")) {
        MotionPoolContent content;
        std::string problem;
        ASSERT_TRUE(readMotionPoolFile(file, content, &problem)) << file << ": " << problem;
        for (auto& entry : content.entries) motions.push_back(entry.motion);
    }
    std::set<int> bars;
    bool fingers = false;
    bool objects = false;
    for (std::size_t i = 0; i < motions.size(); ++i) {
        bars.insert(motions[i].bars);
        fingers = fingers || motions[i].hasFingers();
        objects = objects || motions[i].hasObjectMotion();
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_FALSE(motions[i].rotations == motions[j].rotations) << "motions " << j << " and " << i;
        }
    }
    EXPECT_GE(motions.size(), 8u);
    EXPECT_TRUE(bars.count(1) && bars.count(2));
    EXPECT_TRUE(fingers);
    EXPECT_TRUE(objects);
}

TEST(DemoDances, LoadWithEveryReferenceResolved) {
    bool duet = false;
    bool camera = false;
    bool versionOne = false;
    for (const fs::path& file : danceFiles()) {
        DanceFile stored;
        ASSERT_TRUE(parseDanceFile(file, stored)) << file;
        DanceSequence dance;
        std::string problem;
        ASSERT_TRUE(loadDance(file, demoPool(), dance, &problem)) << file << ": " << problem;
        ASSERT_EQ(dance.tracks.size(), stored.tracks.size()) << file;
        for (std::size_t t = 0; t < dance.tracks.size(); ++t) {
            EXPECT_EQ(dance.tracks[t].motions.size(), stored.tracks[t].references.size()) << file;
            EXPECT_EQ(dance.tracks[t].slotCount(), dance.beatMap.bars.size()) << file;
        }
        if (dance.camera) {
            ASSERT_TRUE(stored.camera.has_value());
            EXPECT_EQ(dance.camera->cameras.size(), stored.camera->references.size()) << file;
            camera = true;
        }
        duet = duet || dance.tracks.size() >= 2;
        versionOne = versionOne || stored.version == 1;
    }
    EXPECT_TRUE(duet);
    EXPECT_TRUE(camera);
    EXPECT_TRUE(versionOne);
}

CharacterLegs legsOf(const CharacterModel& model) {
    CharacterLegs legs;
    legs.hip = {model.pivots[13], model.pivots[16]};
    legs.thigh = {model.pivots[14], model.pivots[17]};
    legs.shin = {model.pivots[15], model.pivots[18]};
    legs.foot = {model.legs.footA, model.legs.footB};
    return legs;
}

// The lowest point of the posed body (hands, props and skirts included) above the floor.
int lowestPoint(const CharacterModel& model) {
    int lowest = 32767;
    for (const Vertex4s& vertex : model.vertices) lowest = std::min(lowest, static_cast<int>(vertex.y));
    return lowest + model.root.y;
}

// Whatever the dance does, some part of the dancer touches the floor and nothing sinks into
// it: one foot carries the weight while the other steps or kicks.
TEST(DemoDances, KeepTheDancersFeetOnTheFloor) {
    std::vector<fs::path> characters;
    for (const fs::path& archive : filesWithExtension(demoFolder() / "Characters", ".dcz")) {
        CharacterModel probe;
        if (loadModelArchive(archive, probe) && probe.propMode != 1) characters.push_back(archive);
    }
    ASSERT_GE(characters.size(), 2u);
    for (const fs::path& file : danceFiles()) {
        DanceSequence dance;
        ASSERT_TRUE(loadDance(file, demoPool(), dance));
        const std::uint32_t length = danceLength(dance);
        for (const fs::path& archive : characters) {
            CharacterModel model;
            ASSERT_TRUE(loadModelArchive(archive, model));
            const LegFitting fitting(legsOf(model));
            const MotionTrack& track = dance.tracks.front();
            for (std::uint32_t time = 0; time < length; time += 370) {
                ASSERT_TRUE(updateDance(dance, time, {}));
                CharacterPose pose;
                fitting.fit(track.pose.rotations, track.pose.root, pose.rotations, pose.root);
                poseCharacter(model, pose);
                const int lowest = lowestPoint(model);
                EXPECT_LE(std::abs(lowest), 25) << file.filename() << " " << archive.filename() << " at " << time
                                                << " ms: lowest point " << lowest;
            }
        }
    }
}

// The microphone stays in the singer's right hand all through the prop dance, and the dance's
// object data takes it over (it spins on its own) for part of the time.
TEST(DemoDances, ThePropFollowsTheMotionsObjectData) {
    CharacterLoadResult singer;
    fs::path propDance;
    for (const fs::path& description : filesWithExtension(demoFolder() / "Characters", ".txt")) {
        auto result = loadCharacter(description.parent_path(), description.stem().string(), nullptr);
        if (result.ok() && result.models.front()->attachment) {
            singer = std::move(result);
            break;
        }
    }
    ASSERT_TRUE(singer.ok()) << "no character with a prop";
    DanceSequence dance;
    for (const fs::path& file : danceFiles()) {
        DanceSequence candidate;
        if (loadDance(file, demoPool(), candidate) && candidate.tracks.front().hasObjectMotion) {
            dance = std::move(candidate);
            propDance = file;
            break;
        }
    }
    ASSERT_FALSE(propDance.empty()) << "no dance with object data";

    CharacterModel& host = *singer.models.front();
    CharacterPerformer performer(host);
    performer.bind(&dance.tracks.front());
    bool spunOnItsOwn = false;
    for (std::uint32_t time = 0; time < danceLength(dance); time += 250) {
        ASSERT_TRUE(updateDance(dance, time, {}));
        performer.takePose();
        const CharacterModel& prop = *host.attachment;
        const Vec3s wrist = host.joints[12];
        const double dx = prop.root.x - (wrist.x + host.root.x);
        const double dy = prop.root.y - (wrist.y + host.root.y);
        const double dz = prop.root.z - (wrist.z + host.root.z);
        EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 75.0, 6.0) << "grip away from the wrist at " << time;
        const float alignment = std::fabs(prop.localRotations[0].dot(host.worldRotations[12]));
        spunOnItsOwn = spunOnItsOwn || alignment < 0.9f;
    }
    EXPECT_TRUE(spunOnItsOwn) << propDance.filename() << " never turns the prop by itself";
}

}  // namespace
}  // namespace kavelune::testing
