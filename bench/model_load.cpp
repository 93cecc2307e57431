// Load time of a model archive of about 1 MB: read, inflate, parse and prepare (boxes, leg
// data, rest pose, smooth normals).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "kit/dcz_writer.h"
#include "model/dcz_reader.h"
#include "unit/model/test_models.h"

namespace {

using namespace kavelune;

// A figure near the u16 index limit with jittered positions and texture coordinates, so that
// the archive does not compress to almost nothing.
CharacterModel makeLargeFigure() {
    CharacterModel model = testing::makeFigure(
        testing::FigureOptions{.verticesPerSegment = 3300, .hands = true, .handVerticesPerSegment = 60});
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (auto& v : model.baseVertices) {
        v.x = static_cast<std::int16_t>(v.x + static_cast<int>(next() % 200) - 100);
        v.y = static_cast<std::int16_t>(v.y + static_cast<int>(next() % 200) - 100);
        v.z = static_cast<std::int16_t>(v.z + static_cast<int>(next() % 200) - 100);
    }
    for (auto& t : model.texCoords) {
        t = static_cast<float>(next() % 100000) / 100000.0f;
    }
    return model;
}

// The archive lives in the temporary folder for the length of one benchmark.
class ArchiveFixture {
public:
    ArchiveFixture()
        : file_(std::filesystem::temp_directory_path() /
                ("kavelune_bench_" + std::to_string(::getpid()) + ".dcz")) {
        writeDczFile(file_, makeLargeFigure());
        std::error_code error;
        size_ = std::filesystem::file_size(file_, error);
    }
    ~ArchiveFixture() {
        std::error_code error;
        std::filesystem::remove(file_, error);
    }
    ArchiveFixture(const ArchiveFixture&) = delete;
    ArchiveFixture& operator=(const ArchiveFixture&) = delete;

    const std::filesystem::path& file() const { return file_; }
    std::uintmax_t size() const { return size_; }

private:
    std::filesystem::path file_;
    std::uintmax_t size_ = 0;
};

void BM_LoadModelArchive(benchmark::State& state) {
    ArchiveFixture archive;
    std::size_t vertices = 0;
    for (auto _ : state) {
        CharacterModel model;
        if (!loadModelArchive(archive.file(), model)) {
            state.SkipWithError("archive did not load");
            return;
        }
        vertices = model.vertexCount();
        benchmark::DoNotOptimize(model.restNormals.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(archive.size()));
    state.counters["archive_bytes"] = static_cast<double>(archive.size());
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_LoadModelArchive)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
