#pragma once

#include <corvane/controls/FieldUnitShapes.h>
#include <corvane/controls/KeyboardUse.h>

#include <QEvent>
#include <QFocusEvent>
#include <QPainter>

namespace corvane {

// A scrolling area the keyboard reaches, to scroll and select (a well of release notes, a log's
// text), showing the focus ring like every control: drawn over the area's own edge, in a margin kept
// free around what it shows. `Area` is a QAbstractScrollArea.
template <typename Area>
class FocusRingArea : public Area {
public:
    static constexpr int ringRoom = 4;

    explicit FocusRingArea(qreal cornerRadius, QWidget* parent = nullptr)
        : Area(parent)
        , m_cornerRadius(cornerRadius) {
        KeyboardUse::watch();
        this->setFocusPolicy(Qt::StrongFocus);
        this->setViewportMargins(ringRoom, ringRoom, ringRoom, ringRoom);
    }

protected:
    bool event(QEvent* event) override {
        const bool handled = Area::event(event); // the area itself, under what it shows
        if (event->type() == QEvent::Paint && KeyboardUse::showsFocus(*this)) {
            QPainter painter(this);
            FieldUnitShapes::drawFocusRing(painter, QRectF(this->rect()), m_cornerRadius);
        }
        return handled;
    }
    void focusInEvent(QFocusEvent* event) override {
        Area::focusInEvent(event);
        this->update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        Area::focusOutEvent(event);
        this->update();
    }

private:
    qreal m_cornerRadius;
};

} // namespace corvane
