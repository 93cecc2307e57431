// kvl fetch URL: downloads a small text file over HTTP or HTTPS and writes it to standard output
// as it came. The desktop programs fetch their web notices through this, so that they never load
// the HTTP client themselves.
#include <iostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "command.h"
#include "platform/http/http_fetch.h"

namespace kvl {

namespace {

int runFetch(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {});
    if (!arguments.ok()) {
        return fail("fetch", arguments.error(), kExitUsage);
    }
    if (arguments.positionals().size() != 1) {
        return fail("fetch", "needs exactly one address", kExitUsage);
    }
    const std::string& url = arguments.positionals()[0];
    const std::optional<std::string> text = kavelune::http::fetchText(url);
    if (!text) {
        return fail("fetch", url + ": could not be downloaded");
    }
    std::cout.write(text->data(), static_cast<std::streamsize>(text->size()));
    std::cout.flush();
    return std::cout ? kExitOk : kExitFailed;
}

Command registration("fetch", "URL", runFetch);

}  // namespace

}  // namespace kvl
