#pragma once

#include <QObject>

#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "app/menu/window_commands.h"
#include "platform/posix/program_folders.h"

class QWindow;

namespace kavelune::qt {

// Imports dropped avatars with the content kit (`kvl import`, beside the program) into the
// user's Characters folder, each on a thread of its own so the window keeps dancing. A small
// note says that it is converting; when the import is done the character loads through the
// ordinary command, and when it fails a message says why and the current character stays.
class AvatarDropImport : public QObject {
public:
    using CommandSink = std::function<void(const WindowCommand&)>;

    AvatarDropImport(std::filesystem::path kit, posix::ProgramFolders folders, CommandSink send);
    // Waits for imports still running.
    ~AvatarDropImport() override;
    AvatarDropImport(const AvatarDropImport&) = delete;
    AvatarDropImport& operator=(const AvatarDropImport&) = delete;

    void start(const std::filesystem::path& avatar);

private:
    std::filesystem::path kit_;
    posix::ProgramFolders folders_;
    CommandSink send_;
    std::vector<std::jthread> imports_;
};

}  // namespace kavelune::qt
