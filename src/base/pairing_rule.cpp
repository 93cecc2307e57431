#include "base/pairing_rule.h"

#include "base/text.h"

namespace kavelune {

bool PairingRule::accepts(std::string_view first, std::string_view second) const {
    if (flagAny) {
        return true;
    }
    if (nameOne.empty() && nameTwo.empty()) {
        return true;
    }
    if (flagOne && equalsNoCase(first, nameOne)) {
        return true;
    }
    return flagTwo && equalsNoCase(second, nameTwo);
}

}  // namespace kavelune
