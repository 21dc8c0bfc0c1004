#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace corvane {

class ServerViewModel;
class TrayPopup;
class UpdatesModel;

// Kestrin in the system tray: the eyeglasses icon, the menu panel beside it on a left click, and the
// same rows as a plain menu on a right click for panels that only show menus. With no tray on the
// desktop, the panel is an ordinary window, shown at once.
class KestrinTray : public QObject {
    Q_OBJECT
public:
    KestrinTray(ServerViewModel& model, UpdatesModel& updates, QObject* parent = nullptr);
    ~KestrinTray() override;

    TrayPopup& panel() const { return *m_panel; }
    QMenu& menu() const { return *m_menu; }
    // Brings the panel forward, beside the icon when there is one.
    void showPanel();
    // The desktop notifications so far, each the words of a failure the server will not recover from.
    const QStringList& notifications() const { return m_notifications; }

Q_SIGNALS:
    void openWindowRequested(const QString& identifier);
    void quitRequested();

private:
    void syncMenu();
    void notifyFailure();

    ServerViewModel& m_model;
    UpdatesModel& m_updates;
    std::unique_ptr<TrayPopup> m_panel;
    std::unique_ptr<QMenu> m_menu;
    QAction* m_start = nullptr; // owned by the menu
    QAction* m_stop = nullptr;
    QAction* m_update = nullptr;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    bool m_hasTray;
    QStringList m_notifications;
    bool m_failureNotified = false; // once per failure: a new run starts the count again
};

} // namespace corvane
