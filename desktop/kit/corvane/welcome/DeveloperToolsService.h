#pragma once

#include <corvane/welcome/DeveloperTools.h>

#include <qcorotask.h>

namespace corvane {

// The system's side of the developer tools: finding them, starting their install, and whether that
// install still runs. Nothing here blocks the main thread.
class DeveloperToolsService {
public:
    virtual ~DeveloperToolsService() = default;

    // Also looks again for what the tools can be installed with, which `installer()` then says.
    virtual QCoro::Task<DeveloperToolsStatus> check() = 0;
    // Starts the install and returns without waiting for it; a failure shows later as a closed installer.
    // With no installer it starts nothing.
    virtual QCoro::Task<> install() = 0;
    virtual bool installerRunning() const = 0;
    // As the last check or install found it.
    virtual DeveloperToolsInstaller installer() const = 0;
};

} // namespace corvane
