#include "Waits.h"

#include <QDeadlineTimer>
#include <QEvent>
#include <QTimer>
#include <qcorotimer.h>

using namespace std::chrono_literals;

namespace Waits {

QCoro::Task<bool> until(std::function<bool()> done, std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    while (!done()) {
        if (deadline.hasExpired())
            co_return false;
        co_await QCoro::sleepFor(1ms);
    }
    co_return true;
}

// A zero timer fires once the events already waiting have been handled.
QCoro::Task<> turn() {
    co_await QCoro::sleepFor(0ms);
}

} // namespace Waits

PaintCount::PaintCount(QObject& watched)
    : QObject(&watched) {
    watched.installEventFilter(this);
}

bool PaintCount::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint)
        ++m_count;
    return QObject::eventFilter(watched, event);
}
