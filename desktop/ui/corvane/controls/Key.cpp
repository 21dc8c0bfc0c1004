#include "Key.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitMotion.h>
#include <corvane/controls/FieldUnitShapes.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/KeyboardUse.h>

#include <QPainter>
#include <QPainterPath>

namespace corvane {

namespace {

constexpr qreal cornerRadius = 9;
constexpr qreal disabledOpacity = 0.45;
constexpr int pressMilliseconds = 70;

struct KeyColours {
    QColor top;
    QColor bottom;
    QColor outline;
    QColor side;
    QColor text;
};

KeyColours coloursOf(KeyStyle::Variant variant) {
    switch (variant) {
    case KeyStyle::Variant::hot:
        return {QColor(0xFF, 0x6A, 0x26), FU::live, FU::hotKeyEdge, FU::hotKeyEdgeDeep, FU::hotKeyInk};
    case KeyStyle::Variant::dark:
        return {QColor(0x36, 0x33, 0x2F), FU::darkKey, FU::darkKeyEdge, FU::darkKeyEdgeDeep, FU::dText};
    case KeyStyle::Variant::chassis:
        break;
    }
    return {FU::keyHi, FU::keyLo, FU::edge, FU::edgeDeep, FU::ink};
}

int horizontalPadding(const KeyStyle& style) {
    return style.compact ? 14 : 18;
}

int minimumFaceHeight(const KeyStyle& style) {
    return style.compact ? 32 : 41;
}

} // namespace

Key::Key(const QString& label, KeyStyle style, QWidget* parent)
    : QAbstractButton(parent)
    , m_style(style) {
    setText(label);
    setFont(FieldUnitText::monospaced(13, 1.2));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    KeyboardUse::watch();
    connect(this, &QAbstractButton::pressed, this, [this] { sink(true); });
    connect(this, &QAbstractButton::released, this, [this] { sink(false); });
}

Key::~Key() = default;

void Key::setStyle(KeyStyle style) {
    if (style == m_style)
        return;
    m_style = style;
    updateGeometry();
    update();
}

QSize Key::sizeHint() const {
    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(text().toLower()) + 2 * horizontalPadding(m_style);
    const int face = std::max(minimumFaceHeight(m_style), metrics.height());
    return {width, face + static_cast<int>(side)};
}

void Key::sink(bool down) {
    FieldUnitMotion::easeOut(*this, m_motion, m_offset, down ? travel : 0.0, pressMilliseconds);
}

void Key::paintEvent(QPaintEvent*) {
    const KeyColours colours = coloursOf(m_style.variant);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : disabledOpacity);
    const QRectF face(0, 0, width(), height() - side);

    const QRectF moved = face.translated(0, m_offset);
    QLinearGradient fill(moved.topLeft(), moved.bottomLeft());
    fill.setColorAt(0, colours.top);
    fill.setColorAt(1, colours.bottom);
    FieldUnitShapes::drawRaised(painter, face, cornerRadius, side, colours.side, fill, colours.outline,
                                m_offset);

    if (KeyboardUse::showsFocus(*this))
        FieldUnitShapes::drawFocusRing(painter, moved, cornerRadius);

    painter.setPen(colours.text);
    painter.setFont(font());
    paintLabel(painter, moved);
}

void Key::paintLabel(QPainter& painter, const QRectF& face) {
    painter.drawText(face, Qt::AlignCenter | Qt::TextSingleLine, text().toLower());
}

} // namespace corvane
