#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace kavelune::engine {

// What the player thread last knew about its output, taken as one consistent record.
struct OutputSnapshot {
    std::int64_t handedFrame = 0;  // frames of the current input handed to the output
    int rate = 0;                  // of the current input; 0 before its format is known
    // Sequence number of the last command the player carried out (see EnginePlayer::send), so
    // a reader can tell whether what it reads already follows a command it sent.
    std::uint64_t commandsHandled = 0;
    // Whether heardFrame holds a measurement: the output is playing and has said what it plays.
    bool heard = false;
    std::int64_t heardFrame = 0;  // the frame of the input being heard at `measuredAt`
    std::chrono::steady_clock::time_point measuredAt{};
    // The heard frame moves on with time after `measuredAt` (up to handedFrame while sound
    // is still queued, without bound once `ended`).
    bool advancing = false;
    // Every frame of the input has been heard: the song is over and silence follows.
    bool ended = false;
};

// How far into the current input the frames handed to the output reach, and which frame is
// being heard. Written by the player thread, read from any thread without waiting: a reader
// retries while a write is under way, so it never sees half of one.
class OutputProgress {
public:
    // Handed frames moved without a heard measurement (open, seek, stop, a step back).
    void publish(std::int64_t frame, int rate) {
        write([&](OutputSnapshot& s) {
            s.handedFrame = frame;
            s.rate = rate;
            s.heard = false;
            s.advancing = false;
            s.ended = false;
        });
    }
    // The output plays `heardFrame` at `at`; `advancing` while it keeps playing.
    void publishHeard(std::int64_t handedFrame, std::int64_t heardFrame, int rate,
                      std::chrono::steady_clock::time_point at, bool advancing, bool ended) {
        write([&](OutputSnapshot& s) {
            s.handedFrame = handedFrame;
            s.rate = rate;
            s.heard = true;
            s.heardFrame = heardFrame;
            s.measuredAt = at;
            s.advancing = advancing;
            s.ended = ended;
        });
    }
    void publishCommandHandled(std::uint64_t sequence) {
        write([&](OutputSnapshot& s) { s.commandsHandled = sequence; });
    }

    OutputSnapshot snapshot() const {
        for (;;) {
            const std::uint32_t before = version_.load(std::memory_order_acquire);
            if (before & 1u) continue;  // a write is under way
            OutputSnapshot copy = read();
            std::atomic_thread_fence(std::memory_order_acquire);
            if (version_.load(std::memory_order_relaxed) == before) return copy;
        }
    }

    std::int64_t frame() const { return snapshot().handedFrame; }
    int rate() const { return snapshot().rate; }
    // Milliseconds of the input handed over; 0 before the format is known.
    double milliseconds() const {
        const OutputSnapshot s = snapshot();
        return s.rate > 0 ? static_cast<double>(s.handedFrame) * 1000.0 / s.rate : 0.0;
    }

private:
    // Every field is an atomic of its own, so the retrying reader is free of data races.
    template <typename Change>
    void write(Change change) {
        OutputSnapshot s = read();
        change(s);
        const std::uint32_t version = version_.load(std::memory_order_relaxed);
        version_.store(version + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        handed_.store(s.handedFrame, std::memory_order_relaxed);
        rate_.store(s.rate, std::memory_order_relaxed);
        handled_.store(s.commandsHandled, std::memory_order_relaxed);
        heardFrame_.store(s.heardFrame, std::memory_order_relaxed);
        measuredAt_.store(s.measuredAt.time_since_epoch().count(), std::memory_order_relaxed);
        flags_.store((s.heard ? kHeard : 0u) | (s.advancing ? kAdvancing : 0u) | (s.ended ? kEnded : 0u),
                     std::memory_order_relaxed);
        version_.store(version + 2, std::memory_order_release);
    }
    OutputSnapshot read() const {
        OutputSnapshot s;
        s.handedFrame = handed_.load(std::memory_order_relaxed);
        s.rate = rate_.load(std::memory_order_relaxed);
        s.commandsHandled = handled_.load(std::memory_order_relaxed);
        s.heardFrame = heardFrame_.load(std::memory_order_relaxed);
        s.measuredAt = std::chrono::steady_clock::time_point(
            std::chrono::steady_clock::duration(measuredAt_.load(std::memory_order_relaxed)));
        const std::uint32_t flags = flags_.load(std::memory_order_relaxed);
        s.heard = flags & kHeard;
        s.advancing = flags & kAdvancing;
        s.ended = flags & kEnded;
        return s;
    }

    static constexpr std::uint32_t kHeard = 1, kAdvancing = 2, kEnded = 4;

    std::atomic<std::uint32_t> version_{0};
    std::atomic<std::int64_t> handed_{0};
    std::atomic<int> rate_{0};
    std::atomic<std::uint64_t> handled_{0};
    std::atomic<std::int64_t> heardFrame_{0};
    std::atomic<std::chrono::steady_clock::rep> measuredAt_{0};
    std::atomic<std::uint32_t> flags_{0};
};

}  // namespace kavelune::engine
