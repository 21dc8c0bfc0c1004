#include "StatusLine.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitAccessibility.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/Lamp.h>

#include <QHBoxLayout>
#include <QLabel>

namespace corvane {

StatusLine::StatusLine(qreal lampSize, int points, QWidget* parent)
    : QWidget(parent)
    , m_lamp(new Lamp(ReadoutLamp::waiting, lampSize))
    , m_text(FieldUnitText::sentence({}, FieldUnitText::text(points), FU::ink)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_lamp, 0, Qt::AlignTop);
    row->addWidget(m_text, 1);
}

// A new sentence comes without the focus on it (a refused change, say): it is said at once.
void StatusLine::set(ReadoutLamp lamp, const QString& text) {
    m_lamp->setMode(lamp);
    if (text == m_text->text())
        return;
    m_text->setText(text);
    setAccessibleName(text);
    if (!text.isEmpty())
        FieldUnitAccessibility::announce(*this);
}

} // namespace corvane
