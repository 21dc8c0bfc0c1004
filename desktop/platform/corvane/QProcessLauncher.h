#pragma once

#include <corvane/supervision/LocalAdminHandover.h>
#include <corvane/supervision/ProcessLauncher.h>

#include <functional>

namespace corvane {

// Launches the server with QProcess. The child's environment is exactly the plan's; its standard output
// and error are appended to the plan's log; its standard input carries the admin secret, then end of
// file; and it is sent SIGTERM if the application dies, so it never outlives its keeper.
class QProcessLauncher final : public ProcessLauncher {
public:
    // How the secret reaches the child's input pipe; the real write unless a test has a failing one.
    using Handover = std::function<std::expected<void, LocalAdminHandover::HandoverError>(
        const LocalAdminSecret& secret, UniqueFd pipe)>;

    explicit QProcessLauncher(Handover handover = &LocalAdminHandover::write)
        : m_handover(std::move(handover)) {}

    std::expected<std::shared_ptr<SupervisedProcess>, QString> launch(const ServerLaunchPlan& plan,
                                                                      ExitHandler onExit) override;

private:
    Handover m_handover;
};

} // namespace corvane
