#include "audio_engine/player_core.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "audio_engine/codec/open_decoder.h"
#include "audio_engine/engine_codes.h"

namespace kavelune::engine {

namespace {

// About 23 ms at 44.1 kHz: commands are looked at between chunks, so this bounds how long a
// command waits while a song plays.
constexpr std::size_t kChunkFrames = 1024;
constexpr std::size_t kMaxChannels = 8;
// While the last sound drains, the heard place is measured this often, so the dance follows
// the song to its very end.
constexpr auto kDrainMeasureInterval = std::chrono::milliseconds(10);
// A device that says its last frames are still queued for longer than this is not waited for.
constexpr auto kLongestDrainWait = std::chrono::seconds(2);

}  // namespace

PlayerCore::PlayerCore(CommandQueue& commands, NotificationQueue& notifications,
                       OutputProgress& progress, EngineModules modules)
    : commands_(commands), notifications_(notifications), progress_(progress),
      modules_(std::move(modules)), chunk_(kChunkFrames * kMaxChannels) {
    output_ = modules_.makeOutput();
}

PlayerCore::~PlayerCore() {
    if (output_) {
        output_->discard();
        output_->close();
    }
}

void PlayerCore::run() {
    notifications_.post({kNotifyReady, 0, 0});
    EngineCommand command;
    for (;;) {
        if (state_ == kStatePlaying) {
            while (commands_.tryTake(command)) {
                if (!handle(command)) {
                    return;
                }
            }
            if (state_ == kStatePlaying) {
                playChunk();
            }
        } else {
            commands_.take(command);
            if (!handle(command)) {
                return;
            }
        }
    }
}

bool PlayerCore::handle(const EngineCommand& command) {
    if (command.code == kCommandExit) {
        return false;
    }
    carryOut(command);
    progress_.publishCommandHandled(command.sequence);
    return true;
}

void PlayerCore::carryOut(const EngineCommand& command) {
    switch (command.code) {
        case kCommandPlay: play(); break;
        case kCommandPause: pause(); break;
        case kCommandStop: stop(); break;
        case kCommandSeek: seek(command.first, command.second); break;
        case kCommandInputOpen: openInput(command.text); break;
        case kCommandSetPlayerMode:
            mode_ = command.first;
            done(command.code);
            break;
        default: fail(command.code, kErrorUnknownCommand); break;
    }
}

void PlayerCore::play() {
    if (!decoder_) {
        int error = kErrorNoInput;
        if (lastInputName_.empty() || !openDecoderFor(lastInputName_, error)) {
            fail(kCommandPlay, error);
            return;
        }
    }
    if (state_ == kStateEndOfStream) {
        moveTo(0);  // playing a finished song again starts it over
    }
    if (!openOutputForInput()) {
        fail(kCommandPlay, kErrorOutputOpen);
        setState(kStateStopped);
        return;
    }
    setState(kStatePlaying);
    done(kCommandPlay);
}

void PlayerCore::pause() {
    if (!decoder_) {
        fail(kCommandPause, kErrorNoInput);
        return;
    }
    if (state_ == kStatePlaying) {
        takeBackUnheard();
        if (mode_ & kModeCloseOutputOnPause) {
            output_->close();
        }
    }
    progress_.publish(position_, decoder_->format().rate);  // nothing is heard while paused
    setState(kStatePaused);
    done(kCommandPause);
}

void PlayerCore::stop() {
    if (!decoder_) {
        fail(kCommandStop, kErrorNoInput);
        return;
    }
    output_->discard();
    if (mode_ & kModeCloseOutputOnStop) {
        output_->close();
    }
    if (!decoder_->seekToFrame(0)) {
        closeInput();  // a stream that cannot go back is opened afresh by the next Play
        progress_.publish(0, 0);
    } else {
        position_ = 0;
        progress_.publish(0, decoder_->format().rate);
    }
    setState(kStateStopped);
    done(kCommandStop);
}

void PlayerCore::seek(int offset, int range) {
    if (range <= 0 || offset < 0 || offset > range) {
        fail(kCommandSeek, kErrorBadArgument);
        return;
    }
    if (!decoder_) {
        fail(kCommandSeek, kErrorNoInput);
        return;
    }
    const std::int64_t length = decoder_->lengthFrames();
    if (length < 0) {
        fail(kCommandSeek, kErrorBadArgument);  // a stream has no length to seek in
        return;
    }
    if (state_ == kStatePlaying) {
        output_->discard();
    }
    const std::int64_t target = length * offset / range;
    if (!decoder_->seekToFrame(target)) {
        fail(kCommandSeek, kErrorUnsupportedData);
        return;
    }
    position_ = target;
    progress_.publish(position_, decoder_->format().rate);
    if (state_ == kStateEndOfStream) {
        setState(kStateStopped);
    }
    done(kCommandSeek);
}

void PlayerCore::openInput(const std::string& name) {
    if (state_ == kStatePlaying) {
        output_->discard();  // the new song starts at once, without the old one's tail
    }
    closeInput();
    // The new name is the one a later Play retries, even when it fails now: the old song must
    // not come back under the new one's dance.
    lastInputName_ = name;
    int error = kErrorInputOpen;
    if (!openDecoderFor(name, error)) {
        // Nothing to play: the old song's length no longer holds, and the output is let go.
        notifications_.post({kNotifyInputDuration, 0, 0});
        output_->close();
        fail(kCommandInputOpen, error);
        setState(kStateStopped);
        return;
    }
    const std::int64_t length = decoder_->lengthFrames();
    const std::int64_t rate = decoder_->format().rate;
    // Whole seconds first, as the interface has always said; the exact milliseconds beside them
    // (rounded up, so a song is never cut before its last frame), capped where an int ends.
    const std::int64_t milliseconds = length >= 0 ? std::min<std::int64_t>((length * 1000 + rate - 1) / rate, 0x7fffffff) : 0;
    notifications_.post({kNotifyInputDuration, length >= 0 ? static_cast<int>(length / rate) : 0,
                         static_cast<int>(milliseconds)});
    if (state_ == kStatePlaying) {
        if (!openOutputForInput()) {
            fail(kCommandInputOpen, kErrorOutputOpen);
            setState(kStateStopped);
            return;
        }
    } else {
        setState(kStateStopped);
    }
    done(kCommandInputOpen);
}

bool PlayerCore::openDecoderFor(const std::string& name, int& error) {
    std::unique_ptr<ByteSource> source = modules_.openInput ? modules_.openInput(name) : nullptr;
    if (!source) {
        error = kErrorInputOpen;
        return false;
    }
    decoder_ = openDecoder(std::move(source), error);
    if (!decoder_) {
        return false;
    }
    if (static_cast<std::size_t>(decoder_->format().channels) > kMaxChannels) {
        decoder_.reset();
        error = kErrorUnsupportedData;
        return false;
    }
    lastInputName_ = name;
    position_ = 0;
    progress_.publish(0, decoder_->format().rate);
    return true;
}

bool PlayerCore::openOutputForInput() {
    const AudioFormat format = decoder_->format();
    const bool sameFormat = format.rate == outputFormat_.rate && format.channels == outputFormat_.channels;
    if (output_->isOpen() && sameFormat) {
        return true;
    }
    if (!output_->open(format)) {
        return false;
    }
    outputFormat_ = format;
    return true;
}

void PlayerCore::moveTo(std::int64_t frame) {
    if (decoder_->seekToFrame(frame)) {
        position_ = frame;
        progress_.publish(position_, decoder_->format().rate);
    }
}

void PlayerCore::takeBackUnheard() {
    const std::int64_t unheard = output_->discard();
    if (unheard > 0) {
        moveTo(std::max<std::int64_t>(0, position_ - unheard));
    }
}

void PlayerCore::closeInput() {
    decoder_.reset();
    position_ = 0;
}

void PlayerCore::playChunk() {
    const std::size_t frames = decoder_->read(chunk_.data(), kChunkFrames);
    if (frames == 0) {
        reachEndOfStream();
        return;
    }
    if (!output_->write(chunk_.data(), frames)) {
        fail(kCommandPlay, kErrorOutputOpen);
        output_->close();
        setState(kStateStopped);
        return;
    }
    position_ += static_cast<std::int64_t>(frames);
    publishHeard(false);
}

bool PlayerCore::publishHeard(bool ended) {
    const int rate = decoder_->format().rate;
    const auto before = std::chrono::steady_clock::now();
    std::int64_t unheard = 0;
    if (!output_->unheardFrames(unheard)) {
        progress_.publish(position_, rate);  // an output that cannot tell: only what was handed
        return false;
    }
    // The device answered somewhere between the two readings; its middle is the best guess.
    const auto after = std::chrono::steady_clock::now();
    const auto at = before + (after - before) / 2;
    progress_.publishHeard(position_, position_ - unheard, rate, at, true, ended && unheard == 0);
    return unheard > 0;
}

void PlayerCore::reachEndOfStream() {
    // Measured while the last sound plays out, so the heard place keeps moving to the end.
    const auto giveUp = std::chrono::steady_clock::now() + kLongestDrainWait;
    while (publishHeard(true) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(kDrainMeasureInterval);
    }
    output_->drain();
    if (progress_.snapshot().heard) {
        // Everything has been heard now; from here the song's time runs on in silence.
        progress_.publishHeard(position_, position_, decoder_->format().rate, std::chrono::steady_clock::now(),
                               true, true);
    }
    if (mode_ & kModeCloseOutputAtEnd) {
        output_->close();
    }
    setState(kStateEndOfStream);
}

void PlayerCore::setState(int state) {
    if (state != state_) {
        state_ = state;
        notifications_.post({kNotifyPlayerState, state, 0});
    }
}

void PlayerCore::fail(int command, int error) {
    notifications_.post({kNotifyCommandFailed, command, error});
}

void PlayerCore::done(int command) { notifications_.post({kNotifyCommandDone, command, 0}); }

}  // namespace kavelune::engine
