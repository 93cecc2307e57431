// kvl play FILE [--output pulse|null|wav:PATH] [--seconds S] [--json]: plays or renders a sound
// through the audio engine and prints the notifications the engine answered with.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "arguments.h"
#include "audio_engine/engine_codes.h"
#include "audio_engine/engine_modules.h"
#include "audio_engine/engine_player.h"
#include "audio_engine/player_wrapper.h"
#include "command.h"
#include "json_output.h"

namespace kvl {

namespace {

namespace engine = kavelune::engine;

// Set once the engine exists; the limited output stops the player through it.
struct StopLink {
    std::atomic<bool> reached{false};
    std::atomic<engine::EnginePlayer*> player{nullptr};
};

// Lets through the first S seconds of sound and waits until they have been heard, then stops
// the player before it decodes further, so `--seconds` cuts the song at the same place on
// every output.
class LimitedOutput : public engine::AudioOutput {
public:
    LimitedOutput(std::unique_ptr<engine::AudioOutput> inner, double seconds, std::shared_ptr<StopLink> link)
        : inner_(std::move(inner)), seconds_(seconds), link_(std::move(link)) {}

    bool open(const engine::AudioFormat& format) override {
        if (remaining_ < 0) {
            remaining_ = static_cast<std::int64_t>(seconds_ * format.rate);
        }
        return inner_->open(format);
    }
    bool isOpen() const override { return inner_->isOpen(); }
    bool write(const std::int16_t* frames, std::size_t count) override {
        if (remaining_ == 0) {
            return true;
        }
        const auto take = static_cast<std::size_t>(std::min<std::int64_t>(remaining_, static_cast<std::int64_t>(count)));
        bool ok = inner_->write(frames, take);
        remaining_ -= static_cast<std::int64_t>(take);
        if (remaining_ == 0) {
            inner_->drain();
            link_->reached.store(true);
            // Posted from the player thread itself: it is taken before the next chunk.
            if (engine::EnginePlayer* player = link_->player.load()) player->send(engine::kCommandStop);
        }
        return ok;
    }
    std::int64_t discard() override { return inner_->discard(); }
    void drain() override { inner_->drain(); }
    void close() override { inner_->close(); }

private:
    std::unique_ptr<engine::AudioOutput> inner_;
    double seconds_;
    std::shared_ptr<StopLink> link_;
    std::int64_t remaining_ = -1;
};

struct Failure {
    int command = 0;
    int error = 0;
};

// Collects what the engine reports.
class Recorder : public engine::PlayerWrapper {
public:
    void onCommandDone(int command) override { done.push_back(command); }
    void onCommandFailed(int command, int error) override { failed.push_back({command, error}); }
    void onPlayerState(int state) override { states.push_back(state); }
    // A length of 0 is the engine's "not known" (a failed open, a stream without length).
    void onInputDuration(int seconds) override {
        if (seconds > 0) durationSeconds = seconds;
        else durationSeconds.reset();
    }

    bool finished(int command) const {
        for (int c : done) if (c == command) return true;
        for (const Failure& f : failed) if (f.command == command) return true;
        return false;
    }
    bool failedCommand(int command) const {
        for (const Failure& f : failed) if (f.command == command) return true;
        return false;
    }

    std::vector<int> done;
    std::vector<Failure> failed;
    std::vector<int> states;
    std::optional<int> durationSeconds;
};

// Pumps notifications until `until` holds or the deadline passes; false on the deadline.
template <typename Condition>
bool pumpUntil(engine::NotificationQueue& queue, Recorder& recorder, Condition until,
               std::chrono::steady_clock::time_point deadline) {
    engine::Notification notification;
    for (;;) {
        while (queue.tryTake(notification)) {
            recorder.dispatch(notification);
        }
        if (until()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void printReport(const Recorder& recorder, bool json) {
    if (json) {
        nlohmann::ordered_json report;
        report["duration_s"] = recorder.durationSeconds ? nlohmann::ordered_json(*recorder.durationSeconds)
                                                        : nlohmann::ordered_json(nullptr);
        report["states"] = recorder.states;
        nlohmann::ordered_json failed = nlohmann::ordered_json::array();
        for (const Failure& f : recorder.failed) {
            failed.push_back({{"command", f.command}, {"error", f.error}, {"text", engine::errorText(f.error)}});
        }
        report["failed"] = failed;
        std::cout << jsonText(report, -1) << "\n";
        return;
    }
    if (recorder.durationSeconds) {
        std::cout << "duration " << *recorder.durationSeconds << " s\n";
    }
    for (int state : recorder.states) {
        std::cout << "state " << state << "\n";
    }
    for (const Failure& f : recorder.failed) {
        std::cout << "command " << f.command << " failed: " << engine::errorText(f.error) << " ("
                  << f.error << ")\n";
    }
}

int runPlay(const std::vector<std::string>& args) {
    Arguments arguments(args, {"output", "seconds"}, {"json"});
    if (!arguments.ok()) {
        return fail("play", arguments.error(), kExitUsage);
    }
    if (arguments.positionals().size() != 1) {
        return fail("play", "needs exactly one sound file", kExitUsage);
    }
    engine::OutputChoice choice = engine::outputChoiceFromEnvironment();
    if (auto text = arguments.value("output")) {
        auto parsed = engine::parseOutputChoice(*text);
        if (!parsed) {
            return fail("play", "--output must be pulse, null or wav:PATH", kExitUsage);
        }
        choice = *parsed;
    }
    std::optional<double> seconds;
    if (auto text = arguments.value("seconds")) {
        try {
            std::size_t used = 0;
            seconds = std::stod(*text, &used);
            if (used != text->size() || !(*seconds > 0.0)) throw std::invalid_argument(*text);
        } catch (const std::exception&) {
            return fail("play", "--seconds needs a positive number", kExitUsage);
        }
    }

    auto link = std::make_shared<StopLink>();
    engine::EngineModules modules = engine::modulesWithOutput(choice);
    if (seconds) {
        auto makeInner = modules.makeOutput;
        double limit = *seconds;
        modules.makeOutput = [makeInner, limit, link] {
            return std::make_unique<LimitedOutput>(makeInner(), limit, link);
        };
    }
    auto queue = std::make_shared<engine::NotificationQueue>();
    Recorder recorder;
    {
        auto player = engine::EnginePlayer::create(queue, std::move(modules));
        if (!player) {
            return fail("play", "the audio engine cannot be started");
        }
        link->player.store(player.get());
        using Clock = std::chrono::steady_clock;
        const auto openDeadline = Clock::now() + std::chrono::seconds(30);
        player->sendInputOpen(arguments.positionals()[0]);
        pumpUntil(*queue, recorder, [&] { return recorder.finished(engine::kCommandInputOpen); }, openDeadline);
        if (recorder.finished(engine::kCommandInputOpen) && !recorder.failedCommand(engine::kCommandInputOpen)) {
            player->send(engine::kCommandPlay);
            auto ended = [&] {
                return link->reached.load() || recorder.failedCommand(engine::kCommandPlay) ||
                       (!recorder.states.empty() && recorder.states.back() == engine::kStateEndOfStream);
            };
            pumpUntil(*queue, recorder, ended, Clock::time_point::max());
            if (link->reached.load()) {
                pumpUntil(*queue, recorder, [&] { return recorder.finished(engine::kCommandStop); },
                          Clock::now() + std::chrono::seconds(10));
            }
        }
    }  // the player sends Exit and waits for its thread, so a rendered file is complete
    engine::Notification notification;
    while (queue->tryTake(notification)) {
        recorder.dispatch(notification);
    }
    printReport(recorder, arguments.flag("json"));
    return recorder.failed.empty() ? kExitOk : kExitFailed;
}

Command registration("play", "FILE [--output pulse|null|wav:PATH] [--seconds S] [--json]", runPlay);

}  // namespace

}  // namespace kvl
