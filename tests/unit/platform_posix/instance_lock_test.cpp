#include "platform/posix/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_folder.h"

namespace kavelune::posix {
namespace {

using kavelune::testing::runCommand;
using kavelune::testing::TempFolder;

TEST(InstanceLockTest, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
    TempFolder folder;
    InstanceLock first("Kavelune", folder.path());
    ASSERT_TRUE(first.held());
    EXPECT_EQ(first.file(), folder.path() / "Kavelune.lock");

    InstanceLock second("Kavelune", folder.path());
    EXPECT_FALSE(second.held());
    EXPECT_TRUE(second.heldElsewhere());

    // Another process sees the lock too (flock(1) uses the same system lock).
    const std::string probe = "flock -n '" + first.file().string() + "' true";
    EXPECT_NE(runCommand(probe), 0);

    first.release();
    EXPECT_EQ(runCommand(probe), 0);
    InstanceLock third("Kavelune", folder.path());
    EXPECT_TRUE(third.held());
}

TEST(InstanceLockTest, TheLockEndsWithTheProcessThatHeldIt) {
    TempFolder folder;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock("Kavelune", folder.path());
        _exit(lock.held() ? 0 : 1);  // ends without releasing
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    InstanceLock lock("Kavelune", folder.path());
    EXPECT_TRUE(lock.held());
}

TEST(InstanceLockTest, AnUnusableFolderIsNotMistakenForAnotherCopy) {
    InstanceLock lock("Kavelune", "/proc/no-such-folder");
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(lock.heldElsewhere());
}

}  // namespace
}  // namespace kavelune::posix
