#include "WindowTopBar.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/Silk.h>

#include <QEvent>
#include <QHBoxLayout>

#include <algorithm>

namespace corvane {

WindowTopBar::WindowTopBar(const QString& label, QWidget* parent)
    : QWidget(parent)
    , m_label(new Silk(label, FU::silk))
    , m_leadingArea(new QWidget)
    , m_corner(new QWidget) {
    setFixedHeight(52);
    // The left area reaches the bar's edge, as the close key sits nearer it than the padding; the
    // padding is part of its width, so that both sides stay equal.
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, padding, 0);
    row->setSpacing(0);
    row->addWidget(m_leadingArea);
    row->addStretch();
    row->addWidget(m_label, 0, Qt::AlignVCenter);
    row->addStretch();
    row->addWidget(m_corner);
    auto* leading = new QHBoxLayout(m_leadingArea);
    leading->setContentsMargins(leadingInset, 0, 0, 0);
    leading->addStretch();
    // What either side holds may change its size.
    m_leadingArea->installEventFilter(this);
    m_corner->installEventFilter(this);
    balanceSides();
}

void WindowTopBar::setLabel(const QString& label) {
    m_label->setText(label);
}

void WindowTopBar::setLeading(QWidget* key) {
    m_leading = key;
    auto* leading = static_cast<QHBoxLayout*>(m_leadingArea->layout());
    leading->insertWidget(0, key, 0, Qt::AlignVCenter);
    balanceSides();
}

void WindowTopBar::setCorner(QWidget* corner) {
    m_cornerContent = corner;
    auto* area = new QHBoxLayout(m_corner);
    area->setContentsMargins(0, 0, 0, 0);
    area->addStretch();
    area->addWidget(corner, 0, Qt::AlignVCenter);
    balanceSides();
}

bool WindowTopBar::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_corner || watched == m_leadingArea) && event->type() == QEvent::LayoutRequest)
        balanceSides();
    return QWidget::eventFilter(watched, event);
}

void WindowTopBar::balanceSides() {
    int side = sideWidth;
    if (m_leading)
        side = std::max(side, leadingInset + m_leading->sizeHint().width() - padding);
    if (m_cornerContent)
        side = std::max(side, m_cornerContent->sizeHint().width());
    m_leadingArea->setFixedWidth(padding + side);
    m_corner->setFixedWidth(side);
}

} // namespace corvane
