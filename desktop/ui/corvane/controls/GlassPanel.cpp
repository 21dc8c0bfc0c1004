#include "GlassPanel.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitShapes.h>

#include <QPainter>
#include <QPainterPath>

namespace corvane {

namespace {

constexpr qreal radius = 12;
// The lip shows 1 point below the glass, so the widget is that much taller than the glass.
constexpr int lip = 1;

} // namespace

GlassPanel::GlassPanel(int padding, QWidget* parent)
    : ColumnPanel({padding, padding, padding, padding + lip}, 10, parent) {}

void GlassPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF glass = QRectF(rect()).adjusted(0, 0, 0, -lip);
    QPainterPath shape;
    shape.addRoundedRect(glass, radius, radius);
    painter.fillPath(shape, FU::glass);

    // The screen sits below the case: a soft shadow inside its edge, deepest at the top, made of a few
    // strokes of the outline moved 2 points down, each wider and fainter.
    painter.save();
    painter.setClipPath(shape);
    painter.setBrush(Qt::NoBrush);
    for (const auto& [width, alpha] : {std::pair{8.0, 0.16}, {5.0, 0.2}, {2.5, 0.29}}) {
        painter.setPen(QPen(QColor::fromRgbF(0, 0, 0, static_cast<float>(alpha)), width));
        painter.drawRoundedRect(glass.translated(0, 2), radius, radius);
    }
    painter.restore();

    // A light lip along the bottom edge: the outline's lowest 2 points, 1 point lower.
    painter.setClipRect(QRectF(0, glass.bottom() - 1, glass.width(), 2));
    painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.35f), 1));
    painter.setBrush(Qt::NoBrush);
    FieldUnitShapes::drawOutlined(painter, glass.translated(0, 1), radius);
}

} // namespace corvane
