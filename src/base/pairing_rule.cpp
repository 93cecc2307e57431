#include "base/pairing_rule.h"

#include <cstdint>
#include <limits>

#include "base/little_endian.h"
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

PairingRule readPairingRule(std::istream& in) {
    PairingRule rule;
    rule.nameOne = le::readStr16(in);
    rule.nameTwo = le::readStr16(in);
    rule.flagOne = le::readU8(in) != 0;
    rule.flagTwo = le::readU8(in) != 0;
    rule.flagAny = le::readU8(in) != 0;
    return rule;
}

bool writePairingRule(std::ostream& out, const PairingRule& rule) {
    constexpr std::size_t longestText = std::numeric_limits<std::uint16_t>::max();
    le::writeStr16(out, rule.nameOne);
    le::writeStr16(out, rule.nameTwo);
    le::writeU8(out, rule.flagOne ? 1 : 0);
    le::writeU8(out, rule.flagTwo ? 1 : 0);
    le::writeU8(out, rule.flagAny ? 1 : 0);
    return rule.nameOne.size() <= longestText && rule.nameTwo.size() <= longestText;
}

}  // namespace kavelune
