#include "app/scene/sprite_scene.h"

#include <fstream>

#include "app/content/content_registry.h"
#include "app/content/dance_music_table.h"
#include "base/message_box.h"
#include "base/path_resolution.h"
#include "model/character_loader.h"
#include "render/texture/texture_cache.h"
#include "motion/dance_update.h"
#include "motion/motion_pool.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kClipRampMs = 1000;

bool canOpenForReading(const fs::path& file) {
    std::error_code error;
    if (fs::is_directory(file, error)) return false;
    std::ifstream in(file, std::ios::binary);
    return static_cast<bool>(in);
}

}  // namespace

SpriteScene::SpriteScene(SceneContent content, Options options)
    : content_(content),
      programFolder_(std::move(options.programFolder)),
      glLoader_(options.glLoader),
      songStarted_(std::move(options.songStarted)),
      beatFinder_(options.music.findCacheFolder) {
    music_ = std::make_unique<MusicPlayer>(std::move(options.owner), content_.clock, std::move(options.music));
    music_->setBetweenFramesWork([this] { takeFoundBeats(); });
}

SpriteScene::~SpriteScene() {
    beatFinder_.cancel();
    music_->Stop();
    releaseModels();
}

fs::path SpriteScene::charactersFolder() const {
    return resolveContentPath(programFolder_, "Characters");
}

void SpriteScene::setUp() {
    if (renderer_) return;
    renderer_ = std::make_unique<SceneRenderer>(glLoader_);  // probes and sets up the GL state
    renderer_->setViewRotation(&rotation_);
    renderer_->setShadow(shadow_);
    // A character loaded before there was a GL context gets its textures now.
    for (std::size_t i = 0; i < textures_.size(); ++i) {
        if (textures_[i].size() == 0) textures_[i].load(*models_[i], modelFolder_);
    }
}

void SpriteScene::releaseModels() {
    for (ModelTextures& textures : textures_) textures.release();
    textures_.clear();
    performers_.clear();
    models_.clear();
}

void SpriteScene::bindPerformers() {
    std::size_t trackCount = dance_ ? dance_->tracks.size() : 0;
    for (std::size_t i = 0; i < performers_.size(); ++i) {
        auto track = performerTrackIndex(models_[i]->dancer, i, trackCount);
        performers_[i].bind(track ? &dance_->tracks[*track] : nullptr);
    }
}

bool SpriteScene::loadCharacter(const std::string& path) {
    DancePairing pairing;
    const DancePairing* dancePairing = nullptr;
    if (dance_) {
        pairing.firstName = dance_->firstName;
        pairing.secondName = dance_->secondName;
        if (dance_->pairingRules.size() >= 4) pairing.rule = dance_->pairingRules[3];
        dancePairing = &pairing;
    }
    fs::path folder = characterFolderFor(programFolder_, charactersFolder(), path);
    CharacterLoadResult result = kavelune::loadCharacter(folder, path, dancePairing);
    if (!result.ok()) {
        return false;
    }
    // The new textures are taken from the cache before the old ones are given back, so a
    // texture both characters use is not decoded and uploaded again.
    std::vector<ModelTextures> textures;
    textures.reserve(result.models.size());
    for (auto& model : result.models) {
        ModelTextures& modelTextures = textures.emplace_back(content_.textures);
        // Textures need the GL context; without one yet, setUp loads them.
        if (renderer_) modelTextures.load(*model, folder);
    }
    releaseModels();
    models_ = std::move(result.models);
    textures_ = std::move(textures);
    modelFolder_ = folder;
    performers_.reserve(models_.size());
    for (auto& model : models_) performers_.emplace_back(*model);
    bindPerformers();
    if (dance_) updateAt(lastTime_);
    return true;
}

std::optional<LoadedDance> SpriteScene::loadDance(const std::string& path) {
    auto next = std::make_unique<DanceSequence>();
    MotionPool& pool = content_.motionPool;
    if (!kavelune::loadDance(resolveContentPath(programFolder_, path), pool, *next) || !isPlayable(*next)) {
        return std::nullopt;
    }
    LoadedDance loaded;
    for (const MotionTrack& track : next->tracks) {
        if (auto file = pool.poolFileOf(track.motions.front().poolId)) {
            loaded.danceFiles.push_back("Sequences\\Motion Pool\\" + *file);
        }
    }
    clip_.stop();
    dance_ = std::move(next);
    danceLength_ = danceLength(*dance_);
    bindPerformers();

    // The dance's own song keeps the beat map of the dance file; without one, the dance
    // follows the song already playing, laid on its beats when that song is not the dance's.
    if (auto music = content_.danceMusic.lookup(storedFileName(path))) {
        fs::path full = resolveContentPath(programFolder_, *music);
        if (canOpenForReading(full)) {
            startDanceSong(full.string());
            return loaded;
        }
    }
    if (dance_->soundName.empty()) {
        showMessageBox("No Sound Filename", "Sound Error");
        retime();
        return loaded;
    }
    loaded.sound = "Sounds\\" + dance_->soundName;
    auto soundFolder = content_.registry.folderOf(kSoundKind).value_or(resolveContentPath(programFolder_, "Sounds"));
    fs::path full = resolveContentPath(soundFolder, dance_->soundName);
    if (!canOpenForReading(full)) {
        showMessageBox(full.string(), "Sound Error 002");
        retime();
        return loaded;
    }
    startDanceSong(full.string());
    return loaded;
}

void SpriteScene::startDanceSong(const std::string& fullPath) {
    forgetSongBeats();
    danceSongPath_ = fullPath;
    startSound(fullPath);
}

void SpriteScene::startSound(const std::string& fullPath) {
    if (playing_) music_->Stop();
    songPath_ = music_->Load(fullPath) ? fullPath : std::string();
    if (playing_) {
        music_->Play();
        tellSongStarted();
    }
    music_->DanceLength = static_cast<std::int32_t>(danceLength_);
}

void SpriteScene::tellSongStarted() {
    if (songStarted_ && !songPath_.empty()) songStarted_(music_->playingFile(), songPath_);
}

bool SpriteScene::loadSound(const std::string& path) {
    if (path.empty()) return false;
    fs::path full = resolveContentPath(programFolder_, path);
    if (!canOpenForReading(full)) return false;
    const bool sameSong = full.string() == songPath_;
    startSound(full.string());
    if (full.string() == danceSongPath_) {
        forgetSongBeats();  // the dance's own song, chosen by hand: the dance file's timing holds
    } else if (!sameSong || (songBeats_.empty() && !retiming_.active())) {
        findSongBeats(full.string());
    }
    return true;
}

void SpriteScene::findSongBeats(const std::string& fullPath) {
    forgetSongBeats();
    beatFinder_.request(fullPath);
}

void SpriteScene::forgetSongBeats() {
    beatFinder_.cancel();
    songBeats_ = BeatTrack();
    retiming_.clear();
}

void SpriteScene::takeFoundBeats() {
    if (!beatFinder_.ready()) return;
    std::string song;
    BeatTrack beats;
    if (beatFinder_.take(song, beats) && song == songPath_) {
        songBeats_ = std::move(beats);
        retime();
    }
}

void SpriteScene::retime() {
    retiming_.clear();
    if (!dance_ || songBeats_.empty()) return;
    const int beatsPerBar = typicalBeatsPerBar(dance_->beatMap);
    retiming_.build(dance_->beatMap, songBeats_.beatsMs, firstBarBeat(songBeats_, beatsPerBar));
}

void SpriteScene::play() {
    playing_ = true;
    music_->Play();
    tellSongStarted();
}

void SpriteScene::pause() { music_->Pause(); }

void SpriteScene::resume() { music_->Resume(); }

bool SpriteScene::paused() const { return music_->paused(); }

void SpriteScene::stop() {
    music_->Stop();
    if (dance_) {
        DanceUpdateSwitches switches;
        switches.poseTracks = true;
        switches.reanchor = true;
        updateDance(*dance_, 0, switches);
    }
    playing_ = false;
}

void SpriteScene::setShadow(bool on) {
    shadow_ = on;
    if (renderer_) renderer_->setShadow(on);
}

void SpriteScene::startMotion(int number) {
    if (!dance_ || dance_->tracks.empty() || number < 0) return;
    clip_.start(clips_, static_cast<std::size_t>(number), kClipRampMs, lastTime_, dance_->tracks.front());
}

bool SpriteScene::loadClip(const std::string& path) {
    DanceSequence clip;
    if (!kavelune::loadDance(resolveContentPath(programFolder_, path), content_.motionPool, clip) ||
        !isPlayable(clip)) {
        return false;
    }
    // A running clip points into the list, which growing may move.
    clip_.stop();
    clips_.push_back(std::move(clip));
    return true;
}

void SpriteScene::update() {
    if (!playing_) return;
    std::uint32_t time = music_->Position();
    if (retiming_.active()) {
        time = retiming_.danceTime(time);
    } else if (danceLength_ > 0) {
        time %= danceLength_;
    }
    updateAt(time);
}

void SpriteScene::updateAt(std::uint32_t time) {
    lastTime_ = time;
    if (dance_) {
        DanceUpdateSwitches switches;
        switches.poseTracks = true;
        updateDance(*dance_, time, switches);
        clip_.update(time);
    }
    for (CharacterPerformer& performer : performers_) performer.takePose();
    for (std::size_t i = 0; i < textures_.size(); ++i) textures_[i].apply(*models_[i], time);
}

void SpriteScene::drawFrame() {
    update();
    if (!playing_ || !renderer_) return;
    renderer_->drawFrame(models_);
}

bool SpriteScene::pick(int x, int y) { return renderer_ && renderer_->pick(models_, x, y) > 0; }

bool SpriteScene::projectedBounds(ProjectedBounds& bounds) const {
    return renderer_ && renderer_->bounds(models_, bounds);
}

void SpriteScene::beginTurn() {
    Vec3f pivot;
    if (SceneRenderer::referencePoint(models_, 0, pivot)) {
        // The character turns about the upright line through its reference point.
        rotation_.pivot = {pivot.x, 0.0f, pivot.z};
    }
    rotation_.dragActive = true;
    rotation_.changed = true;
}

void SpriteScene::turnBy(float yawDegrees, float pitchDegrees) {
    rotation_.yaw += yawDegrees;
    rotation_.pitch += pitchDegrees;
}

void SpriteScene::endTurn() {
    rotation_.dragActive = false;
    rotation_.changed = true;
}

}  // namespace kavelune
