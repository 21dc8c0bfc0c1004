#include "ServerSupervisor.h"

#include <QPointer>
#include <qcorotimer.h>

namespace corvane {

ServerSupervisor::ServerSupervisor(std::shared_ptr<PortProbe> probe,
                                   std::shared_ptr<ProcessLauncher> launcher, CrashRestarts crashRestarts,
                                   Pause pause, QObject* parent)
    : QObject(parent)
    , m_probe(std::move(probe))
    , m_launcher(std::move(launcher))
    , m_pause(pause ? std::move(pause) : Pause([] { return QCoro::sleepFor(checkInterval); }))
    , m_crashRestarts(std::move(crashRestarts)) {}

// Whatever is still alive goes with the supervisor: a server must not outlive its keeper.
ServerSupervisor::~ServerSupervisor() {
    for (const auto& process : std::as_const(m_stopping)) {
        if (process->isRunning())
            process->kill();
    }
    if (m_child && m_child->isRunning())
        m_child->kill();
}

void ServerSupervisor::setState(ServerState state) {
    m_state = std::move(state);
    if (onStateChange)
        onStateChange(m_state);
}

void ServerSupervisor::launch(const ServerLaunchPlan& plan) {
    if (m_quitting)
        return;
    if (m_probe->isBusy(plan.port)) {
        setState(ServerState::failed(ServerFailure::PortBusy{plan.port}));
        return;
    }
    setState(ServerState::starting());
    m_plan = plan;
    const int attempt = ++m_launches;
    const QPointer<ServerSupervisor> self(this);
    auto launched = m_launcher->launch(plan, [self, attempt](qint32 code) {
        if (self)
            self->handleExit(code, attempt);
    });
    if (!launched) {
        m_child.reset();
        setState(ServerState::failed(ServerFailure::LaunchFailed{launched.error()}));
        return;
    }
    m_child = std::move(*launched);
    setState(ServerState::running(m_child->processIdentifier()));
}

void ServerSupervisor::start(const ServerLaunchPlan& plan) {
    if (m_state.isRunning())
        return;
    m_crashes.clear();
    launch(plan);
}

void ServerSupervisor::handleExit(qint32 code, int attempt) {
    // A stopped server is let go of once it has ended: switched quickly, many can be stopping at once,
    // and none of them is kept until a later stop happens to look.
    if (attempt != m_launches || !m_child) {
        forgetEndedProcesses();
        return;
    }
    m_child.reset();
    if (code == 0) {
        setState(ServerState::stopped());
        return;
    }
    const auto now = m_crashRestarts.now();
    m_crashes.removeIf([&](const auto& crash) { return now - crash >= m_crashRestarts.window; });
    m_crashes.append(now);
    if (m_crashes.size() <= m_crashRestarts.limit && m_plan)
        launch(*m_plan);
    else
        setState(ServerState::failed(ServerFailure::Exited{code}));
}

void ServerSupervisor::forgetEndedProcesses() {
    m_stopping.removeIf([](const auto& process) { return !process->isRunning(); });
}

void ServerSupervisor::stop() {
    forgetEndedProcesses();
    if (m_child) {
        m_child->terminate();
        m_stopping.append(std::exchange(m_child, nullptr));
    }
    setState(ServerState::stopped());
}

QCoro::Task<> ServerSupervisor::restart(ServerLaunchPlan plan) {
    const QPointer<ServerSupervisor> self(this);
    stop();
    if (m_probe->isBusy(plan.port)) {
        for (int remaining = restartPortChecks;;) {
            co_await m_pause();
            if (!self)
                co_return;
            if (!m_probe->isBusy(plan.port))
                break;
            if (--remaining < 2) {
                setState(ServerState::failed(ServerFailure::DidNotRelease{plan.port}));
                co_return;
            }
        }
    }
    if (!m_state.isRunning()) {
        m_crashes.clear();
        launch(plan);
    }
}

QCoro::Task<> ServerSupervisor::stopAndWait() {
    const QPointer<ServerSupervisor> self(this);
    m_quitting = true;
    stop();
    forgetEndedProcesses();
    for (int check = 0; check < quitExitChecks && !m_stopping.isEmpty(); ++check) {
        co_await m_pause();
        if (!self)
            co_return;
        if (check + 1 < quitExitChecks)
            forgetEndedProcesses();
    }
    for (const auto& process : std::as_const(m_stopping)) {
        if (process->isRunning())
            process->kill();
    }
}

} // namespace corvane
