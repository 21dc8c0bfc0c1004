#pragma once

#include <QFile>
#include <QString>

#include <sys/types.h>

// Whether a process still runs: present in /proc and not a zombie waiting for its parent to reap it.
inline bool processAlive(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype afterName = line.lastIndexOf(')');
    return afterName >= 0 && line.size() > afterName + 2 && line.at(afterName + 2) != 'Z';
}
