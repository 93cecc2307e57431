#include "beats/background_beat_finder.h"

#include "beats/beat_cache.h"
#include "beats/beat_tracker.h"

#include <system_error>

namespace kavelune {

BackgroundBeatFinder::~BackgroundBeatFinder() { cancel(); }

void BackgroundBeatFinder::cancel() {
    if (!current_) return;
    current_->cancelled.store(true);
    // The search looks at the flag after every few thousand frames decoded: a short wait.
    if (current_->thread.joinable()) current_->thread.join();
    current_.reset();
}

void BackgroundBeatFinder::request(const std::string& song) {
    cancel();
    auto search = std::make_unique<Search>();
    search->song = song;
    if (cacheFolder_) {
        const std::filesystem::path folder = cacheFolder_();
        if (!folder.empty()) search->cacheFolder = folder / "beats";
    }
    taken_ = false;
    Search* running = search.get();
    try {
        search->thread = std::thread([running] { run(*running); });
    } catch (const std::system_error&) {
        return;  // no thread to be had: the dance keeps the song's own timing
    }
    current_ = std::move(search);
}

void BackgroundBeatFinder::run(Search& search) {
    BeatCache cache(search.cacheFolder);
    BeatCache::SongKey key;
    const bool known = BeatCache::keyOf(search.song, key);
    Source source = Source::Failed;
    if (known && cache.load(key, search.beats)) {
        source = Source::Cache;
    } else if (findBeats(search.song, search.beats, nullptr, &search.cancelled)) {
        source = Source::Analysis;
        if (known) cache.store(key, search.beats);
    }
    search.source.store(source);
    search.done.store(true, std::memory_order_release);
}

bool BackgroundBeatFinder::take(std::string& song, BeatTrack& beats) {
    if (!ready()) return false;
    taken_ = true;
    if (current_->source.load() == Source::Failed) return false;
    song = current_->song;
    beats = std::move(current_->beats);
    return true;
}

}  // namespace kavelune
