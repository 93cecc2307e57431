#include "platform/posix/kit_fetch.h"

#include "platform/posix/child_process.h"

namespace kavelune::posix {

std::optional<std::string> fetchTextThroughKit(const std::filesystem::path& kit, const std::string& url,
                                               std::size_t maxBytes) {
    std::string text;
    if (runCollectingStandardOutput({kit.string(), "fetch", url}, maxBytes, text) != 0) return std::nullopt;
    return text;
}

}  // namespace kavelune::posix
