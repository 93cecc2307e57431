#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/web/notice_words.h"
#include "app/web/web_links.h"
#include "platform/posix/browser_launch.h"
#include "platform/http/http_fetch.h"
#include "platform/posix/kit_fetch.h"
#include "support/temp_folder.h"

extern char** environ;

namespace kavelune {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using posix::browserCommandLines;
using posix::CommandLine;
using posix::runFirstSuccessful;

int connectTo(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int result = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    close(fd);
    return result;
}

// A port nobody listens on at the moment.
int freePort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

// Python's own web server on 127.0.0.1, serving one folder, for as long as the object lives.
class LocalWebServer {
public:
    explicit LocalWebServer(const fs::path& root) : port_(freePort()) {
        std::string port = std::to_string(port_);
        std::string folder = root.string();
        std::vector<const char*> argv{"python3", "-m", "http.server", port.c_str(), "--bind", "127.0.0.1",
                                      "--directory", folder.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        int spawned = posix_spawnp(&pid_, "python3", &actions, nullptr, const_cast<char* const*>(argv.data()), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = 0;
            return;
        }
        for (int attempt = 0; attempt < 200 && connectTo(port_) != 0; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~LocalWebServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    bool running() const { return pid_ > 0 && connectTo(port_) == 0; }
    std::string host() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    int port_;
    pid_t pid_ = 0;
};

constexpr const char* kHome = "http://home.test/";

enum class Fetcher { HttpClient, ContentKit };

const char* nameOf(Fetcher fetcher) { return fetcher == Fetcher::ContentKit ? "ContentKit" : "HttpClient"; }
void PrintTo(Fetcher fetcher, std::ostream* out) { *out << nameOf(fetcher); }

// The HTTP client itself (what kvl uses), and the content kit in a process of its own (what the
// programs use); the browser is never started from these tests.
WebAccess realWebAccess(Fetcher fetcher) {
    if (fetcher == Fetcher::ContentKit) {
        return {[](const std::string& url) { return posix::fetchTextThroughKit(KAVELUNE_KVL, url); }, nullptr};
    }
    return {[](const std::string& url) { return http::fetchText(url); }, nullptr};
}

class WebLinksTest : public ::testing::TestWithParam<Fetcher> {
protected:
    void SetUp() override {
        // The thread-checked tree builds the tests without the kit.
        if (GetParam() == Fetcher::ContentKit && !fs::exists(KAVELUNE_KVL)) GTEST_SKIP() << "kvl is not built";
    }
    WebAccess realWebAccess() const { return kavelune::realWebAccess(GetParam()); }

    // Fetches from the local server as a user of `languageId` and returns the finished links.
    std::unique_ptr<WebLinks> fetchAs(int languageId, std::string host = {}) {
        auto links = std::make_unique<WebLinks>(WebService{host.empty() ? server.host() : host, kHome}, languageId,
                                                realWebAccess());
        links->startFetch();
        links->startFetch();  // a second start is ignored
        links->waitForFetch();
        return links;
    }

    TempFolder site;
    LocalWebServer server{site.path()};
};

TEST_P(WebLinksTest, SiteAddressFollowsTheUsersLanguage) {
    ASSERT_TRUE(server.running());
    site.write("jivora.txt", "http://ko.test/\r\n  http://www.test/\thttps://ja.test/ http://extra.test/\n");
    site.write("mail.txt", "smtp.test.com guest secret\n");

    WebLinks unstarted(WebService{server.host(), kHome}, 1042, realWebAccess());
    EXPECT_EQ(unstarted.siteAddress(), kHome);  // before the fetch has finished: the home address
    EXPECT_EQ(unstarted.mailText(1), "");

    EXPECT_EQ(fetchAs(1042)->siteAddress(), "http://ko.test/");
    EXPECT_EQ(fetchAs(1033)->siteAddress(), "http://www.test/");
    EXPECT_EQ(fetchAs(2057)->siteAddress(), "http://www.test/");
    auto japanese = fetchAs(1041);
    EXPECT_EQ(japanese->siteAddress(), "https://ja.test/");
    EXPECT_EQ(japanese->mailText(1), "smtp.test.com");
    EXPECT_EQ(japanese->mailText(2), "guest");
    EXPECT_EQ(japanese->mailText(3), "secret");
    EXPECT_EQ(japanese->mailText(0), "");
    EXPECT_EQ(japanese->mailText(4), "");
    // The language column starts from the same language, and switches on its own.
    EXPECT_EQ(japanese->language().language(), MenuLanguage::Japanese);
    japanese->language().setLanguageId(1042);
    EXPECT_EQ(japanese->text(MenuText::kExit), "종료\tESC");
    EXPECT_EQ(japanese->siteAddress(), "https://ja.test/");
}

TEST_P(WebLinksTest, MissingWordsChangeNothing) {
    ASSERT_TRUE(server.running());
    site.write("jivora.txt", "http://ko.test/\n");
    site.write("mail.txt", "smtp.only.test");
    EXPECT_EQ(fetchAs(1042)->siteAddress(), "http://ko.test/");
    auto english = fetchAs(1033);
    EXPECT_EQ(english->siteAddress(), kHome);
    EXPECT_EQ(english->mailText(1), "smtp.only.test");
    EXPECT_EQ(english->mailText(2), "");
    EXPECT_EQ(fetchAs(1041)->siteAddress(), kHome);

    site.write("jivora.txt", "   \n");
    site.write("mail.txt", "");
    EXPECT_EQ(fetchAs(1033)->siteAddress(), kHome);
}

TEST_P(WebLinksTest, FailedDownloadsKeepTheHomeAddress) {
    ASSERT_TRUE(server.running());
    // The server answers 404 for both files.
    auto notFound = fetchAs(1033);
    EXPECT_EQ(notFound->siteAddress(), kHome);
    EXPECT_EQ(notFound->mailText(1), "");

    // Nobody listens on the host.
    auto unreachable = fetchAs(1033, "http://127.0.0.1:" + std::to_string(freePort()));
    EXPECT_EQ(unreachable->siteAddress(), kHome);
    EXPECT_EQ(unreachable->mailText(1), "");

    // Only the mail file is there.
    site.write("mail.txt", "smtp.test");
    auto mailOnly = fetchAs(1042);
    EXPECT_EQ(mailOnly->siteAddress(), kHome);
    EXPECT_EQ(mailOnly->mailText(1), "smtp.test");
}

TEST_P(WebLinksTest, LongWordsAreCutAndOnlyWebAddressesAreOpened) {
    ASSERT_TRUE(server.running());
    std::string longAddress = "http://long.test/" + std::string(400, 'a');
    site.write("jivora.txt", "-oops " + longAddress + " file:///etc/passwd\n");
    site.write("mail.txt", std::string(300, 'm') + " user");
    EXPECT_EQ(fetchAs(1042)->siteAddress(), kHome);
    EXPECT_EQ(fetchAs(1041)->siteAddress(), kHome);
    auto english = fetchAs(1033);
    EXPECT_EQ(english->siteAddress(), longAddress.substr(0, 259));
    EXPECT_EQ(english->mailText(1), std::string(259, 'm'));
    EXPECT_EQ(english->mailText(2), "user");
}

INSTANTIATE_TEST_SUITE_P(Fetchers, WebLinksTest, ::testing::Values(Fetcher::HttpClient, Fetcher::ContentKit),
                         [](const ::testing::TestParamInfo<Fetcher>& info) { return nameOf(info.param); });

TEST(NoticeWordsTest, SplitsOnAnyBlankAndCutsAtCharacterBorders) {
    EXPECT_EQ(noticeWords(" a\tb\r\nc d ", 3), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(noticeWords("one", 3), (std::vector<std::string>{"one"}));
    EXPECT_TRUE(noticeWords("", 3).empty());
    // 258 ASCII bytes and then a three-byte character: cutting at 259 would split it.
    std::string word = std::string(258, 'x') + "한" + "tail";
    EXPECT_EQ(noticeWords(word, 1), (std::vector<std::string>{std::string(258, 'x')}));
    std::string exact(259, 'y');
    EXPECT_EQ(noticeWords(exact + " z", 3), (std::vector<std::string>{exact, "z"}));
}

TEST(BrowserLaunchTest, CommandLinesKeepTheAddressOneArgument) {
    std::string url = "http://x.test/a b?c=\"d\"&e=$(touch f);g";
    std::vector<CommandLine> lines = browserCommandLines(url, "firefox:  :chromium --new-window %s:");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (CommandLine{"xdg-open", url}));
    EXPECT_EQ(lines[1], (CommandLine{"firefox", url}));
    EXPECT_EQ(lines[2], (CommandLine{"chromium", "--new-window", url}));
    EXPECT_EQ(browserCommandLines("http://p.test/%s", "b --url=%s")[1], (CommandLine{"b", "--url=http://p.test/%s"}));
    EXPECT_EQ(browserCommandLines(url, "").size(), 1u);
}

TEST(BrowserLaunchTest, RunsTheFirstCommandThatSucceeds) {
    TempFolder folder;
    fs::path failing = folder.write("failing", "#!/bin/sh\nexit 3\n");
    fs::path recording = folder.write("recording", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args\"\n");
    chmod(failing.c_str(), 0755);
    chmod(recording.c_str(), 0755);
    std::string url = "http://x.test/a b;$(id)";

    EXPECT_TRUE(runFirstSuccessful({{(folder / "no-such-browser").string(), url}, {failing.string(), url},
                                    {recording.string(), "--flag", url}}));
    EXPECT_EQ(testing::readFile(recording.string() + ".args"), "--flag\n" + url + "\n");
    EXPECT_FALSE(runFirstSuccessful({{failing.string(), url}}));
    EXPECT_FALSE(runFirstSuccessful({}));
}

}  // namespace
}  // namespace kavelune
