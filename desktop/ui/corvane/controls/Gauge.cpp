#include "Gauge.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitShapes.h>

#include <QPainter>

#include <cmath>

namespace corvane {

Gauge::Gauge(QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Progress"));
}

void Gauge::setValue(std::optional<double> value) {
    if (value)
        value = std::clamp(*value, 0.0, 1.0);
    if (value == m_value)
        return;
    m_value = value;
    setAccessibleDescription(value ? QStringLiteral("%1 %").arg(std::lround(*value * 100)) : QString());
    update();
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF well = QRectF(rect());
    const qreal radius = well.height() / 2;
    painter.setBrush(FU::well);
    painter.setPen(QPen(FU::edgeDeep, 1));
    FieldUnitShapes::drawOutlined(painter, well, radius);
    if (!m_value || *m_value <= 0)
        return;
    // Never narrower than its own height, so a start shows as a dot rather than a sliver.
    const qreal filled = std::max(well.height(), (well.width() - 2) * *m_value);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FU::live);
    const QRectF bar(well.left() + 1, well.top() + 1, filled, well.height() - 2);
    painter.drawRoundedRect(
        isRightToLeft() ? QRectF(well.right() - 1 - filled, bar.top(), filled, bar.height()) : bar,
        radius - 1, radius - 1);
}

} // namespace corvane
