#include "MenuPieces.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/Lamp.h>

#include <QHBoxLayout>

namespace corvane::menu {

namespace {

QLabel* sentence(const QString& text, const QColor& colour) {
    return FieldUnitText::sentence(text, FieldUnitText::text(13), colour);
}

} // namespace

void setSentence(QLabel* label, const QString& text, const QColor& colour) {
    FieldUnitText::setColour(*label, colour);
    label->setText(text);
}

QLabel* glassSentence(const QString& text, bool dim) {
    return sentence(text, dim ? FU::dDim : FU::dText);
}

QLabel* chassisSentence(const QString& text, bool ink) {
    return sentence(text, ink ? FU::ink : FU::silk);
}

LampLine::LampLine(QWidget* parent)
    : QWidget(parent)
    , m_lamp(new Lamp(ReadoutLamp::off, 8))
    , m_text(glassSentence()) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(m_lamp, 0, Qt::AlignTop);
    row->addWidget(m_text, 1);
}

void LampLine::set(ReadoutLamp lamp, const QString& text, const QString& spoken) {
    m_lamp->setMode(lamp);
    m_text->setText(text);
    setAccessibleName(spoken.isEmpty() ? text : spoken);
}

AddressText::AddressText(QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    FieldUnitText::setColour(*this, FU::dText);
    setFont(FieldUnitText::monospaced(m_points, 0));
}

void AddressText::setAddress(const QString& address) {
    setText(address);
    fit();
}

void AddressText::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fit();
}

void AddressText::fit() {
    int chosen = 12;
    for (const int points : {16, 14, 12}) {
        if (QFontMetrics(FieldUnitText::monospaced(points, 0)).horizontalAdvance(text()) <= width()) {
            chosen = points;
            break;
        }
    }
    const bool wraps = QFontMetrics(FieldUnitText::monospaced(12, 0)).horizontalAdvance(text()) > width();
    if (chosen == m_points && wordWrap() == wraps)
        return;
    m_points = chosen;
    setWordWrap(wraps);
    setFont(FieldUnitText::monospaced(m_points, 0));
}

} // namespace corvane::menu
