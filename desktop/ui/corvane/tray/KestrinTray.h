#pragma once

#include <corvane/shell/Notifier.h>

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace corvane {

class ServerViewModel;
class TrayIcon;
class TrayPopup;
class UpdatesModel;

// Kestrin in the system tray: the eyeglasses icon, the menu panel beside it on a left click (a second
// click closes it), and the same rows as a plain menu on a right click. The icon goes to a
// StatusNotifierItem host whenever the desktop runs one (`statusIcon`), else to Qt's own tray icon,
// which is offered whether or not a tray is there yet, so that a tray that starts later (at login,
// say) takes it. With no tray on the desktop, the panel is an ordinary window.
class KestrinTray : public QObject {
    Q_OBJECT
public:
    // Whether the desktop has a tray now.
    using TrayCheck = std::function<bool()>;
    // How long a start waits for a tray before it shows the panel as a window.
    static constexpr std::chrono::milliseconds trayWait{10000};
    // A click on the icon this soon after the panel hid is the press that closed it.
    static constexpr int closingClickMs = 300;

    // Whether windows are placed by the compositor, not by Kestrin (Wayland).
    enum class Placement { byKestrin, byCompositor };

    KestrinTray(ServerViewModel& model, UpdatesModel& updates, TrayIcon* statusIcon = nullptr,
                TrayCheck trayAvailable = defaultTrayCheck(), Placement placement = platformPlacement(),
                QObject* parent = nullptr);
    ~KestrinTray() override;

    static TrayCheck defaultTrayCheck();
    static Placement platformPlacement();

    TrayPopup& panel() const { return *m_panel; }
    QMenu& menu() const { return *m_menu; }
    // Brings the panel forward, beside the icon when there is a tray, else as a window.
    void showPanel();
    // Whether Qt's own tray icon is offered (no StatusNotifierItem host shows Kestrin's).
    bool offersQtIcon() const;
    // Whether the desktop shows Kestrin's icon in a tray now.
    bool trayShown() const;
    // Once launching has finished: when no tray has appeared after `wait` and `othersShowing` says no
    // other window of Kestrin's is on screen, the panel shows as a window, so that the person sees
    // Kestrin runs.
    void showPanelUnlessTrayAppears(std::function<bool()> othersShowing,
                                    std::chrono::milliseconds wait = trayWait);
    // Whether a screen reader is on (by default, whether Qt's accessibility is active).
    void setScreenReaderCheck(std::function<bool()> screenReaderOn) {
        m_screenReaderOn = std::move(screenReaderOn);
    }
    // The desktop's notifications, which offer "Start again" and "Show log" when the server stops for
    // good; without one (or while no notification server answers) the tray icon's message says it.
    void setNotifier(Notifier* notifier);
    static constexpr QStringView startAgainAction = u"start-again";
    static constexpr QStringView showLogAction = u"show-log";
    // The desktop notifications so far, each the words of a failure the server will not recover from.
    const QStringList& notifications() const { return m_notifications; }

Q_SIGNALS:
    void openWindowRequested(const QString& identifier);
    void quitRequested();
    // The person closed the panel's window while there is no tray, the first time in this run: they
    // may not know how to get it back.
    void closedWithoutTray();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void syncMenu();
    bool wantsQtIcon() const;
    void syncIcons();
    void notifyFailure();
    void showInTray(const Notice& notice);
    // A click on the icon: the panel beside `anchor`, or, when it is open there, closed. (A panel shown
    // as a window while there was no tray comes beside the icon instead.)
    void togglePanel(const QRect& anchor);
    void showPanelBeside(const QRect& anchor);

    ServerViewModel& m_model;
    UpdatesModel& m_updates;
    std::unique_ptr<TrayPopup> m_panel;
    std::unique_ptr<QMenu> m_menu;
    QAction* m_start = nullptr; // owned by the menu
    QAction* m_stop = nullptr;
    QAction* m_update = nullptr;
    std::unique_ptr<QSystemTrayIcon> m_icon; // made when first wanted
    TrayIcon* m_status;                      // not owned; may be null
    TrayCheck m_trayAvailable;
    Placement m_placement;
    std::function<bool()> m_screenReaderOn;
    std::optional<QRect> m_lastAnchor; // where the icon was last clicked
    QElapsedTimer m_panelHidden;       // since the panel last hid
    QElapsedTimer m_clicked;           // since a click that is to show the panel, while it is timed
    bool m_toldHowToComeBack = false;
    QTimer m_trayWait;
    QStringList m_notifications;
    Notifier* m_notifier = nullptr;
    bool m_failureNotified = false; // once per failure: a new run starts the count again
};

} // namespace corvane
