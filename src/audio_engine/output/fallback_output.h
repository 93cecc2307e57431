#pragma once

#include <functional>
#include <memory>
#include <string>

#include "audio_engine/output/audio_output.h"

namespace kavelune::engine {

// Opens the preferred output; when that cannot be opened the first time, reports it once
// through `notice` and uses the fallback from then on, so the song keeps its timing even with
// no sound server running.
class FallbackOutput : public AudioOutput {
public:
    FallbackOutput(std::unique_ptr<AudioOutput> preferred, std::unique_ptr<AudioOutput> fallback,
                   std::function<void()> notice)
        : preferred_(std::move(preferred)), fallback_(std::move(fallback)), notice_(std::move(notice)) {}

    bool open(const AudioFormat& format) override;
    bool isOpen() const override { return active_ != nullptr && active_->isOpen(); }
    bool write(const std::int16_t* frames, std::size_t count) override;
    std::int64_t discard() override { return active_ ? active_->discard() : 0; }
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
};

}  // namespace kavelune::engine
