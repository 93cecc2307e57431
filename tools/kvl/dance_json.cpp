#include "dance_json.h"

#include <cstdlib>

#include "base/path_resolution.h"
#include "command.h"
#include "motion/dance_update.h"
#include "pairing_rule_json.h"

namespace kvl {

using nlohmann::json;
namespace fs = std::filesystem;

fs::path danceHome(const std::optional<std::string>& home, const fs::path& danceFile) {
    if (home) return fs::absolute(*home);
    if (const char* environment = std::getenv("KAVELUNE_HOME"); environment && *environment) {
        return fs::absolute(environment);
    }
    return fs::absolute(danceFile).parent_path().parent_path();
}

void pointPoolAt(kavelune::MotionPool& pool, const fs::path& home) {
    pool.setFolder(kavelune::resolveContentPath(home, "\\Sequences\\Motion Pool"));
    pool.setCameraFolder(home);  // camera pools are looked up in the program folder itself
}

bool loadDanceFor(const char* command, const fs::path& file, const std::optional<std::string>& home,
                  kavelune::MotionPool& pool, kavelune::DanceSequence& dance) {
    pointPoolAt(pool, danceHome(home, file));
    std::string problem;
    if (!kavelune::loadDance(file, pool, dance, &problem)) {
        fail(command, file.string() + ": " + problem);
        return false;
    }
    return true;
}

json vectorJson(const kavelune::Vec3s& v) { return json::array({v.x, v.y, v.z}); }

json quaternionJson(const kavelune::Quaternion& q) { return json::array({q.x, q.y, q.z, q.w}); }

namespace {

json trackJson(const kavelune::MotionTrack& track) {
    json offsets = json::array();
    for (const auto& offset : track.slotOffset) offsets.push_back(vectorJson(offset));
    json motions = json::array();
    for (const kavelune::PoolMotion& motion : track.motions) {
        json accessory = nullptr;
        if (motion.accessory >= 0) {
            const auto& model = track.accessories[motion.accessory];
            accessory = {{"pool", model.poolId}, {"number", model.number}, {"bytes", model.data.size()}};
        }
        motions.push_back({{"pool", motion.poolId},
                           {"sub", motion.subIndex},
                           {"name", motion.name},
                           {"bars", motion.bars},
                           {"frames", motion.frames},
                           {"accessory", accessory},
                           {"object_frames", motion.objectFrames.size()},
                           {"hand_poses", motion.handPoses.size()}});
    }
    return {{"tag", track.tag},
            {"slot_motion", track.slotMotion},
            {"slot_bar", track.slotBar},
            {"slot_offset", offsets},
            {"motions", motions},
            {"has_object_motion", track.hasObjectMotion},
            {"has_fingers", track.hasFingers}};
}

}  // namespace

json danceJson(const kavelune::DanceSequence& dance) {
    json rules = pairingRulesJson(dance.pairingRules);
    json bars = json::array();
    for (const auto& bar : dance.beatMap.bars) bars.push_back(bar);
    json tracks = json::array();
    for (const auto& track : dance.tracks) tracks.push_back(trackJson(track));
    json camera = nullptr;
    if (dance.camera) {
        json cameras = json::array();
        for (const auto& pooled : dance.camera->cameras) {
            cameras.push_back({{"pool", pooled.poolId},
                               {"sub", pooled.subIndex},
                               {"name", pooled.name},
                               {"keys", pooled.keys.size()}});
        }
        camera = {{"slot_camera", dance.camera->slotCamera},
                  {"slot_bar", dance.camera->slotBar},
                  {"slot_length", dance.camera->slotLength},
                  {"cameras", cameras}};
    }
    return {{"version", dance.version},
            {"rules", rules},
            {"values", dance.values},
            {"first_name", dance.firstName},
            {"second_name", dance.secondName},
            {"header_word", dance.headerWord},
            {"sound", dance.soundName},
            {"length_ms", kavelune::danceLength(dance)},
            {"beat_map", {{"start", dance.beatMap.startOffset}, {"bars", bars}}},
            {"tracks", tracks},
            {"camera", camera}};
}

}  // namespace kvl
