#include "mail/settings/mail_address.h"

namespace kavelune {

bool isValidMailAddress(std::string_view address) {
    static constexpr std::string_view kRefused = "*|,\":<>[]{}`';()&$#%";
    if (address.empty()) return false;
    for (char c : address) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) return false;
        if (kRefused.find(c) != std::string_view::npos) return false;
    }
    return address.find('@') != std::string_view::npos && address.find('.') != std::string_view::npos;
}

}  // namespace kavelune
