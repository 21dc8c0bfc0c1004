#include "SoakClock.h"

#include <chrono>

using namespace std::chrono_literals;

SoakClock::SoakClock() {
    connect(&m_second, &QTimer::timeout, this, &SoakClock::release);
}

// A clock still waiting here belongs to a model that is gone or was cancelled: released, it sees that
// and ends, so that no clock is left suspended.
SoakClock::~SoakClock() {
    release();
}

corvane::AppDelegate::Tick SoakClock::tick() {
    return [this] { return waitFor(*this); };
}

QCoro::Task<> SoakClock::waitFor(SoakClock& clock) {
    co_await Wait{clock};
}

void SoakClock::followRealTime() {
    m_second.start(1s);
}

void SoakClock::holdForRelease() {
    m_second.stop();
}

// A released clock may come round to its next wait before this returns: the waits are taken first.
void SoakClock::release() {
    for (const std::coroutine_handle<> waiter : std::exchange(m_waiting, {}))
        waiter.resume();
}
