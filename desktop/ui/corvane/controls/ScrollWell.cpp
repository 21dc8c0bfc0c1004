#include "ScrollWell.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitShapes.h>
#include <corvane/controls/KeyboardUse.h>

#include <QEvent>
#include <QPainter>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int cornerRadius = 6;
constexpr int ringRoom = 3; // between the edge and the words, where the focus ring is drawn

} // namespace

ScrollWell::ScrollWell(QWidget* content, const QString& name, QWidget* parent)
    : QScrollArea(parent) {
    KeyboardUse::watch();
    setAccessibleName(name);
    setFocusPolicy(Qt::StrongFocus);
    setWidget(content);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setViewportMargins(ringRoom, ringRoom, ringRoom, ringRoom);
    setStyleSheet(u"QScrollArea { background: %1; border: 1px solid %2; border-radius: %3px; }"_s
                      .arg(FU::panel.name(), FU::edge.name())
                      .arg(cornerRadius));
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
}

bool ScrollWell::event(QEvent* event) {
    const bool handled = QScrollArea::event(event); // the well itself, under the words
    if (event->type() == QEvent::Paint && KeyboardUse::showsFocus(*this)) {
        QPainter painter(this);
        FieldUnitShapes::drawFocusRing(painter, QRectF(rect()), cornerRadius);
    }
    return handled;
}

void ScrollWell::focusInEvent(QFocusEvent* event) {
    QScrollArea::focusInEvent(event);
    update();
}

void ScrollWell::focusOutEvent(QFocusEvent* event) {
    QScrollArea::focusOutEvent(event);
    update();
}

} // namespace corvane
