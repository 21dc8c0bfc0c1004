#include "ServerLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace corvane::ServerLog {

QString file(const Environment& environment, const QString& home) {
    const QString folder = environment.value(directoryVariable.toString());
    if (!folder.isEmpty())
        return folder + u'/' + fileName.toString();
    return home + defaultFolder.toString() + fileName.toString();
}

std::expected<void, QString> prepare(const QString& logFile, qint64 rotateAt) {
    const QFileInfo log(logFile);
    const QString folder = log.absolutePath();
    if (!QDir().mkpath(folder))
        return std::unexpected(QStringLiteral("could not create the folder %1").arg(folder));
    if (!log.exists() || log.size() < rotateAt)
        return {};
    QFile previous(folder + u'/' + previousFileName.toString());
    if (previous.exists() && !previous.remove())
        return std::unexpected(previous.errorString());
    QFile current(logFile);
    if (!current.rename(previous.fileName()))
        return std::unexpected(current.errorString());
    return {};
}

} // namespace corvane::ServerLog
