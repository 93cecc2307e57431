#pragma once

#include <string_view>

namespace kavelune {

// The sender address check both mail dialogs use: not empty, an at sign and a period somewhere,
// none of the 21 characters * | , " : < > [ ] { } ` ' ; ( ) & $ # %. Control characters are
// refused as well: the address goes into SMTP command lines, where a line break would end the
// command early and start another.
bool isValidMailAddress(std::string_view address);

}  // namespace kavelune
