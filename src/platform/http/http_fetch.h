#pragma once

#include <optional>
#include <string>

namespace kavelune::http {

// Downloads a small text file over HTTP or HTTPS (redirects followed within those two). Nothing
// when the host cannot be reached, the server answers with an error status, the transfer takes
// longer than `timeoutSeconds`, or the body grows past `maxBytes`.
std::optional<std::string> fetchText(const std::string& url, long timeoutSeconds = 30, std::size_t maxBytes = 65536);

}  // namespace kavelune::http
