#include "SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QByteArrayView showRequest = "show\n";
constexpr int answerMilliseconds = 1000;

} // namespace

QString SingleInstance::socketPath(int port) {
    // The session's runtime folder when there is one (asked of the environment directly: Qt would
    // warn on every start without one), else the temporary folder.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = !runtime.isEmpty() && QDir(runtime).exists() ? runtime : QDir::tempPath();
    // The user's id keeps two people on one computer (and a shared temporary folder) apart.
    return u"%1/kestrin-%2-%3.socket"_s.arg(folder).arg(::getuid()).arg(port);
}

bool SingleInstance::askRunningToShow(const QString& path) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(answerMilliseconds))
        return false;
    socket.write(showRequest.data(), showRequest.size());
    return socket.waitForBytesWritten(answerMilliseconds);
}

bool SingleInstance::listen(const QString& path, std::function<void()> onShow) {
    m_onShow = std::move(onShow);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path); // what a crashed Kestrin left; a live one answered before
    if (!m_server->listen(path))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* const caller = m_server->nextPendingConnection()) {
            connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            connect(caller, &QLocalSocket::readyRead, this, [this, caller] {
                if (caller->readAll().contains("show") && m_onShow)
                    m_onShow();
                caller->disconnectFromServer();
            });
        }
    });
    return true;
}

} // namespace corvane
