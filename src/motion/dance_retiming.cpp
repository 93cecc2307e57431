#include "motion/dance_retiming.h"

#include <algorithm>
#include <map>

namespace kavelune {

bool DanceRetiming::build(const BeatMap& dance, const std::vector<std::uint32_t>& songBeatsMs,
                          std::size_t firstBarBeat) {
    clear();
    std::vector<std::uint32_t> starts, lengths;
    std::uint64_t barStart = dance.startOffset;
    for (const auto& beats : dance.bars) {
        std::uint64_t beatStart = barStart;
        const std::uint64_t barEnd = barStart + barLength(beats);
        for (std::uint16_t beat : beats) {
            // A beat of no length, or one past its bar's stored end, is never looked up.
            if (beat > 0 && beatStart + beat <= barEnd && beatStart + beat <= UINT32_MAX) {
                starts.push_back(static_cast<std::uint32_t>(beatStart));
                lengths.push_back(beat);
            }
            beatStart += beat;
        }
        barStart = barEnd;
    }
    if (starts.empty() || firstBarBeat >= songBeatsMs.size() || songBeatsMs.size() - firstBarBeat < 2) {
        return false;
    }
    songBeats_.assign(songBeatsMs.begin() + static_cast<std::ptrdiff_t>(firstBarBeat), songBeatsMs.end());
    danceBeatStart_ = std::move(starts);
    danceBeatLength_ = std::move(lengths);
    danceLeadIn_ = dance.startOffset;
    lastGap_ = std::max<std::uint32_t>(1, songBeats_[songBeats_.size() - 1] - songBeats_[songBeats_.size() - 2]);
    return true;
}

void DanceRetiming::clear() {
    songBeats_.clear();
    danceBeatStart_.clear();
    danceBeatLength_.clear();
    danceLeadIn_ = 0;
    lastGap_ = 0;
}

std::uint32_t DanceRetiming::danceTime(std::uint32_t songMs) const {
    if (!active()) return songMs;
    const std::uint32_t firstBar = songBeats_.front();
    if (songMs < firstBar) {
        // The lead-in: the dance's own, stretched over the song's (its pose waits when it has none).
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(danceLeadIn_) * songMs / firstBar);
    }
    std::uint64_t beat = 0;
    double within = 0.0;
    const std::uint32_t last = songBeats_.back();
    if (songMs >= last) {
        const std::uint64_t past = songMs - last;
        beat = songBeats_.size() - 1 + past / lastGap_;
        within = static_cast<double>(past % lastGap_) / lastGap_;
    } else {
        const auto next = std::upper_bound(songBeats_.begin(), songBeats_.end(), songMs);
        beat = static_cast<std::uint64_t>(next - songBeats_.begin()) - 1;
        const std::uint32_t from = songBeats_[beat];
        within = static_cast<double>(songMs - from) / static_cast<double>(*next - from);
    }
    const std::size_t danceBeat = beat % danceBeatStart_.size();
    const std::uint32_t length = danceBeatLength_[danceBeat];
    // Never the next beat's first millisecond: a bar boundary comes only with the song's beat.
    const auto into = std::min<std::uint32_t>(static_cast<std::uint32_t>(within * length), length - 1);
    return danceBeatStart_[danceBeat] + into;
}

int typicalBeatsPerBar(const BeatMap& dance) {
    std::map<std::size_t, int> counts;
    for (const auto& beats : dance.bars) ++counts[beats.size()];
    int best = 4, bestCount = 0;
    for (const auto& beats : dance.bars) {
        const int count = counts[beats.size()];
        if (count > bestCount && !beats.empty()) {
            bestCount = count;
            best = static_cast<int>(beats.size());
        }
    }
    return best;
}

}  // namespace kavelune
