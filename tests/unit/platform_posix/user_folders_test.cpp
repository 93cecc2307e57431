#include "platform/posix/user_folders.h"

#include "platform/posix/content_view.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "support/temp_folder.h"

namespace kavelune::posix {
namespace {

using kavelune::testing::readFile;
using kavelune::testing::TempFolder;

// Sets an environment variable for the length of a test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

mode_t permissions(const std::filesystem::path& folder) {
    struct stat info {};
    lstat(folder.c_str(), &info);
    return info.st_mode & 0777;
}

std::string privateName() { return "kavelune-" + std::to_string(getuid()); }

TEST(UserFoldersTest, RuntimeFolderComesFromTheEnvironmentOrFallsBackToAPrivateOne) {
    TempFolder folder;
    {
        ScopedEnvironment runtime("XDG_RUNTIME_DIR", folder.path().string());
        EXPECT_EQ(userRuntimeFolder(), folder.path());
    }
    ScopedEnvironment runtime("XDG_RUNTIME_DIR", (folder / "missing").string());
    ScopedEnvironment temporary("TMPDIR", folder.path().string());
    const std::filesystem::path fallback = userRuntimeFolder();
    EXPECT_EQ(fallback, folder / privateName());
    EXPECT_EQ(permissions(fallback), 0700u);
}

TEST(UserFoldersTest, TemporaryAndCacheFoldersAreMadeOnFirstUse) {
    TempFolder folder;
    ScopedEnvironment temporary("TMPDIR", folder.path().string());
    ScopedEnvironment cache("XDG_CACHE_HOME", (folder / "cache").string());
    EXPECT_EQ(userTemporaryFolder(), folder / privateName());
    EXPECT_EQ(userCacheFolder(), folder / "cache" / "kavelune");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "cache" / "kavelune"));

    ScopedEnvironment noCache("XDG_CACHE_HOME", "");
    ScopedEnvironment home("HOME", (folder / "home").string());
    EXPECT_EQ(userCacheFolder(), folder / "home" / ".cache" / "kavelune");
}

TEST(UserFoldersTest, PrivateFoldersAreClosedToOthersAndLinksAreRefused) {
    TempFolder folder;
    const std::filesystem::path open = folder.makeFolder("open");
    chmod(open.c_str(), 0777);
    EXPECT_TRUE(ensurePrivateFolder(open));
    EXPECT_EQ(permissions(open), 0700u);

    const std::filesystem::path link = folder / "link";
    std::filesystem::create_directory_symlink(open, link);
    EXPECT_FALSE(ensurePrivateFolder(link));

    folder.write("file", "x");
    EXPECT_FALSE(ensurePrivateFolder(folder / "file"));
}

TEST(UserFoldersTest, ExecutableFolderHoldsTheRunningProgram) {
    const std::filesystem::path folder = executableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::exists(folder / "unit_platform_posix"));
}

TEST(ContentViewTest, TheUsersFilesComeFirstBothAreListedAndOnlyAViewIsEverRemoved) {
    TempFolder folder;
    folder.write("user/Characters/Mine/Mine.dcz", "mine");
    folder.write("user/Sounds/song.mp3", "user song");
    folder.write("installed/Sounds/song.mp3", "installed song");
    folder.write("installed/Sounds/other.mp3", "other");
    folder.write("installed/kavelune.txt", "launch");
    const std::filesystem::path view = folder.path() / "view";
    ASSERT_TRUE(composeContentView({folder.path() / "user", folder.path() / "installed"}, view));
    EXPECT_EQ(readFile(view / "Sounds/song.mp3"), "user song");
    EXPECT_EQ(readFile(view / "Sounds/other.mp3"), "other");
    EXPECT_EQ(readFile(view / "Characters/Mine/Mine.dcz"), "mine");
    EXPECT_EQ(readFile(view / "kavelune.txt"), "launch");
    EXPECT_FALSE(std::filesystem::is_symlink(view / "Sounds")) << "folders are merged, not linked";

    // Made afresh: what the user removed is gone from the view, and the originals are untouched.
    std::filesystem::remove(folder.path() / "user/Sounds/song.mp3");
    ASSERT_TRUE(composeContentView({folder.path() / "user", folder.path() / "installed"}, view));
    EXPECT_EQ(readFile(view / "Sounds/song.mp3"), "installed song");
    EXPECT_EQ(readFile(folder.path() / "installed/Sounds/song.mp3"), "installed song");

    // A folder that is not a view is never emptied to make one.
    EXPECT_FALSE(composeContentView({folder.path() / "user"}, folder.path() / "installed"));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "installed/Sounds/other.mp3"));
}

}  // namespace
}  // namespace kavelune::posix
