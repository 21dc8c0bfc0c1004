#include "StatusLine.h"

#include <corvane/controls/FU.h>
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

void StatusLine::set(ReadoutLamp lamp, const QString& text) {
    m_lamp->setMode(lamp);
    m_text->setText(text);
}

} // namespace corvane
