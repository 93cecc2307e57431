#include "render/texture/texture_cache.h"

#include <algorithm>

#include <GL/gl.h>

namespace kavelune {

TextureCache::TextureCache(Deleter deleter) : deleter_(std::move(deleter)) {}

const TextureCache::Entry* TextureCache::find(std::string_view fileName) const {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& entry) { return entry.fileName == fileName; });
    return it == entries_.end() ? nullptr : &*it;
}

void TextureCache::add(std::string fileName, unsigned glName, bool hasAlpha) {
    entries_.push_back(Entry{std::move(fileName), glName, hasAlpha, 1});
}

bool TextureCache::reference(unsigned glName) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& entry) { return entry.glName == glName; });
    if (it == entries_.end()) {
        return false;
    }
    ++it->references;
    return true;
}

void TextureCache::release(unsigned glName) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& entry) { return entry.glName == glName; });
    if (it == entries_.end()) {
        return;
    }
    if (--it->references > 0) {
        return;
    }
    const unsigned name = it->glName;
    entries_.erase(it);
    if (deleter_) {
        deleter_(name);
    }
}

int TextureCache::references(unsigned glName) const {
    for (const Entry& entry : entries_) {
        if (entry.glName == glName) {
            return entry.references;
        }
    }
    return 0;
}

void TextureCache::deleteGlTexture(unsigned glName) {
    const GLuint name = glName;
    if (name != 0 && glIsTexture(name)) {
        glDeleteTextures(1, &name);
    }
}

bool TextureCache::failedBefore(std::string_view fileName) const {
    return std::find(failures_.begin(), failures_.end(), fileName) != failures_.end();
}

}  // namespace kavelune
