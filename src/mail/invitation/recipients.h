#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// The recipients typed into one box: pieces between commas, semicolons, tabs, spaces and line
// breaks (CR as well as LF), empty pieces dropped, in typed order. Addresses are not checked;
// the server judges them.
std::vector<std::string> splitRecipients(std::string_view text);

}  // namespace kavelune
