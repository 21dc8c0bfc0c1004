#pragma once

#include <corvane/controls/FieldUnitShapes.h>
#include <corvane/controls/KeyboardUse.h>

#include <QEvent>
#include <QFocusEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWidget>

namespace corvane {

// The ring of a FocusRingArea, in a child of its own raised over everything the area holds, so that
// scroll bars laid along the area's edge do not cover it. It takes no input and no focus.
class FocusRingOverlay : public QWidget {
public:
    FocusRingOverlay(QWidget& area, qreal cornerRadius)
        : QWidget(&area)
        , m_area(area)
        , m_cornerRadius(cornerRadius) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

    // Covers the area again, above its children.
    void cover() {
        setGeometry(m_area.rect());
        raise();
    }

    // The area raises its scroll bars whenever it lays them out again; the ring then goes back on top.
    void stayAbove(QWidget& sibling) { sibling.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ZOrderChange)
            raise();
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent*) override {
        if (!KeyboardUse::showsFocus(m_area))
            return;
        QPainter painter(this);
        FieldUnitShapes::drawFocusRing(painter, QRectF(rect()), m_cornerRadius);
    }

private:
    QWidget& m_area;
    qreal m_cornerRadius;
};

// A scrolling area the keyboard reaches, to scroll and select (a well of release notes, a log's
// text), showing the focus ring like every control: drawn over the area's own edge, in a margin kept
// free around what it shows. `Area` is a QAbstractScrollArea.
template <typename Area>
class FocusRingArea : public Area {
public:
    static constexpr int ringRoom = 4;

    explicit FocusRingArea(qreal cornerRadius, QWidget* parent = nullptr)
        : Area(parent)
        , m_ring(new FocusRingOverlay(*this, cornerRadius)) {
        KeyboardUse::watch();
        this->setFocusPolicy(Qt::StrongFocus);
        this->setViewportMargins(ringRoom, ringRoom, ringRoom, ringRoom);
        m_ring->stayAbove(*this->verticalScrollBar()->parentWidget());
        m_ring->stayAbove(*this->horizontalScrollBar()->parentWidget());
        m_ring->cover();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        Area::resizeEvent(event);
        m_ring->cover();
    }
    void focusInEvent(QFocusEvent* event) override {
        Area::focusInEvent(event);
        m_ring->update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        Area::focusOutEvent(event);
        m_ring->update();
    }

private:
    FocusRingOverlay* m_ring; // a child of this area
};

} // namespace corvane
