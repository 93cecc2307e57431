// A scrambled song (.emp): unscrambled into the per-user cache as the music player does, then
// decoded through the audio engine from there.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "support/audio_decoding.h"
#include "music/emp_cache.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = kavelune::fuzz;
    const auto song = fuzz::writeScratchFile("Sounds/song.emp", data, size);
    const auto cache = fuzz::scratchFolder() / "cache";
    // Each input is a new song: a copy left by the last one must not be taken as current.
    std::error_code ignored;
    std::filesystem::remove_all(cache, ignored);
    kavelune::EmpCache empCache([cache] { return cache; });
    std::filesystem::path playable;
    if (empCache.prepare(song.string(), playable) == kavelune::EmpCache::Result::Ready) {
        fuzz::decodeSongFile(playable.string());
    }
    return 0;
}
