#include "FieldToggle.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitMotion.h>
#include <corvane/controls/FieldUnitShapes.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/KeyboardUse.h>

#include <QPainter>

namespace corvane {

namespace {

constexpr int spacing = 10;
constexpr int minimumGap = 8;
constexpr QSizeF track{46, 26};
constexpr qreal trackRadius = 8;
constexpr QSizeF knob{20, 17};
constexpr qreal knobRadius = 5;
constexpr qreal knobInset = 3;
constexpr qreal knobDrop = 2;
constexpr qreal disabledOpacity = 0.45;
constexpr int slideMilliseconds = 120;

const QString& stateWord(bool on) {
    static const QString onWord = QStringLiteral("on");
    static const QString offWord = QStringLiteral("off");
    return on ? onWord : offWord;
}

} // namespace

FieldToggle::FieldToggle(const QString& label, Surface surface, QWidget* parent)
    : QAbstractButton(parent)
    , m_surface(surface) {
    setCheckable(true);
    setText(label);
    setFont(FieldUnitText::text(14, QFont::Medium));
    setFocusPolicy(Qt::StrongFocus);
    KeyboardUse::watch();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(this, &QAbstractButton::toggled, this, &FieldToggle::slide);
}

FieldToggle::~FieldToggle() = default;

QFont FieldToggle::stateFont() const {
    return FieldUnitText::monospaced(11, 1.3);
}

// What the row keeps beside the label, whatever its width: the gap, the word and the track.
int FieldToggle::besideLabel() const {
    const int word = QFontMetrics(stateFont()).horizontalAdvance(stateWord(false));
    return minimumGap + spacing + word + spacing + static_cast<int>(track.width());
}

int FieldToggle::labelWidth(int width) const {
    return std::max(1, width - besideLabel());
}

QSize FieldToggle::sizeHint() const {
    const int width = fontMetrics().horizontalAdvance(text()) + besideLabel();
    return {width, heightForWidth(width)};
}

QSize FieldToggle::minimumSizeHint() const {
    const int width = 60 + besideLabel();
    return {width, heightForWidth(width)};
}

int FieldToggle::heightForWidth(int width) const {
    const QRect label =
        fontMetrics().boundingRect(QRect(0, 0, labelWidth(width), 10000), Qt::TextWordWrap, text());
    return std::max(static_cast<int>(track.height()), label.height());
}

// The whole row answers a tap, not only the track.
bool FieldToggle::hitButton(const QPoint& position) const {
    return rect().contains(position);
}

void FieldToggle::slide(bool on) {
    if (!isVisible()) { // nothing to watch: the knob is simply there
        m_motion.reset();
        m_position = on ? 1.0 : 0.0;
        return;
    }
    FieldUnitMotion::easeOut(*this, m_motion, m_position, on ? 1.0 : 0.0, slideMilliseconds);
}

void FieldToggle::paintEvent(QPaintEvent*) {
    const bool glass = m_surface == Surface::glass;
    const bool on = isChecked();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : disabledOpacity);

    // The track at the far end, centred in the row's height.
    const QRectF trackRect(QPointF(width() - track.width(), (height() - track.height()) / 2), track);
    painter.setBrush(glass ? (on ? FU::silk : FU::darkKey) : (on ? FU::wellOn : FU::well));
    painter.setPen(QPen(glass ? FU::darkKeyEdge : FU::edge, 1));
    FieldUnitShapes::drawOutlined(painter, trackRect, trackRadius);
    if (KeyboardUse::showsFocus(*this))
        FieldUnitShapes::drawFocusRing(painter, trackRect, trackRadius);

    // The knob over its side, sliding from the near end to the far end.
    const qreal travel = track.width() - 2 * knobInset - knob.width();
    const QPointF knobAt(trackRect.left() + knobInset + travel * m_position,
                         trackRect.top() + (track.height() - knob.height() - knobDrop) / 2);
    const QRectF knobRect(knobAt, knob);
    FieldUnitShapes::drawRaised(painter, knobRect, knobRadius, knobDrop, FU::edgeDeep,
                                on ? FU::keyHi : FU::keyLo, FU::edge);

    // The word, just before the track.
    const QFont wordFont = stateFont();
    const int wordWidth = QFontMetrics(wordFont).horizontalAdvance(stateWord(false));
    const QRectF wordRect(trackRect.left() - spacing - wordWidth, 0, wordWidth, height());
    painter.setFont(wordFont);
    painter.setPen(glass ? FU::dDim : FU::silk);
    painter.drawText(wordRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, stateWord(on));

    // The label, wrapping onto more lines rather than being cut.
    const QRectF labelRect(0, 0, labelWidth(width()), height());
    painter.setFont(font());
    painter.setPen(glass ? FU::dText : FU::ink);
    painter.drawText(labelRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
}

} // namespace corvane
