#include "mail/mime/mail_date.h"

#include <cstdio>

namespace kavelune {
namespace {

constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::string formatMailDate(std::time_t when) {
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr)
        return {};
    char zone[64] = "";
    std::strftime(zone, sizeof zone, "%Z", &local);  // the zone name does not depend on the locale

    char text[128];
    std::snprintf(text, sizeof text, "%s, %02d %s %d %02d:%02d:%02d %s", kDayNames[local.tm_wday % 7],
                  local.tm_mday, kMonthNames[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour,
                  local.tm_min, local.tm_sec, zone);
    return text;
}

}  // namespace kavelune
