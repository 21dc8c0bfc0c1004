#include "TrayFace.h"

#include <corvane/agents/ApprovalView.h>
#include <corvane/glasses/GlassesSetupView.h>
#include <corvane/shell/AppConfiguration.h>
#include <corvane/shell/Environment.h>
#include <corvane/updates/UpdateAlertView.h>
#include <corvane/welcome/FolderChooser.h>
#include <corvane/welcome/WelcomeContent.h>
#include <corvane/welcome/WelcomeLaunch.h>

#include <corvane/AppDelegate.h>
#include <corvane/AppQuit.h>
#include <corvane/ApprovalViewModel.h>
#include <corvane/FreedesktopNotifier.h>
#include <corvane/GlassesViewModel.h>
#include <corvane/PortalMotionPreference.h>
#include <corvane/ServerLogModel.h>
#include <corvane/StatusNotifierTrayIcon.h>
#include <corvane/UpdatesModel.h>
#include <corvane/WelcomeViewModel.h>
#include <corvane/controls/Cell.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitAccessibility.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/ReducedMotion.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/logs/LogView.h>
#include <corvane/tray/KestrinIcon.h>
#include <corvane/windows/AppWindow.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

// The faces in the application folder, or in the build folder of a development build.
QString fontsFolder(const AppBundle& bundle) {
    const QString bundled = bundle.path + u"/Contents/Resources/Fonts"_s;
    return QDir(bundled).exists() ? bundled : QStringLiteral(KESTRIN_BUILD_FONTS_DIR);
}

// Before any window is drawn, so that no screen is ever drawn in a fallback face.
ServerViewModel& withFonts(ServerViewModel& model, const AppBundle& bundle) {
    FieldUnitFonts::registerFonts(fontsFolder(bundle));
    return model;
}

} // namespace

const GraphicalToolkit TrayFace::toolkit{
    .application = [](int& argc, char** argv) -> std::unique_ptr<QCoreApplication> {
        auto application = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false); // closing a window never quits a tray application
        return application;
    },
    .face = [](AppDelegate& delegate, const AppBundle& bundle) -> std::unique_ptr<GraphicalFace> {
        return std::make_unique<TrayFace>(delegate.model(), delegate.updates(),
                                          ScreenModels{.welcome = delegate.welcome(),
                                                       .approval = delegate.approval(),
                                                       .previews = delegate.offeredPreviews(),
                                                       .glasses = delegate.glasses(),
                                                       .log = delegate.log()},
                                          bundle);
    },
};

TrayFace::TrayFace(ServerViewModel& model, UpdatesModel& updates, ScreenModels screens,
                   const AppBundle& bundle, QObject* parent)
    : QObject(parent)
    , m_welcome(screens.welcome)
    , m_motion(std::make_unique<PortalMotionPreference>())
    , m_statusIcon(std::make_unique<StatusNotifierTrayIcon>(u"kestrin"_s, u"Kestrin"_s))
    , m_notifier(std::make_unique<FreedesktopNotifier>(AppConfiguration::defaultBundleIdentifier.toString()))
    , m_tray(withFonts(model, bundle), updates, m_statusIcon.get()) {
    m_tray.setNotifier(m_notifier.get());
    // Every window carries Kestrin's icon and, on Wayland, the app id of its desktop entry, so that a
    // task list shows Kestrin and not a generic window.
    QGuiApplication::setDesktopFileName(AppConfiguration::defaultBundleIdentifier.toString());
    QApplication::setWindowIcon(kestrinIcon());
    FieldUnitAccessibility::install();
    // Every moving control follows the desktop's wish for less motion, as it is now and as it changes.
    ReducedMotion::instance().set(m_motion->reduced());
    connect(m_motion.get(), &MotionPreference::changed, &ReducedMotion::instance(), &ReducedMotion::set);
    PreviewsSwitchViewModel* previews = screens.previews;
    if (ApprovalViewModel* approval = screens.approval)
        m_windows.setBuilder(u"approval"_s, [approval, previews](AppWindow& window) {
            window.topBar().setLabel(u"Kestrin · agents"_s);
            window.content()->addWidget(new agents::ApprovalView(*approval, previews));
        });
    if (GlassesViewModel* glasses = screens.glasses)
        m_windows.setBuilder(u"glasses"_s, [glasses](AppWindow& window) {
            window.topBar().setLabel(u"Kestrin · your glasses"_s);
            auto* view = new glasses::GlassesSetupView(*glasses);
            window.content()->addWidget(view);
            QObject::connect(view, &glasses::GlassesSetupView::doneRequested, &window, &QWidget::close);
        });
    if (WelcomeViewModel* welcome = screens.welcome) {
        welcome->setFolderChooser([this] {
            return welcome::chooseProjectsFolder(m_windows.window(u"welcome"_s), QDir::homePath());
        });
        m_windows.setBuilder(u"welcome"_s, [this, welcome, previews, &model](AppWindow& window) {
            auto* content = new welcome::WelcomeContent(*welcome, model, previews);
            content->setTrayCheck([this] { return m_tray.trayShown(); });
            window.topBar().setLabel(u"Kestrin · setup"_s);
            window.topBar().setCorner(&content->stepCell());
            content->stepCell().show();
            window.content()->setContentsMargins(0, 0, 0, 0);
            window.content()->addWidget(content);
            QObject::connect(content, &welcome::WelcomeContent::finished, &window, &QWidget::close);
        });
    }
    if (ServerLogModel* log = screens.log)
        m_windows.setBuilder(u"log"_s, [log](AppWindow& window) {
            window.topBar().setLabel(u"Kestrin · server log"_s);
            window.content()->addWidget(new logs::LogView(*log));
        });
    m_windows.setBuilder(u"update"_s, [&updates](AppWindow& window) {
        window.topBar().setLabel(u"Kestrin · update"_s);
        window.content()->addWidget(new updates::UpdateAlertView(updates));
    });
    // The alert comes forward whenever the updater has something to show, and goes once it has not.
    // News the person did not ask for shows without taking the keyboard; the lit key reminds them.
    connect(&updates, &UpdatesModel::alertChanged, this, [this, &updates] {
        if (updates.alert() && updates.reminder().alertShown)
            m_windows.showQuietly(u"update"_s);
        else if (updates.alert())
            m_windows.open(u"update"_s);
        else if (AppWindow* window = m_windows.window(u"update"_s))
            window->close();
    });
    // Closing the panel's window on a desktop without a tray leaves Kestrin running unseen: said once.
    m_windows.setBuilder(u"still-running"_s, [](AppWindow& window) {
        window.topBar().setLabel(u"Kestrin"_s);
        auto* note = FieldUnitText::sentence(
            u"Kestrin is still running, and its server with it. Open Kestrin again to bring its panel back, "
            u"or choose Quit there to stop both."_s,
            FieldUnitText::text(16), FU::ink);
        note->setWordWrap(true);
        note->setFixedWidth(360);
        window.content()->addWidget(note);
        auto* ok = new Key(u"OK"_s, {KeyStyle::Variant::hot, false});
        window.content()->addWidget(ok, 0, Qt::AlignRight);
        QObject::connect(ok, &QAbstractButton::clicked, &window, &QWidget::close);
    });
    connect(&m_tray, &KestrinTray::closedWithoutTray, &m_windows,
            [this] { m_windows.open(u"still-running"_s); });
    connect(&m_tray, &KestrinTray::openWindowRequested, &m_windows, &AppWindows::open);
    connect(&m_tray, &KestrinTray::quitRequested, this, [] { AppQuit::request(); });
}

void TrayFace::applicationDidFinishLaunching() {
    // The welcome's model already read whether it was finished; the settings are not read again.
    if (m_welcome && WelcomeLaunch::shouldAutoOpen(m_welcome->isCompleted(), processEnvironment()))
        QTimer::singleShot(0, &m_windows, [this] { m_windows.open(u"welcome"_s); });
    // With no tray on the desktop, Kestrin would run unseen: the panel comes as a window, unless the
    // welcome is there to show it runs.
    m_tray.showPanelUnlessTrayAppears([this] {
        const AppWindow* welcome = m_windows.window(u"welcome"_s);
        return welcome && welcome->isVisible();
    });
}

} // namespace corvane
