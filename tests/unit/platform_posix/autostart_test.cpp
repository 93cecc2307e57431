#include "platform/posix/autostart.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace kavelune::posix {
namespace {

using kavelune::testing::readFile;
using kavelune::testing::runCommand;
using kavelune::testing::TempFolder;

TEST(AutostartTest, TheEntryIsWrittenWithTheProgramAndItsFolderAndRemovedAgain) {
    TempFolder config;
    const std::filesystem::path file = config / "autostart/kavelune.desktop";
    const AutostartEntry entry(file, "/opt/My Programs/KaveluneLE", "KaveluneLE", "/home/me/dancing $pot");
    EXPECT_FALSE(entry.enabled());

    ASSERT_TRUE(entry.enable());
    EXPECT_TRUE(entry.enabled());
    const std::string text = readFile(file);
    EXPECT_EQ(text, entry.text());
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nName=KaveluneLE\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nExec=\"/opt/My Programs/KaveluneLE\" --home \"/home/me/dancing \\\\$pot\"\n"),
              std::string::npos)
        << text;
    if (runCommand("command -v desktop-file-validate >/dev/null") == 0) {
        std::string report;
        EXPECT_EQ(runCommand("desktop-file-validate '" + file.string() + "' 2>&1", &report), 0) << report;
    }

    // Enabling again replaces the entry; an installed program names no folder.
    const AutostartEntry installed(file, "/usr/bin/KaveluneLE", "KaveluneLE", "");
    ASSERT_TRUE(installed.enable());
    EXPECT_NE(readFile(file).find("\nExec=/usr/bin/KaveluneLE\n"), std::string::npos) << readFile(file);

    EXPECT_TRUE(installed.disable());
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(installed.disable()) << "nothing to remove is no failure";
}

TEST(AutostartTest, ExecArgumentsAreQuotedOnlyWhenTheyMustBe) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"/usr/bin/KaveluneLE", "/usr/bin/KaveluneLE"},
        {"/opt/a b", "\"/opt/a b\""},
        {"/opt/100%", "/opt/100%%"},
        {"/opt/say \"hi\"", "\"/opt/say \\\\\"hi\\\\\"\""},
        {"/opt/back\\slash", "\"/opt/back\\\\\\\\slash\""},
        {"/opt/`tick`", "\"/opt/\\\\`tick\\\\`\""},
        {"", "\"\""},
    };
    for (const auto& [argument, written] : cases) EXPECT_EQ(desktopExecArgument(argument), written) << argument;
}

}  // namespace
}  // namespace kavelune::posix
