#include "platform/http/http_fetch.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "base/text.h"

namespace kavelune::http {

namespace {

struct Download {
    std::string body;
    std::size_t maxBytes = 0;
};

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* userData) {
    auto* download = static_cast<Download*>(userData);
    std::size_t bytes = size * count;
    if (download->body.size() + bytes > download->maxBytes) return 0;  // ends the transfer
    download->body.append(data, bytes);
    return bytes;
}

// Names under ".invalid" are reserved never to resolve (RFC 6761); the programs' placeholder web
// hosts use it, so they fail here without asking the network.
bool namesAnInvalidHost(const std::string& url) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), &curl_url_cleanup);
    char* host = nullptr;
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK ||
        curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) {
        return false;  // curl itself says what is wrong with the address
    }
    std::string name = toLowerAscii(host);
    curl_free(host);
    while (!name.empty() && name.back() == '.') name.pop_back();
    return name == "invalid" || name.ends_with(".invalid");
}

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

std::optional<std::string> fetchText(const std::string& url, long timeoutSeconds, std::size_t maxBytes) {
    initialiseCurlOnce();
    if (namesAnInvalidHost(url)) return std::nullopt;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) return std::nullopt;

    Download download;
    download.maxBytes = maxBytes;
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, timeoutSeconds < 10 ? timeoutSeconds : 10L);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, timeoutSeconds);
    // The fetch runs on a thread of its own; signals must not be used for timeouts there.
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &appendBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &download);
    if (curl_easy_perform(handle) != CURLE_OK) return std::nullopt;
    return std::move(download.body);
}

}  // namespace kavelune::http
