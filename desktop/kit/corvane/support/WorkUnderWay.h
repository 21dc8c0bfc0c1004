#pragma once

#include <corvane/support/OneShot.h>

#include <qcorotask.h>

#include <memory>

namespace corvane {

// The work a model has under way, counted, so that a quit can wait until all of it has wound down
// and no coroutine is left suspended when the application ends.
class WorkUnderWay {
    struct State {
        int count = 0;
        OneShot<bool> idle;
    };

public:
    // Held by one piece of work for as long as it runs; it outlives the model safely.
    class Token {
    public:
        explicit Token(std::shared_ptr<State> state);
        Token(Token&& other) noexcept = default;
        Token& operator=(Token&&) = delete;
        Token(const Token&) = delete;
        Token& operator=(const Token&) = delete;
        ~Token();

    private:
        std::shared_ptr<State> m_state;
    };

    Token begin();
    bool isIdle() const { return m_state->count == 0; }
    // Ends when nothing is under way; at once when nothing is.
    QCoro::Task<> settled() const;

private:
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace corvane
