// A dropped avatar (glTF, GLB or VRM) as the importer reads it: the whole import, skeleton
// mapping and texture conversion included, from the bytes alone (no external files).
#include <cstddef>
#include <cstdint>
#include <string>

#include "kit/import/avatar_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    kvl::import::ImportOptions options;
    options.name = "Avatar";
    kvl::import::ImportedCharacter character;
    std::string error;
    kvl::import::importFromMemory(bytes, options, character, error);
    return 0;
}
