// kvl pose DANCE --times T1,T2,...: the dance's pose at each music time, in order, the way
// playback reaches them (state carries over from one time to the next).
#include <iostream>
#include <memory>

#include "arguments.h"
#include "base/text.h"
#include "command.h"
#include "dance_json.h"
#include "json_output.h"
#include "model/character_model.h"
#include "model/dcz_reader.h"
#include "motion/dance_update.h"
#include "motion/leg_fitting.h"

namespace kvl {

namespace {

using nlohmann::json;

json rotationsJson(const kavelune::JointRotations& rotations) {
    json out = json::array();
    for (const auto& q : rotations) out.push_back(quaternionJson(q));
    return out;
}

bool parseTimes(const std::string& text, std::vector<std::uint32_t>& times) {
    for (const std::string& part : kavelune::splitOn(text, ',')) {
        std::string_view trimmed = kavelune::trimBlanks(part);
        if (trimmed.empty()) return false;
        for (char c : trimmed) {
            if (c < '0' || c > '9') return false;
        }
        long long value = kavelune::leadingInteger(trimmed);
        if (value > 0xFFFFFFFFLL) return false;
        times.push_back(static_cast<std::uint32_t>(value));
    }
    return !times.empty();
}

// The character's legs as leg fitting needs them, from a loaded model.
bool characterLegs(const std::filesystem::path& file, kavelune::CharacterLegs& legs) {
    auto model = std::make_unique<kavelune::CharacterModel>();
    if (!kavelune::loadModelArchive(file, *model) || model->pivots.size() < 19) return false;
    for (int leg = 0; leg < 2; ++leg) {
        legs.hip[leg] = model->pivots[13 + 3 * leg];
        legs.thigh[leg] = model->pivots[14 + 3 * leg];
        legs.shin[leg] = model->pivots[15 + 3 * leg];
    }
    legs.foot = {model->legs.footA, model->legs.footB};
    return true;
}

int runPose(const std::vector<std::string>& args) {
    Arguments arguments(args, {"home", "times", "time", "character"}, {"reanchor", "json"});
    if (!arguments.ok()) return fail("pose", arguments.error(), kExitUsage);
    if (arguments.positionals().size() != 1) return fail("pose", "needs one dance file", kExitUsage);
    std::vector<std::uint32_t> times;
    auto timeText = arguments.value("times") ? arguments.value("times") : arguments.value("time");
    if (!timeText || !parseTimes(*timeText, times)) {
        return fail("pose", "--times needs milliseconds separated by commas", kExitUsage);
    }

    std::filesystem::path file = arguments.positionals()[0];
    kavelune::MotionPool pool;
    kavelune::DanceSequence dance;
    if (!loadDanceFor("pose", file, arguments.value("home"), pool, dance)) {
        return kExitFailed;
    }
    // Poses of a dance that playback would refuse would describe nothing the program shows.
    if (std::string problem; !kavelune::isPlayable(dance, &problem)) {
        return fail("pose", file.string() + ": " + problem);
    }
    std::unique_ptr<kavelune::LegFitting> fitting;
    if (auto character = arguments.value("character")) {
        kavelune::CharacterLegs legs;
        if (!characterLegs(*character, legs)) {
            return fail("pose", *character + ": cannot load the character");
        }
        fitting = std::make_unique<kavelune::LegFitting>(legs);
    }

    kavelune::DanceUpdateSwitches switches;
    switches.poseTracks = true;
    switches.moveCamera = true;
    switches.reanchor = arguments.flag("reanchor");
    json out = json::array();
    for (std::uint32_t time : times) {
        bool found = kavelune::updateDance(dance, time, switches);
        json tracks = json::array();
        for (const kavelune::MotionTrack& track : dance.tracks) {
            json entry = {{"ok", found && track.lastEvaluationOk},
                          {"root", vectorJson(track.pose.root)},
                          {"rotations", rotationsJson(track.pose.rotations)}};
            if (fitting) {
                kavelune::JointRotations rotations;
                kavelune::Vec3s root;
                fitting->fit(track.pose.rotations, track.pose.root, rotations, root);
                entry["fitted"] = {{"root", vectorJson(root)}, {"rotations", rotationsJson(rotations)}};
            }
            tracks.push_back(entry);
        }
        json camera = nullptr;
        if (dance.camera) camera = dance.camera->parameters;
        out.push_back({{"time", time},
                       {"found", found},
                       {"slot", dance.currentSlot},
                       {"fraction", dance.currentFraction},
                       {"tracks", tracks},
                       {"camera", camera}});
    }
    std::cout << jsonText(out, arguments.flag("json") ? -1 : 2) << "\n";
    return kExitOk;
}

Command poseCommand("pose", "DANCE.dsq --times T1,T2,... [--home DIR] [--character FILE.dcz] "
                            "[--reanchor] --json",
                    runPose);

}  // namespace

}  // namespace kvl
