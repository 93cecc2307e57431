#include "platform/qt/balloon_presenter.h"

#include "audio_engine/song_tags.h"

namespace kavelune::qt {

namespace {

QRect toQRect(const ScreenRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

}  // namespace

BalloonPresenter::BalloonPresenter(QWindow* owner, BalloonSetup setup)
    : owner_(owner), setup_(std::move(setup)) {}

BalloonPresenter::~BalloonPresenter() = default;

SpeechBalloon& BalloonPresenter::ensureBalloon() {
    if (!balloon_) {
        balloon_ = std::make_unique<SpeechBalloon>(owner_, setup_.openLink);
        balloon_->setIcon(setup_.programIcon);
        // The window's own name, seen in window lists and by tools that look for it.
        balloon_->setTitle(QString::fromUtf8(balloon::kDemonstrationTitle.data(),
                                             static_cast<qsizetype>(balloon::kDemonstrationTitle.size())));
    }
    return *balloon_;
}

void BalloonPresenter::showDemonstration(int x, int y) {
    balloon::Texts texts;
    int milliseconds = balloon::kDemonstrationMilliseconds;
    if (!demonstrated_) {
        texts.title = std::string(balloon::kDemonstrationTitle);
        texts.link = setup_.homeAddress;
        milliseconds = balloon::kFirstDemonstrationMilliseconds;
        demonstrated_ = true;
    } else {
        texts.body = std::string(balloon::demonstrationText());
    }
    show(texts, toQRect(balloon::demonstrationTarget(x, y)), milliseconds);
    followsCharacter_ = false;
}

void BalloonPresenter::announceSong(const std::filesystem::path& tagFile, std::string_view shownName,
                                    const QRect& character) {
    if (!songTitles_) {
        return;
    }
    announceSong(balloon::songTexts(readSongTags(tagFile), shownName), character);
}

void BalloonPresenter::announceSong(const balloon::Texts& texts, const QRect& character) {
    if (!songTitles_) {
        return;
    }
    show(texts, character, balloon::kSongMilliseconds);
    followsCharacter_ = true;
}

void BalloonPresenter::followCharacter(const QRect& character) {
    if (balloon_ && followsCharacter_ && balloon_->isVisible()) {
        balloon_->follow(character);
    }
}

void BalloonPresenter::show(const balloon::Texts& texts, const QRect& target, int milliseconds) {
    SpeechBalloon& balloon = ensureBalloon();
    balloon.setOwner(owner_);
    balloon.setTitleText(texts.title);
    balloon.setBodyText(texts.body);
    balloon.setLinkText(texts.link);
    // The window is named after what it says, so window lists (and tests) can read it.
    if (!texts.title.empty()) balloon.setTitle(QString::fromStdString(texts.title));
    balloon.fitToText();
    balloon.showNextTo(target, milliseconds);
}

}  // namespace kavelune::qt
