#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "music/audio_engine_client.h"
#include "music/emp_cache.h"
#include "music/heard_time_follower.h"
#include "music/window_commands.h"

namespace kavelune {

class PlaybackClock;

struct MusicPlayerOptions {
    EngineSetup engine;
    // Where MP3s made from .emp songs are kept (the user's cache folder); asked when first needed.
    EmpCache::FolderFinder findCacheFolder;
    // How much later than the output reports the sound is really heard, in milliseconds:
    // positive values hold the dance back, for outputs that misreport their latency.
    int audioOffsetMs = 0;
};

// The one object through which the program plays music: it loads a song into the audio
// engine, starts, pauses and stops it, and answers once per frame how many milliseconds the
// song has played. That count follows the sound being heard, as the engine's output reports
// it; until the output has said anything it runs with the clock. The end of a song is
// decided by that count, not by the engine, and is told to the owner window as the
// end-of-song command. All calls on the user interface thread.
class MusicPlayer {
public:
    // Songs are timed by `clock`, which outlives the player.
    MusicPlayer(WindowCommandSink owner, PlaybackClock& clock, MusicPlayerOptions options = {});
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // Opens a song by its full path. The path last loaded is not opened again. Songs whose
    // path contains ".emp" or ".EMP" are played from their unscrambled copy in the cache.
    bool Load(const std::string& path);
    void Play();
    void Stop();
    void Pause();
    // Goes on from where Pause froze the song: the engine plays on from the place it held and
    // the count continues from the frozen position. Does nothing unless paused.
    void Resume();
    void Rewind();
    // Milliseconds the song has played; frozen while not playing. Ends the song when the count
    // passes the longer of the song (its exact length) and the dance. Never goes back while
    // playing: differences to the heard sound are made up over a few hundred milliseconds.
    // Allocates nothing.
    std::uint32_t Position();
    // The song's length in milliseconds as the end of the song uses it: exact once the engine
    // has told it, otherwise whole seconds (0 before the engine has said anything).
    std::int64_t songLength() const;

    void setAudioOffset(int milliseconds) { audioOffsetMs_ = milliseconds; }
    int audioOffset() const { return audioOffsetMs_; }

    // Length of the current dance in milliseconds, written by the dance player after loading.
    std::int32_t DanceLength = 0;

    // Delivers the engine's notifications; the owner's event loop calls this between frames.
    void pumpNotifications();
    // Called on the engine's thread whenever a notification arrives, so an event loop that
    // sleeps can wake and pump; it must only schedule work.
    void setNotificationWake(std::function<void()> wake);
    // Run at the end of every pumpNotifications, on the user interface thread between frames:
    // for work that must not weigh on a frame.
    void setBetweenFramesWork(std::function<void()> work) { betweenFrames_ = std::move(work); }
    // The file the engine reads for the current song: the song itself, or the unscrambled copy
    // of an .emp song. Empty before the first load.
    const std::string& playingFile() const { return playingFile_; }
    // Null when the engine could not be created.
    AudioEngineClient* engineClient() { return engine_.get(); }
    bool playing() const { return playing_; }
    bool paused() const { return paused_; }

private:
    bool hasEngine() const { return engine_ && engine_->hasEngine(); }
    // Moves the shown time on to now and returns it in whole milliseconds.
    std::uint32_t advance();
    // The time of the sound heard now, less the audio offset, once the engine has reported
    // on the current run of playing.
    std::optional<double> heardTime() const;
    // The clock's reading in whole milliseconds, starting the clock when it is not running.
    double clockNow();
    // Follow the heard sound from the command numbered `command` on.
    void startFollowing(std::uint64_t command, std::uint32_t from);

    WindowCommandSink owner_;
    PlaybackClock& clock_;
    EmpCache empCache_;
    std::unique_ptr<AudioEngineClient> engine_;
    std::string lastPath_;
    std::string playingFile_;
    bool playing_ = false;
    bool paused_ = false;
    std::uint32_t position_ = 0;
    HeardTimeFollower follower_;
    // Sequence number of the engine command that started the current run of playing; reports
    // from before it was carried out are about another run. 0: nothing to follow.
    std::uint64_t followFrom_ = 0;
    int audioOffsetMs_ = 0;
    std::function<void()> betweenFrames_;
};

}  // namespace kavelune
