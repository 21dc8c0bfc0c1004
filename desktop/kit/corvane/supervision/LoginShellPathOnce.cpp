#include "LoginShellPathOnce.h"

#include <corvane/supervision/LoginShellPath.h>

namespace corvane {

LoginShellPathOnce::LoginShellPathOnce(Environment environment, std::shared_ptr<CommandRunner> runner)
    : m_environment(std::move(environment))
    , m_runner(std::move(runner)) {}

// The reading owns what it needs, so it finishes even if every caller has gone.
QCoro::Task<> LoginShellPathOnce::readInto(Environment environment, std::shared_ptr<CommandRunner> runner,
                                           OneShot<LoginShellPathResult> answer) {
    answer.set(co_await LoginShellPath::read(std::move(environment), *runner));
}

QCoro::Task<LoginShellPathResult> LoginShellPathOnce::value() {
    if (!std::exchange(m_asked, true))
        readInto(m_environment, m_runner, m_answer);
    // A copy: the awaiter keeps the shared answer alive even if this object goes away meanwhile.
    const OneShot<LoginShellPathResult> answer = m_answer;
    co_return co_await answer;
}

} // namespace corvane
