#pragma once

#include <memory>
#include <string>
#include <thread>

#include "audio_engine/engine_command.h"
#include "audio_engine/engine_modules.h"
#include "audio_engine/notification_queue.h"
#include "audio_engine/output_progress.h"

namespace kavelune::engine {

// One engine player: a thread of its own that decodes and plays, driven by posted commands
// and answering through the notification queue it was given. Sending a command never waits.
class EnginePlayer {
public:
    // How long destruction waits for the player thread after sending Exit.
    static constexpr int kExitWaitMilliseconds = 10'000;

    // Null when the player thread cannot be started.
    static std::unique_ptr<EnginePlayer> create(std::shared_ptr<NotificationQueue> notifications,
                                                EngineModules modules);
    // Sends Exit and waits up to kExitWaitMilliseconds for the thread to end. A thread that
    // does not end in time is left to finish on its own; what it uses stays alive with it.
    ~EnginePlayer();
    EnginePlayer(const EnginePlayer&) = delete;
    EnginePlayer& operator=(const EnginePlayer&) = delete;

    // Each returns the command's sequence number, which progress() reports once the command
    // has been carried out.
    std::uint64_t send(EngineCommand command);
    std::uint64_t send(int code, int first = 0, int second = 0);
    std::uint64_t sendInputOpen(const std::string& name);

    // How far the frames handed to the output reach into the current input, and what is heard.
    const OutputProgress& progress() const;

private:
    struct Shared;
    explicit EnginePlayer(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace kavelune::engine
