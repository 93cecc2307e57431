#pragma once

#include <QFont>
#include <QIcon>
#include <QPointer>
#include <QRasterWindow>
#include <QRect>
#include <QRegion>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "app/balloon/balloon_placement.h"
#include "app/balloon/balloon_text_layout.h"

class QTextLayout;

namespace kavelune::qt {

// A comic-strip speech balloon: a small frameless window that stays above its owner, shaped as
// a rounded body with a tail pointing at a rectangle on the screen (the character). It shows
// an optional icon, a bold title, a body text and an underlined link line, wrapped to a fixed
// width, and hides itself after the time it was shown for. Clicking the link line hands the
// link to the owner's handler; a click anywhere else dismisses the balloon. It never takes the
// keyboard focus away from the window the user works in. User interface thread only.
class SpeechBalloon : public QRasterWindow {
public:
    // Called with the link text when the link line is clicked (the program opens it in the
    // user's browser).
    using LinkHandler = std::function<void(const std::string& link)>;

    explicit SpeechBalloon(QWindow* owner = nullptr, LinkHandler onLink = {});
    ~SpeechBalloon() override;
    SpeechBalloon(const SpeechBalloon&) = delete;
    SpeechBalloon& operator=(const SpeechBalloon&) = delete;

    // The window the balloon stays above; it may go away before the balloon does.
    void setOwner(QWindow* owner);
    void setLinkHandler(LinkHandler onLink) { onLink_ = std::move(onLink); }

    // A null icon leaves the icon column out.
    void setIcon(const QIcon& icon) { icon_ = icon; }
    void setTitleText(const std::string& title);
    void setBodyText(const std::string& body);
    void setLinkText(const std::string& link);
    void clearTexts();
    std::string titleText() const;
    std::string bodyText() const;
    std::string linkText() const;

    // Lays the texts out and sizes the window to them. Call after changing texts or icon; a
    // balloon on the screen is placed anew next to its target.
    void fitToText(balloon::TextMeasuring measuring = balloon::TextMeasuring::WordWrap);

    // Places the balloon next to `target` (screen pixels), shows it and hides it again after
    // `milliseconds` (never, when not positive). Showing a balloon that is up restarts its time.
    void showNextTo(const QRect& target, int milliseconds);
    // Places a balloon that is up next to a target that moved; its time runs on.
    void follow(const QRect& target);
    // Hides the balloon now and stops its timer.
    void dismiss();

    // What the balloon currently is, for its owner and for tests.
    const balloon::Placement& placement() const { return placement_; }
    const balloon::TextLayout& textLayout() const { return layout_; }
    const QRegion& shapeRegion() const { return shape_; }
    QRect target() const { return target_; }
    bool timerRunning() const { return timer_.isActive(); }
    int remainingMilliseconds() const { return timer_.remainingTime(); }
    // The link line in window coordinates; empty without a link.
    QRect linkArea() const;

    // The usable desktop around `target`: the work area of the screen that holds its centre.
    static QRect desktopAround(const QRect& target, const QWindow* owner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct TextBlock;

    void place();
    void reshape();

    QPointer<QWindow> owner_;
    LinkHandler onLink_;
    QIcon icon_;
    std::unique_ptr<TextBlock> title_;
    std::unique_ptr<TextBlock> body_;
    std::unique_ptr<TextBlock> link_;
    balloon::TextLayout layout_;
    balloon::Placement placement_;
    QRect target_;
    QRegion shape_;
    QRegion outline_;
    QTimer timer_;
};

}  // namespace kavelune::qt
