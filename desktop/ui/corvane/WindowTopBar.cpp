#include "WindowTopBar.h"

#include <corvane/FU.h>
#include <corvane/Silk.h>

#include <QHBoxLayout>

namespace corvane {

WindowTopBar::WindowTopBar(const QString& label, QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(52);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(20, 0, 20, 0);
    row->setSpacing(0);
    row->addSpacing(80);
    row->addStretch();
    row->addWidget(new Silk(label, FU::silk), 0, Qt::AlignVCenter);
    row->addStretch();
    row->addSpacing(80);
}

} // namespace corvane
