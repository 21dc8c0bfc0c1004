#pragma once

// Runs the reference server from this checkout as the application does: on a free loopback port, with
// a temporary HOME and the admin secret on its standard input.

#include "TestPorts.h"

#include <corvane/supervision/LocalAdminSecret.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>

#include <csignal>
#include <optional>
#include <sys/prctl.h>

class ReferenceServer {
public:
    static QString entry() { return QStringLiteral(REPO_ROOT "/apps/server/dist/index.js"); }

    // Starts the server and waits until it listens; `error()` says why when it did not.
    // `extra`: more of the server's environment, such as BIND_HOST.
    explicit ReferenceServer(std::optional<corvane::LocalAdminSecret> secret,
                             const QProcessEnvironment& extra = {})
        : m_port(freeLoopbackPort()) {
        const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
        if (node.isEmpty() || !QFile::exists(entry())) {
            m_error = QStringLiteral("Needs node on PATH and a built server at %1 (scripts/bootstrap).")
                          .arg(entry());
            return;
        }
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("PORT"), QString::number(m_port));
        environment.insert(extra);
        if (secret)
            environment.insert(QStringLiteral("CORVANE_SECRETS_ON_STDIN"), QStringLiteral("1"));
        m_process.setProcessEnvironment(environment);
        // A test that aborts must not leave a server behind.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start(node, {entry()});
        m_process.waitForStarted();
        if (secret)
            m_process.write(secret->handoverLine());
        m_process.closeWriteChannel();
        QDeadlineTimer deadline(10'000);
        QByteArray output;
        while (!(output += m_process.readAllStandardOutput()).contains("listening on")) {
            if (m_process.state() == QProcess::NotRunning || deadline.hasExpired()) {
                m_error = QStringLiteral("The server did not start: %1")
                              .arg(QString::fromUtf8(m_process.readAllStandardError()));
                return;
            }
            m_process.waitForReadyRead(100);
        }
    }

    ~ReferenceServer() { stop(); }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

    int port() const { return m_port; }
    QString home() const { return m_home.path(); }
    const QString& error() const { return m_error; }

private:
    QTemporaryDir m_home;
    int m_port = 0;
    QProcess m_process;
    QString m_error;
};
