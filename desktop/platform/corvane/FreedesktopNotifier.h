#pragma once

#include <corvane/shell/Notifier.h>

#include <QDBusConnection>

#include <optional>

namespace corvane {

// Notifications through the desktop's notification server (org.freedesktop.Notifications on the
// session bus), with their actions; each replaces the one before it. Where no server answers,
// `unavailable` says so.
class FreedesktopNotifier final : public Notifier {
    Q_OBJECT
public:
    static constexpr QStringView service = u"org.freedesktop.Notifications";
    static constexpr QStringView path = u"/org/freedesktop/Notifications";
    static constexpr QStringView interface = u"org.freedesktop.Notifications";

    // `desktopEntry`: the application's desktop entry, which the server shows the notice under.
    explicit FreedesktopNotifier(QString desktopEntry, QDBusConnection bus = QDBusConnection::sessionBus(),
                                 QObject* parent = nullptr);

    void show(const Notice& notice) override;
    // Whether the notice shown last is still there, as far as the server has said.
    bool isShowing() const { return m_shown.has_value(); }

private Q_SLOTS:
    void invoked(uint id, const QString& key);
    void closed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    QString m_desktopEntry;
    std::optional<uint> m_shown;  // the id of the notice shown last, while it is there
    bool m_asking = false;        // a notice is on its way to the server
    std::optional<Notice> m_next; // the notice that waits for that answer, to replace what it shows
};

} // namespace corvane
