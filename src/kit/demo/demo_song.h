#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Songs of the demo content, made sample by sample from a short written plan: drums, a bass
// line, chords and a simple melody. Nothing is random: the noise of the drums comes from a
// fixed-seed generator, so every run gives the same samples.
namespace kvl::demo {

constexpr int kSongSampleRate = 44100;
constexpr int kSongChannels = 2;

// One chord per bar: its root as semitones above the song's key note, and whether it is minor.
struct Chord {
    int root = 0;
    bool minor = false;
};

struct SongPlan {
    std::string fileBase;        // file name without extension, e.g. "Kavelune Groove"
    int beatMilliseconds = 500;  // a whole number of ms, so beat maps can match it exactly
    int beatsPerBar = 4;
    int bars = 16;
    int keyNote = 45;            // MIDI note number of the key (45 = A2)
    std::vector<Chord> progression;  // cycled, one chord per bar
    // Melody in eighth notes as scale steps of the minor pentatonic above the key's octave
    // (0 = key note two octaves up); -1 rests, -2 holds the previous note. Cycled per bar pair.
    std::vector<int> melody;
    bool swingHats = false;      // off-beat hats pushed late, for a looser feel
    std::uint32_t noiseSeed = 1;

    int beatsTotal() const { return beatsPerBar * bars; }
    int lengthMilliseconds() const { return beatMilliseconds * beatsTotal(); }
    int beatsPerMinute() const { return 60000 / beatMilliseconds; }
};

// Interleaved 16-bit PCM.
struct PcmAudio {
    int sampleRate = kSongSampleRate;
    int channels = kSongChannels;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// The whole song, exactly bars × beats × beat length long.
PcmAudio synthesiseSong(const SongPlan& plan);

}  // namespace kvl::demo
