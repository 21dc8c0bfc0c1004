#include "TrayFace.h"

#include <corvane/shell/Environment.h>
#include <corvane/welcome/WelcomeLaunch.h>

#include <corvane/AppQuit.h>
#include <corvane/FieldUnitFonts.h>
#include <corvane/SettingsDefaults.h>

#include <QDir>
#include <QTimer>

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

TrayFace::TrayFace(ServerViewModel& model, UpdatesModel& updates, const AppBundle& bundle, QObject* parent)
    : QObject(parent)
    , m_tray(withFonts(model, bundle), updates) {
    connect(&m_tray, &KestrinTray::openWindowRequested, &m_windows, &AppWindows::open);
    connect(&m_tray, &KestrinTray::quitRequested, this, [] { AppQuit::request(); });
}

void TrayFace::applicationDidFinishLaunching() {
    const bool welcomeCompleted = SettingsDefaults().flag(WelcomeLaunch::completedKey.toString());
    if (WelcomeLaunch::shouldAutoOpen(welcomeCompleted, processEnvironment()))
        QTimer::singleShot(0, &m_windows, [this] { m_windows.open(u"welcome"_s); });
}

} // namespace corvane
