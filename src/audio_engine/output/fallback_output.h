#pragma once

#include <functional>
#include <memory>
#include <string>

#include "audio_engine/output/audio_output.h"

namespace kavelune::engine {

// Opens the preferred output; until that has opened once, an open it refuses falls back (told
// once through `notice`), so the song keeps its timing even with no sound server running, and
// the next open tries the preferred output again.
class FallbackOutput : public AudioOutput {
public:
    FallbackOutput(std::unique_ptr<AudioOutput> preferred, std::unique_ptr<AudioOutput> fallback,
                   std::function<void()> notice)
        : preferred_(std::move(preferred)), fallback_(std::move(fallback)), notice_(std::move(notice)) {}

    bool open(const AudioFormat& format) override;
    bool isOpen() const override { return active_ != nullptr && active_->isOpen(); }
    bool write(const std::int16_t* frames, std::size_t count) override;
    std::int64_t discard() override { return active_ ? active_->discard() : 0; }
    bool unheardFrames(std::int64_t& frames) override {
        frames = 0;
        return active_ != nullptr && active_->unheardFrames(frames);
    }
    void drain() override {
        if (active_) active_->drain();
    }
    void close() override {
        if (active_) active_->close();
    }
    bool usingFallback() const { return active_ == fallback_.get(); }

private:
    std::unique_ptr<AudioOutput> preferred_;
    std::unique_ptr<AudioOutput> fallback_;
    std::function<void()> notice_;
    AudioOutput* active_ = nullptr;
    bool preferredEverOpened_ = false;
    bool noticeGiven_ = false;
};

}  // namespace kavelune::engine
