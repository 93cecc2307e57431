#include "app/launch/startup_command_line.h"

#include <gtest/gtest.h>

#include "app/launch/cant_run_report.h"
#include "base/message_box.h"

namespace kavelune {
namespace {

TEST(StartupCommandLineTest, PathAndAllThreeNumbers) {
    const auto line = parseStartupCommandLine({"other.txt", "10", "20", "1"});
    EXPECT_EQ(line.launchFile, "other.txt");
    EXPECT_EQ(line.x, 10);
    EXPECT_EQ(line.y, 20);
    EXPECT_EQ(line.exitOnEnd, true);
    EXPECT_EQ(parseStartupCommandLine({"a.txt", "-5", "+7", "0"}).exitOnEnd, false);
    EXPECT_EQ(parseStartupCommandLine({"a.txt", "-5", "+7", "0"}).x, -5);
}

TEST(StartupCommandLineTest, PathAloneLeavesTheNumbersToTheLaunchFile) {
    const auto line = parseStartupCommandLine({"other.txt"});
    EXPECT_EQ(line.launchFile, "other.txt");
    EXPECT_FALSE(line.x);
    EXPECT_FALSE(line.y);
    EXPECT_FALSE(line.exitOnEnd);
    EXPECT_TRUE(parseStartupCommandLine({}).launchFile.empty());
}

TEST(StartupCommandLineTest, AnUnreadableNumberStopsTheOnesAfterIt) {
    const auto line = parseStartupCommandLine({"other.txt", "abc", "5"});
    EXPECT_FALSE(line.x);
    EXPECT_FALSE(line.y);
    const auto second = parseStartupCommandLine({"other.txt", "12", "x", "1"});
    EXPECT_EQ(second.x, 12);
    EXPECT_FALSE(second.y);
    EXPECT_FALSE(second.exitOnEnd);
    EXPECT_EQ(parseStartupCommandLine({"o.txt", "10px"}).x, 10);
    EXPECT_FALSE(parseStartupCommandLine({"o.txt", "99999999999"}).x);
}

TEST(StartupCommandLineTest, HomeIsTakenFromAnywhereAndIsNotAField) {
    const auto line = parseStartupCommandLine({"--home", "/srv/k", "other.txt", "--home=/x", "3"});
    EXPECT_EQ(line.home, "/x");
    EXPECT_EQ(line.launchFile, "other.txt");
    EXPECT_EQ(line.x, 3);
    EXPECT_EQ(parseStartupCommandLine({"--verbose", "a.txt"}).unknownOptions.size(), 1u);
    const auto invited = parseStartupCommandLine({"--open-invitation", "in.eml", "a.txt", "7"});
    EXPECT_EQ(invited.openInvitation, "in.eml");
    EXPECT_EQ(invited.launchFile, "a.txt");
    EXPECT_EQ(invited.x, 7);
    EXPECT_EQ(parseStartupCommandLine({"--open-invitation=p.html"}).openInvitation, "p.html");
}

}  // namespace
}  // namespace kavelune

namespace kavelune {
namespace {

TEST(CantRunReportTest, TheLockIsLetGoBeforeTheQuestionAndYesOpensTheSite) {
    for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        std::vector<std::string> events;
        MessageBoxHandler previous = setMessageBoxHandler([&](const MessageRequest& request) {
            events.push_back("box " + request.text);
            return answer;
        });
        reportCantRun([&] { events.push_back("release"); }, [&] { events.push_back("site"); });
        setMessageBoxHandler(previous);
        std::vector<std::string> expected{"release", std::string("box ") + kCantRunText};
        if (answer == MessageAnswer::Yes) expected.push_back("site");
        EXPECT_EQ(events, expected);
    }
}

}  // namespace
}  // namespace kavelune
