#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "beats/beat_track.h"

namespace kavelune {

// Finds a song's beats on a thread of its own, through the per-user beat cache, so the user
// interface never waits for the analysis. One song at a time: a new request cancels the one
// under way. Owned and called on one thread (the user interface thread).
class BackgroundBeatFinder {
public:
    // Gives the user's cache folder; beats are kept in its "beats" folder. Asked at each
    // request; an empty answer means nothing is cached and every song is analysed afresh.
    using FolderFinder = std::function<std::filesystem::path()>;

    explicit BackgroundBeatFinder(FolderFinder cacheFolder) : cacheFolder_(std::move(cacheFolder)) {}
    ~BackgroundBeatFinder();
    BackgroundBeatFinder(const BackgroundBeatFinder&) = delete;
    BackgroundBeatFinder& operator=(const BackgroundBeatFinder&) = delete;

    // Starts finding the beats of `song` (a full path).
    void request(const std::string& song);
    // Forgets the request under way; its result is never taken.
    void cancel();
    // Cheap enough for every frame: whether beats wait to be taken.
    bool ready() const { return current_ && current_->done.load(std::memory_order_acquire) && !taken_; }
    // Hands over the beats of the song last requested, once: false while the search runs, after
    // they were taken, and when the song has no beats to find.
    bool take(std::string& song, BeatTrack& beats);

    // How the last finished search got its beats, for tests and diagnostics.
    enum class Source { None, Cache, Analysis, Failed };
    Source lastSource() const { return current_ ? current_->source.load() : Source::None; }

private:
    struct Search {
        std::string song;
        std::filesystem::path cacheFolder;
        std::atomic<bool> cancelled{false};
        std::atomic<bool> done{false};
        std::atomic<Source> source{Source::None};
        BeatTrack beats;  // written by the thread before `done`
        std::thread thread;
    };
    static void run(Search& search);

    FolderFinder cacheFolder_;
    std::unique_ptr<Search> current_;
    bool taken_ = false;
};

}  // namespace kavelune
