#pragma once

#include <deque>
#include <functional>
#include <mutex>

#include "audio_engine/notification.h"

namespace kavelune::engine {

// Carries notifications from the engine's thread to the user interface thread, which drains
// them between frames. A wake handler, when set, is called after every post so an event loop
// that sleeps can be woken; it runs on the posting thread and must only schedule work.
class NotificationQueue {
public:
    void post(const Notification& notification);
    // Takes the oldest notification; false when there is none.
    bool tryTake(Notification& out);
    void setWakeHandler(std::function<void()> wake);

private:
    std::mutex mutex_;
    std::deque<Notification> pending_;
    std::function<void()> wake_;
};

}  // namespace kavelune::engine
