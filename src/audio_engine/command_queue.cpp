#include "audio_engine/command_queue.h"

namespace kavelune::engine {

void CommandQueue::post(EngineCommand command) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(command));
    }
    arrived_.notify_one();
}

std::uint64_t CommandQueue::post(EngineCommand command, std::atomic<std::uint64_t>& counter) {
    std::uint64_t sequence = 0;
    {
        std::lock_guard lock(mutex_);
        sequence = counter.fetch_add(1, std::memory_order_relaxed) + 1;
        command.sequence = sequence;
        pending_.push_back(std::move(command));
    }
    arrived_.notify_one();
    return sequence;
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
