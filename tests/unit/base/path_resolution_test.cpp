#include "base/path_resolution.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace kavelune {
namespace {

using testing::TempFolder;

TEST(PathResolutionTest, AcceptsBothSeparatorsAndIgnoresCaseWhenTheExactNameIsMissing) {
    TempFolder root;
    auto girl = root.write("Characters/Girl/Girl.dcz", "x");
    EXPECT_EQ(resolveContentPath(root.path(), "Characters\\Girl\\Girl.dcz"), girl);
    EXPECT_EQ(resolveContentPath(root.path(), "Characters/Girl/Girl.dcz"), girl);
    EXPECT_EQ(resolveContentPath(root.path(), "characters\\GIRL\\girl.DCZ"), girl);
    EXPECT_EQ(resolveContentPath(root.path(), "\\Characters\\Girl\\"), root.path() / "Characters/Girl");
}

TEST(PathResolutionTest, ExactNameWinsOverACaseVariant) {
    TempFolder root;
    root.write("Sounds/song.mp3", "lower");
    auto upper = root.write("Sounds/Song.mp3", "upper");
    EXPECT_EQ(resolveContentPath(root.path(), "Sounds\\Song.mp3"), upper);
}

TEST(PathResolutionTest, MissingPathsComeBackAsTheExactJoin) {
    TempFolder root;
    EXPECT_EQ(resolveContentPath(root.path(), "Sequences\\none.dsq"), root.path() / "Sequences/none.dsq");
}

TEST(PathResolutionTest, StoredPathHelpers) {
    EXPECT_EQ(joinStoredPath("Characters\\", "\\Girl\\Girl.dcz"), "Characters\\Girl\\Girl.dcz");
    EXPECT_EQ(joinStoredPath("", "a.dsq"), "a.dsq");
    EXPECT_EQ(storedFileName("Sequences\\Disco\\fast.dsq"), "fast.dsq");
    EXPECT_EQ(storedFileName("plain"), "plain");
    EXPECT_EQ(toStoredPath("/home/k", "/home/k/Sounds/a.mp3"), "Sounds\\a.mp3");
    // A path outside the root stays absolute and resolves back to itself.
    EXPECT_EQ(toStoredPath("/home/k", "/tmp/x/a.dsq"), "/tmp/x/a.dsq");
    EXPECT_EQ(resolveContentPath("/home/k", toStoredPath("/home/k", "/tmp/x/a.dsq")), "/tmp/x/a.dsq");
}

}  // namespace
}  // namespace kavelune
