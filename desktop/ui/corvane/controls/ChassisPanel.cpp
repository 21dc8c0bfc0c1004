#include "ChassisPanel.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitShapes.h>
#include <corvane/controls/Silk.h>

#include <QPainter>
#include <QVBoxLayout>

namespace corvane {

ChassisPanel::ChassisPanel(const QString& label, QWidget* parent)
    : ColumnPanel({16, 16, 16, 16}, 12, parent) {
    if (!label.isEmpty())
        content()->addWidget(new Silk(label, FU::silk));
}

void ChassisPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(FU::panel);
    painter.setPen(QPen(FU::edge, 1));
    FieldUnitShapes::drawOutlined(painter, rect(), 12);
}

} // namespace corvane
