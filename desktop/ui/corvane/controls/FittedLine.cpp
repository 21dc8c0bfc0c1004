#include "FittedLine.h"

#include <QFontMetricsF>

#include <cmath>

namespace corvane {

namespace {

constexpr qreal step = 0.02; // of the full size, between two sizes tried

} // namespace

FittedLine::FittedLine(const QFont& font, qreal smallest, QWidget* parent)
    : QLabel(parent)
    , m_font(font)
    , m_smallest(smallest) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setFont(font);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void FittedLine::setLine(const QString& words) {
    setText(words);
    updateGeometry();
    fit();
}

// As wide as the words at full size, as high as one line at full size whatever size they are drawn
// at, so that the screen does not move as they shrink.
QSize FittedLine::sizeHint() const {
    const QMargins margins = contentsMargins();
    const QFontMetricsF metrics(m_font);
    return QSize(static_cast<int>(std::ceil(metrics.horizontalAdvance(text()))),
                 static_cast<int>(std::ceil(metrics.height()))) +
           QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize FittedLine::minimumSizeHint() const {
    const QMargins margins = contentsMargins();
    const int smallestWidth =
        static_cast<int>(std::ceil(QFontMetricsF(scaled(m_smallest)).horizontalAdvance(text())));
    return {smallestWidth + margins.left() + margins.right(), sizeHint().height()};
}

void FittedLine::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fit();
}

QFont FittedLine::scaled(qreal scale) const {
    QFont font = m_font;
    if (m_font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(m_font.pixelSize() * scale))));
    else
        font.setPointSizeF(m_font.pointSizeF() * scale);
    if (m_font.letterSpacingType() == QFont::AbsoluteSpacing)
        font.setLetterSpacing(QFont::AbsoluteSpacing, m_font.letterSpacing() * scale);
    return font;
}

void FittedLine::fit() {
    const QMargins margins = contentsMargins();
    const qreal room = width() - margins.left() - margins.right();
    qreal chosen = m_smallest;
    for (qreal scale = 1; scale > m_smallest; scale -= step)
        if (QFontMetricsF(scaled(scale)).horizontalAdvance(text()) <= room) {
            chosen = scale;
            break;
        }
    if (chosen == m_scale && font() == scaled(chosen))
        return;
    m_scale = chosen;
    setFont(scaled(chosen));
}

} // namespace corvane
