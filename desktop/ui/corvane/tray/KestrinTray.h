#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace corvane {

class ServerViewModel;
class TrayPopup;
class UpdatesModel;

// Kestrin in the system tray: the eyeglasses icon, the menu panel beside it on a left click, and the
// same rows as a plain menu on a right click for panels that only show menus. The icon is offered
// whether or not a tray is there yet, so that a tray that starts later (at login, say) takes it. With
// no tray on the desktop, the panel is an ordinary window.
class KestrinTray : public QObject {
    Q_OBJECT
public:
    // Whether the desktop has a tray now.
    using TrayCheck = std::function<bool()>;
    // How long a start waits for a tray before it shows the panel as a window.
    static constexpr std::chrono::milliseconds trayWait{10000};

    KestrinTray(ServerViewModel& model, UpdatesModel& updates, QObject* parent = nullptr,
                TrayCheck trayAvailable = defaultTrayCheck());
    ~KestrinTray() override;

    static TrayCheck defaultTrayCheck();

    TrayPopup& panel() const { return *m_panel; }
    QMenu& menu() const { return *m_menu; }
    // Brings the panel forward, beside the icon when there is a tray, else as a window.
    void showPanel();
    // Once launching has finished: when no tray has appeared after `wait` and `othersShowing` says no
    // other window of Kestrin's is on screen, the panel shows as a window, so that the person sees
    // Kestrin runs.
    void showPanelUnlessTrayAppears(std::function<bool()> othersShowing,
                                    std::chrono::milliseconds wait = trayWait);
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
    TrayCheck m_trayAvailable;
    QTimer m_trayWait;
    QStringList m_notifications;
    bool m_failureNotified = false; // once per failure: a new run starts the count again
};

} // namespace corvane
