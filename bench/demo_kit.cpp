// How long `kvl make-demo` takes to write the whole demo program folder: songs synthesised and
// encoded, characters built and compressed, motions solved, dances written. The target is well
// under 30 s on a shared two-core machine, since every build runs it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The content kit beside this benchmark's build: <build>/bench/.. /bin/kvl.
fs::path kvlProgram() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin" / "kvl"; }

void BM_MakeDemo(benchmark::State& state) {
    const fs::path kvl = kvlProgram();
    if (!fs::exists(kvl)) {
        state.SkipWithError("kvl is not built");
        return;
    }
    const fs::path folder = fs::temp_directory_path() / ("kavelune-demo-bench-" + std::to_string(getpid()));
    const std::string command = "'" + kvl.string() + "' make-demo '" + folder.string() + "' --quiet";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("kvl make-demo failed");
            break;
        }
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_MakeDemo)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
