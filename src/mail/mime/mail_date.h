#pragma once

#include <ctime>
#include <string>

namespace kavelune {

// "Thu, 01 Jan 1970 09:00:00 JST": the local time of `when` for a Date: header. Day and month
// names are English whatever the user's locale, as mail requires; the zone is the C library's
// name for the local zone.
std::string formatMailDate(std::time_t when);

}  // namespace kavelune
