#pragma once

#include <corvane/support/UniqueFd.h>

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace corvane {

// Turns SIGTERM and SIGINT into a call on the main thread, through a pipe the signal handler writes to,
// so neither signal ends the process outright. One at a time; dropping it restores the defaults.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(std::function<void(int signal)> handler, QObject* parent = nullptr);
    ~TerminationSignal() override;

private:
    void drain();

    std::function<void(int)> m_handler;
    UniqueFd m_readEnd;
    UniqueFd m_writeEnd;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace corvane
