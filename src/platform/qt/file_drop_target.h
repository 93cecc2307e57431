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
// of the content library tell them apart. A drag is accepted only when it carries something to
// load, so the pointer shows at once that a song or a picture would be ignored. A drop becomes
// the window commands that load what was dropped, in the order the files were dropped.
//
// On X11 the platform turns the desktop's drag-and-drop protocol into drag events for the
// window; this object watches the window for them, so the window itself needs no code for it.
class FileDropTarget : public QObject {
public:
    using CommandSink = std::function<void(const WindowCommand&)>;

    FileDropTarget(QWindow& window, std::filesystem::path programFolder, CommandSink send);
    ~FileDropTarget() override;
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<WindowCommand> commandsFor(const QDropEvent& event) const;

    QWindow& window_;
    std::filesystem::path programFolder_;
    CommandSink send_;
    bool wanted_ = false;  // the drag over the window carries something to load
};

}  // namespace kavelune::qt
