#include "ChassisPanel.h"

#include <corvane/FU.h>
#include <corvane/FieldUnitShapes.h>
#include <corvane/Silk.h>

#include <QPainter>
#include <QVBoxLayout>

namespace corvane {

ChassisPanel::ChassisPanel(const QString& label, QWidget* parent)
    : QWidget(parent)
    , m_column(new QVBoxLayout(this)) {
    m_column->setContentsMargins(16, 16, 16, 16);
    m_column->setSpacing(12);
    // As wide as it is offered, as high as its content.
    m_column->setAlignment(Qt::AlignTop);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    if (!label.isEmpty())
        m_column->addWidget(new Silk(label, FU::silk));
}

void ChassisPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(FU::panel);
    painter.setPen(QPen(FU::edge, 1));
    FieldUnitShapes::drawOutlined(painter, rect(), 12);
}

} // namespace corvane
