#pragma once

#include <QObject>
#include <qcorotask.h>

#include <chrono>
#include <functional>

// Waiting with the event loop running, as the application runs between the person's actions.
namespace Waits {

// Until `done` holds, or `limit` has passed: whether it holds. At once when it already does.
QCoro::Task<bool> until(std::function<bool()> done, std::chrono::milliseconds limit);
// One turn of the event loop: what was posted meanwhile (a repaint, say) has been handled.
QCoro::Task<> turn();

} // namespace Waits

// How often a widget has painted: a window has really been drawn, not just marked visible.
class PaintCount : public QObject {
    Q_OBJECT
public:
    explicit PaintCount(QObject& watched);
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_count = 0;
};
