// How well the beat finder behind `kvl beats` finds the beats of songs whose beats are known:
// songs synthesised by the demo kit's song maker at 70 to 180 beats a minute (drums, bass,
// chords and a melody; some with swung hats, one changing tempo half way), encoded to MP3 with
// lame as songs on disk are, then analysed exactly as `kvl beats` and the program do.
//
// For each song it prints the tempo found and the F-measure of the beats found against the
// true ones, a beat counting as found within 70 ms; the first 5 s (while a tracker locks on)
// and the closing bar (one held chord) are left out. The last line is
//   beat-accuracy: lowest F N, mean F N
//
// bench_beat_accuracy  (needs lame on the path). Not a test: it passes or fails nothing.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "beats/beat_track.h"
#include "beats/beat_tracker.h"
#include "kit/demo/demo_song.h"

namespace {

namespace fs = std::filesystem;
using kvl::demo::PcmAudio;
using kvl::demo::SongPlan;

constexpr double kToleranceMs = 70.0;
constexpr double kLockOnMs = 5000.0;

struct Song {
    std::string name;
    PcmAudio pcm;
    std::vector<double> beatsMs;  // where the beats truly are
    double lastBarMs = 0.0;       // from here on only a held chord
};

SongPlan planAt(int beatMs, bool swing, std::uint32_t seed, int bars = 16) {
    SongPlan plan;
    plan.fileBase = "song";
    plan.beatMilliseconds = beatMs;
    plan.bars = bars;
    plan.keyNote = 43 + static_cast<int>(seed % 5);
    plan.progression = {{0, true}, {5, true}, {8, false}, {7, true}};
    plan.melody = {0, -2, 2, 3, -2, 2, 0, -1, 4, -2, 3, 2, -2, -1, 0, -1};
    plan.swingHats = swing;
    plan.noiseSeed = seed;
    return plan;
}

Song songOf(const std::string& name, const SongPlan& plan) {
    Song song{name, kvl::demo::synthesiseSong(plan), {}, 0.0};
    for (int beat = 0; beat < plan.beatsTotal(); ++beat) song.beatsMs.push_back(beat * plan.beatMilliseconds);
    song.lastBarMs = static_cast<double>(plan.beatMilliseconds) * plan.beatsPerBar * (plan.bars - 1);
    return song;
}

// The second plan's song straight after the first's: the tempo changes at the join. The
// first song's closing bar is dropped so the music goes on through the change.
Song joined(const std::string& name, const SongPlan& first, const SongPlan& second) {
    SongPlan opening = first;
    opening.bars += 1;  // its closing bar is cut off below
    Song a = songOf(name, opening), b = songOf(name, second);
    const auto keep = static_cast<std::size_t>(a.lastBarMs * kvl::demo::kSongSampleRate / 1000.0) *
                      static_cast<std::size_t>(a.pcm.channels);
    a.pcm.samples.resize(keep);
    std::vector<double> beats;
    for (double beat : a.beatsMs) if (beat < a.lastBarMs) beats.push_back(beat);
    for (double beat : b.beatsMs) beats.push_back(beat + a.lastBarMs);
    a.pcm.samples.insert(a.pcm.samples.end(), b.pcm.samples.begin(), b.pcm.samples.end());
    a.lastBarMs += b.lastBarMs;
    a.beatsMs = beats;
    return a;
}

bool writeWav(const fs::path& path, const PcmAudio& pcm) {
    std::ofstream out(path, std::ios::binary);
    auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    const auto bytes = static_cast<std::uint32_t>(pcm.samples.size() * 2);
    const auto channels = static_cast<std::uint32_t>(pcm.channels);
    out.write("RIFF", 4);
    put(36 + bytes, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);
    put(channels, 2);
    put(static_cast<std::uint32_t>(pcm.sampleRate), 4);
    put(static_cast<std::uint32_t>(pcm.sampleRate) * channels * 2, 4);
    put(channels * 2, 2);
    put(16, 2);
    out.write("data", 4);
    put(bytes, 4);
    out.write(reinterpret_cast<const char*>(pcm.samples.data()), static_cast<std::streamsize>(bytes));
    return static_cast<bool>(out);
}

// Beats found within the tolerance of a true beat, each true beat matched once.
double fMeasure(const std::vector<double>& truth, const std::vector<double>& found) {
    if (truth.empty() || found.empty()) return 0.0;
    std::vector<bool> used(found.size(), false);
    std::size_t hits = 0;
    for (double beat : truth) {
        for (std::size_t j = 0; j < found.size(); ++j) {
            if (!used[j] && std::fabs(found[j] - beat) <= kToleranceMs) {
                used[j] = true;
                ++hits;
                break;
            }
        }
    }
    const double precision = static_cast<double>(hits) / found.size();
    const double recall = static_cast<double>(hits) / truth.size();
    return hits == 0 ? 0.0 : 2.0 * precision * recall / (precision + recall);
}

}  // namespace

int main() {
    std::vector<Song> songs;

    songs.push_back(songOf("70 bpm", planAt(857, false, 11)));
    songs.push_back(songOf("84 bpm swing", planAt(714, true, 12)));
    songs.push_back(songOf("100 bpm", planAt(600, false, 13)));
    songs.push_back(songOf("120 bpm swing", planAt(500, true, 14)));
    songs.push_back(songOf("140 bpm", planAt(429, false, 15, 20)));
    songs.push_back(songOf("160 bpm swing", planAt(375, true, 16, 24)));
    songs.push_back(songOf("180 bpm", planAt(333, false, 17, 24)));
    songs.push_back(joined("96 to 128 bpm", planAt(625, false, 18, 8), planAt(469, false, 19, 10)));
    songs.push_back(joined("150 to 100 bpm swing", planAt(400, true, 20, 10), planAt(600, true, 21, 8)));

    std::string pattern = (fs::temp_directory_path() / "kvl-beats-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    const fs::path folder = pattern;
    double lowest = 1.0, sum = 0.0;
    for (const Song& song : songs) {
        const fs::path wav = folder / "song.wav", mp3 = folder / "song.mp3";
        const std::string encode = "lame --quiet -b 192 '" + wav.string() + "' '" + mp3.string() + "'";
        if (!writeWav(wav, song.pcm) || std::system(encode.c_str()) != 0) {
            std::fprintf(stderr, "beat_accuracy: cannot encode %s (is lame installed?)\n", song.name.c_str());
            return 1;
        }
        kavelune::BeatTrack track;
        std::string problem;
        if (!kavelune::findBeats(mp3.string(), track, &problem)) {
            std::fprintf(stderr, "beat_accuracy: %s: %s\n", song.name.c_str(), problem.c_str());
            return 1;
        }
        std::vector<double> truth, found;
        for (double beat : song.beatsMs) {
            if (beat >= kLockOnMs && beat < song.lastBarMs) truth.push_back(beat);
        }
        for (std::uint32_t beat : track.beatsMs) {
            if (beat >= kLockOnMs - kToleranceMs && beat < song.lastBarMs - kToleranceMs) found.push_back(beat);
        }
        const double f = fMeasure(truth, found);
        lowest = std::min(lowest, f);
        sum += f;
        std::printf("%-22s tempo found %6.1f bpm, %3zu beats true, %3zu found, F %.3f\n", song.name.c_str(),
                    track.tempoBpm, truth.size(), found.size(), f);
    }
    std::error_code error;
    fs::remove_all(folder, error);
    std::printf("beat-accuracy: lowest F %.3f, mean F %.3f\n", lowest, sum / songs.size());
    return 0;
}
