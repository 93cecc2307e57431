#pragma once

#include <string>
#include <string_view>

namespace kavelune {

// The VALUE of the installer control's parameter `name` on an invitation page: the text between
// the double quotes after VALUE= that follows the last NAME="name". The last one counts, since
// the control comes after the user's message, which could imitate a parameter. False when the
// page has no such parameter.
bool findPageParameter(std::string_view page, std::string_view name, std::string& value);

}  // namespace kavelune
