#pragma once

#include <chrono>

namespace kavelune::posix {

using Deadline = std::chrono::steady_clock::time_point;

// Waits until the socket is ready for `events` (POLLIN, POLLOUT) or the deadline passes,
// riding out interrupted waits. False on time-out and on a poll error.
bool waitForSocket(int descriptor, short events, Deadline deadline);

Deadline deadlineAfter(std::chrono::milliseconds timeout);

}  // namespace kavelune::posix
