#include "motion/dance_sequence.h"

#include "motion/motion_pool.h"

namespace kavelune {

namespace {

bool report(std::string* problem, std::string text) {
    if (problem) *problem = std::move(text);
    return false;
}

bool buildTrack(const TrackRecord& record, PoolLookup& lookup, MotionTrack& track,
                std::string* problem, std::size_t trackNumber) {
    track.tag = record.tag;
    track.slotMotion = record.slotMotion;
    track.slotBar = record.slotBar;
    track.slotBar.resize(track.slotMotion.size(), 0);
    for (const PoolReference& reference : record.references) {
        PoolMotion motion;
        if (lookup.resolveMotion(reference.poolId, reference.subIndex, track.accessories, motion)) {
            track.motions.push_back(std::move(motion));
        }
    }
    // Every slot must be playable: an index past the motion list or a bar past the motion's
    // bars would sample outside the motion's frames.
    std::string where = "track " + std::to_string(trackNumber) + " slot ";
    for (std::size_t slot = 0; slot < track.slotMotion.size(); ++slot) {
        std::uint16_t motion = track.slotMotion[slot];
        if (motion == NoMotion) continue;
        if (motion >= track.motions.size()) {
            return report(problem, where + std::to_string(slot) + " names motion " +
                                       std::to_string(motion) + " of " +
                                       std::to_string(track.motions.size()) + " resolved");
        }
        if (track.slotBar[slot] >= track.motions[motion].bars) {
            return report(problem, where + std::to_string(slot) + " names bar " +
                                       std::to_string(track.slotBar[slot]) + " of a motion of " +
                                       std::to_string(track.motions[motion].bars) + " bars");
        }
    }
    computeSlotOffsets(track);
    computeTrackFlags(track);
    return true;
}

void buildCamera(const CameraRecord& record, PoolLookup& lookup, CameraTrack& camera) {
    camera.slotCamera = record.slotCamera;
    camera.slotBar = record.slotBar;
    camera.slotLength = record.slotLength;
    // Slots name references; a failed reference is left out of the camera list, so slots are
    // renumbered to the resolved list and those naming a failed (or missing) reference emptied.
    std::vector<std::uint16_t> resolvedIndex(record.references.size(), NoMotion);
    for (std::size_t i = 0; i < record.references.size(); ++i) {
        PoolCamera pooled;
        const PoolReference& reference = record.references[i];
        if (lookup.resolveCamera(reference.poolId, reference.subIndex, pooled)) {
            resolvedIndex[i] = static_cast<std::uint16_t>(camera.cameras.size());
            camera.cameras.push_back(std::move(pooled));
        }
    }
    for (std::size_t slot = 0; slot < camera.slotCamera.size(); ++slot) {
        std::uint16_t named = camera.slotCamera[slot];
        if (named == NoMotion) continue;
        std::uint16_t resolved = named < resolvedIndex.size() ? resolvedIndex[named] : NoMotion;
        camera.slotCamera[slot] = resolved;
        if (resolved == NoMotion) {
            camera.slotBar[slot] = NoMotion;
            camera.slotLength[slot] = NoMotion;
        }
    }
}

}  // namespace

bool buildDanceSequence(const DanceFile& file, MotionPool& pool, DanceSequence& out,
                        std::string* problem, std::size_t* filesOpened) {
    if (!file.beatMap) return report(problem, "the dance has no beat map");
    PoolLookup lookup(pool);
    DanceSequence dance;
    dance.version = file.version;
    if (file.version >= 2) {
        dance.pairingRules.assign(file.rules.begin(), file.rules.end());
        dance.values = file.values;
        dance.firstName = file.firstName;
        dance.secondName = file.secondName;
    }
    dance.headerWord = file.headerWord;
    dance.soundName = file.soundName;
    dance.beatMap = *file.beatMap;
    dance.tracks.resize(file.tracks.size());
    for (std::size_t t = 0; t < file.tracks.size(); ++t) {
        if (!buildTrack(file.tracks[t], lookup, dance.tracks[t], problem, t)) {
            if (filesOpened) *filesOpened = lookup.filesOpened();
            return false;
        }
    }
    if (file.camera) {
        dance.camera.emplace();
        buildCamera(*file.camera, lookup, *dance.camera);
    }
    if (filesOpened) *filesOpened = lookup.filesOpened();
    out = std::move(dance);
    return true;
}

bool isPlayable(const DanceSequence& dance, std::string* problem) {
    for (std::size_t t = 0; t < dance.tracks.size(); ++t) {
        if (dance.tracks[t].motions.empty()) {
            return report(problem, "track " + std::to_string(t) + " has no motion that can be found in the pool");
        }
    }
    return true;
}

bool loadDance(const std::filesystem::path& file, MotionPool& pool, DanceSequence& out,
               std::string* problem) {
    DanceFile records;
    if (!parseDanceFile(file, records, problem)) return false;
    return buildDanceSequence(records, pool, out, problem);
}

}  // namespace kavelune
