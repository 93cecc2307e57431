#include "mail/invitation/page_parameters.h"

#include "base/text.h"

namespace kavelune {

bool findPageParameter(std::string_view page, std::string_view name, std::string& value) {
    std::string lowerPage = toLowerAscii(page);
    std::string wanted = "name=\"" + toLowerAscii(name) + "\"";
    std::size_t at = lowerPage.rfind(wanted);
    if (at == std::string::npos) return false;
    at += wanted.size();
    // Only blanks may stand between the name and its value.
    while (at < page.size() && (page[at] == ' ' || page[at] == '\t' || page[at] == '\r' || page[at] == '\n')) ++at;
    static constexpr std::string_view kValue = "value=\"";
    if (lowerPage.compare(at, kValue.size(), kValue) != 0) return false;
    at += kValue.size();
    std::size_t close = page.find('"', at);
    if (close == std::string_view::npos) return false;
    value = std::string(page.substr(at, close - at));
    return true;
}

}  // namespace kavelune
