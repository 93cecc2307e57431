#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace kavelune::posix {

// Downloads a small text file through the content kit beside the program (`kvl fetch URL`), in a
// process of its own. The desktop programs fetch only the web notices, once at start; this way
// they never load the HTTP and TLS libraries and the two dozen libraries behind them, which would
// slow every start and stay resident for the rest of the run. Nothing when the kit cannot be
// started, the download fails or the text is longer than `maxBytes`.
std::optional<std::string> fetchTextThroughKit(const std::filesystem::path& kit, const std::string& url,
                                               std::size_t maxBytes = 65536);

}  // namespace kavelune::posix
