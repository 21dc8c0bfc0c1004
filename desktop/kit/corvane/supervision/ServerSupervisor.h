#pragma once

#include <corvane/supervision/CrashRestarts.h>
#include <corvane/supervision/PortProbe.h>
#include <corvane/supervision/ProcessLauncher.h>
#include <corvane/supervision/ServerLaunchPlan.h>
#include <corvane/supervision/ServerState.h>

#include <QList>
#include <QObject>
#include <qcorotask.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace corvane {

// Owns the one server process: launches a plan, restarts it after a crash within a budget, refuses a
// busy port, waits for the port before a restart and, at quit, for the process to end. Lives on the
// main thread; reports every state assignment through `onStateChange`.
class ServerSupervisor : public QObject {
    Q_OBJECT
public:
    using Pause = std::function<QCoro::Task<>()>;

    static constexpr int restartPortChecks = 40;
    static constexpr std::chrono::milliseconds checkInterval{250};
    static constexpr int quitExitChecks = 48;

    // Without a pause, each wait sleeps `checkInterval`.
    ServerSupervisor(std::shared_ptr<PortProbe> probe, std::shared_ptr<ProcessLauncher> launcher,
                     CrashRestarts crashRestarts = CrashRestarts::standard(), Pause pause = {},
                     QObject* parent = nullptr);
    ~ServerSupervisor() override;

    const ServerState& state() const { return m_state; }
    std::function<void(const ServerState&)> onStateChange;

    // Launches unless the server is already running.
    void start(const ServerLaunchPlan& plan);
    // Stops the server, waits for its port to be freed, then launches the plan.
    QCoro::Task<> restart(ServerLaunchPlan plan);
    // Tells the server to stop and reports `stopped` without waiting.
    void stop();
    // Stops for good and waits for every stopped process to end, killing stragglers.
    QCoro::Task<> stopAndWait();

    int launches() const { return m_launches; }

private:
    void setState(ServerState state);
    void launch(const ServerLaunchPlan& plan);
    void handleExit(qint32 code, int attempt);
    void forgetEndedProcesses();

    std::shared_ptr<PortProbe> m_probe;
    std::shared_ptr<ProcessLauncher> m_launcher;
    Pause m_pause;
    CrashRestarts m_crashRestarts;
    ServerState m_state;
    std::shared_ptr<SupervisedProcess> m_child;
    std::optional<ServerLaunchPlan> m_plan;
    QList<CrashRestarts::Clock::time_point> m_crashes;
    int m_launches = 0;
    QList<std::shared_ptr<SupervisedProcess>> m_stopping;
    bool m_quitting = false;
};

} // namespace corvane
