#include "music/audio_engine_client.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "audio_engine/engine_codes.h"
#include "base/message_box.h"
#include "music/audio_engine_exception.h"

namespace kavelune {

AudioEngineClient::AudioEngineClient(WindowCommandSink owner, const EngineSetup& setup)
    : owner_(std::move(owner)), notifications_(std::make_shared<engine::NotificationQueue>()) {
    const engine::InterfaceVersion version = setup.queryVersion();
    if (version.major != kRequiredMajorVersion || version.minor != kRequiredMinorVersion) {
        showMessageBox("Audio engine API version mismatch", "Audio Engine Error");
        throw AudioEngineException(engine::kErrorVersionMismatch);
    }
    player_ = setup.createPlayer(notifications_, setup.modules());
}

AudioEngineClient::~AudioEngineClient() {
    // Sends Exit and waits for the player thread; notifications still queued are dropped.
    player_.reset();
}

std::uint64_t AudioEngineClient::send(int command, int first, int second) {
    return player_ ? player_->send(command, first, second) : 0;
}

std::uint64_t AudioEngineClient::sendInputOpen(const std::string& file) {
    return player_ ? player_->sendInputOpen(file) : 0;
}

void AudioEngineClient::pump() {
    engine::Notification notification;
    while (notifications_->tryTake(notification)) {
        dispatch(notification);
    }
}

const engine::OutputProgress* AudioEngineClient::progress() const {
    return player_ ? &player_->progress() : nullptr;
}

void AudioEngineClient::onReady() { send(engine::kCommandSetPlayerMode, engine::kModeCloseOutputOnStop); }

void AudioEngineClient::onCommandFailed(int command, int error) {
    char text[256];
    std::snprintf(text, sizeof text, "Command %d failed\n[%s]", command, engine::errorText(error));
    if (owner_) {
        owner_(kEngineFailureCommand, text);
    }
}

void AudioEngineClient::onPlayerState(int state) {
    if (state >= engine::kStateStopped && state <= engine::kStateEndOfStream) {
        state_ = state;
    }
}

void AudioEngineClient::onInputDuration(int seconds) {
    // Past 24 days the milliseconds no longer fit; such a song counts as endless.
    constexpr int kLongestSeconds = std::numeric_limits<int>::max() / 1000;
    songLength_ = std::clamp(seconds, 0, kLongestSeconds) * 1000;
}

void AudioEngineClient::onInputLength(int milliseconds) { exactSongLength_ = std::max(0, milliseconds); }

}  // namespace kavelune
