#pragma once

#include <string>

namespace kavelune {

// What the window commands ask of the scene. Paths are stored content paths (relative to the
// program folder, or absolute). Loaders report their own failures to the user.
class SceneControl {
public:
    virtual ~SceneControl() = default;

    // False until the scene exists; the commands that need it do nothing meanwhile.
    virtual bool hasScene() const = 0;

    virtual bool loadCharacter(const std::string& path) = 0;
    // Also loads the dance's song; playing goes on when it was playing.
    virtual bool loadDance(const std::string& path) = 0;
    // Starts at once when the scene is playing.
    virtual bool loadSound(const std::string& path) = 0;

    virtual void play() = 0;
    // Holds the music and with it the dance; play goes on from there.
    virtual void pause() = 0;
    // Stops the music and puts song and dance back to their start.
    virtual void stop() = 0;

    virtual void setShadow(bool on) = 0;
    virtual void startMotion(int number) = 0;
};

}  // namespace kavelune
