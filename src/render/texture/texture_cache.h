#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// The program's shared, reference-counted list of uploaded textures. Parts that name the same
// image file share one GL texture; the texture is deleted when its last user releases it.
// Used on the user interface thread only, with the GL context current.
class TextureCache {
public:
    struct Entry {
        std::string fileName;
        unsigned glName = 0;
        bool hasAlpha = false;
        int references = 0;
    };

    // Deletes a GL texture; the default deletes it only if it is still a texture.
    using Deleter = std::function<void(unsigned glName)>;

    explicit TextureCache(Deleter deleter = deleteGlTexture);
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // The first entry whose file name equals `fileName` byte for byte, or null.
    const Entry* find(std::string_view fileName) const;
    // Adds an entry holding one reference.
    void add(std::string fileName, unsigned glName, bool hasAlpha);
    // Adds a reference to the entry of `glName`; false when there is none.
    bool reference(unsigned glName);
    // Drops a reference; at zero the texture is deleted and the entry removed. A name not in
    // the cache is ignored.
    void release(unsigned glName);

    // Files that did not load, so that parts sharing a broken image try it and report it once.
    // The model's textures forget them when the next model loads, so a mended file is read then.
    void noteFailure(std::string fileName) { failures_.push_back(std::move(fileName)); }
    bool failedBefore(std::string_view fileName) const;
    void forgetFailures() { failures_.clear(); }

    int references(unsigned glName) const;
    std::size_t size() const { return entries_.size(); }

    static void deleteGlTexture(unsigned glName);

private:
    std::vector<Entry> entries_;
    std::vector<std::string> failures_;
    Deleter deleter_;
};

}  // namespace kavelune
