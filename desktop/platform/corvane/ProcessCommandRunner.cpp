#include "ProcessCommandRunner.h"

#include <corvane/support/OneShot.h>

#include <corvane/ProcessRelease.h>

#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace corvane {

// What the run has seen so far. Everything happens on the main thread, so no lock is needed: exactly
// one of completion, start failure, the time limit or a cancel delivers the result.
struct ProcessCommandRunner::RunState {
    QByteArray output;
    std::optional<QByteArray> marker;
    bool ended = false;
    std::optional<int> status;
    OneShot<std::optional<QString>> result;
    QPointer<QProcess> process;

    bool outputFinished() const { return ended || (marker && output.contains(*marker)); }

    void checkCompletion() {
        if (!outputFinished() || !status)
            return;
        result.set(*status == 0 ? std::optional(QString::fromUtf8(output)) : std::nullopt);
    }

    // Answers nothing and tells the program to stop, unless an answer came first. The program leads a
    // process group of its own, so whatever its start-up files started is told to stop with it.
    void giveUp() {
        if (result.set(std::nullopt) && process && process->state() != QProcess::NotRunning)
            ::kill(-static_cast<pid_t>(process->processId()), SIGTERM);
    }
};

QCoro::Task<std::optional<QString>> ProcessCommandRunner::run(QString executable, QStringList arguments,
                                                              std::chrono::milliseconds timeout,
                                                              std::optional<QString> finishedBy) {
    auto process = std::make_unique<QProcess>();
    QProcess* const child = process.get();
    const auto state = std::make_shared<RunState>();
    state->process = child;
    m_runs.removeIf([](const std::weak_ptr<RunState>& run) { return run.expired(); });
    m_runs.append(state);
    if (finishedBy)
        state->marker = finishedBy->toUtf8();

    child->setProgram(executable);
    child->setArguments(arguments);
    child->setStandardInputFile(QProcess::nullDevice());
    child->setStandardErrorFile(QProcess::nullDevice());
    child->setReadChannel(QProcess::StandardOutput);
    // An interactive login shell takes over the controlling terminal of its session, and a terminal
    // stops a background reader; in a session of its own the probe has no terminal to take or be stopped by.
    child->setChildProcessModifier([] { ::setsid(); });

    QObject::connect(child, &QProcess::readyReadStandardOutput, child, [child, state] {
        state->output += child->readAllStandardOutput();
        state->checkCompletion();
    });
    QObject::connect(child, &QProcess::readChannelFinished, child, [state] {
        state->ended = true;
        state->checkCompletion();
    });
    QObject::connect(child, &QProcess::finished, child, [child, state](int code, QProcess::ExitStatus how) {
        state->output += child->readAllStandardOutput();
        state->status = how == QProcess::NormalExit ? code : -1;
        state->checkCompletion();
    });
    QObject::connect(child, &QProcess::errorOccurred, child, [state](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            state->result.set(std::nullopt);
    });

    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5% early
    QObject::connect(&limit, &QTimer::timeout, child, [state] { state->giveUp(); });

    child->start();
    limit.start(timeout);
    std::optional<QString> result = co_await state->result;

    // After the time limit the program may still run; it was told to stop and is reaped when it does.
    releaseUntilFinished(std::move(process));
    co_return result;
}

void ProcessCommandRunner::cancelRuns() {
    for (const std::weak_ptr<RunState>& run : std::as_const(m_runs))
        if (const std::shared_ptr<RunState> state = run.lock())
            state->giveUp();
}

} // namespace corvane
