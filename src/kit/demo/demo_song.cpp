#include "kit/demo/demo_song.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvl::demo {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A small fixed-seed generator: the drums' noise must be the same on every run.
class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed) : state_(seed == 0 ? 0x9E3779B9u : seed) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

double noteFrequency(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

// Mixing buffer of two float channels.
class Mix {
public:
    explicit Mix(std::size_t frames) : left_(frames, 0.0), right_(frames, 0.0) {}

    std::size_t frames() const { return left_.size(); }

    // Adds `voice(t)` (t in seconds from the start of the note) from `start` for `length` frames,
    // placed in the stereo field by `pan` (-1 left .. +1 right).
    template <typename Voice>
    void add(std::size_t start, std::size_t length, double gain, double pan, Voice voice) {
        const double leftGain = gain * std::sqrt(0.5 * (1.0 - pan));
        const double rightGain = gain * std::sqrt(0.5 * (1.0 + pan));
        const std::size_t end = std::min(frames(), start + length);
        for (std::size_t i = start; i < end; ++i) {
            const double value = voice(static_cast<double>(i - start) / kSongSampleRate);
            left_[i] += value * leftGain;
            right_[i] += value * rightGain;
        }
    }

    PcmAudio toPcm() const {
        double peak = 1e-9;
        for (std::size_t i = 0; i < frames(); ++i) {
            peak = std::max({peak, std::fabs(left_[i]), std::fabs(right_[i])});
        }
        const double scale = 0.89 * 32767.0 / peak;
        PcmAudio pcm;
        pcm.samples.resize(frames() * 2);
        for (std::size_t i = 0; i < frames(); ++i) {
            pcm.samples[2 * i] = static_cast<std::int16_t>(std::lround(left_[i] * scale));
            pcm.samples[2 * i + 1] = static_cast<std::int16_t>(std::lround(right_[i] * scale));
        }
        return pcm;
    }

private:
    std::vector<double> left_;
    std::vector<double> right_;
};

std::size_t framesOf(double seconds) { return static_cast<std::size_t>(seconds * kSongSampleRate); }

void addKick(Mix& mix, std::size_t at, double gain) {
    mix.add(at, framesOf(0.35), gain, 0.0, [](double t) {
        // A falling sine: the pitch drops from 130 Hz towards 45 Hz within a few tens of ms.
        const double phase = kTwoPi * (45.0 * t + (85.0 / 30.0) * (1.0 - std::exp(-30.0 * t)));
        return std::sin(phase) * std::exp(-9.0 * t);
    });
}

void addSnare(Mix& mix, std::size_t at, double gain, NoiseSource& noise) {
    mix.add(at, framesOf(0.25), gain, 0.1, [&noise](double t) {
        const double body = std::sin(kTwoPi * 185.0 * t) * std::exp(-35.0 * t);
        return 0.55 * body + 0.6 * noise.next() * std::exp(-18.0 * t);
    });
}

void addHat(Mix& mix, std::size_t at, double gain, NoiseSource& noise, double pan) {
    double previous = 0.0;
    mix.add(at, framesOf(0.06), gain, pan, [&noise, &previous](double t) {
        // The difference of successive noise samples keeps only the hiss.
        const double sample = noise.next();
        const double high = sample - previous;
        previous = sample;
        return 0.5 * high * std::exp(-70.0 * t);
    });
}

void addBass(Mix& mix, std::size_t at, double seconds, int midiNote, double gain) {
    const double frequency = noteFrequency(midiNote);
    mix.add(at, framesOf(seconds), gain, -0.05, [frequency, seconds](double t) {
        const double phase = kTwoPi * frequency * t;
        const double tone = std::sin(phase) + 0.45 * std::sin(2.0 * phase) + 0.2 * std::sin(3.0 * phase);
        const double attack = std::min(1.0, t / 0.004);
        const double release = std::min(1.0, (seconds - t) / 0.02);
        return tone * attack * std::max(0.0, release) * (0.55 + 0.45 * std::exp(-6.0 * t));
    });
}

void addPadChord(Mix& mix, std::size_t at, double seconds, int rootNote, bool minor, double gain) {
    const int notes[3] = {rootNote, rootNote + (minor ? 3 : 4), rootNote + 7};
    for (int index = 0; index < 3; ++index) {
        const double frequency = noteFrequency(notes[index]);
        const double pan = (index - 1) * 0.4;
        mix.add(at, framesOf(seconds), gain, pan, [frequency, seconds](double t) {
            const double phase = kTwoPi * frequency * t;
            const double tone = std::sin(phase) + 0.25 * std::sin(2.0 * phase + 0.3);
            const double swell = std::min(1.0, t / 0.25) * std::min(1.0, std::max(0.0, seconds - t) / 0.3);
            return tone * swell;
        });
    }
}

void addLead(Mix& mix, std::size_t at, double seconds, int midiNote, double gain) {
    const double frequency = noteFrequency(midiNote);
    mix.add(at, framesOf(seconds), gain, 0.2, [frequency, seconds](double t) {
        const double phase = kTwoPi * frequency * t;
        // Odd harmonics give a soft square; a slow vibrato keeps long notes alive.
        const double vibrato = 0.004 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.2);
        const double p = phase * (1.0 + vibrato);
        const double tone = std::sin(p) + std::sin(3.0 * p) / 5.0 + std::sin(5.0 * p) / 12.0;
        const double attack = std::min(1.0, t / 0.008);
        const double release = std::min(1.0, std::max(0.0, seconds - t) / 0.04);
        return tone * attack * release * (0.6 + 0.4 * std::exp(-4.0 * t));
    });
}

int pentatonicNote(int keyNote, int step) {
    static constexpr int kSteps[5] = {0, 3, 5, 7, 10};
    const int octave = step >= 0 ? step / 5 : -((4 - step) / 5);
    const int index = step - octave * 5;
    return keyNote + 24 + 12 * octave + kSteps[index];
}

}  // namespace

PcmAudio synthesiseSong(const SongPlan& plan) {
    const std::size_t beatFrames =
        static_cast<std::size_t>(plan.beatMilliseconds) * kSongSampleRate / 1000;
    const std::size_t barFrames = beatFrames * plan.beatsPerBar;
    const std::size_t eighthFrames = beatFrames / 2;
    const double beatSeconds = plan.beatMilliseconds / 1000.0;
    Mix mix(barFrames * plan.bars);
    NoiseSource noise(plan.noiseSeed);

    const int lastBar = plan.bars - 1;
    for (int bar = 0; bar < plan.bars; ++bar) {
        const std::size_t barStart = barFrames * bar;
        const Chord chord = plan.progression.empty()
                                ? Chord{}
                                : plan.progression[bar % plan.progression.size()];
        const bool ending = bar == lastBar;

        if (ending) {
            // The last bar: one hit and a held chord, so the song closes on the downbeat.
            addKick(mix, barStart, 0.9);
            addPadChord(mix, barStart, beatSeconds * plan.beatsPerBar, plan.keyNote + 12 + chord.root,
                        chord.minor, 0.12);
            addBass(mix, barStart, beatSeconds * 2, plan.keyNote + chord.root, 0.5);
            continue;
        }

        // Drums: kick on 1 and 3 (and a push on the last eighth every other bar), snare on
        // 2 and 4, hats on every eighth.
        for (int beat = 0; beat < plan.beatsPerBar; ++beat) {
            const std::size_t beatStart = barStart + beatFrames * beat;
            if (beat % 2 == 0) {
                addKick(mix, beatStart, 0.9);
            } else if (bar >= 1) {
                addSnare(mix, beatStart, 0.45, noise);
            }
            addHat(mix, beatStart, 0.22, noise, -0.3);
            const std::size_t offbeat = beatStart + eighthFrames + (plan.swingHats ? eighthFrames / 5 : 0);
            addHat(mix, offbeat, 0.15, noise, 0.3);
        }
        if (bar % 2 == 1) {
            addKick(mix, barStart + beatFrames * (plan.beatsPerBar - 1) + eighthFrames, 0.6);
        }

        // Bass: eighth notes on the chord's root with an octave jump and the fifth.
        static constexpr int kBassPattern[8] = {0, 0, 12, 0, 7, 0, 12, 10};
        for (int eighth = 0; eighth < plan.beatsPerBar * 2; ++eighth) {
            const int interval = kBassPattern[eighth % 8];
            addBass(mix, barStart + eighthFrames * eighth, beatSeconds * 0.45,
                    plan.keyNote + chord.root + (chord.minor && interval == 10 ? 10 : interval), 0.42);
        }

        if (bar >= 2) {
            addPadChord(mix, barStart, beatSeconds * plan.beatsPerBar, plan.keyNote + 12 + chord.root,
                        chord.minor, 0.07);
        }

        // Melody from the third bar on, in phrases of two bars.
        if (bar >= 2 && !plan.melody.empty()) {
            const int eighthsPerBar = plan.beatsPerBar * 2;
            const int phraseBar = (bar - 2) % 2;
            for (int eighth = 0; eighth < eighthsPerBar; ++eighth) {
                const std::size_t index =
                    static_cast<std::size_t>(phraseBar * eighthsPerBar + eighth) % plan.melody.size();
                const int step = plan.melody[index];
                if (step < 0) {
                    continue;  // rests and held notes start nothing
                }
                int held = 1;
                while (eighth + held < eighthsPerBar &&
                       plan.melody[(index + held) % plan.melody.size()] == -2) {
                    ++held;
                }
                addLead(mix, barStart + eighthFrames * eighth, beatSeconds * 0.5 * held * 0.95,
                        pentatonicNote(plan.keyNote, step), 0.16);
            }
        }
    }
    return mix.toPcm();
}

}  // namespace kvl::demo
