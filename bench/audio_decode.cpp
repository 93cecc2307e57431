// How fast the engine's codecs decode, as a real-time factor: seconds of sound decoded per
// second of work. Songs are made at start by sox, lame and twolame.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio_engine/codec/open_decoder.h"
#include "audio_engine/input/file_source.h"

namespace {

using namespace kavelune::engine;

constexpr double kSongSeconds = 20.0;

const std::filesystem::path& songFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvl-bench-XXXXXX").string();
        const char* made = mkdtemp(pattern.data());
        std::filesystem::path path = made ? made : "";
        const std::string wav = (path / "song.wav").string();
        const std::string make =
            "sox -q -n -r 44100 -c 2 -b 16 '" + wav + "' synth " + std::to_string(kSongSeconds) +
            " sine 220-880 sine 330 vol 0.4 && lame --quiet -b 192 '" + wav + "' '" + (path / "song.mp3").string() +
            "' && sox -q '" + wav + "' -r 48000 '" + (path / "song48.wav").string() + "' && twolame --quiet -b 224 '" +
            (path / "song48.wav").string() + "' '" + (path / "song.mp2").string() + "'";
        if (made == nullptr || std::system(make.c_str()) != 0) {
            std::fprintf(stderr, "bench_audio_decode: sox, lame and twolame are needed to make the songs\n");
            std::exit(1);
        }
        return path;
    }();
    return folder;
}

void decodeWhole(benchmark::State& state, const char* name) {
    const std::string path = (songFolder() / name).string();
    std::vector<std::int16_t> chunk(4096 * 2);
    double decodedSeconds = 0.0;
    for (auto _ : state) {
        int error = 0;
        auto decoder = openDecoder(FileSource::open(path), error);
        if (!decoder) {
            state.SkipWithError("the song cannot be decoded");
            return;
        }
        std::int64_t frames = 0;
        while (std::size_t got = decoder->read(chunk.data(), 4096)) frames += static_cast<std::int64_t>(got);
        benchmark::DoNotOptimize(chunk.data());
        decodedSeconds += static_cast<double>(frames) / decoder->format().rate;
    }
    state.counters["realtime_factor"] = benchmark::Counter(decodedSeconds, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(decodeWhole, mp3_layer3_192k_stereo, "song.mp3")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(decodeWhole, mp2_layer2_224k_stereo, "song.mp2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(decodeWhole, wav_16bit_stereo, "song.wav")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
