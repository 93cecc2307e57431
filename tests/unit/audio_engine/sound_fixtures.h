#pragma once

// Sound files for the audio tests, made at test time by real tools (sox, lame, twolame), and
// a small analysis of decoded sound: length and pitch.
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kavelune::testing {

inline std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// A sine tone at half volume as a 16-bit WAV file.
inline bool makeToneWav(const std::filesystem::path& path, double frequency, double seconds,
                        int rate = 44100, int channels = 1) {
    std::ostringstream command;
    command << "sox -q -n -r " << rate << " -c " << channels << " -b 16 " << quoted(path)
            << " synth " << seconds << " sine " << frequency << " vol 0.5";
    return runCommand(command.str()) == 0;
}

// MPEG layer 3 through lame.
inline bool encodeMp3(const std::filesystem::path& wav, const std::filesystem::path& mp3, int kbps = 128) {
    return runCommand("lame --quiet -b " + std::to_string(kbps) + " " + quoted(wav) + " " + quoted(mp3)) == 0;
}

// MPEG layer 2 through twolame.
inline bool encodeMp2(const std::filesystem::path& wav, const std::filesystem::path& mp2) {
    return runCommand("twolame --quiet -b 192 " + quoted(wav) + " " + quoted(mp2)) == 0;
}

// A tone as an MP3, made from a sox tone by lame.
inline bool makeToneMp3(const TempFolder& folder, const std::string& name, double frequency,
                        double seconds, int rate = 44100, int channels = 1) {
    const auto wav = folder / (name + ".source.wav");
    return makeToneWav(wav, frequency, seconds, rate, channels) && encodeMp3(wav, folder / name);
}

struct DecodedSound {
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;  // interleaved

    std::int64_t frames() const { return channels > 0 ? static_cast<std::int64_t>(samples.size()) / channels : 0; }
    double seconds() const { return rate > 0 ? static_cast<double>(frames()) / rate : 0.0; }
};

inline bool readWav(const std::filesystem::path& path, DecodedSound& sound) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return false;
    }
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_count_t got = sf_readf_short(file, sound.samples.data(), info.frames);
    sf_close(file);
    return got == info.frames;
}

// The pitch of a pure tone in the first channel, from its rising zero crossings between
// `from` and `to` frames (to < 0: the end).
inline double tonePitch(const DecodedSound& sound, std::int64_t from = 0, std::int64_t to = -1) {
    if (to < 0 || to > sound.frames()) to = sound.frames();
    std::int64_t first = -1;
    std::int64_t last = -1;
    int crossings = 0;
    for (std::int64_t i = from + 1; i < to; ++i) {
        const int previous = sound.samples[static_cast<std::size_t>((i - 1) * sound.channels)];
        const int current = sound.samples[static_cast<std::size_t>(i * sound.channels)];
        if (previous < 0 && current >= 0) {
            if (first < 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) * static_cast<double>(sound.rate) / static_cast<double>(last - first);
}

// Root mean square level of the first channel over a range of frames, from 0 to 1.
inline double level(const DecodedSound& sound, std::int64_t from, std::int64_t to) {
    double sum = 0.0;
    std::int64_t count = 0;
    for (std::int64_t i = std::max<std::int64_t>(0, from); i < std::min(to, sound.frames()); ++i) {
        const double s = sound.samples[static_cast<std::size_t>(i * sound.channels)] / 32768.0;
        sum += s * s;
        ++count;
    }
    return count > 0 ? std::sqrt(sum / count) : 0.0;
}

}  // namespace kavelune::testing
