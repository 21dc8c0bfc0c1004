#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace corvane {

// Turns SIGTERM and SIGINT into a call on the main thread, through a pipe the signal handler writes to,
// so neither signal ends the process outright. Once held, the signals stay held for the life of the
// process: one that arrives while nobody listens waits in the pipe for the next listener.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    // Holds both signals from now on. The first line of `main` calls it, long before anyone listens.
    static void hold();

    // Holds the signals if that has not happened yet and becomes their one listener: a listener made
    // earlier hears nothing more, and its going away changes nothing.
    explicit TerminationSignal(std::function<void(int signal)> handler, QObject* parent = nullptr);
    ~TerminationSignal() override;

private:
    void drain();

    std::function<void(int)> m_handler;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace corvane
