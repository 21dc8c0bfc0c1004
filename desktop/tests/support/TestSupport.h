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

// What the fixtures' session report (fixtures/SessionReport.h) says about the process that wrote it.
struct SessionFacts {
    qint64 session = -1;
    qint64 process = -2;
    bool hasTerminal = true;
};
inline SessionFacts sessionFacts(const QByteArray& report) {
    const QList<QByteArray> words = report.simplified().split(' ');
    if (words.size() != 6 || words[0] != "session" || words[2] != "process" || words[4] != "terminal")
        return {};
    return {
        .session = words[1].toLongLong(), .process = words[3].toLongLong(), .hasTerminal = words[5] == "yes"};
}
