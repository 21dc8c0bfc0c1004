#pragma once

#include <corvane/controls/FU.h>

#include <QPainter>
#include <QRectF>

namespace corvane::FieldUnitShapes {

// Draws a rounded shape with a 1-point outline inside its edge (the pen's middle runs half a point in),
// so that outlined and plain shapes of one size line up.
inline void drawOutlined(QPainter& painter, const QRectF& shape, qreal radius) {
    painter.drawRoundedRect(shape.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
}

// A raised part, a key cap or a knob: its side, the face's shape `drop` points below `face` in `side`,
// then the face over it, filled with `fill` and outlined in `outline`. A pressed face is drawn
// `sunk` points lower, nearer its side, which stays where it is.
inline void drawRaised(QPainter& painter, const QRectF& face, qreal radius, qreal drop, const QColor& side,
                       const QBrush& fill, const QColor& outline, qreal sunk = 0) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(side);
    painter.drawRoundedRect(face.translated(0, drop), radius, radius);
    painter.setBrush(fill);
    painter.setPen(QPen(outline, 1));
    drawOutlined(painter, face.translated(0, sunk), radius);
}

// The ring a control shows while it has the keyboard's focus, just inside `shape`: a line of ink with
// a line of paper inside it, so that one of the two stands out clearly (3:1 and more) on every face
// and ground of the look, the orange key and the dark glass included.
inline void drawFocusRing(QPainter& painter, const QRectF& shape, qreal radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(FU::ink, 2));
    painter.drawRoundedRect(shape.adjusted(1, 1, -1, -1), std::max(0.0, radius - 1),
                            std::max(0.0, radius - 1));
    painter.setPen(QPen(FU::keyHi, 1.5));
    painter.drawRoundedRect(shape.adjusted(2.75, 2.75, -2.75, -2.75), std::max(0.0, radius - 2.75),
                            std::max(0.0, radius - 2.75));
    painter.restore();
}

} // namespace corvane::FieldUnitShapes
