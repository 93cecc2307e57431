#include "render/texture/texture_cache.h"

#include <vector>

#include <gtest/gtest.h>

namespace kavelune {
namespace {

TEST(TextureCacheTest, SharedTextureIsDeletedWhenItsLastUserReleasesIt) {
    std::vector<unsigned> deleted;
    TextureCache cache([&](unsigned name) { deleted.push_back(name); });
    cache.add("/c/skin.jpg", 7, false);
    cache.add("/c/hair.tga", 9, true);
    const TextureCache::Entry* entry = cache.find("/c/skin.jpg");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->glName, 7u);
    EXPECT_TRUE(cache.find("/c/hair.tga")->hasAlpha);
    EXPECT_TRUE(cache.reference(7));
    EXPECT_EQ(cache.references(7), 2);

    cache.release(7);
    EXPECT_TRUE(deleted.empty());
    cache.release(7);
    EXPECT_EQ(deleted, std::vector<unsigned>{7});
    EXPECT_EQ(cache.find("/c/skin.jpg"), nullptr);
    EXPECT_EQ(cache.size(), 1u);
    // Releasing again, or a name never cached, changes nothing.
    cache.release(7);
    cache.release(42);
    EXPECT_EQ(deleted.size(), 1u);
    EXPECT_FALSE(cache.reference(42));
}

TEST(TextureCacheTest, LookupIsByExactName) {
    TextureCache cache([](unsigned) {});
    cache.add("Skin.jpg", 3, false);
    EXPECT_EQ(cache.find("skin.jpg"), nullptr);
    EXPECT_EQ(cache.find("Skin.jpg ")  , nullptr);
    EXPECT_NE(cache.find("Skin.jpg"), nullptr);
    // A name added twice (a "map" image is always loaded anew) is found at its first entry.
    cache.add("Skin.jpg", 4, false);
    EXPECT_EQ(cache.find("Skin.jpg")->glName, 3u);
}

}  // namespace
}  // namespace kavelune
