#include "render/texture/model_textures.h"

#include "render/texture/texture_cache.h"

namespace kavelune {

namespace {

// Calls `visit` on every part in drawing order: body, hands, then the attachment chain.
template <typename Model, typename Visit>
void forEachPart(Model& model, Visit&& visit) {
    for (Model* current = &model; current != nullptr; current = current->attachment.get()) {
        for (auto& part : current->parts) {
            visit(part);
        }
        for (auto& hand : current->hands) {
            for (auto& part : hand.parts) {
                visit(part);
            }
        }
    }
}

}  // namespace

ModelTextures::ModelTextures(TextureCache& cache) : cache_(&cache) {}

void ModelTextures::load(const CharacterModel& model, const std::filesystem::path& folder) {
    release();
    cache_->forgetFailures();
    forEachPart(model, [&](const MeshPart& part) {
        textures_.emplace_back(*cache_);
        textures_.back().load(folder, part.textureSpec);
    });
}

void ModelTextures::apply(CharacterModel& model, std::uint32_t timeMs) const {
    std::size_t next = 0;
    forEachPart(model, [&](MeshPart& part) {
        TextureSelection selection;
        if (next < textures_.size()) {
            selection = textures_[next].select(timeMs);
        }
        ++next;
        part.baseTexture = selection.base;
        part.environmentTexture = selection.environment;
        part.blend = selection.hasAlpha;
    });
}

void ModelTextures::release() {
    for (PartTexture& texture : textures_) {
        texture.release();
    }
    textures_.clear();
}

}  // namespace kavelune
