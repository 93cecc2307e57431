#pragma once

#include <optional>

namespace kavelune {

// The music time the dance is shown at, drawn towards the time of the sound being heard.
// It runs with the clock and never goes back; when the heard time is known it speeds up or
// slows down (down to standing still) so that a difference fades with a time constant of
// kCorrectionMs instead of showing as a jump. A stall of the sound, an output switch or a
// clock drifting against the sound card so leave no lasting offset. Times in milliseconds.
class HeardTimeFollower {
public:
    // How quickly a difference to the heard time is made up: after this long about two
    // thirds of it are gone.
    static constexpr double kCorrectionMs = 120.0;
    // The fastest the shown time runs while catching up, as a multiple of the clock.
    static constexpr double kFastestRate = 3.0;
    // Ahead of this much, the heard time is taken at once: nothing watchable is lost by a jump
    // forward that large, and catching up would take seconds.
    static constexpr double kLargestCatchUpMs = 1000.0;

    // Starts again at `positionMs` at clock reading `clockMs`.
    void restart(double clockMs, double positionMs) {
        clock_ = clockMs;
        position_ = positionMs;
    }

    // Moves on to clock reading `clockMs`, towards `heardMs` when the heard time is known.
    // Returns the new position.
    double advance(double clockMs, std::optional<double> heardMs) {
        const double elapsed = clockMs > clock_ ? clockMs - clock_ : 0.0;
        clock_ = clockMs;
        const double predicted = position_ + elapsed;
        if (!heardMs) {
            position_ = predicted;
            return position_;
        }
        const double difference = *heardMs - predicted;
        if (difference > kLargestCatchUpMs) {
            position_ = *heardMs;
            return position_;
        }
        double rate = 1.0 + difference / kCorrectionMs;
        rate = rate < 0.0 ? 0.0 : (rate > kFastestRate ? kFastestRate : rate);
        double next = position_ + elapsed * rate;
        // A long gap between readings must not carry the time past the sound it follows.
        if (difference > 0.0 && next > *heardMs) next = *heardMs;
        if (difference < 0.0 && next < position_) next = position_;
        position_ = next;
        return position_;
    }

    double position() const { return position_; }

private:
    double clock_ = 0.0;
    double position_ = 0.0;
};

}  // namespace kavelune
