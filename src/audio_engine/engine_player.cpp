#include "audio_engine/engine_player.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>

#include "audio_engine/command_queue.h"
#include "audio_engine/engine_codes.h"
#include "audio_engine/player_core.h"

namespace kavelune::engine {

namespace {

// A little above normal, like the highest normal priority a desktop system gives a thread.
constexpr int kRaisedNiceness = -5;

// Where the system allows it; an unprivileged user keeps the normal priority.
void raiseThreadPriority() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kRaisedNiceness);
}

}  // namespace

struct EnginePlayer::Shared {
    CommandQueue commands;
    std::atomic<std::uint64_t> sequence{0};
    std::shared_ptr<NotificationQueue> notifications;
    OutputProgress progress;
    EngineModules modules;
    std::mutex finishedMutex;
    std::condition_variable finishedSignal;
    bool finished = false;
};

std::unique_ptr<EnginePlayer> EnginePlayer::create(std::shared_ptr<NotificationQueue> notifications,
                                                   EngineModules modules) {
    auto shared = std::make_shared<Shared>();
    shared->notifications = std::move(notifications);
    shared->modules = std::move(modules);
    std::unique_ptr<EnginePlayer> player(new EnginePlayer(shared));
    try {
        player->thread_ = std::thread([shared] {
            pthread_setname_np(pthread_self(), "kvl-audio");
            raiseThreadPriority();
            {
                PlayerCore core(shared->commands, *shared->notifications, shared->progress,
                                std::move(shared->modules));
                core.run();
            }
            std::lock_guard lock(shared->finishedMutex);
            shared->finished = true;
            shared->finishedSignal.notify_all();
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return player;
}

EnginePlayer::~EnginePlayer() {
    if (!thread_.joinable()) {
        return;  // the thread never started
    }
    send(kCommandExit);
    bool finished = false;
    {
        std::unique_lock lock(shared_->finishedMutex);
        finished = shared_->finishedSignal.wait_for(lock, std::chrono::milliseconds(kExitWaitMilliseconds),
                                                    [this] { return shared_->finished; });
    }
    if (finished) {
        thread_.join();
    } else {
        thread_.detach();
    }
}

std::uint64_t EnginePlayer::send(EngineCommand command) {
    // Numbered under the queue's order: a command posted later never has a smaller number.
    return shared_->commands.post(std::move(command), shared_->sequence);
}

std::uint64_t EnginePlayer::send(int code, int first, int second) {
    return send(EngineCommand{code, first, second, {}, 0});
}

std::uint64_t EnginePlayer::sendInputOpen(const std::string& name) {
    return send(EngineCommand{kCommandInputOpen, 0, 0, name, 0});
}

const OutputProgress& EnginePlayer::progress() const { return shared_->progress; }

}  // namespace kavelune::engine
