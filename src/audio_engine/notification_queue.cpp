#include "audio_engine/notification_queue.h"

namespace kavelune::engine {

void NotificationQueue::post(const Notification& notification) {
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(notification);
        wake = wake_;
    }
    if (wake) {
        wake();
    }
}

bool NotificationQueue::tryTake(Notification& out) {
    std::lock_guard lock(mutex_);
    if (pending_.empty()) {
        return false;
    }
    out = pending_.front();
    pending_.pop_front();
    return true;
}

void NotificationQueue::setWakeHandler(std::function<void()> wake) {
    std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
}

}  // namespace kavelune::engine
