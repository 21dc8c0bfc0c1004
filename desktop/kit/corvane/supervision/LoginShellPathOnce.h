#pragma once

#include <corvane/shell/Environment.h>
#include <corvane/supervision/CommandRunner.h>
#include <corvane/supervision/LoginShellPathResult.h>
#include <corvane/support/OneShot.h>

#include <qcorotask.h>

#include <memory>

namespace corvane {

// Asks the login shell at most once per process: callers that come while it runs share that run, and
// the answer, even `failed`, is kept for good.
class LoginShellPathOnce {
public:
    LoginShellPathOnce(Environment environment, std::shared_ptr<CommandRunner> runner);

    QCoro::Task<LoginShellPathResult> value();
    // Whether the shell has been asked and has not answered yet.
    bool isReading() const { return m_asked && !m_answer.isSet(); }
    // The answer, once the shell has given it; nothing is asked here.
    const std::optional<LoginShellPathResult>& known() const { return m_answer.known(); }

private:
    static QCoro::Task<> readInto(Environment environment, std::shared_ptr<CommandRunner> runner,
                                  OneShot<LoginShellPathResult> answer);

    Environment m_environment;
    std::shared_ptr<CommandRunner> m_runner;
    OneShot<LoginShellPathResult> m_answer;
    bool m_asked = false;
};

} // namespace corvane
