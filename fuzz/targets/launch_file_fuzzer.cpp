// A launch file (kavelune.txt, current.txt or one named on the command line).
#include <cstddef>
#include <cstdint>

#include "app/launch/launch_file.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = kavelune::fuzz::writeScratchFile("kavelune.txt", data, size);
    kavelune::LaunchFile launch;
    kavelune::readLaunchFile(file, launch);
    return 0;
}
