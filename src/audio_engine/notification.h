#pragma once

namespace kavelune::engine {

// One notification from the player thread: its code and up to two integer arguments.
// Plain data, so posting and draining never allocate per notification beyond the queue.
struct Notification {
    int code = 0;
    int first = 0;
    int second = 0;
};

}  // namespace kavelune::engine
