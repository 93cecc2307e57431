#pragma once

#include <atomic>
#include <cstdint>

namespace kavelune::engine {

// How far into the current input the frames handed to the output reach. Written by the
// player thread after every write, read from any thread (benchmarks and the content kit).
class OutputProgress {
public:
    void publish(std::int64_t frame, int rate) {
        rate_.store(rate, std::memory_order_relaxed);
        frame_.store(frame, std::memory_order_release);
    }
    std::int64_t frame() const { return frame_.load(std::memory_order_acquire); }
    int rate() const { return rate_.load(std::memory_order_relaxed); }
    // Milliseconds of the input handed over; 0 before the format is known.
    double milliseconds() const {
        int r = rate();
        return r > 0 ? static_cast<double>(frame()) * 1000.0 / r : 0.0;
    }

private:
    std::atomic<std::int64_t> frame_{0};
    std::atomic<int> rate_{0};
};

}  // namespace kavelune::engine
