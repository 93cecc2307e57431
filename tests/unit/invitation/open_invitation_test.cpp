#include "mail/invitation/open_invitation.h"

#include <gtest/gtest.h>

#include "invitation_fixture.h"
#include "mail/invitation/invitation_package.h"
#include "mail/invitation/zip_archive_writer.h"

namespace kavelune {
namespace {

namespace fs = std::filesystem;

std::string pageFor(const InvitationContent& content, const fs::path& program) {
    InvitationPayload payload;
    PackageOutcome outcome;
    EXPECT_TRUE(buildInvitationPayload(content, {program, kInstallerDataLE, {}}, payload, outcome)) << outcome.error;
    return buildInvitationPage({}, "Come and see!", payload, 1252);
}

std::size_t regularFilesUnder(const fs::path& root) {
    std::size_t count = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file() && !it->is_symlink()) ++count;
    }
    return count;
}

// A page whose content archive holds one good entry and then `badName`.
std::string pageWithEntry(const std::string& badName, const std::string& launch = "dance \"a.dsq\"\r\n") {
    testing::TempFolder work;
    auto file = work.write("f", "bytes");
    auto launchFile = work.write("kavelune.txt", launch);
    std::vector<std::string> skipped;
    std::string error;
    EXPECT_TRUE(writeZipArchive(work / "data.zip", {{"Sounds\\ok.mp3", file}, {badName, file}}, skipped, error));
    EXPECT_TRUE(writeZipArchive(work / "start.zip", {{"kavelune.txt", launchFile}}, skipped, error));
    return buildInvitationPage({}, "", {"bin", testing::readFile(work / "data.zip"), testing::readFile(work / "start.zip")},
                               1252);
}

TEST(OpenInvitationTest, RoundTripGivesTheSameFilesAndPaths) {
    testing::TempFolder program;
    InvitationContent content = testing::writeProgramFolder(program);
    testing::TempFolder received;
    auto page = received.write("invitation.html", pageFor(content, program.path()));
    fs::path root = received / "content";
    // The receiver already has a character folder, in other letter case.
    received.makeFolder("content/characters/girl");

    OpenedInvitation opened;
    ASSERT_TRUE(openInvitation(page, root, opened)) << opened.error;
    EXPECT_EQ(opened.character, "Characters\\Girl\\girl.txt");
    EXPECT_EQ(opened.dance, "Sequences\\Disco\\a.dsq");
    EXPECT_EQ(opened.sound, "Sounds\\song.mp3");  // not in the launch file: the first content file
    EXPECT_EQ(opened.characterFile, root / "characters/girl/girl.txt");
    EXPECT_EQ(opened.installerData, std::string("MZ\0\x01installer", 13));
    EXPECT_EQ(opened.launchFileText, content.launchFileText);
    ASSERT_EQ(opened.unpacked.size(), 8u);
    for (const char* file : {"Sounds/song.mp3", "Sequences/Motion Pool/pool1.dmp", "Characters/Girl/girl.dcz",
                             "Characters/Girl/Tex/deep/x.tga"}) {
        std::string relative = file;
        std::string below = relative.starts_with("Characters/Girl") ? "characters/girl" + relative.substr(15) : relative;
        EXPECT_EQ(testing::readFile(root / below), testing::readFile(program / relative)) << file;
    }
}

TEST(OpenInvitationTest, SavedMailWithAnyTransferEncodingOpens) {
    testing::TempFolder program;
    InvitationContent content = testing::writeProgramFolder(program);
    testing::TempFolder received;
    received.write("page.html", pageFor(content, program.path()));
    // Python's email package wraps the page the way other mail programs save it.
    for (const char* encoding : {"quoted-printable", "base64"}) {
        std::string script =
            "import email.message,sys\n"
            "page=open(sys.argv[1],encoding='latin-1').read()\n"
            "m=email.message.EmailMessage()\nm['Subject']='x'\n"
            "m.set_content('plain text')\n"
            "m.add_alternative(page,subtype='html',charset='iso-8859-1',cte=sys.argv[2])\n"
            "open(sys.argv[3],'wb').write(bytes(m))\n";
        received.write("wrap.py", script);
        auto eml = received / (std::string(encoding) + ".eml");
        ASSERT_EQ(testing::runCommand("python3 '" + (received / "wrap.py").string() + "' '" +
                                      (received / "page.html").string() + "' " + encoding + " '" + eml.string() + "'"),
                  0);
        OpenedInvitation opened;
        ASSERT_TRUE(openInvitation(eml, received / encoding, opened)) << encoding << ": " << opened.error;
        EXPECT_EQ(opened.unpacked.size(), 8u) << encoding;
        EXPECT_EQ(testing::readFile(received / encoding / "Characters/Girl/girl.dcz"),
                  testing::readFile(program / "Characters/Girl/girl.dcz"));
    }
}

TEST(OpenInvitationTest, NamesLeavingTheContentFolderRefuseTheWholeInvitation) {
    const char* names[] = {"..\\..\\x", "/etc/x", "C:\\x", "Sounds\\..\\..\\x", "\\x", "a/../../x", "Sounds\\link\\x"};
    for (const char* name : names) {
        testing::TempFolder received;
        testing::TempFolder outside;
        fs::path root = received / "content";
        received.makeFolder("content/Sounds");
        fs::create_directory_symlink(outside.path(), root / "Sounds" / "link");
        OpenedInvitation opened;
        EXPECT_FALSE(openInvitationText(pageWithEntry(name), root, opened)) << name;
        EXPECT_FALSE(opened.error.empty());
        EXPECT_EQ(regularFilesUnder(received.path()), 0u) << name;
        EXPECT_EQ(regularFilesUnder(outside.path()), 0u) << name;
    }
    testing::TempFolder received;
    OpenedInvitation opened;
    EXPECT_FALSE(openInvitationText(pageWithEntry("Sounds\\b.mp3", "character \"..\\..\\etc\\passwd\"\r\n"),
                                    received.path(), opened));
    EXPECT_EQ(regularFilesUnder(received.path()), 0u);
}

TEST(OpenInvitationTest, PagesThatAreNotInvitations) {
    testing::TempFolder received;
    OpenedInvitation opened;
    EXPECT_FALSE(openInvitationText("<html>hello</html>", received.path(), opened));
    EXPECT_FALSE(openInvitationText("Content-Type: text/plain\r\n\r\nhello", received.path(), opened));
    std::string damaged = pageWithEntry("Sounds\\b.mp3");
    damaged.replace(damaged.find("DataSource\" VALUE=\"\n") + 25, 8, "!!!!!!!!");
    EXPECT_FALSE(openInvitationText(damaged, received.path(), opened));
    EXPECT_FALSE(openInvitation(received / "missing.eml", received.path(), opened));
    EXPECT_EQ(regularFilesUnder(received.path()), 0u);
}

}  // namespace
}  // namespace kavelune
