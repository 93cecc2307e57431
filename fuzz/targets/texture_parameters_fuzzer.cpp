// A texture parameter file (the .txt beside an animated or wrapped texture).
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "model/texture/texture_parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The renderer hands the reader an open file stream; a string stream reads the same way.
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
    kavelune::TextureParameterFile parameters;
    kavelune::readTextureParameters(in, parameters);
    return 0;
}
