#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/scene/character_performer.h"
#include "app/scene/scene_content.h"
#include "app/scene/scene_control.h"
#include "app/scene/scene_drawer.h"
#include "model/character_model.h"
#include "render/gl_extensions.h"
#include "render/scene_renderer.h"
#include "render/view_rotation.h"
#include "render/texture/model_textures.h"
#include "beats/background_beat_finder.h"
#include "motion/clip_overlay.h"
#include "motion/dance_retiming.h"
#include "motion/dance_sequence.h"
#include "music/music_player.h"

namespace kavelune {

// The scene the sprite window shows: the characters, the current dance and the music player
// whose position the dance follows. Lives on the user interface thread; content loads and
// drawing need the window's GL context current.
class SpriteScene : public SceneDrawer, public SceneControl {
public:
    struct Options {
        std::filesystem::path programFolder;
        WindowCommandSink owner;          // receives the end-of-song and engine failure commands
        GlProcAddressLoader glLoader = nullptr;
        MusicPlayerOptions music;
        // Told whenever a song starts from its beginning while the scene plays: the file the
        // player reads (for its tags) and the path the song was chosen by.
        std::function<void(const std::string& playingFile, const std::string& songPath)> songStarted;
    };

    SpriteScene(SceneContent content, Options options);
    ~SpriteScene() override;

    // SceneControl
    bool loadCharacter(const std::string& path) override;
    std::optional<LoadedDance> loadDance(const std::string& path) override;
    bool loadSound(const std::string& path) override;
    void play() override;
    void pause() override;
    void resume() override;
    bool paused() const override;
    void stop() override;
    void setShadow(bool on) override;
    void startMotion(int number) override;
    bool loadClip(const std::string& path) override;

    // SceneDrawer
    void setUp() override;
    void drawFrame() override;
    bool pick(int x, int y) override;
    bool projectedBounds(ProjectedBounds& bounds) const override;
    void beginTurn() override;
    void turnBy(float yawDegrees, float pitchDegrees) override;
    void endTurn() override;

    // The per-frame update: music position, dance, clip overlay, character poses, textures.
    void update();
    // Poses everything at dance time `time` without the music (used by offline rendering).
    void updateAt(std::uint32_t time);

    bool playing() const { return playing_; }
    bool hasDance() const { return dance_ != nullptr; }
    std::size_t clipCount() const { return clips_.size(); }
    bool clipRunning() const { return clip_.running(); }
    const DanceSequence* dance() const { return dance_.get(); }
    std::size_t modelCount() const { return models_.size(); }
    const CharacterModel& model(std::size_t index) const { return *models_[index]; }
    MusicPlayer& music() { return *music_; }
    SceneRenderer* renderer() { return renderer_.get(); }
    ViewRotation& viewRotation() { return rotation_; }
    std::uint32_t lastUpdateTime() const { return lastTime_; }
    // Whether the dance is laid on the beats of a song that is not its own.
    bool retimed() const { return retiming_.active(); }
    const DanceRetiming& retiming() const { return retiming_; }
    // The beats found for the song now playing when it is not the dance's own; empty until
    // they are found (they arrive between frames, as the music player's notifications do).
    const BeatTrack& songBeats() const { return songBeats_; }

private:
    void releaseModels();
    void bindPerformers();
    void startSound(const std::string& fullPath);
    void startDanceSong(const std::string& fullPath);
    void tellSongStarted();
    // A song that is not the dance's own: its beats are looked for, and until they come the
    // dance keeps its own timing.
    void findSongBeats(const std::string& fullPath);
    void forgetSongBeats();
    // Between frames: takes beats that were found and lays the dance on them.
    void takeFoundBeats();
    void retime();
    std::filesystem::path charactersFolder() const;

    SceneContent content_;
    std::filesystem::path programFolder_;
    GlProcAddressLoader glLoader_ = nullptr;
    std::function<void(const std::string&, const std::string&)> songStarted_;
    std::string songPath_;  // full path of the current song
    std::string danceSongPath_;  // full path of the song the current dance brought
    std::unique_ptr<MusicPlayer> music_;
    std::unique_ptr<SceneRenderer> renderer_;
    ViewRotation rotation_;
    bool shadow_ = true;

    std::vector<std::unique_ptr<CharacterModel>> models_;
    std::filesystem::path modelFolder_;  // where the current character's textures are found
    std::vector<CharacterPerformer> performers_;
    std::vector<ModelTextures> textures_;
    std::unique_ptr<DanceSequence> dance_;
    std::uint32_t danceLength_ = 0;  // of the current dance, kept from its load
    std::vector<DanceSequence> clips_;
    ClipOverlay clip_;
    bool playing_ = false;
    std::uint32_t lastTime_ = 0;
    BackgroundBeatFinder beatFinder_;
    BeatTrack songBeats_;
    DanceRetiming retiming_;
};

}  // namespace kavelune
