// A character description file (name.txt or name.cfg beside the archives).
#include <cstddef>
#include <cstdint>

#include "model/character_description.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kavelune::fuzz::writeScratchFile("Characters/dancer.txt", data, size);
    kavelune::loadCharacterDescription(kavelune::fuzz::scratchFolder() / "Characters", "dancer");
    return 0;
}
