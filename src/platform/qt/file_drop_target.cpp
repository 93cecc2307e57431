#include "platform/qt/file_drop_target.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include "app/menu/drop_targets.h"

namespace kavelune::qt {

FileDropTarget::FileDropTarget(QWindow& window, std::filesystem::path programFolder, CommandSink send,
                               InvitationSink openInvitation, AvatarSink importAvatar)
    : window_(window), programFolder_(std::move(programFolder)), send_(std::move(send)),
      openInvitation_(std::move(openInvitation)), importAvatar_(std::move(importAvatar)) {
    window_.installEventFilter(this);
}

FileDropTarget::~FileDropTarget() { window_.removeEventFilter(this); }

std::vector<std::filesystem::path> FileDropTarget::droppedPaths(const QDropEvent& event) const {
    const QMimeData* data = event.mimeData();
    if (!data || !data->hasUrls()) return {};
    std::vector<std::filesystem::path> paths;
    for (const QUrl& url : data->urls()) {
        // Files only: a web address dropped from a browser names nothing on this machine.
        if (url.isLocalFile()) paths.emplace_back(url.toLocalFile().toStdString());
    }
    return paths;
}

std::vector<WindowCommand> FileDropTarget::commandsFor(const std::vector<std::filesystem::path>& paths) const {
    return dropCommands(paths, programFolder_);
}

std::vector<std::filesystem::path> FileDropTarget::invitationsIn(const std::vector<std::filesystem::path>& paths) const {
    if (!openInvitation_) return {};
    return droppedInvitations(paths);
}

std::vector<std::filesystem::path> FileDropTarget::avatarsIn(const std::vector<std::filesystem::path>& paths) const {
    if (!importAvatar_) return {};
    return droppedAvatars(paths);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) return false;
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            // What is dragged does not change on the way: look at it once, when it comes in.
            if (event->type() == QEvent::DragEnter) {
                const std::vector<std::filesystem::path> paths = droppedPaths(*drag);
                wanted_ = (!commandsFor(paths).empty() || !invitationsIn(paths).empty() || !avatarsIn(paths).empty()) &&
                          (drag->possibleActions() & Qt::CopyAction);
            }
            if (wanted_) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::DragLeave:
            wanted_ = false;
            return true;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            wanted_ = false;
            const std::vector<std::filesystem::path> paths = droppedPaths(*drop);
            const std::vector<WindowCommand> commands = commandsFor(paths);
            const std::vector<std::filesystem::path> invitations = invitationsIn(paths);
            const std::vector<std::filesystem::path> avatars = avatarsIn(paths);
            if (commands.empty() && invitations.empty() && avatars.empty()) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            for (const WindowCommand& command : commands) send_(command);
            for (const std::filesystem::path& invitation : invitations) openInvitation_(invitation);
            for (const std::filesystem::path& avatar : avatars) importAvatar_(avatar);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace kavelune::qt
