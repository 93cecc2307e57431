#include "kit/demo/demo_dances.h"

#include <map>

#include "kit/camera_pool_file_writer.h"
#include "kit/dance_file_writer.h"
#include "kit/demo/demo_moves.h"
#include "kit/motion_pool_file_writer.h"
#include "motion/camera_pool_file.h"
#include "motion/dance_file.h"
#include "motion/motion_pool_file.h"

namespace kvl::demo {

namespace {

using kavelune::BeatMap;
using kavelune::CameraKey;
using kavelune::CameraPoolContent;
using kavelune::CameraRecord;
using kavelune::DanceFile;
using kavelune::MotionPoolContent;
using kavelune::PoolCamera;
using kavelune::PoolReference;
using kavelune::TrackRecord;

// A pool file: its name, identifier and moves (sub-motions in order).
struct Pool {
    std::string file;
    std::int32_t id = 0;
    std::vector<Move> moves;
};

constexpr std::int32_t kCameraPoolId = 7201;

// Where a move lives, by its label.
struct MoveAddress {
    PoolReference reference;
    int bars = 1;
};

std::vector<Pool> pools() {
    return {{"Basics.dmp", 7101, basicMoves()},
            {"Arms.dmp", 7102, armMoves()},
            {"Travel.dmp", 7103, travelMoves()},
            {"Stage.dmp", 7104, propMoves()}};
}

// Builds a track record from a list of move labels, one after the other.
class TrackPlan {
public:
    explicit TrackPlan(const std::map<std::string, MoveAddress>& moves) : moves_(moves) {}

    bool add(const std::vector<std::string>& labels, std::string& error) {
        for (const std::string& label : labels) {
            auto found = moves_.find(label);
            if (found == moves_.end()) {
                error = "no move called '" + label + "'";
                return false;
            }
            std::uint16_t index = referenceIndex(found->second.reference);
            for (int bar = 0; bar < found->second.bars; ++bar) {
                track_.slotMotion.push_back(index);
                track_.slotBar.push_back(static_cast<std::uint16_t>(bar));
            }
        }
        return true;
    }

    const TrackRecord& track() const { return track_; }
    std::size_t slots() const { return track_.slotMotion.size(); }

private:
    std::uint16_t referenceIndex(const PoolReference& reference) {
        for (std::size_t i = 0; i < track_.references.size(); ++i) {
            if (track_.references[i] == reference) {
                return static_cast<std::uint16_t>(i);
            }
        }
        track_.references.push_back(reference);
        return static_cast<std::uint16_t>(track_.references.size() - 1);
    }

    const std::map<std::string, MoveAddress>& moves_;
    TrackRecord track_;
};

BeatMap beatMapOf(const SongPlan& song) {
    BeatMap map;
    map.startOffset = 0;
    map.bars.assign(song.bars, std::vector<std::uint16_t>(song.beatsPerBar,
                                                           static_cast<std::uint16_t>(song.beatMilliseconds)));
    return map;
}

CameraKey cameraKey(float time, float x, float y, float z, float rx, float ry, float rz) {
    return {time, {x, y, z, rx, ry, rz}};
}

CameraPoolContent cameraPool() {
    CameraPoolContent pool;
    pool.poolId = kCameraPoolId;
    PoolCamera orbit;  // two bars: swing round to one side and back
    orbit.keys = {cameraKey(0.0f, 0, 0, -4000, 0, 0, 0), cameraKey(0.25f, -300, 100, -3900, 5, 20, 0),
                  cameraKey(0.5f, 0, 200, -3800, 8, 0, 0), cameraKey(0.75f, 300, 100, -3900, 5, -20, 0),
                  cameraKey(1.0f, 0, 0, -4000, 0, 0, 0)};
    PoolCamera pushIn;  // one bar: move in close and back out
    pushIn.keys = {cameraKey(0.0f, 0, 0, -4000, 0, 0, 0), cameraKey(0.5f, 0, 300, -2800, 10, 0, 0),
                   cameraKey(1.0f, 0, 0, -4000, 0, 0, 0)};
    pool.cameras = {orbit, pushIn};
    return pool;
}

// Orbit shots of two bars for the first half, push-ins of one bar for the rest.
CameraRecord cameraTrack(std::size_t slots) {
    CameraRecord camera;
    camera.references = {{kCameraPoolId, 0}, {kCameraPoolId, 1}};
    for (std::size_t slot = 0; slot < slots; ++slot) {
        const bool orbit = slot < slots / 2 - (slots / 2) % 2;
        camera.slotCamera.push_back(orbit ? 0 : 1);
        camera.slotBar.push_back(orbit ? static_cast<std::uint16_t>(slot % 2) : 0);
        camera.slotLength.push_back(orbit ? 2 : 1);
    }
    return camera;
}

struct DancePlan {
    std::string file;
    int song = 0;  // index into the songs
    int version = 2;
    std::vector<std::vector<std::string>> tracks;
    bool camera = false;
    std::string pairedExtension = ".mp3";
};

std::vector<DancePlan> dancePlans() {
    return {
        {"Groove.dsq", 0, 2,
         {{"bounce", "bounce", "step touch", "step touch", "clap", "clap", "arm wave", "march", "kick",
           "disco point", "disco point", "turn", "bounce", "clap"}},
         false},
        {"Moonlit.dsq", 1, 2,
         {{"bounce", "step touch", "side travel", "arm wave", "clap", "disco point", "turn", "kick", "march",
           "step touch", "bounce"}},
         false},
        {"Duet.dsq", 0, 2,
         {{"bounce", "bounce", "step touch", "step touch", "clap", "clap", "arm wave", "march", "kick",
           "disco point", "disco point", "turn", "bounce", "clap"},
          {"step touch", "bounce", "clap", "step touch", "march", "clap", "disco point", "kick", "arm wave",
           "turn", "bounce", "clap", "disco point", "bounce"}},
         false},
        {"Spotlight.dsq", 1, 2,
         {{"arm wave", "bounce", "clap", "turn", "disco point", "disco point", "side travel", "kick", "march",
           "bounce", "clap"}},
         true},
        {"Classic.dsq", 1, 1,
         {{"bounce", "clap", "bounce", "clap", "step touch", "step touch", "march", "march", "kick", "kick",
           "disco point", "disco point", "bounce", "bounce"}},
         false, ".emp"},
        {"Stage.dsq", 0, 2,
         {{"mic pump", "mic pump", "mic twirl", "bounce", "step touch", "mic pump", "mic pump", "disco point",
           "kick", "mic twirl", "march", "clap", "mic pump", "bounce"}},
         false},
    };
}

}  // namespace

bool writeSequences(const std::filesystem::path& programFolder, const std::vector<SongPlan>& songs,
                    std::vector<DanceEntry>& dances, std::string& error) {
    const std::filesystem::path sequences = programFolder / "Sequences";
    const std::filesystem::path poolFolder = sequences / "Motion Pool";
    std::filesystem::create_directories(poolFolder);

    std::map<std::string, MoveAddress> addresses;
    for (const Pool& pool : pools()) {
        MotionPoolContent content;
        content.poolId = pool.id;
        for (std::size_t i = 0; i < pool.moves.size(); ++i) {
            MotionPoolContent::Entry entry;
            entry.motion = pool.moves[i].motion;
            entry.motion.poolId = pool.id;
            entry.motion.subIndex = static_cast<std::uint16_t>(i);
            content.entries.push_back(std::move(entry));
            addresses[pool.moves[i].name] = {{pool.id, static_cast<std::uint16_t>(i)}, pool.moves[i].motion.bars};
        }
        if (!kavelune::writeMotionPoolFile(poolFolder / pool.file, content)) {
            error = "cannot write " + (poolFolder / pool.file).string();
            return false;
        }
    }
    if (!kavelune::writeCameraPoolFile(programFolder / "Cameras.dcp", cameraPool())) {
        error = "cannot write the camera pool";
        return false;
    }

    dances.clear();
    for (const DancePlan& plan : dancePlans()) {
        const SongPlan& song = songs.at(plan.song);
        DanceFile dance;
        dance.version = static_cast<std::uint8_t>(plan.version);
        if (plan.version >= 2) {
            dance.firstName = plan.file.substr(0, plan.file.size() - 4);
            dance.secondName = "Kavelune demo";
        }
        dance.soundName = song.fileBase + ".mp3";
        dance.beatMap = beatMapOf(song);
        for (std::size_t t = 0; t < plan.tracks.size(); ++t) {
            TrackPlan track(addresses);
            if (!track.add(plan.tracks[t], error)) {
                return false;
            }
            if (track.slots() != static_cast<std::size_t>(song.bars)) {
                error = plan.file + ": track " + std::to_string(t) + " has " + std::to_string(track.slots()) +
                        " bars, the song " + std::to_string(song.bars);
                return false;
            }
            dance.tracks.push_back(track.track());
        }
        if (plan.camera) {
            dance.camera = cameraTrack(static_cast<std::size_t>(song.bars));
        }
        if (!kavelune::writeDanceFile(sequences / plan.file, dance)) {
            error = "cannot write " + (sequences / plan.file).string();
            return false;
        }
        dances.push_back({plan.file, "Sounds\\" + song.fileBase + plan.pairedExtension});
    }
    return true;
}

}  // namespace kvl::demo
