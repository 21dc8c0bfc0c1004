#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace corvane {

// What the probe found.
enum class DeveloperToolsStatus { ready, missing };

// What this computer can install the tools with, which decides what the person is asked to do.
enum class DeveloperToolsInstaller {
    packageKit,     // Kestrin installs them itself; the system asks for the password
    softwareCentre, // Kestrin opens the software centre, where the person clicks Install
    none,           // nothing Kestrin can start: the person installs them some other way
};

// What the welcome shows of the developer tools.
enum class DeveloperToolsStage {
    checking,        // no check has finished yet
    ready,           // the tools are present
    missing,         // absent, and no install was started in this process
    installing,      // an install was started and still runs, or began less than the grace ago
    installerClosed, // an install was started, the tools are still absent and it no longer runs
};

// Whether the welcome may go on past the tools: they are there or on their way.
constexpr bool letsSetupContinue(DeveloperToolsStage stage) {
    return stage == DeveloperToolsStage::ready || stage == DeveloperToolsStage::installing;
}

namespace DeveloperTools {

using Clock = std::chrono::system_clock;

// An installer that has not shown up yet still counts as installing for this long after the start.
inline constexpr std::chrono::duration<double> installerGrace{15.0};

// From the probe: its exit code and the developer folder it printed. The tools are there when that
// folder, trimmed, followed directly by "/usr/bin/git" is an executable file.
DeveloperToolsStatus status(int exitCode, const QString& printedPath,
                            const std::function<bool(const QString&)>& fileExists);

// The stage to show, the first rule that holds: ready tools; no install started; the installer
// running; still within the grace after the start; otherwise the installer closed.
DeveloperToolsStage stage(DeveloperToolsStatus status, std::optional<Clock::time_point> installStartedAt,
                          bool installerRunning, Clock::time_point now);

} // namespace DeveloperTools

} // namespace corvane
