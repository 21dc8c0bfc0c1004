#include "OnScreenLoop.h"

#include <corvane/controls/ReducedMotion.h>

#include <QEvent>
#include <QVariantAnimation>
#include <QWidget>

namespace corvane {

OnScreenLoop::OnScreenLoop(QWidget& control, std::chrono::milliseconds period, Steps steps)
    : m_control(control)
    , m_period(period)
    , m_steps(std::move(steps)) {
    control.installEventFilter(this);
    connect(&ReducedMotion::instance(), &ReducedMotion::changed, this, &OnScreenLoop::refresh);
}

OnScreenLoop::~OnScreenLoop() = default;

bool OnScreenLoop::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
        refresh();
    return QObject::eventFilter(watched, event);
}

void OnScreenLoop::refresh() {
    const bool wanted = m_control.isVisible() && !ReducedMotion::instance().isOn() && m_steps.wanted();
    if (wanted == isRunning())
        return;
    if (!wanted) {
        m_animation.reset(); // stops it at once
        m_steps.stopped();
        return;
    }
    m_animation = std::make_unique<QVariantAnimation>();
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setDuration(static_cast<int>(m_period.count()));
    m_animation->setLoopCount(-1);
    connect(m_animation.get(), &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { m_steps.step(value.toReal()); });
    m_animation->start();
}

} // namespace corvane
