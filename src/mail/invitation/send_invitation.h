#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "mail/invitation/invitation_content.h"
#include "mail/invitation/invitation_package.h"
#include "mail/invitation/invitation_page.h"
#include "mail/settings/mail_form.h"
#include "mail/smtp/mail_connection.h"

namespace kavelune {

// How this installation sends invitations.
struct InvitationSetup {
    PackageSources sources;
    int codePage = kCodePageWestern;  // the interface language's: 1252, 949 or 932
    InvitationPageSettings page;
    std::chrono::milliseconds serverTimeout = std::chrono::seconds(30);
};

// The caller's hooks into a running send, both optional. They are called on the sending thread.
struct SendControls {
    // Once with done 0 when the range is known (page length / 2048), then after every step.
    std::function<void(std::size_t done, std::size_t range)> progress;
    // Set from another thread to cancel; a send cancelled this way reports
    // "UserBreak: Cancel message ".
    const std::atomic<bool>* cancel = nullptr;
};

struct InvitationResult {
    bool sent = false;
    std::string text;     // what to tell the user: "Send mail completed!" or why it failed
    std::string caption;  // "Send", or "ERROR" for a missing installer data file
    std::vector<std::string> leftOut;  // listed files that could not be read and were not sent
};

// Sends the invitation for what is on screen: chooses the account whose address is the sender,
// packs the installer data, the content and a launch file of the current state into the
// invitation page, and sends the page with the user's message through `connector`. The
// subject, the message and the page go out in the code page of the interface language. The
// Send Mail dialog and the content kit both call this; it shows nothing itself.
InvitationResult SendInvitation(MailForm& form, const InvitationContent& content, const InvitationSetup& setup,
                                MailConnector& connector, const SendControls& controls = {});

inline constexpr const char* kSendCompletedText = "Send mail completed!";
inline constexpr const char* kUserBreakText = "UserBreak: Cancel message ";

}  // namespace kavelune
