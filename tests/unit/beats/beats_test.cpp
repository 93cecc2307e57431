// Beat finding on songs made here, and the per-user cache of what was found.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <thread>
#include <vector>

#include "beats/background_beat_finder.h"
#include "beats/beat_cache.h"
#include "beats/beat_tracker.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

constexpr int kRate = 22050;

void putLittleEndian(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
}

// A mono drum song: a kick on every beat in `beatsMs`, heavier on every `barEvery`-th from
// `firstBar`, a noise hat half way between beats.
bool writeDrumSong(const std::filesystem::path& path, const std::vector<std::uint32_t>& beatsMs, std::size_t firstBar,
                   std::size_t barEvery, double seconds) {
    std::vector<double> mix(static_cast<std::size_t>(seconds * kRate), 0.0);
    std::uint32_t noise = 12345;
    auto hit = [&](double atMs, double gain, bool kick) {
        const auto start = static_cast<std::size_t>(atMs * kRate / 1000.0);
        for (std::size_t i = 0; i < static_cast<std::size_t>(0.25 * kRate) && start + i < mix.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            noise = noise * 1664525u + 1013904223u;
            const double hiss = (static_cast<double>(noise >> 8) / 8388608.0 - 1.0) * std::exp(-60.0 * t);
            // A kick: a falling low tone with the click of its beater; a hat: a short hiss.
            const double tone = std::sin(2.0 * std::numbers::pi * (50.0 * t + 2.0 * (1.0 - std::exp(-25.0 * t))));
            mix[start + i] += kick ? gain * (tone * std::exp(-8.0 * t) + 0.6 * hiss * std::exp(-200.0 * t)) : 0.06 * hiss;
        }
    };
    for (std::size_t i = 0; i < beatsMs.size(); ++i) {
        hit(beatsMs[i], i >= firstBar && (i - firstBar) % barEvery == 0 ? 0.9 : 0.45, true);
        if (i + 1 < beatsMs.size()) hit((beatsMs[i] + beatsMs[i + 1]) / 2.0, 0.0, false);
    }
    std::ofstream out(path, std::ios::binary);
    const auto bytes = static_cast<std::uint32_t>(mix.size() * 2);
    out.write("RIFF", 4);
    putLittleEndian(out, 36 + bytes, 4);
    out.write("WAVEfmt ", 8);
    putLittleEndian(out, 16, 4);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, kRate, 4);
    putLittleEndian(out, kRate * 2, 4);
    putLittleEndian(out, 2, 2);
    putLittleEndian(out, 16, 2);
    out.write("data", 4);
    putLittleEndian(out, bytes, 4);
    for (double sample : mix) {
        putLittleEndian(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(sample, -1.0, 1.0) * 30000)), 2);
    }
    return static_cast<bool>(out);
}

std::vector<std::uint32_t> evenBeats(double firstMs, double bpm, double untilMs) {
    std::vector<std::uint32_t> beats;
    for (double at = firstMs; at < untilMs; at += 60000.0 / bpm) beats.push_back(static_cast<std::uint32_t>(at));
    return beats;
}

// Beats found within 70 ms of a true one, counted once each, against both lists' sizes.
double fMeasure(const std::vector<std::uint32_t>& truth, const std::vector<std::uint32_t>& found) {
    std::size_t hits = 0, j = 0;
    for (std::uint32_t beat : truth) {
        while (j < found.size() && found[j] + 70 < beat) ++j;
        if (j < found.size() && found[j] <= beat + 70) {
            ++hits;
            ++j;
        }
    }
    if (hits == 0) return 0.0;
    const double precision = static_cast<double>(hits) / found.size(), recall = static_cast<double>(hits) / truth.size();
    return 2.0 * precision * recall / (precision + recall);
}

TEST(BeatFinding, FindsTheBeatsAndTheFirstBeatOfEachBar) {
    TempFolder folder;
    const auto truth = evenBeats(600.0, 100.0, 29'000.0);
    const auto song = folder / "drums.wav";
    ASSERT_TRUE(writeDrumSong(song, truth, 2, 4, 30.0));
    BeatTrack track;
    std::string problem;
    ASSERT_TRUE(findBeats(song.string(), track, &problem)) << problem;
    // The tracker needs a few seconds to lock on; from then on it must be right.
    std::vector<std::uint32_t> settledTruth, settledFound;
    for (auto b : truth) if (b > 5000) settledTruth.push_back(b);
    for (auto b : track.beatsMs) if (b > 5000) settledFound.push_back(b);
    EXPECT_GE(fMeasure(settledTruth, settledFound), 0.9);
    EXPECT_NEAR(track.tempoBpm, 100.0, 2.0);
    ASSERT_EQ(track.accents.size(), track.beatsMs.size());
    // The heavy kicks fall every fourth beat from the third: the bars found start on them.
    const std::vector<std::uint32_t> bars = barStarts(track, 4);
    int onHeavy = 0, checked = 0;
    for (std::uint32_t bar : bars) {
        if (bar < 5000) continue;
        ++checked;
        for (std::size_t i = 2; i < truth.size(); i += 4) onHeavy += std::abs(static_cast<int>(bar) - static_cast<int>(truth[i])) <= 70;
    }
    EXPECT_GE(onHeavy, checked * 9 / 10);

    EXPECT_FALSE(findBeats((folder / "missing.wav").string(), track, &problem));
    EXPECT_FALSE(problem.empty());
}

// The finder on its thread: the first request analyses, later ones for the unchanged song
// read the cache, and a changed song is analysed again.
TEST(BeatFinding, TheCacheIsReusedUntilTheSongChanges) {
    TempFolder folder;
    const auto song = folder / "song.wav";
    ASSERT_TRUE(writeDrumSong(song, evenBeats(500.0, 120.0, 9'000.0), 0, 4, 10.0));
    BackgroundBeatFinder finder([cache = folder / "cache"] { return cache; });
    auto find = [&finder](const std::filesystem::path& path, BeatTrack& beats) {
        finder.request(path.string());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        std::string found;
        while (!finder.take(found, beats)) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return found == path.string();
    };
    BeatTrack first, second, third;
    ASSERT_TRUE(find(song, first));
    EXPECT_EQ(finder.lastSource(), BackgroundBeatFinder::Source::Analysis);
    ASSERT_TRUE(find(song, second));
    EXPECT_EQ(finder.lastSource(), BackgroundBeatFinder::Source::Cache);
    EXPECT_EQ(second.beatsMs, first.beatsMs);
    EXPECT_EQ(second.accents.size(), first.accents.size());

    // Same path, new content: another tempo, so a stale cache would show.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(writeDrumSong(song, evenBeats(500.0, 90.0, 11'000.0), 0, 4, 12.0));
    ASSERT_TRUE(find(song, third));
    EXPECT_EQ(finder.lastSource(), BackgroundBeatFinder::Source::Analysis);
    EXPECT_NE(third.beatsMs, first.beatsMs);

    // A cache file whose key does not match what it names is not taken.
    BeatCache cache(folder / "other");
    BeatCache::SongKey key;
    ASSERT_TRUE(BeatCache::keyOf(song.string(), key));
    ASSERT_TRUE(cache.store(key, third));
    BeatTrack loaded;
    EXPECT_TRUE(cache.load(key, loaded));
    EXPECT_EQ(loaded, third);
    key.size += 1;
    EXPECT_FALSE(cache.load(key, loaded));
}

}  // namespace
}  // namespace kavelune::testing
