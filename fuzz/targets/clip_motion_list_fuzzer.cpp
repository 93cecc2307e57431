// Info/clipMotion.txt, the clip dances of the digit keys.
#include <cstddef>
#include <cstdint>

#include "edition/clip_motion_list.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = kavelune::fuzz::writeScratchFile("Info/clipMotion.txt", data, size);
    kavelune::readClipMotionList(file);
    return 0;
}
