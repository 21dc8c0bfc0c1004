#pragma once

// Stand-ins for the processes, launcher and port probe under a supervisor.

#include <corvane/supervision/PortProbe.h>
#include <corvane/supervision/ProcessLauncher.h>
#include <corvane/supervision/ServerLaunchPlan.h>

#include <QList>

#include <memory>
#include <optional>

namespace corvane {

class FakeProcess final : public SupervisedProcess {
public:
    explicit FakeProcess(qint32 processId)
        : pid(processId) {}
    qint32 processIdentifier() const override { return pid; }
    void terminate() override {
        ++terminations;
        if (!ignoresTerminate)
            running = false;
    }
    bool isRunning() const override { return running; }
    void kill() override {
        ++kills;
        running = false;
    }

    qint32 pid;
    bool running = true;
    bool ignoresTerminate = false;
    int terminations = 0;
    int kills = 0;
};

class FakeLauncher final : public ProcessLauncher {
public:
    std::expected<std::shared_ptr<SupervisedProcess>, QString> launch(const ServerLaunchPlan& plan,
                                                                      ExitHandler onExit) override {
        plans.append(plan);
        exits.append(std::move(onExit));
        if (failWith) {
            processes.append(nullptr);
            return std::unexpected(*failWith);
        }
        auto process = std::make_shared<FakeProcess>(1000 + static_cast<qint32>(plans.size()));
        process->ignoresTerminate = nextIgnoresTerminate;
        processes.append(process);
        return process;
    }
    // Reports the exit of the given launch (1 = first) as the platform would.
    void exit(int launch, qint32 status) {
        if (processes[launch - 1])
            processes[launch - 1]->running = false;
        exits[launch - 1](status);
    }

    QList<ServerLaunchPlan> plans;
    QList<ExitHandler> exits;
    QList<std::shared_ptr<FakeProcess>> processes;
    std::optional<QString> failWith;
    bool nextIgnoresTerminate = false;
};

class FakeProbe final : public PortProbe {
public:
    bool isBusy(int) override {
        ++probes;
        return busyProbes < 0 || probes <= busyProbes;
    }
    // The next `count` probes answer busy (-1: for ever).
    void busyFor(int count) {
        probes = 0;
        busyProbes = count;
    }
    int probes = 0;
    int busyProbes = 0;
};

} // namespace corvane
