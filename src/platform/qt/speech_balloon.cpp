#include "platform/qt/speech_balloon.h"

#include <QColor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

#include "app/balloon/balloon_shape.h"
#include "app/balloon/balloon_style.h"
#include "platform/qt/balloon_region.h"

namespace kavelune::qt {

namespace {

QColor toColour(balloon::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

QRect toQRect(const ScreenRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

ScreenRect toScreenRect(const QRect& r) { return ScreenRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

QFont balloonFont(int weight, bool underline) {
    QFont font;  // the desktop's default face
    font.setPointSize(balloon::kFontPoints);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setUnderline(underline);
    return font;
}

}  // namespace

// One paragraph of the balloon, laid out once per fit and drawn from the same layout, so what
// is measured is what is painted.
struct SpeechBalloon::TextBlock {
    explicit TextBlock(QFont blockFont) : font(std::move(blockFont)) {}

    balloon::Size measure(int width, balloon::TextMeasuring measuring) {
        layout.clearLayout();
        if (text.isEmpty()) {
            return {};
        }
        QString lines = text;
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
        layout.setText(lines);
        layout.setFont(font);
        QTextOption option;
        // A word longer than the line is broken rather than widening the balloon past the screen.
        option.setWrapMode(measuring == balloon::TextMeasuring::SingleLine
                               ? QTextOption::NoWrap
                               : QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);

        qreal y = 0;
        qreal widest = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height();
            widest = std::max(widest, line.naturalTextWidth());
        }
        layout.endLayout();
        return balloon::Size{static_cast<int>(std::ceil(widest)), static_cast<int>(std::ceil(y))};
    }

    void draw(QPainter& painter, const ScreenRect& area) const {
        if (!text.isEmpty()) {
            layout.draw(&painter, QPointF(area.left, area.top));
        }
    }

    QFont font;
    QString text;
    QTextLayout layout;
};

SpeechBalloon::SpeechBalloon(QWindow* owner, LinkHandler onLink)
    : onLink_(std::move(onLink)),
      title_(std::make_unique<TextBlock>(balloonFont(QFont::Bold, false))),
      body_(std::make_unique<TextBlock>(balloonFont(QFont::Normal, false))),
      link_(std::make_unique<TextBlock>(balloonFont(QFont::Normal, true))) {
    // A tool window above everything, without a frame, that leaves the focus where it is.
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
             Qt::WindowDoesNotAcceptFocus);
    setOwner(owner);
    timer_.setSingleShot(true);
    timer_.callOnTimeout(this, [this] { dismiss(); });
    fitToText();
}

SpeechBalloon::~SpeechBalloon() = default;

void SpeechBalloon::setOwner(QWindow* owner) {
    owner_ = owner;
    setTransientParent(owner);
}

void SpeechBalloon::setTitleText(const std::string& title) { title_->text = QString::fromStdString(title); }

void SpeechBalloon::setBodyText(const std::string& body) { body_->text = QString::fromStdString(body); }

void SpeechBalloon::setLinkText(const std::string& link) { link_->text = QString::fromStdString(link); }

void SpeechBalloon::clearTexts() {
    title_->text.clear();
    body_->text.clear();
    link_->text.clear();
}

std::string SpeechBalloon::titleText() const { return title_->text.toStdString(); }

std::string SpeechBalloon::bodyText() const { return body_->text.toStdString(); }

std::string SpeechBalloon::linkText() const { return link_->text.toStdString(); }

void SpeechBalloon::fitToText(balloon::TextMeasuring measuring) {
    balloon::TextSizes sizes;
    sizes.hasIcon = !icon_.isNull();
    sizes.title = title_->measure(balloon::titleWrapWidth(sizes.hasIcon), measuring);
    sizes.body = body_->measure(balloon::textWrapWidth(), measuring);
    sizes.link = link_->measure(balloon::textWrapWidth(), measuring);
    layout_ = balloon::layoutTexts(sizes);
    resize(layout_.window.width, layout_.window.height);
    if (isVisible()) {
        place();
    } else {
        reshape();
    }
    update();
}

void SpeechBalloon::showNextTo(const QRect& target, int milliseconds) {
    target_ = target;
    place();
    setVisible(true);
    raise();
    if (milliseconds > 0) {
        timer_.start(milliseconds);
    } else {
        timer_.stop();
    }
}

void SpeechBalloon::follow(const QRect& target) {
    if (!isVisible() || target == target_) {
        return;
    }
    target_ = target;
    place();
}

void SpeechBalloon::dismiss() {
    timer_.stop();
    setVisible(false);
}

QRect SpeechBalloon::linkArea() const {
    if (link_->text.isEmpty()) {
        return {};
    }
    return toQRect(balloon::toWindow(layout_.link));
}

QRect SpeechBalloon::desktopAround(const QRect& target, const QWindow* owner) {
    QScreen* screen = QGuiApplication::screenAt(target.center());
    if (screen == nullptr && owner != nullptr) {
        screen = owner->screen();
    }
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

void SpeechBalloon::place() {
    const balloon::Size window{width(), height()};
    placement_ = balloon::placeBalloon(toScreenRect(target_), window,
                                       toScreenRect(desktopAround(target_, owner_)));
    reshape();
    setPosition(placement_.window.x, placement_.window.y);
}

void SpeechBalloon::reshape() {
    const balloon::Shape shape =
        balloon::balloonShape(balloon::Size{width(), height()}, placement_.tail, placement_.offsets);
    shape_ = balloonRegion(shape);
    outline_ = innerOutline(shape_);
    setMask(shape_);
    update();
}

void SpeechBalloon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The mask cuts the window to the balloon, so filling all of it fills the balloon.
    painter.fillRect(QRect(QPoint(0, 0), size()), toColour(balloon::kFillColour));
    for (const QRect& part : outline_) {
        painter.fillRect(part, toColour(balloon::kFrameColour));
    }
    if (!icon_.isNull()) {
        icon_.paint(&painter, toQRect(balloon::toWindow(layout_.icon)));
    }
    painter.setPen(toColour(balloon::kFrameColour));
    title_->draw(painter, balloon::toWindow(layout_.title));
    body_->draw(painter, balloon::toWindow(layout_.body));
    painter.setPen(toColour(balloon::kLinkColour));
    link_->draw(painter, balloon::toWindow(layout_.link));
}

void SpeechBalloon::mouseMoveEvent(QMouseEvent* event) {
    const bool overLink = linkArea().contains(event->position().toPoint());
    setCursor(overLink ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void SpeechBalloon::mousePressEvent(QMouseEvent* event) {
    const bool onLink = event->button() == Qt::LeftButton && linkArea().contains(event->position().toPoint());
    // Any click has been read: the balloon goes. It goes first, since the handler may do
    // anything, even let go of the balloon.
    dismiss();
    if (onLink && onLink_) {
        const LinkHandler handler = onLink_;
        handler(link_->text.toStdString());
    }
}

}  // namespace kavelune::qt
