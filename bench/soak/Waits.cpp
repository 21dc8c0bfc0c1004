#include "Waits.h"

#include <QAbstractEventDispatcher>
#include <QEvent>
#include <QTimer>
#include <qcorosignal.h>
#include <qcorotimer.h>

using namespace std::chrono_literals;

namespace Waits {

// Asked each time the event loop is about to sleep, so after everything pending has been handled and
// never in a busy loop; the answer resumes the wait from a zero timer, outside the loop's own signal.
QCoro::Task<bool> until(std::function<bool()> done, std::chrono::milliseconds limit) {
    if (done())
        co_return true;
    QTimer resume;
    resume.setSingleShot(true);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &resume, [&resume] { resume.start(0); });
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &resume,
                     [&resume, &done] {
                         if (!resume.isActive() && done())
                             resume.start(0);
                     });
    deadline.start(limit);
    co_await qCoro(&resume, &QTimer::timeout);
    co_return done();
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
