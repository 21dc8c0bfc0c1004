#include "ScrollWell.h"

#include <corvane/controls/FU.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int cornerRadius = 6;

} // namespace

ScrollWell::ScrollWell(QWidget* content, const QString& name, QWidget* parent)
    : FocusRingArea<QScrollArea>(cornerRadius, parent) {
    setAccessibleName(name);
    setWidget(content);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(u"QScrollArea { background: %1; border: 1px solid %2; border-radius: %3px; }"_s
                      .arg(FU::panel.name(), FU::edge.name())
                      .arg(cornerRadius));
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
}

} // namespace corvane
