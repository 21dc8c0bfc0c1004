#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// The server's answer to a chosen project folder: the folder it settled on and the projects inside.
struct ProjectFolderOutcome {
    bool ok = false;
    QString cwd;
    QStringList bookmarks;

    static std::optional<ProjectFolderOutcome> decode(const QJsonObject& object);

    bool operator==(const ProjectFolderOutcome&) const = default;
};

} // namespace corvane
