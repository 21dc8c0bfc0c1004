#include "ChassisGround.h"

#include <corvane/FU.h>

#include <QPainter>

namespace corvane {

namespace {

constexpr int firstDot = 5;
constexpr int dotStep = 12;
constexpr qreal dotSize = 2;
constexpr qreal dotOpacity = 0.09;

QPixmap grain(QSize size, qreal pixelRatio) {
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(FU::chassis);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor dot = FU::ink;
    dot.setAlphaF(static_cast<float>(dotOpacity));
    painter.setBrush(dot);
    for (int y = firstDot; y < size.height(); y += dotStep)
        for (int x = firstDot; x < size.width(); x += dotStep)
            painter.drawEllipse(QRectF(x, y, dotSize, dotSize));
    return pixmap;
}

} // namespace

ChassisGround::ChassisGround(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChassisGround::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (m_grain.deviceIndependentSize() != QSizeF(size()) || m_grain.devicePixelRatio() != ratio)
        m_grain = grain(size(), ratio);
    QPainter(this).drawPixmap(0, 0, m_grain);
}

} // namespace corvane
