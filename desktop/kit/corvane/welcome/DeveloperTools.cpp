#include "DeveloperTools.h"

namespace corvane::DeveloperTools {

using namespace Qt::Literals::StringLiterals;

DeveloperToolsStatus status(int exitCode, const QString& printedPath,
                            const std::function<bool(const QString&)>& fileExists) {
    if (exitCode != 0)
        return DeveloperToolsStatus::missing;
    const QString folder = printedPath.trimmed();
    if (folder.isEmpty())
        return DeveloperToolsStatus::missing;
    return fileExists(folder + u"/usr/bin/git"_s) ? DeveloperToolsStatus::ready
                                                  : DeveloperToolsStatus::missing;
}

DeveloperToolsStage stage(DeveloperToolsStatus status, std::optional<Clock::time_point> installStartedAt,
                          bool installerRunning, Clock::time_point now) {
    if (status == DeveloperToolsStatus::ready)
        return DeveloperToolsStage::ready;
    if (!installStartedAt)
        return DeveloperToolsStage::missing;
    if (installerRunning || now - *installStartedAt < installerGrace)
        return DeveloperToolsStage::installing;
    return DeveloperToolsStage::installerClosed;
}

} // namespace corvane::DeveloperTools
