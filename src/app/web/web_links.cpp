#include "app/web/web_links.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "app/web/browser_launch.h"
#include "app/web/http_fetch.h"
#include "app/web/notice_words.h"
#include "app/menu/user_language.h"
#include "base/text.h"

namespace kavelune {

namespace {

// The maker's service. The ".invalid" name never resolves, so until a real host is configured
// the fetch fails at once and the home address stays.
constexpr const char* kDefaultHost = "http://kavelune.invalid";
constexpr const char* kDefaultHomeAddress = "http://kavelune.invalid/";

// Word positions in "/jivora.txt".
constexpr std::size_t kKoreanWord = 0;
constexpr std::size_t kOtherWord = 1;
constexpr std::size_t kJapaneseWord = 2;

std::string noticeUrl(std::string host, const char* file) {
    while (!host.empty() && host.back() == '/') host.pop_back();
    return host + file;
}

// Only a web address may become the site address: the word goes to the browser opener as an
// argument, and anything else (an option-like "-x", a local file) has no business there.
bool isWebAddress(std::string_view word) {
    std::string lower = toLowerAscii(word.substr(0, 8));
    return lower.starts_with("http://") || lower.starts_with("https://");
}

std::vector<std::string> fetchWords(const std::string& host, const char* file) {
    std::optional<std::string> text = fetchText(noticeUrl(host, file));
    if (!text) return {};
    return noticeWords(*text, 3);
}

}  // namespace

WebService configuredWebService() {
    WebService service{kDefaultHost, kDefaultHomeAddress};
    if (const char* host = std::getenv("KAVELUNE_WEB_HOST"); host && *host) service.host = host;
    if (const char* home = std::getenv("KAVELUNE_HOME_ADDRESS"); home && *home) service.homeAddress = home;
    return service;
}

WebLinks::WebLinks(WebService service, int userLanguageId)
    : service_(std::move(service)),
      userLanguageId_(userLanguageId),
      language_(userLanguageId),
      siteAddress_(service_.homeAddress) {}

WebLinks::~WebLinks() { waitForFetch(); }

void WebLinks::startFetch() {
    std::call_once(started_, [this] { fetchThread_ = std::thread([this] { fetch(); }); });
}

void WebLinks::waitForFetch() {
    if (fetchThread_.joinable()) fetchThread_.join();
}

std::string WebLinks::siteAddress() const {
    std::lock_guard<std::mutex> guard(lock_);
    return siteAddress_;
}

std::string WebLinks::mailText(int number) const {
    if (number < 1 || number > 3) return {};
    std::lock_guard<std::mutex> guard(lock_);
    return mailTexts_[static_cast<std::size_t>(number - 1)];
}

void WebLinks::openSite() const { openInBrowser(siteAddress()); }

void WebLinks::fetch() {
    std::vector<std::string> sites = fetchWords(service_.host, "/jivora.txt");
    std::vector<std::string> mail = fetchWords(service_.host, "/mail.txt");

    std::size_t siteWord = userLanguageId_ == kLanguageIdJapanese ? kJapaneseWord
                           : userLanguageId_ == kLanguageIdKorean ? kKoreanWord
                                                                  : kOtherWord;
    std::lock_guard<std::mutex> guard(lock_);
    for (std::size_t i = 0; i < mail.size() && i < mailTexts_.size(); ++i) {
        if (!mail[i].empty()) mailTexts_[i] = mail[i];
    }
    if (siteWord < sites.size() && isWebAddress(sites[siteWord])) siteAddress_ = sites[siteWord];
}

WebLinks& WebLinks::instance() {
    static WebLinks* links = [] {
        auto* created = new WebLinks(configuredWebService(), userDefaultLanguageId());
        created->startFetch();
        return created;
    }();
    return *links;
}

}  // namespace kavelune
