#include "ChassisGround.h"

#include <corvane/controls/FU.h>

#include <QPaintEvent>
#include <QPainter>

namespace corvane {

namespace {

constexpr int firstDot = 5;
constexpr int dotStep = 12;
constexpr qreal dotSize = 2;
constexpr qreal dotOpacity = 0.09;

// One cell of the grain, a dot in it; the ground is this tile repeated, whatever its size.
QPixmap grainTile(qreal pixelRatio) {
    QPixmap tile(QSize(dotStep, dotStep) * pixelRatio);
    tile.setDevicePixelRatio(pixelRatio);
    tile.fill(FU::chassis);
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor dot = FU::ink;
    dot.setAlphaF(static_cast<float>(dotOpacity));
    painter.setBrush(dot);
    painter.drawEllipse(QRectF(firstDot, firstDot, dotSize, dotSize));
    return tile;
}

} // namespace

ChassisGround::ChassisGround(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChassisGround::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    if (m_grain.isNull() || m_grain.devicePixelRatio() != ratio)
        m_grain = grainTile(ratio);
    QPainter(this).drawTiledPixmap(event->rect(), m_grain, event->rect().topLeft());
}

} // namespace corvane
