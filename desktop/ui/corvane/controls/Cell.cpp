#include "Cell.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>

#include <QPainter>
#include <QPainterPath>

namespace corvane {

namespace {

constexpr int horizontalPadding = 12;
constexpr int verticalPadding = 6;
constexpr qreal cornerRadius = 7;

} // namespace

Cell::Cell(const QString& text, int size, QWidget* parent)
    : QWidget(parent)
    , m_text(text) {
    // Doto's digits are all of one width, so a countdown does not jitter.
    setFont(FieldUnitText::display(QStringLiteral("Bold"), size, 1.6));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text);
}

void Cell::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize Cell::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_text) + 2 * horizontalPadding,
            metrics.height() + 2 * verticalPadding};
}

void Cell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FU::glass);
    painter.drawRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.setPen(FU::dText);
    painter.setFont(font());
    painter.drawText(
        rect().adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding),
        Qt::AlignCenter | Qt::TextSingleLine, m_text);
}

} // namespace corvane
