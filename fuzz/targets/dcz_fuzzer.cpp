// A character archive (.dcz) as the character loader reads it: inflated, parsed, checked and
// prepared for posing.
#include <cstddef>
#include <cstdint>

#include "model/character_model.h"
#include "model/dcz_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kavelune::CharacterModel model;
    kavelune::loadModelArchive(data, size, model);
    return 0;
}
