#include "beats/beat_tracker.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "audio_engine/codec/open_decoder.h"
#include "beats/aubio_library.h"
#include "audio_engine/input/file_source.h"

namespace kavelune {

namespace {

constexpr uint_t kWindowFrames = 1024;
constexpr uint_t kHopFrames = 512;
constexpr std::size_t kReadFrames = 4096;
constexpr std::size_t kMaxChannels = 8;
// The kick drum and the bass's fundamental live below this.
constexpr double kLowRegisterHz = 160.0;
// How far from a beat its onset is looked for.
constexpr double kOnsetBeforeMs = 40.0;
constexpr double kOnsetAfterMs = 60.0;
// Tempi a dance can follow; a tracker result outside is taken at the next metrical level.
constexpr double kSlowestBpm = 60.0;
constexpr double kFastestBpm = 200.0;
// A beat level whose every other beat is this much weaker than the rest is counting eighths.
// (Measured on made songs: quarter-note levels alternate by 0.75 to 1, eighth-note levels by
// about 0.5.)
constexpr double kWeakHalfRatio = 0.62;
// How far a beat of the backward pass may move to the attack it belongs to.
constexpr double kSnapMs = 45.0;
// The stretches in which the forward and the backward tracking are compared.
constexpr double kStitchWindowMs = 2000.0;
// Two beats closer than this share of a beat are one.
constexpr double kSameBeatShare = 0.5;
// How far from a whole number of beats a gap may be and still be filled with beats.
constexpr double kGapFitShare = 0.2;
// A beat laid back before the tracker's first needs an onset at least this strong, against
// the typical beat's.
constexpr double kLeadInOnsetShare = 0.3;
// Midpoints between beats this strong (against the beats) are beats themselves.
constexpr double kStrongMidpointRatio = 0.75;

// Each owner deletes its object through the library's own function.
using Tempo = std::unique_ptr<aubio_tempo_t, void (*)(aubio_tempo_t*)>;
using Vocoder = std::unique_ptr<aubio_pvoc_t, void (*)(aubio_pvoc_t*)>;
using Descriptor = std::unique_ptr<aubio_specdesc_t, void (*)(aubio_specdesc_t*)>;
using Samples = std::unique_ptr<fvec_t, void (*)(fvec_t*)>;
using Spectrum = std::unique_ptr<cvec_t, void (*)(cvec_t*)>;

// Onset strength through the song, one value per hop: all bands, and the low register alone.
struct OnsetCurves {
    double hopMs = 0.0;
    std::vector<float> all;
    std::vector<float> low;

    // The strongest value of `curve` near `timeMs`.
    float near(const std::vector<float>& curve, double timeMs) const {
        if (curve.empty() || hopMs <= 0.0) return 0.0f;
        const auto first = static_cast<std::ptrdiff_t>(std::floor((timeMs - kOnsetBeforeMs) / hopMs));
        const auto last = static_cast<std::ptrdiff_t>(std::ceil((timeMs + kOnsetAfterMs) / hopMs));
        float best = 0.0f;
        for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(0, first);
             i <= last && i < static_cast<std::ptrdiff_t>(curve.size()); ++i) {
            best = std::max(best, curve[static_cast<std::size_t>(i)]);
        }
        return best;
    }
};

double meanStrength(const OnsetCurves& curves, const std::vector<double>& times, std::size_t from, std::size_t step) {
    double sum = 0.0;
    int count = 0;
    for (std::size_t i = from; i < times.size(); i += step) {
        sum += curves.near(curves.all, times[i]);
        ++count;
    }
    return count > 0 ? sum / count : 0.0;
}

double medianGap(const std::vector<double>& times) {
    if (times.size() < 2) return 0.0;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
    std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
    return gaps[gaps.size() / 2];
}

// A tracker that counts eighth notes finds every other beat much weaker: keep the strong half.
// One that counts half notes has strong onsets halfway between its beats: add them.
std::vector<double> settleMetricalLevel(std::vector<double> beats, const OnsetCurves& curves) {
    if (beats.size() < 8) return beats;
    const double gap = medianGap(beats);
    if (gap <= 0.0) return beats;
    const double bpm = 60000.0 / gap;

    const double even = meanStrength(curves, beats, 0, 2);
    const double odd = meanStrength(curves, beats, 1, 2);
    const double strong = std::max(even, odd);
    if (strong > 0.0 && (std::min(even, odd) / strong < kWeakHalfRatio || bpm > kFastestBpm) &&
        bpm / 2.0 >= kSlowestBpm) {
        std::vector<double> kept;
        for (std::size_t i = even >= odd ? 0 : 1; i < beats.size(); i += 2) kept.push_back(beats[i]);
        return kept;
    }

    std::vector<double> midpoints;
    for (std::size_t i = 1; i < beats.size(); ++i) {
        if (beats[i] - beats[i - 1] < 1.5 * gap) midpoints.push_back((beats[i] + beats[i - 1]) / 2.0);
    }
    const double onBeats = meanStrength(curves, beats, 0, 1);
    const double between = meanStrength(curves, midpoints, 0, 1);
    if (onBeats > 0.0 && (between / onBeats > kStrongMidpointRatio || bpm < kSlowestBpm) &&
        bpm * 2.0 <= kFastestBpm) {
        std::vector<double> doubled;
        std::size_t m = 0;
        for (std::size_t i = 0; i < beats.size(); ++i) {
            doubled.push_back(beats[i]);
            if (i + 1 < beats.size() && beats[i + 1] - beats[i] < 1.5 * gap) doubled.push_back(midpoints[m++]);
        }
        return doubled;
    }
    return beats;
}

// The tracker says nothing in a stretch of silence, though the beat goes on through it: a gap
// of close to a whole number of beats is filled at the pace around it.
std::vector<double> fillSilentGaps(const std::vector<double>& beats) {
    const double gap = medianGap(beats);
    if (gap <= 0.0) return beats;
    std::vector<double> filled;
    for (std::size_t i = 0; i < beats.size(); ++i) {
        if (i > 0) {
            const double span = beats[i] - beats[i - 1];
            const double count = std::round(span / gap);
            if (count >= 2.0 && std::fabs(span - count * gap) < kGapFitShare * gap) {
                for (int k = 1; k < static_cast<int>(count); ++k) filled.push_back(beats[i - 1] + span * k / count);
            }
        }
        filled.push_back(beats[i]);
    }
    return filled;
}

// The tracker needs a second or two to lock on; the beats before its first one are laid back
// at its opening pace for as long as the music has onsets there.
std::vector<double> reachBackToTheStart(std::vector<double> beats, const OnsetCurves& curves) {
    if (beats.size() < 5) return beats;
    std::vector<double> opening(beats.begin(), beats.begin() + 5);
    const double gap = medianGap(opening);
    std::vector<double> strengths;
    for (double beat : beats) strengths.push_back(curves.near(curves.all, beat));
    std::nth_element(strengths.begin(), strengths.begin() + static_cast<std::ptrdiff_t>(strengths.size() / 2),
                     strengths.end());
    const double typical = strengths[strengths.size() / 2];
    std::vector<double> earlier;
    for (double at = beats.front() - gap; at >= 0.0 && gap > 0.0; at -= gap) {
        if (curves.near(curves.all, at) < kLeadInOnsetShare * typical) break;
        earlier.push_back(at);
    }
    std::reverse(earlier.begin(), earlier.end());
    earlier.insert(earlier.end(), beats.begin(), beats.end());
    return earlier;
}


// The beats aubio's tracker finds in `mono`, played forwards or backwards; times are from the
// start of the song either way. Rising, none before the start.
std::vector<double> trackBeats(const AubioFunctions& aubio, const std::vector<float>& mono, uint_t rate,
                               bool backwards, const std::atomic<bool>* cancel) {
    char method[] = "default";
    Tempo tempo(aubio.newTempo(method, kWindowFrames, kHopFrames, rate), aubio.deleteTempo);
    Samples hop(aubio.newSamples(kHopFrames), aubio.deleteSamples);
    Samples found(aubio.newSamples(1), aubio.deleteSamples);
    std::vector<double> beats;
    if (!tempo || !hop || !found) return beats;
    const double lengthMs = 1000.0 * static_cast<double>(mono.size()) / rate;
    for (std::size_t start = 0; start + kHopFrames <= mono.size(); start += kHopFrames) {
        if (cancel && (start / kHopFrames) % 512 == 0 && cancel->load(std::memory_order_relaxed)) return {};
        for (uint_t i = 0; i < kHopFrames; ++i) {
            hop->data[i] = backwards ? mono[mono.size() - 1 - (start + i)] : mono[start + i];
        }
        aubio.tempoDo(tempo.get(), hop.get(), found.get());
        if (found->data[0] != 0.0f) {
            const double at = aubio.tempoLastMs(tempo.get());
            beats.push_back(backwards ? lengthMs - at : at);
        }
    }
    if (backwards) std::reverse(beats.begin(), beats.end());
    // The tracker answers a little before its first beats settle; anything before the start or
    // out of order is dropped.
    std::vector<double> rising;
    for (double beat : beats) {
        if (beat >= 0.0 && beat <= lengthMs && (rising.empty() || beat > rising.back())) rising.push_back(beat);
    }
    return rising;
}

// Played backwards, a note's decay is heard as its onset, so the backward pass may count the
// off-beats and lands a little beside the attacks: each of its beats is moved to the strongest
// onset close by, and the whole set half a beat on when the off-beats carry the stronger onsets.
std::vector<double> alignBackward(const std::vector<double>& beats, const OnsetCurves& curves) {
    if (beats.size() < 2 || curves.hopMs <= 0.0) return beats;
    auto snapped = [&curves](double at) {
        double best = at, strongest = -1.0;
        for (double t = at - kSnapMs; t <= at + kSnapMs; t += curves.hopMs) {
            const auto index = static_cast<std::ptrdiff_t>(std::lround(t / curves.hopMs));
            if (index < 0 || index >= static_cast<std::ptrdiff_t>(curves.all.size())) continue;
            if (curves.all[static_cast<std::size_t>(index)] > strongest) {
                strongest = curves.all[static_cast<std::size_t>(index)];
                best = static_cast<double>(index) * curves.hopMs;
            }
        }
        return best;
    };
    std::vector<double> onBeat, offBeat;
    double onScore = 0.0, offScore = 0.0;
    for (std::size_t i = 0; i < beats.size(); ++i) {
        const double gap = i + 1 < beats.size() ? beats[i + 1] - beats[i] : beats[i] - beats[i - 1];
        onBeat.push_back(snapped(beats[i]));
        offBeat.push_back(snapped(beats[i] + gap / 2.0));
        onScore += curves.near(curves.all, onBeat.back());
        offScore += curves.near(curves.all, offBeat.back());
    }
    return offScore > onScore ? offBeat : onBeat;
}

// A tracker follows a change of tempo only after some beats, so the song is tracked both ways
// and, stretch by stretch, the beats that land on the stronger onsets are kept: after a change
// those of the backward pass, which met the new tempo first, and at the very start too.
std::vector<double> stitch(const std::vector<double>& forward, const std::vector<double>& backwardAsFound,
                           const OnsetCurves& curves) {
    // Aligned stretch by stretch: the backward pass may count off-beats in one part only.
    std::vector<double> backward;
    for (double from = 0.0; !backwardAsFound.empty() && from <= backwardAsFound.back(); from += kStitchWindowMs) {
        std::vector<double> part;
        for (double beat : backwardAsFound) {
            if (beat >= from && beat < from + kStitchWindowMs) part.push_back(beat);
        }
        for (double beat : alignBackward(part, curves)) {
            if (backward.empty() || beat > backward.back()) backward.push_back(beat);
        }
    }
    auto score = [&curves](const std::vector<double>& beats, double from, double to, int& count) {
        double sum = 0.0;
        count = 0;
        for (double beat : beats) {
            if (beat >= from && beat < to) {
                sum += curves.near(curves.all, beat);
                ++count;
            }
        }
        return count > 0 ? sum / count : 0.0;
    };
    const double gap = medianGap(forward.size() >= backward.size() ? forward : backward);
    const double end = std::max(forward.empty() ? 0.0 : forward.back(), backward.empty() ? 0.0 : backward.back());
    std::vector<double> stitched;
    for (double from = 0.0; from <= end; from += kStitchWindowMs) {
        const double to = from + kStitchWindowMs;
        int forwardCount = 0, backwardCount = 0;
        const double forwardScore = score(forward, from, to, forwardCount);
        const double backwardScore = score(backward, from, to, backwardCount);
        const bool useBackward = forwardCount == 0 || (backwardCount > 0 && backwardScore > forwardScore);
        for (double beat : useBackward ? backward : forward) {
            if (beat < from || beat >= to) continue;
            // Where the two passes meet, a beat too close to the last one kept is the same beat.
            if (!stitched.empty() && beat - stitched.back() < kSameBeatShare * gap) continue;
            stitched.push_back(beat);
        }
    }
    return stitched;
}

}  // namespace

bool findBeats(const std::string& songFile, BeatTrack& out, std::string* problem, const std::atomic<bool>* cancel) {
    auto say = [problem](const char* text) {
        if (problem) *problem = text;
        return false;
    };
    std::string unavailable;
    const AubioFunctions* library = aubioLibrary(&unavailable);
    if (library == nullptr) return say(unavailable.c_str());
    const AubioFunctions& aubio = *library;
    std::unique_ptr<engine::ByteSource> source = engine::FileSource::open(songFile);
    if (!source) return say("the song cannot be opened");
    int error = 0;
    std::unique_ptr<engine::Decoder> decoder = engine::openDecoder(std::move(source), error);
    if (!decoder) return say("the song cannot be decoded");
    const engine::AudioFormat format = decoder->format();
    if (format.rate <= 0 || format.channels <= 0 || static_cast<std::size_t>(format.channels) > kMaxChannels) {
        return say("the song's sample format is not supported");
    }
    const auto rate = static_cast<uint_t>(format.rate);

    // The whole song in one channel: it is tracked twice, once each way.
    std::vector<float> mono;
    std::vector<std::int16_t> chunk(kReadFrames * static_cast<std::size_t>(format.channels));
    std::size_t frames = 0;
    while ((frames = decoder->read(chunk.data(), kReadFrames)) > 0) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return say("cancelled");
        for (std::size_t f = 0; f < frames; ++f) {
            float sum = 0.0f;
            for (int c = 0; c < format.channels; ++c) {
                sum += chunk[f * static_cast<std::size_t>(format.channels) + static_cast<std::size_t>(c)];
            }
            mono.push_back(sum / (32768.0f * static_cast<float>(format.channels)));
        }
    }

    char flux[] = "specflux";
    Vocoder vocoder(aubio.newVocoder(kWindowFrames, kHopFrames), aubio.deleteVocoder);
    Descriptor descriptor(aubio.newDescriptor(flux, kWindowFrames), aubio.deleteDescriptor);
    Samples hop(aubio.newSamples(kHopFrames), aubio.deleteSamples);
    Samples strength(aubio.newSamples(1), aubio.deleteSamples);
    Spectrum spectrum(aubio.newSpectrum(kWindowFrames), aubio.deleteSpectrum);
    if (!vocoder || !descriptor || !hop || !strength || !spectrum) {
        return say("the beat tracker cannot be set up");
    }
    OnsetCurves curves;
    curves.hopMs = 1000.0 * kHopFrames / rate;
    const auto lowBins = std::max<uint_t>(
        1, static_cast<uint_t>(kLowRegisterHz * kWindowFrames / static_cast<double>(rate)));
    double previousLow = 0.0;
    for (std::size_t start = 0; start + kHopFrames <= mono.size(); start += kHopFrames) {
        std::copy(mono.begin() + static_cast<std::ptrdiff_t>(start),
                  mono.begin() + static_cast<std::ptrdiff_t>(start + kHopFrames), hop->data);
        aubio.vocoderDo(vocoder.get(), hop.get(), spectrum.get());
        aubio.descriptorDo(descriptor.get(), spectrum.get(), strength.get());
        curves.all.push_back(strength->data[0]);
        double low = 0.0;
        for (uint_t bin = 1; bin <= lowBins && bin < spectrum->length; ++bin) low += spectrum->norm[bin];
        curves.low.push_back(static_cast<float>(std::max(0.0, low - previousLow)));
        previousLow = low;
    }

    const std::vector<double> forward = settleMetricalLevel(trackBeats(aubio, mono, rate, false, cancel), curves);
    const std::vector<double> backward = settleMetricalLevel(trackBeats(aubio, mono, rate, true, cancel), curves);
    if (cancel && cancel->load(std::memory_order_relaxed)) return say("cancelled");
    const std::vector<double> rising = reachBackToTheStart(fillSilentGaps(stitch(forward, backward, curves)), curves);
    if (rising.empty()) return say("no beat was found in the song");

    BeatTrack track;
    for (double beat : rising) {
        track.beatsMs.push_back(static_cast<std::uint32_t>(std::lround(beat)));
        track.accents.push_back(curves.near(curves.low, beat));
    }
    track.tempoBpm = tempoOf(track.beatsMs);
    out = std::move(track);
    return true;
}

}  // namespace kavelune
