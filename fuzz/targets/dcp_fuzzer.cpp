// A camera pool file (.dcp): every entry read as a dance's camera reference would read it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "motion/camera_pool_file.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = kavelune::fuzz::writeScratchFile("camera.dcp", data, size);
    kavelune::CameraPoolContent content;
    std::string problem;
    kavelune::readCameraPoolFile(file, content, &problem);
    return 0;
}
