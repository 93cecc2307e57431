#pragma once

#include <QIcon>
#include <QPointer>
#include <QRect>
#include <QWindow>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "app/balloon/balloon_messages.h"
#include "platform/qt/speech_balloon.h"

namespace kavelune::qt {

// What the program gives its balloon: the icon it shows, the home address its first
// demonstration links to, and what opens a clicked link.
struct BalloonSetup {
    QIcon programIcon;
    std::string homeAddress;
    SpeechBalloon::LinkHandler openLink;
};

// The program's one speech balloon and what it is used for: the demonstration of the balloon
// command, and the name of each song as it starts, beside the character and following it
// while it is moved. The balloon window is made on first use and kept. User interface thread.
class BalloonPresenter {
public:
    BalloonPresenter(QWindow* owner, BalloonSetup setup);
    ~BalloonPresenter();
    BalloonPresenter(const BalloonPresenter&) = delete;
    BalloonPresenter& operator=(const BalloonPresenter&) = delete;

    // The balloon command at screen point (x, y): the first time the title, the icon and the
    // home address for 4 s; later the sample paragraph for 2 s.
    void showDemonstration(int x, int y);

    // A song has started: its title and artist (from the tags of `tagFile`, the file the
    // player reads; else `shownName`, the name the user knows it by) beside `character` for
    // 4 s. Nothing while song titles are switched off.
    void announceSong(const std::filesystem::path& tagFile, std::string_view shownName,
                      const QRect& character);
    void announceSong(const balloon::Texts& texts, const QRect& character);
    void setSongTitlesEnabled(bool on) { songTitles_ = on; }
    bool songTitlesEnabled() const { return songTitles_; }

    // The character is now at `character`: a song balloon that is up moves along with it.
    void followCharacter(const QRect& character);

    // Null until the balloon was first shown.
    SpeechBalloon* balloon() { return balloon_.get(); }

private:
    SpeechBalloon& ensureBalloon();
    void show(const balloon::Texts& texts, const QRect& target, int milliseconds);

    QPointer<QWindow> owner_;
    BalloonSetup setup_;
    std::unique_ptr<SpeechBalloon> balloon_;
    bool demonstrated_ = false;
    bool songTitles_ = true;
    // Whether the balloon that is up points at the character (and so follows it).
    bool followsCharacter_ = false;
};

}  // namespace kavelune::qt
