#include "TerminationSignal.h"

#include <corvane/support/UniqueFd.h>

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace corvane {

namespace {

constexpr std::array handledSignals{SIGTERM, SIGINT};
volatile std::sig_atomic_t handlerWriteEnd = -1;

void onSignal(int signal) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(handlerWriteEnd, &byte, 1);
    errno = savedErrno;
}

// The pipe between the handler and the listener, made and hooked up once for the whole process.
struct SignalPipe {
    UniqueFd readEnd;
    UniqueFd writeEnd;

    SignalPipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            qFatal("Kestrin could not make the pipe that carries termination signals.");
        readEnd = UniqueFd(fds[0]);
        writeEnd = UniqueFd(fds[1]);
        handlerWriteEnd = writeEnd.get();
        struct sigaction action {};
        action.sa_handler = &onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : handledSignals)
            ::sigaction(signal, &action, nullptr);
    }
};

const SignalPipe& signalPipe() {
    static const SignalPipe pipe;
    return pipe;
}

// The one listener that hears the signals now; main thread only.
TerminationSignal* current = nullptr;

} // namespace

void TerminationSignal::hold() {
    (void)signalPipe();
}

TerminationSignal::TerminationSignal(std::function<void(int)> handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler)) {
    // Two enabled notifiers on one descriptor would both be woken: the earlier listener lets go first.
    if (current)
        current->m_notifier->setEnabled(false);
    current = this;
    m_notifier = new QSocketNotifier(signalPipe().readEnd.get(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignal::drain);
}

TerminationSignal::~TerminationSignal() {
    if (current == this)
        current = nullptr;
}

void TerminationSignal::drain() {
    std::array<char, 16> received{};
    ssize_t count = 0;
    while ((count = ::read(signalPipe().readEnd.get(), received.data(), received.size())) > 0)
        for (ssize_t i = 0; i < count; ++i)
            m_handler(received[static_cast<std::size_t>(i)]);
}

} // namespace corvane
