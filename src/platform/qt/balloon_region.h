#pragma once

#include <QRegion>

#include "app/balloon/balloon_shape.h"

namespace kavelune::qt {

// The pixels of a balloon window that belong to the balloon: the rounded body joined with the
// tail. Used as the window's mask, so nothing rectangular shows, compositor or not.
QRegion balloonRegion(const balloon::Shape& shape);

// The one-pixel ring just inside `region`: the pixels of it that touch a pixel outside it.
// Painting it draws the balloon's outline exactly on the mask's edge.
QRegion innerOutline(const QRegion& region);

}  // namespace kavelune::qt
