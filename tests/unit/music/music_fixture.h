#pragma once

// A music player on the real engine (null output, so tests run without a sound server), a
// clock the test moves by hand, and an owner window that records the commands it receives.
// The output keeps real time but does not say what is heard, so the player counts with the
// test's clock as it does before any output has reported.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio_engine/engine_modules.h"
#include "audio_engine/input/file_source.h"
#include "audio_engine/output/null_output.h"
#include "motion/playback_clock.h"
#include "music/music_player.h"
#include "support/temp_folder.h"

namespace kavelune::testing {

class SteppedClock : public PlaybackClock {
public:
    double seconds = 0.0;

protected:
    double secondsSinceStart() const override { return seconds; }
};

struct ReceivedCommand {
    int command;
    std::string text;
};

// The names the engine was asked to open, in order; filled on the player thread.
class OpenedInputs {
public:
    void add(const std::string& name) {
        std::lock_guard lock(mutex_);
        names_.push_back(name);
    }
    std::vector<std::string> names() const {
        std::lock_guard lock(mutex_);
        return names_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> names_;
};

class SilentNullOutput : public engine::NullOutput {
public:
    bool unheardFrames(std::int64_t& frames) override {
        frames = 0;
        return false;
    }
};

class MusicFixture : public ::testing::Test {
protected:
    MusicPlayerOptions options() {
        MusicPlayerOptions options;
        options.findCacheFolder = [cache = folder / "cache"] { return cache; };
        auto opened = opened_;
        options.engine.modules = [opened] {
            auto modules = engine::modulesWithOutput({engine::OutputChoice::Kind::Null, {}});
            modules.makeOutput = [] { return std::make_unique<SilentNullOutput>(); };
            modules.openInput = [opened](const std::string& name) -> std::unique_ptr<engine::ByteSource> {
                opened->add(name);
                return engine::FileSource::open(name);
            };
            return modules;
        };
        return options;
    }

    WindowCommandSink sink() {
        return [this](int command, const std::string& text) { received.push_back({command, text}); };
    }

    int receivedCount(int command) const {
        int n = 0;
        for (const auto& r : received) n += r.command == command;
        return n;
    }

    std::vector<std::string> openedNames() const { return opened_->names(); }

    template <typename Condition>
    static bool pumpUntil(MusicPlayer& player, Condition condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            player.pumpNotifications();
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    TempFolder folder;
    SteppedClock clock;
    std::vector<ReceivedCommand> received;

private:
    std::shared_ptr<OpenedInputs> opened_ = std::make_shared<OpenedInputs>();
};

}  // namespace kavelune::testing
