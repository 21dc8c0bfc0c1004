#pragma once

// A virtual X display of the test's own (Debian's Xvfb), started before anything connects to it. Xvfb
// picks a free display number itself and says which once it is ready, so that suites running side by
// side never share one.

#include "TestSupport.h"

#include <QProcess>
#include <QSize>
#include <QString>

class VirtualDisplay {
public:
    explicit VirtualDisplay(QSize size = {1280, 800}) {
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!m_server.waitForStarted())
            return;
        QByteArray said;
        waitUntil(
            [&] {
                m_server.waitForReadyRead(100);
                said += m_server.readAllStandardOutput();
                return said.contains('\n') || m_server.state() != QProcess::Running;
            },
            20000);
        bool number = false;
        const int display = said.trimmed().toInt(&number);
        if (number && m_server.state() == QProcess::Running)
            m_name = QStringLiteral(":%1").arg(display);
    }
    ~VirtualDisplay() { stopProcess(m_server); }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N"; empty when no display could be started.
    const QString& name() const { return m_name; }

private:
    QProcess m_server;
    QString m_name;
};
