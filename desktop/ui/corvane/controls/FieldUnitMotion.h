#pragma once

#include <corvane/controls/ReducedMotion.h>

#include <QVariantAnimation>
#include <QWidget>

#include <memory>

namespace corvane::FieldUnitMotion {

// Moves `value` to `target` with an ease-out over `milliseconds`, repainting `widget` at every step.
// A new move starts from wherever the last one had got to; `motion` holds the one under way. A widget
// not on screen goes straight to `target`: it first shows as it is, not sliding from where it was made;
// so does every widget while the desktop asks for less motion.
inline void easeOut(QWidget& widget, std::unique_ptr<QVariantAnimation>& motion, qreal& value, qreal target,
                    int milliseconds) {
    if (!widget.isVisible() || ReducedMotion::instance().isOn()) {
        motion.reset();
        value = target;
        widget.update();
        return;
    }
    motion = std::make_unique<QVariantAnimation>();
    motion->setStartValue(value);
    motion->setEndValue(target);
    motion->setDuration(milliseconds);
    motion->setEasingCurve(QEasingCurve::OutCubic);
    QObject::connect(motion.get(), &QVariantAnimation::valueChanged, &widget,
                     [&widget, &value](const QVariant& at) {
                         value = at.toReal();
                         widget.update();
                     });
    motion->start();
}

} // namespace corvane::FieldUnitMotion
