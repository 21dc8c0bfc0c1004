#include "WindowTopBar.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/Silk.h>

#include <QHBoxLayout>

namespace corvane {

namespace {

constexpr int sideWidth = 120;

} // namespace

WindowTopBar::WindowTopBar(const QString& label, QWidget* parent)
    : QWidget(parent)
    , m_label(new Silk(label, FU::silk))
    , m_corner(new QWidget) {
    setFixedHeight(52);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(20, 0, 20, 0);
    row->setSpacing(0);
    row->addSpacing(sideWidth);
    row->addStretch();
    row->addWidget(m_label, 0, Qt::AlignVCenter);
    row->addStretch();
    m_corner->setFixedWidth(sideWidth);
    row->addWidget(m_corner);
}

void WindowTopBar::setLabel(const QString& label) {
    m_label->setText(label);
}

void WindowTopBar::setCorner(QWidget* corner) {
    auto* area = new QHBoxLayout(m_corner);
    area->setContentsMargins(0, 0, 0, 0);
    area->addStretch();
    area->addWidget(corner, 0, Qt::AlignVCenter);
}

} // namespace corvane
