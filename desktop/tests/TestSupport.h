#pragma once

// Small helpers shared by the test suites.

#include <QDebug>
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

// A file's whole content; empty when there is no such file.
inline QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a value prints through QDebug, without quotes or trailing space.
template <typename T>
QString debugText(const T& value) {
    QString text;
    QDebug(&text).noquote().nospace() << value;
    return text;
}
