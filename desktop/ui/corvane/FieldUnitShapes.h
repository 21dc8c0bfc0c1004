#pragma once

#include <QPainter>
#include <QRectF>

namespace corvane::FieldUnitShapes {

// Draws a rounded shape with a 1-point outline inside its edge (the pen's middle runs half a point in),
// so that outlined and plain shapes of one size line up.
inline void drawOutlined(QPainter& painter, const QRectF& shape, qreal radius) {
    painter.drawRoundedRect(shape.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
}

} // namespace corvane::FieldUnitShapes
