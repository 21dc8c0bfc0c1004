#pragma once

#include <corvane/AppDelegate.h>

#include <QObject>
#include <QTimer>

#include <coroutine>
#include <vector>

// The server model's refresh clock as the soak paces it: once a second, as the application's own
// clock ticks, or only when the soak releases it, so that a day of ticks runs in minutes.
class SoakClock : public QObject {
    Q_OBJECT
public:
    SoakClock();
    ~SoakClock() override;

    // What the model waits on for each tick.
    corvane::AppDelegate::Tick tick();

    // Releases the waits once a second from now on.
    void followRealTime();
    // Releases the waits only when `release` is called.
    void holdForRelease();
    // Ends every wait under way, at once.
    void release();

    // The waits begun so far: one more means the model came round to its next tick.
    quint64 waitsBegun() const { return m_begun; }
    // The waits under way: the running clock's, and any of a clock that was cancelled meanwhile.
    std::size_t waiting() const { return m_waiting.size(); }

private:
    struct Wait {
        SoakClock& clock;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> waiter) {
            clock.m_waiting.push_back(waiter);
            ++clock.m_begun;
        }
        void await_resume() const noexcept {}
    };
    static QCoro::Task<> waitFor(SoakClock& clock);

    QTimer m_second;
    std::vector<std::coroutine_handle<>> m_waiting;
    quint64 m_begun = 0;
};
