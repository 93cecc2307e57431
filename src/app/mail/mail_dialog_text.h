#pragma once

#include <string>

#include "app/menu/menu_text.h"

namespace kavelune {

// The rows of the interface text table that the two mail dialogs and their messages use.
namespace mail_text {
inline constexpr int kFromLabel = 16;
inline constexpr int kToLabel = 17;
inline constexpr int kSubjectLabel = 20;
inline constexpr int kSendButton = 21;
inline constexpr int kEnterAddress = 22;        // also the sender prompt of the web default
inline constexpr int kNoMailAccount = 23;
inline constexpr int kOutgoingServerLabel = 25;
inline constexpr int kAuthenticationGroup = 26;
inline constexpr int kUserNameLabel = 27;
inline constexpr int kPasswordLabel = 28;
inline constexpr int kAuthenticationBox = 29;
inline constexpr int kRememberBox = 30;
inline constexpr int kPreferenceTitle = 31;
inline constexpr int kAddressLabel = 32;
inline constexpr int kMissingRecipients = 33;
inline constexpr int kInvalidSender = 34;
}  // namespace mail_text

// Titles and captions that stay the same in every language.
inline constexpr const char* kSendMailTitle = "Mail";
inline constexpr const char* kInformationCaption = "Information";
inline constexpr const char* kErrorCaption = "Error";

inline std::string mailText(MenuLanguage language, int row) { return std::string(MenuText::text(language, row)); }

}  // namespace kavelune
