#include "music/music_player.h"

#include <algorithm>

#include "audio_engine/engine_codes.h"
#include "motion/playback_clock.h"
#include "music/audio_engine_exception.h"

namespace kavelune {

namespace {

bool isScrambledSongPath(const std::string& path) {
    return path.find(".emp") != std::string::npos || path.find(".EMP") != std::string::npos;
}

// Clock readings in whole milliseconds, wrapped to 32 bits; differences of two of them are
// right across the wrap.
std::uint32_t wholeMilliseconds(double reading) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::max(0.0, reading)));
}

}  // namespace

MusicPlayer::MusicPlayer(WindowCommandSink owner, PlaybackClock& clock, MusicPlayerOptions options)
    : owner_(std::move(owner)), clock_(clock), empCache_(std::move(options.findCacheFolder)) {
    try {
        engine_ = std::make_unique<AudioEngineClient>(owner_, options.engine);
    } catch (const AudioEngineException&) {
        engine_.reset();  // the user has been told; the program goes on without music
    }
}

MusicPlayer::~MusicPlayer() {
    if (engine_) {
        engine_->send(engine::kCommandStop);
    }
    clock_.reset();
    engine_.reset();
}

bool MusicPlayer::Load(const std::string& path) {
    if (path == lastPath_) {
        return true;  // the same song is not reopened
    }
    std::string fileToPlay = path;
    if (isScrambledSongPath(path)) {
        std::filesystem::path copy;
        switch (empCache_.prepare(path, copy)) {
            case EmpCache::Result::Ready: break;
            case EmpCache::Result::SourceUnreadable: lastPath_.clear(); return false;
            case EmpCache::Result::NoFolder:
            case EmpCache::Result::TargetUnwritable: return false;
        }
        fileToPlay = copy.string();
    }
    lastPath_ = path;
    playingFile_ = fileToPlay;
    if (!hasEngine()) {
        return false;
    }
    engine_->sendInputOpen(fileToPlay);
    position_ = 0;
    return true;
}

void MusicPlayer::Play() {
    if (hasEngine()) {
        // The state is the last one reported, so right after a Stop it can still be playing.
        const int state = engine_->state();
        if (state == engine::kStatePlaying) {
            engine_->send(engine::kCommandPause);
            engine_->send(engine::kCommandPlay);
        } else if (state >= engine::kStateStopped && state <= engine::kStateEndOfStream) {
            engine_->send(engine::kCommandPlay);
        }
    }
    startTime_ = clockNow();
    playing_ = true;
    paused_ = false;
}

std::uint32_t MusicPlayer::clockNow() {
    // A clock reset by an earlier player would otherwise never run again.
    double reading = clock_.read();
    if (!clock_.running()) {
        clock_.start();
        reading = clock_.read();
    }
    return wholeMilliseconds(reading);
}

void MusicPlayer::Resume() {
    if (!paused_) {
        return;
    }
    if (hasEngine()) {
        engine_->send(engine::kCommandPlay);
    }
    startTime_ = clockNow() - position_;
    playing_ = true;
    paused_ = false;
}

void MusicPlayer::Stop() {
    if (hasEngine()) {
        engine_->send(engine::kCommandStop);
    }
    position_ = 0;
    playing_ = false;
    paused_ = false;
    Rewind();
}

void MusicPlayer::Rewind() {
    if (hasEngine()) {
        engine_->send(engine::kCommandSeek, 0, 10);
    }
}

void MusicPlayer::Pause() {
    if (!engine_) {
        return;
    }
    engine_->send(engine::kCommandPause);
    // A second Pause keeps the frozen place instead of jumping to the time since Play.
    if (playing_) {
        position_ = elapsed();
    }
    playing_ = false;
    paused_ = true;
}

std::uint32_t MusicPlayer::elapsed() { return wholeMilliseconds(clock_.read()) - startTime_; }

std::uint32_t MusicPlayer::Position() {
    if (!engine_) {
        return 0;
    }
    if (!playing_) {
        return position_;
    }
    position_ = elapsed();
    const std::int64_t limit = std::max<std::int64_t>(engine_->songLength(), DanceLength);
    if (static_cast<std::int64_t>(position_) > limit) {
        Stop();
        if (owner_) {
            owner_(kEndOfSongCommand, std::string());
        }
        Rewind();
    }
    return position_;
}

void MusicPlayer::setNotificationWake(std::function<void()> wake) {
    if (engine_) {
        engine_->notificationTarget().setWakeHandler(std::move(wake));
    }
}

void MusicPlayer::pumpNotifications() {
    if (engine_) {
        engine_->pump();
    }
}

}  // namespace kavelune
