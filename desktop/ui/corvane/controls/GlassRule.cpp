#include "GlassRule.h"

#include <corvane/controls/FU.h>

#include <QPainter>

namespace corvane {

GlassRule::GlassRule(QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void GlassRule::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), FU::glassRule);
}

} // namespace corvane
