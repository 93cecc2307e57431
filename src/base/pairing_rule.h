#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace kavelune {

// A pairing rule as stored in model and dance headers: it says which partner names a model
// or a dance agrees to be combined with. A default rule (both names empty) accepts anything.
struct PairingRule {
    std::string nameOne;
    std::string nameTwo;
    bool flagOne = false;
    bool flagTwo = false;
    bool flagAny = false;

    // True when the rule accepts the partner names (first, second): flag any set, or both rule
    // names empty, or flag one set and first equal to name one, or flag two set and second
    // equal to name two. Names compare without regard to ASCII letter case.
    bool accepts(std::string_view first, std::string_view second) const;

    bool operator==(const PairingRule&) const = default;
};

// A rule as model and dance headers store it: name one and name two as texts, then flag one,
// flag two and flag any as a byte each (any byte but 0 sets the flag). A short read leaves the
// stream failed.
PairingRule readPairingRule(std::istream& in);

// Writes a rule in the stored form. False when a name is longer than a text can count; that
// name is then written cut to fit.
bool writePairingRule(std::ostream& out, const PairingRule& rule);

}  // namespace kavelune
