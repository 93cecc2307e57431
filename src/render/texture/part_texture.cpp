#include "render/texture/part_texture.h"

#include <algorithm>
#include <fstream>

#include "base/message_box.h"
#include "base/path_resolution.h"
#include "base/text.h"
#include "model/texture/hv_image_loader.h"
#include "render/texture/texture_cache.h"
#include "model/texture/texture_parameters.h"

namespace kavelune {

namespace {

bool canOpen(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return static_cast<bool>(in);
}

}  // namespace

PartTexture::PartTexture(TextureCache& cache) : cache_(&cache) {}

PartTexture::~PartTexture() { release(); }

PartTexture::PartTexture(PartTexture&& other) noexcept
    : cache_(other.cache_),
      sampling_(other.sampling_),
      timeline_(other.timeline_),
      images_(std::move(other.images_)),
      keyframes_(std::move(other.keyframes_)) {
    other.images_.clear();
    other.keyframes_.clear();
}

PartTexture& PartTexture::operator=(PartTexture&& other) noexcept {
    if (this != &other) {
        release();
        cache_ = other.cache_;
        sampling_ = other.sampling_;
        timeline_ = other.timeline_;
        images_ = std::move(other.images_);
        keyframes_ = std::move(other.keyframes_);
        other.images_.clear();
        other.keyframes_.clear();
    }
    return *this;
}

void PartTexture::release() {
    for (const StoredImage& stored : images_) {
        cache_->release(stored.glName);
    }
    images_.clear();
    keyframes_.clear();
    timeline_ = TextureTimeline{};
    sampling_ = TextureSampling{};
}

void PartTexture::load(const std::filesystem::path& folder, const std::string& textureName) {
    release();
    if (textureName.empty()) {
        return;
    }
    if (!loadParameterFile(folder, textureName)) {
        loadSingleImage(folder, textureName);
    }
}

TextureSelection PartTexture::select(std::uint32_t timeMs) const {
    TextureSelection selection;
    const TextureKeyframe* keyframe = selectTextureKeyframe(keyframes_, timeline_, timeMs);
    if (keyframe == nullptr) {
        return selection;
    }
    if (const StoredImage* base = image(keyframe->baseId)) {
        selection.base = base->glName;
        selection.hasAlpha = base->hasAlpha;
    }
    if (const StoredImage* environment = image(keyframe->environmentId)) {
        selection.environment = environment->glName;
    }
    return selection;
}

bool PartTexture::loadParameterFile(const std::filesystem::path& folder, const std::string& textureName) {
    std::ifstream in(resolveContentPath(folder, textureParameterFileName(textureName)));
    if (!in) {
        return false;
    }
    TextureParameterFile parameters;
    if (!readTextureParameters(in, parameters)) {
        return false;
    }
    using Kind = TextureParameterLine::Kind;
    timeline_.animated = true;
    for (const TextureParameterLine& line : parameters.lines) {
        switch (line.kind) {
            case Kind::Loop: timeline_.loop = line.flag; break;
            case Kind::SRepeat: sampling_.repeatS = line.flag; break;
            case Kind::TRepeat: sampling_.repeatT = line.flag; break;
            case Kind::LinearMagFilter: sampling_.linearMagnification = line.flag; break;
            case Kind::Map: {
                bool hasAlpha = false;
                const unsigned name =
                    loadAndCache(resolveContentPath(folder, line.file), true, hasAlpha);
                if (name != 0) {
                    storeImage(line.id, name, hasAlpha);
                }
                break;
            }
            case Kind::Time: {
                if (line.baseId != -1 && image(line.baseId) == nullptr) {
                    break;  // names an image that never loaded
                }
                const int environment = image(line.environmentId) ? line.environmentId : -1;
                keyframes_.push_back({line.timeMs, line.baseId, environment});
                timeline_.lengthMs = std::max(timeline_.lengthMs, line.timeMs);
                break;
            }
        }
    }
    return true;
}

void PartTexture::loadSingleImage(const std::filesystem::path& folder, const std::string& textureName) {
    std::filesystem::path base = resolveContentPath(folder, textureName);
    const std::filesystem::path tga = resolveContentPath(folder, replaceEnding(textureName, 3, "tga"));
    if (canOpen(tga)) {
        base = tga;
    }
    if (const TextureCache::Entry* cached = cache_->find(base.string())) {
        const unsigned name = cached->glName;
        const bool hasAlpha = cached->hasAlpha;
        cache_->reference(name);
        storeImage(0, name, hasAlpha);
        keyframes_.push_back({0, 0, -1});
        return;
    }
    bool hasAlpha = false;
    const unsigned name = loadAndCache(base, true, hasAlpha);
    if (name == 0) {
        return;  // untextured; the loader has told the user
    }
    storeImage(0, name, hasAlpha);
    // The environment map is named after the texture name, whichever base file won.
    bool environmentAlpha = false;
    const unsigned environment = loadAndCache(
        resolveContentPath(folder, replaceEnding(textureName, 4, "env.jpg")), false, environmentAlpha);
    if (environment != 0) {
        storeImage(1, environment, environmentAlpha);
        keyframes_.push_back({0, 0, 1});
    } else {
        keyframes_.push_back({0, 0, -1});
    }
}

unsigned PartTexture::loadAndCache(const std::filesystem::path& file, bool reportErrors,
                                   bool& hasAlpha) {
    if (cache_->failedBefore(file.string())) return 0;
    Image decoded;
    std::string error;
    if (!HvImageLoader::load(file, decoded, &error)) {
        if (reportErrors && !error.empty()) showMessageBox(error, HvImageLoader::kErrorCaption);
        cache_->noteFailure(file.string());
        return 0;
    }
    const unsigned name = uploadTexture(decoded, sampling_);
    if (name == 0) {
        return 0;
    }
    hasAlpha = decoded.hasAlpha();
    cache_->add(file.string(), name, hasAlpha);
    return name;
}

void PartTexture::storeImage(int id, unsigned glName, bool hasAlpha) {
    auto it = std::find_if(images_.begin(), images_.end(),
                           [&](const StoredImage& stored) { return stored.id == id; });
    if (it != images_.end()) {
        // A later "map" with the same id replaces the earlier image.
        cache_->release(it->glName);
        *it = StoredImage{id, glName, hasAlpha};
        return;
    }
    images_.push_back(StoredImage{id, glName, hasAlpha});
}

const PartTexture::StoredImage* PartTexture::image(int id) const {
    if (id == -1) {
        return nullptr;
    }
    auto it = std::find_if(images_.begin(), images_.end(),
                           [&](const StoredImage& stored) { return stored.id == id; });
    return it == images_.end() ? nullptr : &*it;
}

}  // namespace kavelune
