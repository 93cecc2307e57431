#pragma once

#include <QRect>

#include <filesystem>
#include <memory>
#include <string>

#include "app/menu/window_control.h"
#include "platform/qt/balloon_presenter.h"

class QWindow;

namespace kavelune::qt {

// The windows the commands open beside the sprite window: the mail dialogs and, in the edition
// that has one, the speech balloon, which also names each song as it starts.
class DesktopDialogs : public DialogLauncher {
public:
    struct Options {
        bool speechBalloon = true;  // the second edition has none
        bool songTitles = true;     // settings.ini: a starting song is named in the balloon
        BalloonSetup balloon;
    };

    DesktopDialogs(QWindow& owner, Options options);
    ~DesktopDialogs() override;

    // DialogLauncher
    void startSendMail() override;
    void startMailPreference() override;
    void showBalloon(int x, int y) override;

    // A song started: its name beside the character at `character` (screen pixels).
    void announceSong(const std::filesystem::path& playingFile, const std::string& songPath, const QRect& character);
    // The character moved to `character`: a song balloon that is up goes along.
    void characterMoved(const QRect& character);

private:
    std::unique_ptr<BalloonPresenter> balloons_;
};

}  // namespace kavelune::qt
