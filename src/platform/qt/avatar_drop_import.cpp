#include "platform/qt/avatar_drop_import.h"

#include <QMessageBox>
#include <QPointer>

#include "app/menu/avatar_drop_import.h"
#include "base/message_box.h"
#include "platform/posix/child_process.h"

namespace kavelune::qt {

AvatarDropImport::AvatarDropImport(std::filesystem::path kit, posix::ProgramFolders folders, CommandSink send)
    : kit_(std::move(kit)), folders_(std::move(folders)), send_(std::move(send)) {}

AvatarDropImport::~AvatarDropImport() = default;  // the threads join as they go

void AvatarDropImport::start(const std::filesystem::path& avatar) {
    AvatarImportPlan plan = planAvatarImport(avatar, kit_, folders_.userContent);
    // The note stays until the import ends; it asks nothing, so it has no button.
    auto* note = new QMessageBox(QMessageBox::Information, QStringLiteral("Kavelune"),
                                 QStringLiteral("Importing %1 as a character…").arg(QString::fromStdString(plan.name)),
                                 QMessageBox::NoButton);
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setModal(false);
    note->show();
    QPointer<QMessageBox> shown(note);
    imports_.emplace_back([this, plan = std::move(plan), shown, file = avatar.filename().string()] {
        std::string printed;
        const int status = posix::runCollectingOutput(plan.commandLine, printed);
        // Back on the user interface thread; dropped if this object is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, plan, shown, status, printed, file] {
                if (shown) shown->close();
                if (status == 0) {
                    posix::refreshContentView(folders_);
                    send_(plan.load);
                } else {
                    showMessageBox("Cannot import " + file + ": " + avatarImportFailure(printed, status), "Kavelune");
                }
            },
            Qt::QueuedConnection);
    });
}

}  // namespace kavelune::qt
