#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace corvane {

// Finds programs by asking a predicate (the application passes the executable-file test).
struct ToolLocator {
    std::function<bool(const QString&)> exists;

    static QStringList nodeCandidates();
    // The user's own tool folders, put on the server's search path.
    static QStringList toolDirectories(const QString& home);

    std::optional<QString> firstExisting(const QStringList& candidates) const;
};

} // namespace corvane
