#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/launch/launch_settings.h"
#include "app/menu/menu_text.h"
#include "mail/invitation/invitation_package.h"
#include "mail/invitation/send_invitation.h"
#include "mail/settings/account_lookup.h"
#include "mail/settings/mail_dialog_rules.h"

namespace kavelune {

// Where the invitation mail of one installation finds what it needs. The Send Mail dialog and
// `kvl mail` both describe the program this way, so both send the same mail for the same state.
struct MailEnvironment {
    std::filesystem::path programFolder;    // the content and the installer data file
    std::filesystem::path stateFolder;      // mail.cfg
    std::filesystem::path userHome;         // where the user's mail programs keep their accounts
    std::filesystem::path temporaryFolder;  // the per-user temporary folder; the system's when empty
    std::string installerFileName = kInstallerDataLE;
    MenuLanguage language = MenuLanguage::English;
    std::string siteAddress;                // the web service's site, named on the page
    WebMailDefault webDefault;              // the web service's three mail texts
    std::chrono::milliseconds serverTimeout = std::chrono::seconds(30);
};

std::filesystem::path mailConfigFile(const MailEnvironment& environment);

AccountLookup accountLookupFor(const MailEnvironment& environment);

InvitationSetup invitationSetupFor(const MailEnvironment& environment);

// What is on screen, copied out of the launch record so that a send on another thread never
// reads the record while the user interface thread changes it.
InvitationContent invitationContentOf(const LaunchSettings& settings);

// The motion pool files `dance` (a stored path below the program folder) uses, listed as the
// scene lists them when it loads the dance: for a launch record read from a file, which does not
// keep them. Empty when the dance cannot be read.
std::vector<std::string> danceFilesOf(const std::filesystem::path& programFolder, const std::string& dance);

// The message the Send Mail dialog shows for a form that cannot be sent yet, in the language of
// the interface; empty for a form that is ready.
std::string sendFormMessage(SendFormCheck check, MenuLanguage language);

}  // namespace kavelune
