#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace corvane {

// One Kestrin per user and port. The first listens on a local socket in the user's runtime folder; a
// second one started beside it asks the first to show itself and leaves the server alone. A socket
// left behind by a Kestrin that crashed answers nobody and is replaced.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket of the Kestrin for `port` of this user.
    static QString socketPath(int port);

    // Asks a running Kestrin to show itself; whether one answered.
    static bool askRunningToShow(const QString& path);

    // Listens at `path`, calling `onShow` whenever another Kestrin asks. Fails (false) only when the
    // socket cannot be made; Kestrin then runs without the guard.
    bool listen(const QString& path, std::function<void()> onShow);

private:
    QLocalServer* m_server = nullptr;
    std::function<void()> m_onShow;
};

} // namespace corvane
