#include "motion/beat_map.h"

#include <cmath>
#include <limits>

namespace kavelune {

namespace {

// The largest float below 1: rounding must never turn a fraction into a whole bar.
const float kBelowOne = std::nextafter(1.0f, 0.0f);

}  // namespace

std::uint32_t barLength(const std::vector<std::uint16_t>& beats) {
    std::uint32_t sum = 0;
    for (std::uint16_t beat : beats) {
        sum += beat;
    }
    return sum % 65536u;
}

BeatPosition lookupBeat(const BeatMap& map, std::uint32_t time) {
    BeatPosition position;
    if (time < map.startOffset) {
        return position;
    }
    // 64-bit bar starts: a long map may pass the 32-bit range before reaching `time`.
    std::uint64_t barStart = map.startOffset;
    for (std::size_t bar = 0; bar < map.bars.size(); ++bar) {
        const std::vector<std::uint16_t>& beats = map.bars[bar];
        std::uint64_t barEnd = barStart + barLength(beats);
        if (time < barEnd) {
            std::uint64_t beatStart = barStart;
            for (std::size_t beat = 0; beat < beats.size(); ++beat) {
                std::uint64_t beatEnd = beatStart + beats[beat];
                if (time < beatEnd) {
                    double within = static_cast<double>(time - beatStart) / beats[beat];
                    double fraction = (within + static_cast<double>(beat)) /
                                      static_cast<double>(beats.size());
                    position.found = true;
                    position.slot = static_cast<std::uint16_t>(bar);
                    position.fraction = std::fmin(static_cast<float>(fraction), kBelowOne);
                    return position;
                }
                beatStart = beatEnd;
            }
        }
        barStart = barEnd;
    }
    return position;
}

std::uint32_t danceLength(const BeatMap& map) {
    std::uint64_t length = map.startOffset;
    for (const auto& beats : map.bars) {
        length += barLength(beats);
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(length < kMax ? length : kMax);
}

}  // namespace kavelune
