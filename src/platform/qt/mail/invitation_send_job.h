#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <thread>

#include "mail/invitation/send_invitation.h"

namespace kavelune::qt {

// One invitation on its way, sent on a thread of its own so the character keeps dancing. The
// job works on copies: the form, what is on screen and the setup are taken when Send is
// pressed, and nothing the user interface thread owns is read while the mail goes out.
class InvitationSendJob {
public:
    // Both are called on the sending thread; the caller passes them on to its own thread.
    using Progress = std::function<void(std::size_t done, std::size_t range)>;
    using Finished = std::function<void(const InvitationResult& result)>;

    InvitationSendJob(MailForm form, InvitationContent content, InvitationSetup setup, Progress progress,
                      Finished finished);
    // Cancels a send that is still running and waits a moment for it to end. One that does not
    // end by then (a server that does not answer) finishes alone within its time-out, calling
    // nothing of the caller's any more.
    ~InvitationSendJob();
    InvitationSendJob(const InvitationSendJob&) = delete;
    InvitationSendJob& operator=(const InvitationSendJob&) = delete;

    // Asks the send to stop; it ends with "UserBreak: Cancel message ".
    void cancel();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace kavelune::qt
