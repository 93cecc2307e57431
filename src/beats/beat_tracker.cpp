#include "beats/beat_tracker.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "audio_engine/codec/open_decoder.h"
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
constexpr double kWeakHalfRatio = 0.45;
// Midpoints between beats this strong (against the beats) are beats themselves.
constexpr double kStrongMidpointRatio = 0.75;

template <typename T, void (*Delete)(T*)>
struct AubioDeleter {
    void operator()(T* object) const {
        if (object) Delete(object);
    }
};
using Tempo = std::unique_ptr<aubio_tempo_t, AubioDeleter<aubio_tempo_t, del_aubio_tempo>>;
using Vocoder = std::unique_ptr<aubio_pvoc_t, AubioDeleter<aubio_pvoc_t, del_aubio_pvoc>>;
using Descriptor = std::unique_ptr<aubio_specdesc_t, AubioDeleter<aubio_specdesc_t, del_aubio_specdesc>>;
using Samples = std::unique_ptr<fvec_t, AubioDeleter<fvec_t, del_fvec>>;
using Spectrum = std::unique_ptr<cvec_t, AubioDeleter<cvec_t, del_cvec>>;

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

}  // namespace

bool findBeats(const std::string& songFile, BeatTrack& out, std::string* problem, const std::atomic<bool>* cancel) {
    auto say = [problem](const char* text) {
        if (problem) *problem = text;
        return false;
    };
    int error = 0;
    std::unique_ptr<engine::Decoder> decoder = engine::openDecoder(engine::FileSource::open(songFile), error);
    if (!decoder) return say("the song cannot be opened or decoded");
    const engine::AudioFormat format = decoder->format();
    if (format.rate <= 0 || format.channels <= 0 || static_cast<std::size_t>(format.channels) > kMaxChannels) {
        return say("the song's sample format is not supported");
    }
    const auto rate = static_cast<uint_t>(format.rate);

    char method[] = "default";
    char flux[] = "specflux";
    Tempo tempo(new_aubio_tempo(method, kWindowFrames, kHopFrames, rate));
    Vocoder vocoder(new_aubio_pvoc(kWindowFrames, kHopFrames));
    Descriptor descriptor(new_aubio_specdesc(flux, kWindowFrames));
    Samples hop(new_fvec(kHopFrames));
    Samples found(new_fvec(1));
    Samples strength(new_fvec(1));
    Spectrum spectrum(new_cvec(kWindowFrames));
    if (!tempo || !vocoder || !descriptor || !hop || !found || !strength || !spectrum) {
        return say("the beat tracker cannot be set up");
    }

    OnsetCurves curves;
    curves.hopMs = 1000.0 * kHopFrames / rate;
    const auto lowBins = std::max<uint_t>(
        1, static_cast<uint_t>(kLowRegisterHz * kWindowFrames / static_cast<double>(rate)));
    double previousLow = 0.0;
    std::vector<double> beats;

    std::vector<std::int16_t> chunk(kReadFrames * static_cast<std::size_t>(format.channels));
    uint_t filled = 0;
    std::size_t frames = 0;
    while ((frames = decoder->read(chunk.data(), kReadFrames)) > 0) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return say("cancelled");
        for (std::size_t f = 0; f < frames; ++f) {
            float sum = 0.0f;
            for (int c = 0; c < format.channels; ++c) sum += chunk[f * static_cast<std::size_t>(format.channels) + static_cast<std::size_t>(c)];
            hop->data[filled++] = sum / (32768.0f * static_cast<float>(format.channels));
            if (filled < kHopFrames) continue;
            filled = 0;
            aubio_tempo_do(tempo.get(), hop.get(), found.get());
            if (found->data[0] != 0.0f) beats.push_back(aubio_tempo_get_last_ms(tempo.get()));
            aubio_pvoc_do(vocoder.get(), hop.get(), spectrum.get());
            aubio_specdesc_do(descriptor.get(), spectrum.get(), strength.get());
            curves.all.push_back(strength->data[0]);
            double low = 0.0;
            for (uint_t bin = 1; bin <= lowBins && bin < spectrum->length; ++bin) low += spectrum->norm[bin];
            curves.low.push_back(static_cast<float>(std::max(0.0, low - previousLow)));
            previousLow = low;
        }
    }
    // The tracker answers a little before its first beats settle; anything before the start or
    // out of order is dropped.
    std::vector<double> rising;
    for (double beat : beats) {
        if (beat >= 0.0 && (rising.empty() || beat > rising.back())) rising.push_back(beat);
    }
    rising = settleMetricalLevel(std::move(rising), curves);
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
