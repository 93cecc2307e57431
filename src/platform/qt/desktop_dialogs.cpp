#include "platform/qt/desktop_dialogs.h"

#include "base/message_box.h"

namespace kavelune::qt {

namespace {
constexpr const char* kCaption = "Information";
}

DesktopDialogs::DesktopDialogs(QWindow& owner, Options options) {
    if (options.speechBalloon) {
        balloons_ = std::make_unique<BalloonPresenter>(&owner, std::move(options.balloon));
        balloons_->setSongTitlesEnabled(options.songTitles);
    }
}

DesktopDialogs::~DesktopDialogs() = default;

void DesktopDialogs::startSendMail() {
    showMessageBox("Sending mail is not available in this version yet.", kCaption);
}

void DesktopDialogs::startMailPreference() {
    showMessageBox("Mail preferences are not available in this version yet.", kCaption);
}

void DesktopDialogs::showBalloon(int x, int y) {
    if (balloons_) balloons_->showDemonstration(x, y);
}

void DesktopDialogs::announceSong(const std::filesystem::path& playingFile, const std::string& songPath,
                                  const QRect& character) {
    if (!balloons_) return;
    balloons_->announceSong(playingFile, std::filesystem::path(songPath).filename().string(), character);
}

void DesktopDialogs::characterMoved(const QRect& character) {
    if (balloons_) balloons_->followCharacter(character);
}

}  // namespace kavelune::qt
