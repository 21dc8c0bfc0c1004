#include "TerminationSignal.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace corvane {

namespace {

constexpr std::array handledSignals{SIGTERM, SIGINT};
volatile std::sig_atomic_t writeEnd = -1;

void onSignal(int signal) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : handledSignals)
        ::sigaction(signal, &action, nullptr);
}

} // namespace

TerminationSignal::TerminationSignal(std::function<void(int)> handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler)) {
    Q_ASSERT(writeEnd < 0);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        qFatal("Kestrin could not make the pipe that carries termination signals.");
    m_readEnd = UniqueFd(fds[0]);
    m_writeEnd = UniqueFd(fds[1]);
    writeEnd = m_writeEnd.get();
    m_notifier = new QSocketNotifier(m_readEnd.get(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignal::drain);
    setHandler(&onSignal);
}

TerminationSignal::~TerminationSignal() {
    setHandler(SIG_DFL);
    writeEnd = -1;
}

void TerminationSignal::drain() {
    std::array<char, 16> received{};
    ssize_t count = 0;
    while ((count = ::read(m_readEnd.get(), received.data(), received.size())) > 0)
        for (ssize_t i = 0; i < count; ++i)
            m_handler(received[static_cast<std::size_t>(i)]);
}

} // namespace corvane
