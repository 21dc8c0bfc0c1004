#include "RowKey.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>

#include <QPainter>

namespace corvane::menu {

namespace {

constexpr int inset = 14;
constexpr int smallPrintGap = 10; // between the small print and the chevron, and the title
const QString chevron = QStringLiteral("\u203A");

QFont smallPrintFont() {
    return FieldUnitText::monospaced(11, 0.6);
}

} // namespace

RowKey::RowKey(const QString& title, QWidget* parent)
    : Key(title, {KeyStyle::Variant::chassis, true}, parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void RowKey::setSmallPrint(const QString& smallPrint) {
    if (smallPrint == m_smallPrint)
        return;
    m_smallPrint = smallPrint;
    setAccessibleDescription(smallPrint);
    updateGeometry();
    update();
}

QSize RowKey::sizeHint() const {
    const QSize key = Key::sizeHint();
    const int smallPrint =
        m_smallPrint.isEmpty()
            ? 0
            : QFontMetrics(smallPrintFont()).horizontalAdvance(m_smallPrint) + smallPrintGap;
    return {key.width() + 2 * inset + smallPrint + QFontMetrics(font()).horizontalAdvance(chevron) +
                smallPrintGap,
            key.height()};
}

void RowKey::paintLabel(QPainter& painter, const QRectF& face) {
    const QRectF inside = face.adjusted(inset, 0, -inset, 0);
    painter.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text().toLower());
    painter.drawText(inside, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, chevron);
    if (m_smallPrint.isEmpty())
        return;
    const qreal chevronWidth = painter.fontMetrics().horizontalAdvance(chevron);
    painter.save();
    painter.setFont(smallPrintFont());
    if (style().variant == KeyStyle::Variant::chassis)
        painter.setPen(FU::silk);
    painter.drawText(inside.adjusted(0, 0, -(chevronWidth + smallPrintGap), 0),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, m_smallPrint);
    painter.restore();
}

} // namespace corvane::menu
