#include "RowKey.h"

#include <QPainter>

namespace corvane::menu {

namespace {

constexpr int inset = 14;
const QString chevron = QStringLiteral("\u203A");

} // namespace

RowKey::RowKey(const QString& title, QWidget* parent)
    : Key(title, {KeyStyle::Variant::chassis, true}, parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize RowKey::sizeHint() const {
    const QSize key = Key::sizeHint();
    return {key.width() + 2 * inset, key.height()};
}

void RowKey::paintLabel(QPainter& painter, const QRectF& face) {
    const QRectF inside = face.adjusted(inset, 0, -inset, 0);
    painter.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text().toLower());
    painter.drawText(inside, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, chevron);
}

} // namespace corvane::menu
