#pragma once

#include <QObject>

#include <filesystem>
#include <functional>
#include <vector>

#include "app/menu/window_commands.h"

class QDropEvent;
class QWindow;

namespace kavelune::qt {

// Lets the user drop files and folders on a window: characters and dances, as the drop rules
// of the content library tell them apart, saved invitations, which are handed to their own
// handler to be opened, and avatars, handed to theirs to be imported. A drag is accepted only when it carries something to
// load, so the pointer shows at once that a song or a picture would be ignored. A drop becomes
// the window commands that load what was dropped, in the order the files were dropped.
//
// On X11 the platform turns the desktop's drag-and-drop protocol into drag events for the
// window; this object watches the window for them, so the window itself needs no code for it.
class FileDropTarget : public QObject {
public:
    using CommandSink = std::function<void(const WindowCommand&)>;
    using InvitationSink = std::function<void(const std::filesystem::path&)>;
    using AvatarSink = std::function<void(const std::filesystem::path&)>;

    FileDropTarget(QWindow& window, std::filesystem::path programFolder, CommandSink send,
                   InvitationSink openInvitation = {}, AvatarSink importAvatar = {});
    ~FileDropTarget() override;
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::filesystem::path> droppedPaths(const QDropEvent& event) const;
    std::vector<WindowCommand> commandsFor(const std::vector<std::filesystem::path>& paths) const;
    std::vector<std::filesystem::path> invitationsIn(const std::vector<std::filesystem::path>& paths) const;
    std::vector<std::filesystem::path> avatarsIn(const std::vector<std::filesystem::path>& paths) const;

    QWindow& window_;
    std::filesystem::path programFolder_;
    CommandSink send_;
    InvitationSink openInvitation_;
    AvatarSink importAvatar_;
    bool wanted_ = false;  // the drag over the window carries something to load
};

}  // namespace kavelune::qt
