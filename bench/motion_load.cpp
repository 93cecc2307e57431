// Loading a dance whose references are spread over a Motion Pool folder of 200 pool files:
// the loader's one index per load against scanning the folder again for every reference.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

#include "kit/dance_file_writer.h"
#include "kit/motion_pool_file_writer.h"
#include "motion/dance_sequence.h"
#include "motion/motion_pool.h"
#include "motion/motion_pool_file.h"
#include "motion/pool_file_layout.h"

namespace {

using namespace kavelune;
namespace fs = std::filesystem;

constexpr int kPoolFiles = 200;
constexpr int kReferences = 64;

PoolMotion motionOf(std::uint16_t frames) {
    PoolMotion motion;
    motion.bars = 1;
    motion.frames = frames;
    for (int f = 0; f < frames; ++f) {
        motion.rootPositions.push_back({static_cast<std::int16_t>(f), 900, 0});
        for (int joint = 0; joint < JointCount; ++joint) {
            motion.rotations.push_back(fromAxisAngle(1, 0, 0, 0.01f * f + 0.1f * joint));
        }
    }
    return motion;
}

// A program folder with the pool files and one dance, made once for the whole run.
struct Fixture {
    fs::path home;
    fs::path poolFolder;
    DanceFile dance;

    Fixture() {
        home = fs::temp_directory_path() / ("kavelune-bench-load-" + std::to_string(getpid()));
        poolFolder = home / "Sequences" / "Motion Pool";
        fs::create_directories(poolFolder);
        for (int i = 0; i < kPoolFiles; ++i) {
            MotionPoolContent content;
            content.poolId = 1000 + i;
            for (int k = 0; k < 4; ++k) content.entries.push_back({motionOf(32), {}, {}});
            char name[32];
            std::snprintf(name, sizeof name, "pool%03d.dmp", i);
            writeMotionPoolFile(poolFolder / name, content);
        }
        std::mt19937 random(7);
        TrackRecord track;
        for (int r = 0; r < kReferences; ++r) {
            track.references.push_back({1000 + static_cast<int>(random() % kPoolFiles),
                                        static_cast<std::uint16_t>(random() % 4)});
            track.slotMotion.push_back(static_cast<std::uint16_t>(r));
            track.slotBar.push_back(0);
        }
        dance.beatMap = BeatMap{0, std::vector<std::vector<std::uint16_t>>(kReferences, {2000})};
        dance.tracks.push_back(track);
        writeDanceFile(home / "Sequences" / "bench.dsq", dance);
    }
    ~Fixture() {
        std::error_code error;
        fs::remove_all(home, error);
    }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void BM_LoadDanceIndexed(benchmark::State& state) {
    Fixture& f = fixture();
    MotionPool pool;
    pool.setFolder(f.poolFolder);
    pool.setCameraFolder(f.home);
    for (auto _ : state) {
        DanceSequence dance;
        if (!loadDance(f.home / "Sequences" / "bench.dsq", pool, dance)) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(dance.tracks[0].motions.size());
    }
    state.counters["references"] = kReferences;
    state.counters["pool_files"] = kPoolFiles;
}
BENCHMARK(BM_LoadDanceIndexed)->Unit(benchmark::kMillisecond);

// The same references resolved by listing the folder and opening pool files in name order
// until one has the identifier, once per reference.
bool resolveByRescan(const fs::path& folder, const PoolReference& reference,
                     std::vector<AccessoryModel>& accessories, PoolMotion& motion) {
    for (const std::string& name : pool_layout::listFolder(folder, "dmp")) {
        std::ifstream file(folder / name, std::ios::binary);
        std::int32_t poolId = 0;
        if (!file || !pool_layout::readHeader(file, "MP", poolId) || poolId != reference.poolId) {
            continue;
        }
        return readPoolEntry(file, poolId, reference.subIndex,
                             pool_layout::nameWithoutExtension(name), accessories, motion);
    }
    return false;
}

void BM_LoadDanceNaiveRescan(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        DanceFile records;
        parseDanceFile(f.home / "Sequences" / "bench.dsq", records);
        MotionTrack track;
        for (const PoolReference& reference : records.tracks[0].references) {
            PoolMotion motion;
            if (resolveByRescan(f.poolFolder, reference, track.accessories, motion)) {
                track.motions.push_back(std::move(motion));
            }
        }
        if (track.motions.size() != static_cast<std::size_t>(kReferences)) {
            state.SkipWithError("rescan resolved a different set");
            break;
        }
        benchmark::DoNotOptimize(track.motions.size());
    }
    state.counters["references"] = kReferences;
    state.counters["pool_files"] = kPoolFiles;
}
BENCHMARK(BM_LoadDanceNaiveRescan)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
