#pragma once

#include "edition/edition_traits.h"

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/menu/menu_text.h"

namespace kavelune {

// Where the web service lives: the host that serves "/jivora.txt" and "/mail.txt", and the site
// address used until (or unless) the service names a better one.
struct WebService {
    std::string host;         // "http://host[:port]", no trailing slash needed
    std::string homeAddress;  // opened by F1 before the fetch has finished
};

// The edition's service, unless KAVELUNE_WEB_HOST or KAVELUNE_HOME_ADDRESS say otherwise.
WebService configuredWebService(const EditionTraits& edition = kaveluneLE());

// How the web links reach the network and the browser; the platform supplies both.
struct WebAccess {
    // The body of a small text file at `url`, nothing when it cannot be had.
    std::function<std::optional<std::string>(const std::string& url)> fetchText;
    // Shows `url` in the user's browser without holding up the caller.
    std::function<void(std::string url)> openInBrowser;
};

// The site address and the three mail texts the web service offers, and the interface language
// column. A fetch thread fills the texts in once, in the background; every read and write of them
// takes the lock, since the user interface and the mail dialogs read them meanwhile.
class WebLinks {
public:
    // `userLanguageId` chooses the site address for the user's language (1041 Japanese, 1042
    // Korean, otherwise the address for everyone else) and the first language column.
    WebLinks(WebService service, int userLanguageId, WebAccess access);
    // A fetch still under way is left to finish on its own (a slow server must not hold up the
    // program's exit); it keeps what it writes alive itself.
    ~WebLinks();
    WebLinks(const WebLinks&) = delete;
    WebLinks& operator=(const WebLinks&) = delete;

    // Starts the fetch thread; later calls do nothing.
    void startFetch();
    // Waits until the fetch thread has ended (for tests and orderly shutdown).
    void waitForFetch();

    std::string siteAddress() const;
    // Mail text 1, 2 or 3: server, user name and password of the service's default account;
    // empty until fetched, and for any other number.
    std::string mailText(int number) const;

    LanguageColumn& language() { return language_; }
    const LanguageColumn& language() const { return language_; }
    // The current column's text of a MenuText row.
    std::string_view text(int row) const { return language_.text(row); }

    // Shows the site address in the user's browser, in the background.
    void openSite() const;

private:
    // What the fetch thread writes and the user interface reads, shared with the thread.
    struct Fetched {
        std::mutex lock;
        std::string siteAddress;
        std::array<std::string, 3> mailTexts;
    };

    static void fetch(const WebService& service, int userLanguageId, const WebAccess& access, Fetched& into);

    const WebService service_;
    const int userLanguageId_;
    const WebAccess access_;
    LanguageColumn language_;
    std::shared_ptr<Fetched> fetched_;

    std::once_flag started_;
    std::thread fetchThread_;
};

}  // namespace kavelune
