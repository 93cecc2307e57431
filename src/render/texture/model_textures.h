#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "model/character_model.h"
#include "render/texture/part_texture.h"

namespace kavelune {

class TextureCache;

// The textures of every part of one character model: its body parts, then its hands' parts,
// then those of its attachment chain, in that order. Each frame `apply` writes the selection
// for the dance time into the parts, where the renderer reads it.
class ModelTextures {
public:
    explicit ModelTextures(TextureCache& cache);

    // Loads the texture of every part from its texture name, resolved under `folder` (the Characters
    // folder). Needs a current GL context.
    void load(const CharacterModel& model, const std::filesystem::path& folder);
    // Sets each part's base and environment texture and blend flag for dance time `timeMs`.
    // The model must be the one loaded (same parts). Allocates nothing.
    void apply(CharacterModel& model, std::uint32_t timeMs) const;
    // Gives every texture back to the cache. Needs the GL context current.
    void release();

    std::size_t size() const { return textures_.size(); }

private:
    TextureCache* cache_;
    std::vector<PartTexture> textures_;
};

}  // namespace kavelune
