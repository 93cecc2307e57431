#pragma once

// A real engine player driven from a test: notifications are pumped into a recorder, and the
// test waits for what it expects with a deadline instead of sleeping.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "audio_engine/engine_codes.h"
#include "audio_engine/engine_player.h"
#include "audio_engine/player_wrapper.h"

namespace kavelune::testing {

struct RecordedFailure {
    int command;
    int error;
};

class NotificationRecorder : public engine::PlayerWrapper {
public:
    void onReady() override { ++readyCount; }
    void onCommandDone(int command) override { done.push_back(command); }
    void onCommandFailed(int command, int error) override { failed.push_back({command, error}); }
    void onPlayerState(int state) override { states.push_back(state); }
    void onInputDuration(int seconds) override { durations.push_back(seconds); }

    int doneCount(int command) const {
        int n = 0;
        for (int c : done) n += c == command;
        return n;
    }
    int lastState() const { return states.empty() ? engine::kStateStopped : states.back(); }

    int readyCount = 0;
    std::vector<int> done;
    std::vector<RecordedFailure> failed;
    std::vector<int> states;
    std::vector<int> durations;
};

class EngineHarness {
public:
    explicit EngineHarness(engine::EngineModules modules)
        : queue_(std::make_shared<engine::NotificationQueue>()),
          player_(engine::EnginePlayer::create(queue_, std::move(modules))) {}

    engine::EnginePlayer& player() { return *player_; }
    NotificationRecorder& recorded() { return recorder_; }
    void shutDown() { player_.reset(); }

    void pump() {
        engine::Notification notification;
        while (queue_->tryTake(notification)) recorder_.dispatch(notification);
    }

    template <typename Condition>
    bool waitFor(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            pump();
            if (condition(recorder_)) return true;
            if (std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // Waits until `count` commands of this code have been answered, done or failed.
    bool waitForAnswers(int command, int count = 1) {
        return waitFor([&](const NotificationRecorder& r) {
            int n = r.doneCount(command);
            for (const auto& f : r.failed) n += f.command == command;
            return n >= count;
        });
    }

private:
    std::shared_ptr<engine::NotificationQueue> queue_;
    std::unique_ptr<engine::EnginePlayer> player_;
    NotificationRecorder recorder_;
};

}  // namespace kavelune::testing
