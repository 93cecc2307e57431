#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/texture/texture_keyframes.h"
#include "render/texture/texture_upload.h"

namespace kavelune {

class TextureCache;

// What a part draws with at one moment: GL texture names (0 = none) and whether the base image
// has alpha, in which case the part is drawn blended.
struct TextureSelection {
    unsigned base = 0;
    unsigned environment = 0;
    bool hasAlpha = false;
};

// The textures of one mesh part, made from the part's texture name: either a single image (a TGA
// beside a same-named JPEG wins) with an optional environment map "<name>env.jpg", or, when a
// parameter file "<name>.txt" sits in the content folder, the images and timeline it defines.
// Needs a current GL context to load and to release.
class PartTexture {
public:
    explicit PartTexture(TextureCache& cache);
    ~PartTexture();
    PartTexture(const PartTexture&) = delete;
    PartTexture& operator=(const PartTexture&) = delete;
    PartTexture(PartTexture&& other) noexcept;
    PartTexture& operator=(PartTexture&& other) noexcept;

    // Sets the part up from `textureName`, a stored path relative to `folder` (the Characters folder).
    // An empty texture name leaves the part untextured. Earlier textures are released first.
    void load(const std::filesystem::path& folder, const std::string& textureName);

    // The textures to draw with at dance time `timeMs`.
    TextureSelection select(std::uint32_t timeMs) const;

    // Gives every texture back to the cache.
    void release();

    bool animated() const { return timeline_.animated; }
    bool loops() const { return timeline_.loop; }
    std::uint32_t lengthMs() const { return timeline_.lengthMs; }
    const TextureSampling& sampling() const { return sampling_; }
    const std::vector<TextureKeyframe>& keyframes() const { return keyframes_; }

private:
    struct StoredImage {
        int id = 0;
        unsigned glName = 0;
        bool hasAlpha = false;
    };

    bool loadParameterFile(const std::filesystem::path& folder, const std::string& textureName);
    void loadSingleImage(const std::filesystem::path& folder, const std::string& textureName);
    void storeImage(int id, unsigned glName, bool hasAlpha);
    const StoredImage* image(int id) const;
    // Decodes and uploads a file and adds it to the cache; 0 when it does not decode.
    unsigned loadAndCache(const std::filesystem::path& file, bool reportErrors, bool& hasAlpha);

    TextureCache* cache_;
    TextureSampling sampling_;
    TextureTimeline timeline_;
    std::vector<StoredImage> images_;
    std::vector<TextureKeyframe> keyframes_;
};

}  // namespace kavelune
