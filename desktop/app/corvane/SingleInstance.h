#pragma once

#include <corvane/support/UniqueFd.h>

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace corvane {

// One Kestrin per user and port. The first listens on a local socket in a folder only this user can
// enter (the session's runtime folder, else a private one in the user's cache); a second one started
// beside it asks the first to show itself and leaves the server alone. A socket left behind by a
// Kestrin that crashed answers nobody and is replaced. Both ends talk only to a process of the same
// user: another account's listener is not taken for a running Kestrin, nor its callers obeyed.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // How many callers may wait at once, and how long each may take to say why it came.
    static constexpr int maxCallers = 8;
    static constexpr std::chrono::milliseconds callerTime{1000};

    // The socket of the Kestrin for `port` of this user; empty when no private folder could be had.
    static QString socketPath(int port);

    // Asks a running Kestrin of this user to show itself; whether one answered.
    static bool askRunningToShow(const QString& path);

    // Listens at `path`, calling `onShow` whenever another Kestrin asks. Fails (false) only when the
    // socket cannot be made; Kestrin then runs without the guard.
    bool listen(const QString& path, std::function<void()> onShow);

    // Stops listening and takes its socket away.
    ~SingleInstance() override;

private:
    void acceptCallers();
    void hear(UniqueFd caller);

    QString m_path;
    UniqueFd m_listener;
    std::unique_ptr<QSocketNotifier> m_incoming;
    std::function<void()> m_onShow;
    int m_callers = 0;
};

} // namespace corvane
