#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "audio_engine/engine_command.h"

namespace kavelune::engine {

// Commands posted to the player thread. Posting never blocks the caller.
class CommandQueue {
public:
    void post(EngineCommand command);
    // Posts the command numbered with the next value of `counter`, taken under the queue's
    // lock so numbers rise in queue order; returns the number.
    std::uint64_t post(EngineCommand command, std::atomic<std::uint64_t>& counter);
    // Takes the oldest command without waiting; false when there is none.
    bool tryTake(EngineCommand& out);
    // Waits until a command arrives and takes it.
    void take(EngineCommand& out);

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<EngineCommand> pending_;
};

}  // namespace kavelune::engine
