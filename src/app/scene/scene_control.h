#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kavelune {

// What a dance load brought with it, for the launch settings to keep.
struct LoadedDance {
    // Stored paths of the motion pool files the dance needs (the invitation mail packs them).
    std::vector<std::string> danceFiles;
    // "Sounds\" + the dance's own song, when the song came from the dance rather than from the
    // dance-to-song table.
    std::optional<std::string> sound;
};

// What the window commands ask of the scene. Paths are stored content paths (relative to the
// program folder, or absolute). Loaders report their own failures to the user and change no
// settings: the caller stores what they loaded.
class SceneControl {
public:
    virtual ~SceneControl() = default;

    virtual bool loadCharacter(const std::string& path) = 0;
    // Also loads the dance's song; playing goes on when it was playing. Nothing when the dance
    // was refused (the current one stays).
    virtual std::optional<LoadedDance> loadDance(const std::string& path) = 0;
    // Starts at once when the scene is playing.
    virtual bool loadSound(const std::string& path) = 0;

    virtual void play() = 0;
    // Holds the music and with it the dance.
    virtual void pause() = 0;
    // Goes on from where pause held.
    virtual void resume() = 0;
    virtual bool paused() const = 0;
    // Stops the music and puts song and dance back to their start.
    virtual void stop() = 0;

    virtual void setShadow(bool on) = 0;
    virtual void startMotion(int number) = 0;
    // Adds the dance at `path` to the clips that startMotion numbers, after those loaded before.
    // False, silently, when it is no dance that can be played.
    virtual bool loadClip(const std::string& path) = 0;
};

}  // namespace kavelune
