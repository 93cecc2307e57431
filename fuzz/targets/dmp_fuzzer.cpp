// A motion pool file (.dmp): every entry read as a dance's reference would read it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "motion/motion_pool_file.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = kavelune::fuzz::writeScratchFile("pool.dmp", data, size);
    kavelune::MotionPoolContent content;
    std::string problem;
    kavelune::readMotionPoolFile(file, content, &problem);
    return 0;
}
