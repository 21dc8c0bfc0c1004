#pragma once

// Small helpers shared by the test suites.

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QThread>

#include <functional>
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

// Checks `condition` every 20 ms, without running this thread's event loop, until it holds or
// `timeoutMs` have passed; says whether it held. For what other processes do.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// Waits until the server `process` has made its socket at `path`; false when it ended first or the
// time ran out.
inline bool waitForSocket(const QProcess& process, const QString& path, int timeoutMs = 10000) {
    waitUntil([&] { return process.state() != QProcess::Running || QFileInfo::exists(path); }, timeoutMs);
    return process.state() == QProcess::Running && QFileInfo::exists(path);
}

// Asks `process` to stop, and makes it when it does not within a few seconds.
inline void stopProcess(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished();
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
