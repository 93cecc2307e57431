#include "app/web/web_links.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "app/web/notice_words.h"
#include "base/text.h"

namespace kavelune {

namespace {

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

std::vector<std::string> fetchWords(const WebAccess& access, const std::string& host, const char* file) {
    std::optional<std::string> text = access.fetchText ? access.fetchText(noticeUrl(host, file)) : std::nullopt;
    if (!text) return {};
    return noticeWords(*text, 3);
}

}  // namespace

WebService configuredWebService(const EditionTraits& edition) {
    WebService service{std::string(edition.webHost), std::string(edition.homeAddress)};
    if (const char* host = std::getenv("KAVELUNE_WEB_HOST"); host && *host) service.host = host;
    if (const char* home = std::getenv("KAVELUNE_HOME_ADDRESS"); home && *home) service.homeAddress = home;
    return service;
}

WebLinks::WebLinks(WebService service, int userLanguageId, WebAccess access)
    : service_(std::move(service)),
      userLanguageId_(userLanguageId),
      access_(std::move(access)),
      language_(userLanguageId),
      fetched_(std::make_shared<Fetched>()) {
    fetched_->siteAddress = service_.homeAddress;
}

WebLinks::~WebLinks() {
    if (fetchThread_.joinable()) fetchThread_.detach();
}

void WebLinks::startFetch() {
    std::call_once(started_, [this] {
        fetchThread_ = std::thread([service = service_, languageId = userLanguageId_, access = access_,
                                    fetched = fetched_] { fetch(service, languageId, access, *fetched); });
    });
}

void WebLinks::waitForFetch() {
    if (fetchThread_.joinable()) fetchThread_.join();
}

std::string WebLinks::siteAddress() const {
    std::lock_guard<std::mutex> guard(fetched_->lock);
    return fetched_->siteAddress;
}

std::string WebLinks::mailText(int number) const {
    if (number < 1 || number > 3) return {};
    std::lock_guard<std::mutex> guard(fetched_->lock);
    return fetched_->mailTexts[static_cast<std::size_t>(number - 1)];
}

void WebLinks::openSite() const {
    if (access_.openInBrowser) access_.openInBrowser(siteAddress());
}

void WebLinks::fetch(const WebService& service, int userLanguageId, const WebAccess& access, Fetched& into) {
    std::vector<std::string> sites = fetchWords(access, service.host, "/jivora.txt");
    std::vector<std::string> mail = fetchWords(access, service.host, "/mail.txt");

    std::size_t siteWord = userLanguageId == kLanguageIdJapanese ? kJapaneseWord
                           : userLanguageId == kLanguageIdKorean ? kKoreanWord
                                                                 : kOtherWord;
    std::lock_guard<std::mutex> guard(into.lock);
    for (std::size_t i = 0; i < mail.size() && i < into.mailTexts.size(); ++i) {
        if (!mail[i].empty()) into.mailTexts[i] = mail[i];
    }
    if (siteWord < sites.size() && isWebAddress(sites[siteWord])) into.siteAddress = sites[siteWord];
}

}  // namespace kavelune
