#pragma once

#include <QTimer>

#include <coroutine>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

// A value delivered once and awaited by any number of coroutines on the main thread. Waiters resume
// from the event loop, never inside the stack of whoever delivered the value (often a signal of an
// object the waiter is about to destroy).
template <typename T>
class OneShot {
public:
    bool isSet() const { return m_shared->value.has_value(); }
    // The value, once it was delivered.
    const std::optional<T>& known() const { return m_shared->value; }

    // Delivers the value; answers false, changing nothing, when one was delivered before.
    bool set(T value) {
        if (m_shared->value)
            return false;
        m_shared->value = std::move(value);
        for (const std::coroutine_handle<> waiter : std::exchange(m_shared->waiters, {}))
            QTimer::singleShot(0, [waiter] { waiter.resume(); });
        return true;
    }

    auto operator co_await() const {
        struct Awaiter {
            std::shared_ptr<Shared> shared;
            bool await_ready() const noexcept { return shared->value.has_value(); }
            void await_suspend(std::coroutine_handle<> waiter) { shared->waiters.push_back(waiter); }
            T await_resume() const { return *shared->value; }
        };
        return Awaiter{m_shared};
    }

private:
    struct Shared {
        std::optional<T> value;
        std::vector<std::coroutine_handle<>> waiters;
    };
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

} // namespace corvane
