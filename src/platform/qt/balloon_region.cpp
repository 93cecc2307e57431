#include "platform/qt/balloon_region.h"

#include <QPainterPath>
#include <QPolygon>
#include <QRectF>

namespace kavelune::qt {

QRegion balloonRegion(const balloon::Shape& shape) {
    const ScreenRect& b = shape.body;
    QPainterPath body;
    // The corner ellipse's full size is given; a rounded rectangle takes its radii.
    body.addRoundedRect(QRectF(b.left, b.top, b.width(), b.height()), shape.cornerWidth / 2.0,
                        shape.cornerHeight / 2.0);
    const QRegion bodyRegion(body.toFillPolygon().toPolygon());

    QPolygon tail;
    for (const ScreenPoint& point : shape.tail) {
        tail << QPoint(point.x, point.y);
    }
    return bodyRegion.united(QRegion(tail));
}

QRegion innerOutline(const QRegion& region) {
    // Shrink by one pixel towards each of the four neighbours; what the shrinking removes is
    // the ring.
    const QRegion inner = region.intersected(region.translated(1, 0))
                              .intersected(region.translated(-1, 0))
                              .intersected(region.translated(0, 1))
                              .intersected(region.translated(0, -1));
    return region.subtracted(inner);
}

}  // namespace kavelune::qt
