#include "BundledServer.h"

#include <corvane/supervision/ServerLaunchPlan.h>

namespace corvane {

std::optional<BundledServer> BundledServer::locate(const QString& bundlePath,
                                                   const std::function<bool(const QString&)>& fileExists) {
    const QString bundle = bundlePath.endsWith(u'/') ? bundlePath.chopped(1) : bundlePath;
    BundledServer server{.serverDirectory = bundle + QStringLiteral("/Contents/Resources/server"),
                         .nodePath = bundle + QStringLiteral("/Contents/Helpers/node")};
    if (fileExists(server.serverDirectory + ServerLaunchPlan::entryScript.toString()) &&
        fileExists(server.nodePath))
        return server;
    return std::nullopt;
}

} // namespace corvane
