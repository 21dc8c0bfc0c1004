#pragma once

#include <corvane/shell/TrayIcon.h>

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <memory>

namespace corvane {

namespace sni {
class ItemAdaptor;
class MenuAdaptor;
} // namespace sni

// Kestrin's icon as a StatusNotifierItem, with its menu as a DBusMenu, on the session bus: what KDE
// Plasma, XFCE, Cinnamon, GNOME's AppIndicator extension and waybar show, and the only tray there is
// on Wayland. The item registers with the desktop's StatusNotifierWatcher whenever one appears (at
// start, later, or after it restarts), so the icon follows the tray host.
class StatusNotifierTrayIcon final : public TrayIcon {
    Q_OBJECT
public:
    static constexpr QStringView watcherService = u"org.kde.StatusNotifierWatcher";
    static constexpr QStringView itemPath = u"/StatusNotifierItem";
    static constexpr QStringView menuPath = u"/MenuBar";
    static constexpr int callTimeoutMs = 2000;

    // `id`: the application's name for the host ("kestrin"); `title`: what the host may show.
    StatusNotifierTrayIcon(QString id, QString title, QDBusConnection bus = ownSessionConnection(),
                           QObject* parent = nullptr);
    ~StatusNotifierTrayIcon() override;

    // A session bus connection of the item's own. Qt's tray icon takes names of the same pattern on the
    // shared connection, and releasing one there must never take the item's name with it.
    static QDBusConnection ownSessionConnection();

    bool isShown() const override { return m_shown; }
    bool isSettled() const override { return m_settled; }
    void setIcon(const QList<Pixmap>& sizes) override;
    void setToolTip(const QString& text) override;
    void setMenu(const QList<MenuRow>& rows) override;

    // The item's name on the bus, as the watcher is told it.
    const QString& serviceName() const { return m_service; }

private:
    void registerWithWatcher();
    void setShown(bool shown);
    void settle();

    QDBusConnection m_bus;
    QString m_service;
    std::unique_ptr<QObject> m_itemObject;
    std::unique_ptr<QObject> m_menuObject;
    sni::ItemAdaptor* m_item = nullptr; // owned by m_itemObject
    sni::MenuAdaptor* m_menu = nullptr; // owned by m_menuObject
    QDBusServiceWatcher m_watcher;
    bool m_shown = false;
    bool m_settled = false;
    int m_registrations = 0;
};

} // namespace corvane
