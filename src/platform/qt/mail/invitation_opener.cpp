#include "platform/qt/mail/invitation_opener.h"

#include "app/mail/mail_dialog_text.h"
#include "app/mail/received_invitation.h"
#include "base/message_box.h"
#include "platform/posix/user_folders.h"

namespace kavelune::qt {

void openInvitationInProgram(const std::filesystem::path& file, const std::filesystem::path& programFolder,
                             const std::function<void(const WindowCommand&)>& send) {
    ReceivedInvitation received;
    if (!receiveInvitation(file, programFolder, posix::userTemporaryFolder(), received)) {
        showMessageBox(invitationRefusedText(received.error), kErrorCaption);
        return;
    }
    for (const WindowCommand& command : received.commands) send(command);
}

}  // namespace kavelune::qt
