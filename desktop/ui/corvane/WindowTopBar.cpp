#include "WindowTopBar.h"

#include <corvane/FU.h>
#include <corvane/Silk.h>

#include <QHBoxLayout>

namespace corvane {

namespace {

constexpr int sideWidth = 120;

} // namespace

WindowTopBar::WindowTopBar(const QString& label, QWidget* parent)
    : QWidget(parent)
    , m_label(new Silk(label, FU::silk))
    , m_row(new QHBoxLayout(this))
    , m_corner(new QWidget) {
    setFixedHeight(52);
    m_row->setContentsMargins(20, 0, 20, 0);
    m_row->setSpacing(0);
    m_row->addSpacing(sideWidth);
    m_row->addStretch();
    m_row->addWidget(m_label, 0, Qt::AlignVCenter);
    m_row->addStretch();
    m_corner->setFixedWidth(sideWidth);
    m_row->addWidget(m_corner);
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
