#include <gtest/gtest.h>

#include "platform/posix/child_process.h"

namespace kavelune::posix {
namespace {

TEST(ChildProcessTest, StandardOutputIsCollectedUpToItsLimit) {
    std::string printed;
    EXPECT_EQ(runCollectingStandardOutput({"sh", "-c", "printf 'a\\0b'; echo noise >&2; exit 3"}, 16, printed), 3);
    EXPECT_EQ(printed, std::string("a\0b", 3));  // bytes as they came, standard error left out

    // A program that never stops printing is ended once it passes the limit, not waited for.
    EXPECT_EQ(runCollectingStandardOutput({"yes"}, 1000, printed), -1);
    EXPECT_TRUE(printed.empty());

    EXPECT_EQ(runCollectingStandardOutput({"/nonexistent/program"}, 16, printed), -1);
}

}  // namespace
}  // namespace kavelune::posix
