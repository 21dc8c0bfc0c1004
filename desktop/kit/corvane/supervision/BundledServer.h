#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace corvane {

// A server shipped inside the application folder, with the Node.js that runs it.
struct BundledServer {
    QString serverDirectory;
    QString nodePath;

    bool operator==(const BundledServer&) const = default;

    // The server inside the application folder at `bundlePath`, if both it and its Node.js are there.
    static std::optional<BundledServer> locate(const QString& bundlePath,
                                               const std::function<bool(const QString&)>& fileExists);
};

} // namespace corvane
