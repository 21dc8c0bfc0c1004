#pragma once

// A virtual X display of the test's own (Debian's Xvfb), started before anything connects to it.

#include "TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QSize>
#include <QString>

class VirtualDisplay {
public:
    explicit VirtualDisplay(QSize size = {1280, 800}) {
        for (int number = 91; number < 140 && m_name.isEmpty(); ++number) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) ||
                QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            m_server.start(QStringLiteral("Xvfb"),
                           {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_server.waitForStarted())
                return;
            if (waitForSocket(m_server, QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
                m_name = QStringLiteral(":%1").arg(number);
        }
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
