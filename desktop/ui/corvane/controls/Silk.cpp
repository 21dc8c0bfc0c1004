#include "Silk.h"

#include <corvane/look/Silkscreen.h>

#include <corvane/controls/FieldUnitText.h>

#include <QPainter>

namespace corvane {

Silk::Silk(const QString& text, const QColor& colour, QWidget* parent)
    : QWidget(parent)
    , m_text(text)
    , m_printed(Silkscreen::printed(text))
    , m_colour(colour) {
    setFont(FieldUnitText::silk());
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(text);
}

void Silk::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    m_printed = Silkscreen::printed(text);
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize Silk::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_printed), metrics.height()};
}

void Silk::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(m_colour);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_printed);
}

} // namespace corvane
