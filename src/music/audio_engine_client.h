#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio_engine/engine_modules.h"
#include "audio_engine/engine_player.h"
#include "audio_engine/interface_version.h"
#include "audio_engine/notification_queue.h"
#include "audio_engine/player_wrapper.h"
#include "music/window_commands.h"

namespace kavelune {

// What the client is built from. The defaults are the real engine with the modules that
// KAVELUNE_AUDIO chooses; tests give other outputs or inputs.
struct EngineSetup {
    std::function<engine::InterfaceVersion()> queryVersion = engine::interfaceVersion;
    std::function<engine::EngineModules()> modules = engine::standardModules;
    std::function<std::unique_ptr<engine::EnginePlayer>(std::shared_ptr<engine::NotificationQueue>,
                                                        engine::EngineModules)>
        createPlayer = engine::EnginePlayer::create;
};

// The music player's link to the audio engine: it owns one engine player and the queue the
// player's notifications arrive on, and mirrors the player's state and the song's length as
// the user interface thread drains that queue with `pump`.
class AudioEngineClient : public engine::PlayerWrapper {
public:
    static constexpr int kRequiredMajorVersion = 3;
    static constexpr int kRequiredMinorVersion = 8;

    // Throws AudioEngineException(-106) after telling the user when the engine's interface
    // version is not the one this client speaks. A player that cannot be started leaves the
    // client without an engine; see hasEngine.
    AudioEngineClient(WindowCommandSink owner, const EngineSetup& setup = {});
    ~AudioEngineClient() override;
    AudioEngineClient(const AudioEngineClient&) = delete;
    AudioEngineClient& operator=(const AudioEngineClient&) = delete;

    bool hasEngine() const { return player_ != nullptr; }
    // Commands go nowhere without an engine. Each returns the command's sequence number (0
    // without an engine), which the engine's progress reports once it has been carried out.
    std::uint64_t send(int command, int first = 0, int second = 0);
    std::uint64_t sendInputOpen(const std::string& file);

    // Delivers every notification that has arrived; call from the user interface thread.
    void pump();
    // The queue the engine posts to, for installing a wake handler in an event loop.
    engine::NotificationQueue& notificationTarget() { return *notifications_; }
    // Null without an engine.
    const engine::OutputProgress* progress() const;

    int state() const { return state_; }
    int songLength() const { return songLength_; }
    // The open song's exact length in milliseconds; 0 until the engine has told it.
    int exactSongLength() const { return exactSongLength_; }

    void onReady() override;
    void onCommandFailed(int command, int error) override;
    void onPlayerState(int state) override;
    void onInputDuration(int seconds) override;
    void onInputLength(int milliseconds) override;

private:
    WindowCommandSink owner_;
    std::shared_ptr<engine::NotificationQueue> notifications_;
    std::unique_ptr<engine::EnginePlayer> player_;
    int state_ = 0;
    int songLength_ = 0;
    int exactSongLength_ = 0;
};

}  // namespace kavelune
