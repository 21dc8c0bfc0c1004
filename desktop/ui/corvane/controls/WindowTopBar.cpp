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
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(padding, 0, padding, 0);
    row->setSpacing(0);
    row->addWidget(m_leadingArea);
    row->addStretch();
    row->addWidget(m_label, 0, Qt::AlignVCenter);
    row->addStretch();
    row->addWidget(m_corner);
    m_corner->installEventFilter(this); // what it holds may change its size
    balanceSides();
}

void WindowTopBar::setLabel(const QString& label) {
    m_label->setText(label);
}

void WindowTopBar::setLeading(QWidget* key) {
    m_leading = key;
    key->setParent(this);
    key->setGeometry(QRect(QPoint(leadingInset, (height() - key->sizeHint().height()) / 2), key->sizeHint()));
    key->show();
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
    if (watched == m_corner && event->type() == QEvent::LayoutRequest)
        balanceSides();
    return QWidget::eventFilter(watched, event);
}

void WindowTopBar::balanceSides() {
    int side = sideWidth;
    if (m_leading)
        side = std::max(side, leadingInset + m_leading->sizeHint().width() - padding);
    if (m_cornerContent)
        side = std::max(side, m_cornerContent->sizeHint().width());
    m_leadingArea->setFixedWidth(side);
    m_corner->setFixedWidth(side);
}

} // namespace corvane
