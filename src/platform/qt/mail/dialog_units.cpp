#include "platform/qt/mail/dialog_units.h"

#include <QFontMetrics>

namespace kavelune::qt {

namespace {

// Rounds a * b / c to the nearest integer, halves away from zero, as the layouts were rounded.
int scaled(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width over the 52 Latin letters, rounded, as dialog units are defined.
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    if (letters > 0) baseWidth_ = (letters / 26 + 1) / 2;
    if (metrics.height() > 0) baseHeight_ = metrics.height();
}

int DialogUnits::x(int units) const { return scaled(units, baseWidth_, 4); }

int DialogUnits::y(int units) const { return scaled(units, baseHeight_, 8); }

QRect DialogUnits::rect(int x, int y, int width, int height) const {
    return QRect(this->x(x), this->y(y), this->x(width), this->y(height));
}

QSize DialogUnits::size(int width, int height) const { return QSize(x(width), y(height)); }

QFont mailDialogFont() {
    QFont font(QStringLiteral("Microsoft Sans Serif"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace kavelune::qt
