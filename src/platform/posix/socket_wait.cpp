#include "platform/posix/socket_wait.h"

#include <poll.h>

#include <cerrno>

namespace kavelune::posix {

bool waitForSocket(int descriptor, short events, Deadline deadline) {
    using namespace std::chrono;
    for (;;) {
        const auto now = steady_clock::now();
        if (now >= deadline)
            return false;
        // Rounded up, so that a time-out is never reported before its deadline.
        const auto left = ceil<milliseconds>(deadline - now).count();
        pollfd entry{descriptor, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::min<long long>(left, 1'000'000)));
        if (ready > 0)
            return true;  // also for POLLERR/POLLHUP: the following call reports what happened
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

Deadline deadlineAfter(std::chrono::milliseconds timeout) { return std::chrono::steady_clock::now() + timeout; }

}  // namespace kavelune::posix
