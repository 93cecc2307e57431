#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace kavelune::qt {

// The mail dialogs were laid out in dialog units: a quarter of the dialog font's average
// character width across, an eighth of its height down. Measuring the font the dialog really
// gets keeps the boxes and their texts in proportion, whichever font stands in for the one the
// layout was made with.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int x(int units) const;
    int y(int units) const;
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

private:
    int baseWidth_ = 6;
    int baseHeight_ = 13;
};

// "Microsoft Sans Serif", 8 point, the layouts' font; the desktop's own sans serif font stands
// in for it where it is not installed.
QFont mailDialogFont();

}  // namespace kavelune::qt
