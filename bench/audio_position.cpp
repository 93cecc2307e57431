// How far the music player's Position, which the dance follows, is from the sound the engine
// has handed to its output, sampled every 10 ms while a song plays in real time.
// KAVELUNE_AUDIO picks the output (pulse by default, null without a server);
// KAVELUNE_BENCH_SECONDS sets how long to play (60 by default).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "audio_engine/engine_codes.h"
#include "motion/playback_clock.h"
#include "music/music_player.h"

namespace {

using namespace kavelune;

double benchSeconds() {
    const char* text = std::getenv("KAVELUNE_BENCH_SECONDS");
    const double seconds = text ? std::atof(text) : 60.0;
    return seconds > 0.0 ? seconds : 60.0;
}

std::filesystem::path makeSong(double seconds) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvl-bench-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    if (made == nullptr) std::exit(1);
    const std::filesystem::path folder = made;
    const std::string wav = (folder / "song.wav").string();
    const std::string mp3 = (folder / "song.mp3").string();
    const std::string make = "sox -q -n -r 44100 -c 2 -b 16 '" + wav + "' synth " + std::to_string(seconds + 2) +
                             " sine 440 vol 0.3 && lame --quiet -b 128 '" + wav + "' '" + mp3 + "'";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "bench_audio_position: sox and lame are needed to make the song\n");
        std::exit(1);
    }
    return mp3;
}

void positionAgainstHandedSound(benchmark::State& state) {
    const double seconds = benchSeconds();
    const std::filesystem::path song = makeSong(seconds);
    for (auto _ : state) {
        PlaybackClock clock;
        MusicPlayer player([](int, const std::string&) {}, clock);
        if (!player.Load(song.string())) {
            state.SkipWithError("the song cannot be loaded");
            return;
        }
        const engine::OutputProgress* progress = player.engineClient()->progress();
        player.DanceLength = static_cast<std::int32_t>((seconds + 10) * 1000);
        player.Play();

        double sum = 0.0, sumSquares = 0.0, lowest = 1e9, highest = -1e9;
        int samples = 0;
        const auto started = std::chrono::steady_clock::now();
        const auto end = started + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            player.pumpNotifications();
            const double position = player.Position();
            if (position < 1000.0) continue;  // the first second: output starting up
            const double offset = position - progress->milliseconds();
            sum += offset;
            sumSquares += offset * offset;
            lowest = std::min(lowest, offset);
            highest = std::max(highest, offset);
            ++samples;
        }
        const double mean = samples ? sum / samples : 0.0;
        state.counters["offset_mean_ms"] = mean;
        state.counters["offset_min_ms"] = lowest;
        state.counters["offset_max_ms"] = highest;
        state.counters["offset_stddev_ms"] = samples ? std::sqrt(std::max(0.0, sumSquares / samples - mean * mean)) : 0.0;
        state.counters["samples"] = samples;
        player.Stop();
    }
    std::filesystem::remove_all(song.parent_path());
}

BENCHMARK(positionAgainstHandedSound)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
