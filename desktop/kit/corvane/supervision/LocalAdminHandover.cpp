#include "LocalAdminHandover.h"

#include <csignal>
#include <ctime>
#include <pthread.h>

namespace corvane::LocalAdminHandover {

namespace {

// Keeps SIGPIPE from this thread's writes from ending the process, whatever its disposition: the
// signal is blocked for the write and any one it raised is taken off the queue before unblocking.
class SigpipeGuard {
public:
    SigpipeGuard() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
    }
    ~SigpipeGuard() {
        sigset_t pending;
        sigpending(&pending);
        if (!m_wasPending && sigismember(&pending, SIGPIPE) == 1) {
            const timespec noWait{0, 0};
            sigtimedwait(&m_pipe, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
    sigset_t m_pipe{};
    sigset_t m_previous{};
    bool m_wasPending = false;
};

} // namespace

QString HandoverError::description() const {
    return QStringLiteral("writeFailed(code: %1)").arg(code);
}

std::expected<void, HandoverError> write(const LocalAdminSecret& secret, UniqueFd handle) {
    const QByteArray line = secret.handoverLine();
    std::expected<void, int> written;
    {
        const SigpipeGuard guard;
        written = writeAll(handle.get(), line);
    }
    handle.reset();
    if (!written)
        return std::unexpected(HandoverError{written.error()});
    return {};
}

} // namespace corvane::LocalAdminHandover
