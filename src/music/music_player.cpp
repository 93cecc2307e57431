#include "music/music_player.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "audio_engine/engine_codes.h"
#include "motion/playback_clock.h"
#include "music/audio_engine_exception.h"

namespace kavelune {

namespace {

bool isScrambledSongPath(const std::string& path) {
    return path.find(".emp") != std::string::npos || path.find(".EMP") != std::string::npos;
}

// While sound is still queued, the heard time is carried on from the output's last report for
// at most this long: the engine reports after every chunk it hands over (about 23 ms), so a
// report older than this means the output has stalled and the heard time stands still.
constexpr double kLongestCarryOnMs = 80.0;

// The shown time as the unsigned 32-bit count the interface has.
std::uint32_t wholeMilliseconds(double time) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::max(0.0, time)));
}

}  // namespace

MusicPlayer::MusicPlayer(WindowCommandSink owner, PlaybackClock& clock, MusicPlayerOptions options)
    : owner_(std::move(owner)), clock_(clock), empCache_(std::move(options.findCacheFolder)),
      audioOffsetMs_(options.audioOffsetMs) {
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
    std::uint64_t play = 0;
    if (hasEngine()) {
        // The state is the last one reported, so right after a Stop it can still be playing.
        const int state = engine_->state();
        if (state == engine::kStatePlaying) {
            engine_->send(engine::kCommandPause);
            play = engine_->send(engine::kCommandPlay);
        } else if (state >= engine::kStateStopped && state <= engine::kStateEndOfStream) {
            play = engine_->send(engine::kCommandPlay);
        }
    }
    startFollowing(play, 0);
    playing_ = true;
    paused_ = false;
}

double MusicPlayer::clockNow() {
    // A clock reset by an earlier player would otherwise never run again.
    double reading = clock_.read();
    if (!clock_.running()) {
        clock_.start();
        reading = clock_.read();
    }
    // Whole milliseconds, as the count has always been taken.
    return std::floor(std::max(0.0, reading));
}

void MusicPlayer::startFollowing(std::uint64_t command, std::uint32_t from) {
    followFrom_ = command;
    follower_.restart(clockNow(), from);
}

void MusicPlayer::Resume() {
    if (!paused_) {
        return;
    }
    std::uint64_t play = 0;
    if (hasEngine()) {
        play = engine_->send(engine::kCommandPlay);
    }
    startFollowing(play, position_);
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
    followFrom_ = 0;
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
        position_ = advance();
    }
    playing_ = false;
    paused_ = true;
}

std::optional<double> MusicPlayer::heardTime() const {
    if (followFrom_ == 0 || !hasEngine()) {
        return std::nullopt;
    }
    const engine::OutputSnapshot output = engine_->progress()->snapshot();
    if (output.commandsHandled < followFrom_ || !output.heard || output.rate <= 0) {
        return std::nullopt;  // nothing heard yet on this run: the clock leads
    }
    double heard = static_cast<double>(output.heardFrame) * 1000.0 / output.rate;
    if (output.advancing) {
        using Milliseconds = std::chrono::duration<double, std::milli>;
        double since = std::max(0.0, Milliseconds(std::chrono::steady_clock::now() - output.measuredAt).count());
        if (!output.ended) {
            // Sound queued after the heard frame plays on; past the report's age limit, or past
            // the last frame handed over, the output has stalled.
            const double handed = static_cast<double>(output.handedFrame) * 1000.0 / output.rate;
            heard = std::min(heard + std::min(since, kLongestCarryOnMs), std::max(heard, handed));
        } else {
            heard += since;  // the song is over: its time runs on in silence
        }
    }
    return std::max(0.0, heard - audioOffsetMs_);
}

std::uint32_t MusicPlayer::advance() { return wholeMilliseconds(follower_.advance(clockNow(), heardTime())); }

std::int64_t MusicPlayer::songLength() const {
    if (!engine_) {
        return 0;
    }
    return engine_->exactSongLength() > 0 ? engine_->exactSongLength() : engine_->songLength();
}

std::uint32_t MusicPlayer::Position() {
    if (!engine_) {
        return 0;
    }
    if (!playing_) {
        return position_;
    }
    position_ = advance();
    const std::int64_t limit = std::max<std::int64_t>(songLength(), DanceLength);
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
    if (betweenFrames_) {
        betweenFrames_();
    }
}

}  // namespace kavelune
