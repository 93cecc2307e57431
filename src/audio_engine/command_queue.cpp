#include "audio_engine/command_queue.h"

namespace kavelune::engine {

void CommandQueue::post(EngineCommand command) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(command));
    }
    arrived_.notify_one();
}

bool CommandQueue::tryTake(EngineCommand& out) {
    std::lock_guard lock(mutex_);
    if (pending_.empty()) {
        return false;
    }
    out = std::move(pending_.front());
    pending_.pop_front();
    return true;
}

void CommandQueue::take(EngineCommand& out) {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [this] { return !pending_.empty(); });
    out = std::move(pending_.front());
    pending_.pop_front();
}

}  // namespace kavelune::engine
