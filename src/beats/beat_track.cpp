#include "beats/beat_track.h"

#include <algorithm>

namespace kavelune {

std::size_t firstBarBeat(const BeatTrack& track, int beatsPerBar) {
    if (beatsPerBar < 2 || track.beatsMs.empty() || track.accents.size() != track.beatsMs.size()) {
        return 0;
    }
    const auto bar = static_cast<std::size_t>(beatsPerBar);
    std::vector<double> sums(bar, 0.0);
    std::vector<int> counts(bar, 0);
    for (std::size_t i = 0; i < track.accents.size(); ++i) {
        sums[i % bar] += track.accents[i];
        ++counts[i % bar];
    }
    std::size_t best = 0;
    double bestMean = -1.0;
    for (std::size_t place = 0; place < bar && place < track.beatsMs.size(); ++place) {
        const double mean = counts[place] > 0 ? sums[place] / counts[place] : 0.0;
        if (mean > bestMean) {
            bestMean = mean;
            best = place;
        }
    }
    return best;
}

std::vector<std::uint32_t> barStarts(const BeatTrack& track, int beatsPerBar) {
    std::vector<std::uint32_t> starts;
    const std::size_t step = beatsPerBar > 0 ? static_cast<std::size_t>(beatsPerBar) : 1;
    for (std::size_t i = firstBarBeat(track, beatsPerBar); i < track.beatsMs.size(); i += step) {
        starts.push_back(track.beatsMs[i]);
    }
    return starts;
}

double tempoOf(const std::vector<std::uint32_t>& beatsMs) {
    if (beatsMs.size() < 2) {
        return 0.0;
    }
    // Spans of a few beats each: the beats' own jitter of a few milliseconds averages out.
    const std::size_t span = std::min<std::size_t>(4, beatsMs.size() - 1);
    std::vector<double> gaps;
    gaps.reserve(beatsMs.size() - span);
    for (std::size_t i = span; i < beatsMs.size(); ++i) {
        gaps.push_back(static_cast<double>(beatsMs[i] - beatsMs[i - span]) / static_cast<double>(span));
    }
    std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
    const double median = gaps[gaps.size() / 2];
    return median > 0.0 ? 60000.0 / median : 0.0;
}

}  // namespace kavelune
