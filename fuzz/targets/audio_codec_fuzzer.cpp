// A song (MP3 or WAV) through the audio engine's file input and codec layer.
#include <cstddef>
#include <cstdint>

#include "support/audio_decoding.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = kavelune::fuzz::writeScratchFile("song.mp3", data, size);
    kavelune::fuzz::decodeSongFile(file.string());
    return 0;
}
