#pragma once

#include <corvane/shell/MotionPreference.h>
#include <corvane/shell/Notifier.h>
#include <corvane/shell/TrayIcon.h>

#include <corvane/AppBundle.h>
#include <corvane/GraphicalFace.h>
#include <corvane/ScreenModels.h>
#include <corvane/tray/KestrinTray.h>
#include <corvane/windows/AppWindows.h>

#include <QObject>

#include <memory>

namespace corvane {

class ServerViewModel;
class UpdatesModel;

// The application with a graphical session: the display faces registered first, then the tray with
// its panel and the named windows. Quitting from the panel is the held quit.
class TrayFace : public QObject, public GraphicalFace {
    Q_OBJECT
public:
    TrayFace(ServerViewModel& model, UpdatesModel& updates, ScreenModels screens, const AppBundle& bundle,
             QObject* parent = nullptr);

    // The tray's application object and this face, for the launch.
    static const GraphicalToolkit toolkit;

    // Once launching has finished: opens the welcome by itself on a first run.
    void applicationDidFinishLaunching() override;
    void showPanel() override { m_tray.showPanel(); }

    KestrinTray& tray() { return m_tray; }
    AppWindows& windows() { return m_windows; }

private:
    WelcomeViewModel* m_welcome;                // the welcome window's model, when there is one
    std::unique_ptr<MotionPreference> m_motion; // the desktop's wish for less motion
    std::unique_ptr<TrayIcon> m_statusIcon;     // the icon for StatusNotifierItem hosts
    std::unique_ptr<Notifier> m_notifier;       // the desktop's notifications
    KestrinTray m_tray;
    AppWindows m_windows;
};

} // namespace corvane
