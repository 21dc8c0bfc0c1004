#include "FieldLink.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitShapes.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/KeyboardUse.h>

#include <QPainter>

namespace corvane {

namespace {

constexpr int gap = 4;
constexpr QMargins ringRoom{5, 3, 5, 3}; // around the words, where the focus ring goes
constexpr qreal pressedOpacity = 0.55;
const QString arrow = QStringLiteral("\u2197");

} // namespace

FieldLink::FieldLink(const QString& label, Leads leads, int points, QWidget* parent)
    : QAbstractButton(parent)
    , m_leads(leads) {
    setText(label);
    QFont face = FieldUnitText::text(points, QFont::Medium);
    face.setUnderline(true);
    setFont(face);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    KeyboardUse::watch();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::pressed, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::released, this, qOverload<>(&QWidget::update));
}

QFont FieldLink::arrowFont() const {
    return FieldUnitText::text(11, QFont::DemiBold);
}

int FieldLink::arrowWidth() const {
    return m_leads == Leads::outside ? gap + QFontMetrics(arrowFont()).horizontalAdvance(arrow) : 0;
}

QSize FieldLink::sizeHint() const {
    return QSize(fontMetrics().horizontalAdvance(text()) + arrowWidth(), fontMetrics().height())
        .grownBy(ringRoom);
}

void FieldLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (KeyboardUse::showsFocus(*this))
        FieldUnitShapes::drawFocusRing(painter, rect(), 6);
    painter.setOpacity(isDown() ? pressedOpacity : 1.0);
    painter.setPen(FU::ink);
    painter.setFont(font());
    const QRect words = rect().marginsRemoved(ringRoom);
    const int labelWidth = fontMetrics().horizontalAdvance(text());
    painter.drawText(QRect(words.left(), words.top(), labelWidth, words.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
    if (m_leads == Leads::inside)
        return;
    painter.setFont(arrowFont());
    painter.drawText(
        QRect(words.left() + labelWidth + gap, words.top(), words.width() - labelWidth - gap, words.height()),
        Qt::AlignLeft | Qt::AlignVCenter, arrow);
}

} // namespace corvane
