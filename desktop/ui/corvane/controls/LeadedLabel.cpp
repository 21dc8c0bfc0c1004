#include "LeadedLabel.h"

#include <corvane/controls/FieldUnitText.h>

#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace corvane {

LeadedLabel::LeadedLabel(const QString& text, const QFont& font, const QColor& colour, qreal leading,
                         QWidget* parent)
    : QLabel(text, parent)
    , m_leading(leading) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setFont(font);
    FieldUnitText::setColour(*this, colour);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int LeadedLabel::textWidth(int width) const {
    const QMargins margins = contentsMargins();
    return std::max(1, width - margins.left() - margins.right());
}

qreal LeadedLabel::layOut(QTextLayout& layout, int width) const {
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setFont(font());
    qreal top = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, top));
        top += line.height() + m_leading;
    }
    layout.endLayout();
    return layout.lineCount() > 0 ? top - m_leading : 0;
}

int LeadedLabel::heightForWidth(int width) const {
    QTextLayout layout(text());
    const QMargins margins = contentsMargins();
    return static_cast<int>(std::ceil(layOut(layout, textWidth(width)))) + margins.top() + margins.bottom();
}

// As wide as QLabel would make it; as high as its lines need at that width.
QSize LeadedLabel::sizeHint() const {
    const int width = QLabel::sizeHint().width();
    return {width, heightForWidth(width)};
}

QSize LeadedLabel::minimumSizeHint() const {
    const int width = QLabel::minimumSizeHint().width();
    return {width, heightForWidth(std::max(width, this->width()))};
}

void LeadedLabel::paintEvent(QPaintEvent*) {
    QTextLayout layout(text());
    layOut(layout, textWidth(width()));
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QMargins margins = contentsMargins();
    layout.draw(&painter, QPointF(margins.left(), margins.top()));
}

} // namespace corvane
