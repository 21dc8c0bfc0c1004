#include "WorkUnderWay.h"

namespace corvane {

WorkUnderWay::Token::Token(std::shared_ptr<State> state)
    : m_state(std::move(state)) {
    if (m_state->count++ == 0)
        m_state->idle = {};
}

WorkUnderWay::Token::~Token() {
    if (m_state && --m_state->count == 0)
        m_state->idle.set(true);
}

WorkUnderWay::Token WorkUnderWay::begin() {
    return Token(m_state);
}

QCoro::Task<> WorkUnderWay::settled() const {
    if (m_state->count == 0)
        co_return;
    const OneShot<bool> idle = m_state->idle;
    co_await idle;
}

} // namespace corvane
