#pragma once

#include <corvane/supervision/ServerLaunchPlan.h>

#include <QString>

#include <expected>
#include <functional>
#include <memory>

namespace corvane {

// A process the supervisor started and watches.
class SupervisedProcess {
public:
    virtual ~SupervisedProcess() = default;
    virtual qint32 processIdentifier() const = 0;
    virtual void terminate() = 0; // SIGTERM
    virtual bool isRunning() const = 0;
    virtual void kill() = 0; // SIGKILL
};

// Starts a process for a plan. `onExit` receives the exit status exactly once, on the main thread; a
// process ended by a signal reports a non-zero status. Fails with a description of what went wrong.
class ProcessLauncher {
public:
    using ExitHandler = std::function<void(qint32 status)>;
    virtual ~ProcessLauncher() = default;
    virtual std::expected<std::shared_ptr<SupervisedProcess>, QString> launch(const ServerLaunchPlan& plan,
                                                                              ExitHandler onExit) = 0;
};

} // namespace corvane
