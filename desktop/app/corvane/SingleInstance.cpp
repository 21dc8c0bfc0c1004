#include "SingleInstance.h"

#include <corvane/PrivateFolder.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QByteArrayView showRequest = "show\n";
constexpr int answerMilliseconds = 1000;

// Whether the process at the other end of the connected socket `descriptor` runs as this user.
bool peerIsThisUser(qintptr descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return descriptor >= 0 &&
           ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

} // namespace

QString SingleInstance::socketPath(int port) {
    // The session's runtime folder when it is what it should be (asked of the environment directly: Qt
    // would warn on every start without one); else a folder of Kestrin's own in the user's cache, made
    // for this user alone. Never the shared temporary folder, where anyone can take a name first.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !isPrivateFolder(folder)) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + u"/kestrin"_s;
        if (!makePrivateFolder(folder))
            return {};
    }
    // The user's id keeps two people apart should they share a folder after all.
    return u"%1/kestrin-%2-%3.socket"_s.arg(folder).arg(::getuid()).arg(port);
}

bool SingleInstance::askRunningToShow(const QString& path) {
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(answerMilliseconds) || !peerIsThisUser(socket.socketDescriptor()))
        return false;
    socket.write(showRequest.data(), showRequest.size());
    return socket.waitForBytesWritten(answerMilliseconds);
}

bool SingleInstance::listen(const QString& path, std::function<void()> onShow) {
    if (path.isEmpty())
        return false;
    m_onShow = std::move(onShow);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path); // what a crashed Kestrin left; a live one answered before
    if (!m_server->listen(path))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* const caller = m_server->nextPendingConnection()) {
            // Another account's caller, or one too many, is let go at once.
            if (m_callers >= maxCallers || !peerIsThisUser(caller->socketDescriptor())) {
                caller->abort();
                caller->deleteLater();
                continue;
            }
            ++m_callers;
            connect(caller, &QObject::destroyed, this, [this] { --m_callers; });
            connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            connect(caller, &QLocalSocket::readyRead, this, [this, caller] {
                if (caller->readAll().contains("show") && m_onShow)
                    m_onShow();
                caller->disconnectFromServer();
            });
            // A caller that says nothing is not waited for.
            QTimer::singleShot(callerTime, caller, [caller] {
                caller->abort();
                caller->deleteLater();
            });
        }
    });
    return true;
}

} // namespace corvane
