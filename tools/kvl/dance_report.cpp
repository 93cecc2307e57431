// kvl inspect FILE.dsq|FILE.dmp|FILE.dcp: what a dance or pool file holds, with the dance's
// pool references resolved in the program folder.
#include <iostream>

#include "arguments.h"
#include "command.h"
#include "dance_json.h"
#include "json_output.h"
#include "motion/camera_pool_file.h"
#include "motion/motion_pool_file.h"

namespace kvl {

namespace {

using nlohmann::json;

int inspectDance(const std::vector<std::string>& args) {
    Arguments arguments(args, {"home"}, {"json"});
    if (!arguments.ok()) return fail("inspect", arguments.error(), kExitUsage);
    if (arguments.positionals().size() != 1) return fail("inspect", "needs one file", kExitUsage);
    std::filesystem::path file = arguments.positionals()[0];
    kavelune::MotionPool pool;
    kavelune::DanceSequence dance;
    if (!loadDanceFor("inspect", file, arguments.value("home"), pool, dance)) {
        return kExitFailed;
    }
    std::cout << jsonText(danceJson(dance)) << "\n";
    return kExitOk;
}

int inspectMotionPool(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {"json"});
    if (!arguments.ok()) return fail("inspect", arguments.error(), kExitUsage);
    if (arguments.positionals().size() != 1) return fail("inspect", "needs one file", kExitUsage);
    std::filesystem::path file = arguments.positionals()[0];
    kavelune::MotionPoolContent content;
    std::string problem;
    if (!kavelune::readMotionPoolFile(file, content, &problem)) {
        return fail("inspect", file.string() + ": " + problem);
    }
    json motions = json::array();
    for (std::size_t k = 0; k < content.entries.size(); ++k) {
        const auto& entry = content.entries[k];
        json accessory = entry.accessoryNumbers.empty() ? json(nullptr)
                                                        : json(entry.accessoryNumbers.back());
        motions.push_back({{"sub", k},
                           {"bars", entry.motion.bars},
                           {"frames", entry.motion.frames},
                           {"object_frames", entry.motion.objectFrames.size()},
                           {"object_records", entry.motion.objectRecords.size()},
                           {"hand_poses", entry.motion.handPoses.size()},
                           {"accessory", accessory}});
    }
    json accessories = json::array();
    for (const std::string& data : content.accessories) accessories.push_back(data.size());
    json out = {{"pool", content.poolId}, {"motions", motions}, {"accessory_bytes", accessories}};
    std::cout << jsonText(out) << "\n";
    return kExitOk;
}

int inspectCameraPool(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {"json"});
    if (!arguments.ok()) return fail("inspect", arguments.error(), kExitUsage);
    if (arguments.positionals().size() != 1) return fail("inspect", "needs one file", kExitUsage);
    std::filesystem::path file = arguments.positionals()[0];
    kavelune::CameraPoolContent content;
    std::string problem;
    if (!kavelune::readCameraPoolFile(file, content, &problem)) {
        return fail("inspect", file.string() + ": " + problem);
    }
    json cameras = json::array();
    for (std::size_t k = 0; k < content.cameras.size(); ++k) {
        const auto& keys = content.cameras[k].keys;
        cameras.push_back({{"sub", k},
                           {"keys", keys.size()},
                           {"first_time", keys.empty() ? json(nullptr) : json(keys.front().time)},
                           {"last_time", keys.empty() ? json(nullptr) : json(keys.back().time)}});
    }
    json out = {{"pool", content.poolId}, {"cameras", cameras}};
    std::cout << jsonText(out) << "\n";
    return kExitOk;
}

Inspector danceInspector("dsq", inspectDance);
Inspector motionPoolInspector("dmp", inspectMotionPool);
Inspector cameraPoolInspector("dcp", inspectCameraPool);

}  // namespace

}  // namespace kvl
