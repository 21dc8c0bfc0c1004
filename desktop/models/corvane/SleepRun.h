#pragma once

#include <QTimer>

#include <chrono>
#include <coroutine>

namespace corvane {

// One run of a loop that sleeps between its rounds: whether it was cancelled, and its sleep, which a
// cancel ends at once (resuming the sleeper right there), so that no sleep outlives the run and no
// loop is left suspended when its owner goes.
class SleepRun {
public:
    SleepRun();
    SleepRun(const SleepRun&) = delete;
    SleepRun& operator=(const SleepRun&) = delete;

    bool cancelled() const { return m_cancelled; }
    void cancel();

    auto sleep(std::chrono::milliseconds duration) {
        struct Awaiter {
            SleepRun& run;
            std::chrono::milliseconds duration;
            bool await_ready() const noexcept { return run.m_cancelled; }
            void await_suspend(std::coroutine_handle<> sleeper) {
                run.m_sleeper = sleeper;
                run.m_timer.start(duration);
            }
            void await_resume() const noexcept {}
        };
        return Awaiter{*this, duration};
    }

private:
    void wake();

    bool m_cancelled = false;
    QTimer m_timer;
    std::coroutine_handle<> m_sleeper;
};

} // namespace corvane
