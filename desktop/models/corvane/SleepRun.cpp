#include "SleepRun.h"

namespace corvane {

SleepRun::SleepRun() {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5% early
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { wake(); });
}

void SleepRun::cancel() {
    m_cancelled = true;
    m_timer.stop();
    wake();
}

void SleepRun::wake() {
    if (const std::coroutine_handle<> sleeper = std::exchange(m_sleeper, {}))
        sleeper.resume();
}

} // namespace corvane
