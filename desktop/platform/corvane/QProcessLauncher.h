#pragma once

#include <corvane/supervision/ProcessLauncher.h>

namespace corvane {

// Launches the server with QProcess. The child's environment is exactly the plan's; its standard output
// and error are appended to the plan's log; its standard input carries the admin secret, then end of
// file; and it is sent SIGTERM if the application dies, so it never outlives its keeper.
class QProcessLauncher final : public ProcessLauncher {
public:
    std::expected<std::shared_ptr<SupervisedProcess>, QString> launch(const ServerLaunchPlan& plan,
                                                                      ExitHandler onExit) override;
};

} // namespace corvane
