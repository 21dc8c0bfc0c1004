#include "KestrinMain.h"

#include <corvane/shell/AppConfiguration.h>
#include <corvane/shell/Environment.h>
#include <corvane/shell/TestCopyEnvironment.h>
#include <corvane/welcome/WelcomeLaunch.h>

#include <corvane/AppBundle.h>
#include <corvane/AppDelegate.h>
#include <corvane/GraphicalFace.h>
#include <corvane/GraphicalSession.h>
#include <corvane/SingleInstance.h>
#include <corvane/TerminationSignal.h>
#include <corvane/terminal/TerminalFace.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <memory>
#include <string_view>
#include <unistd.h>

namespace corvane {

namespace {

using namespace Qt::Literals::StringLiterals;

// What --help says after the options. The manual page is made from this same text at build time, each
// heading becoming a section of it.
QString helpSections() {
    return uR"(
Environment:
  CORVANE_PORT                port of the local server and of every setup request (default 9111)
  CORVANE_REPO_ROOT           run the server from this development checkout (<root>/apps/server)
  CORVANE_SERVER_<NAME>       passed into the server's environment as <NAME>
  CORVANE_LOG_DIR             folder of the server's log (default ~/.local/state/Corvane)
  CORVANE_WRITE_ADMIN_SECRET  file to which this run's admin secret is copied (mode 0600)
  CORVANE_SUPPRESS_WELCOME    "1": the welcome window does not open by itself
  SHELL                       the login shell asked for the search path of the user's programs
  HOME                        the user's home folder (tools, server log, settings)
  XDG_CONFIG_HOME             where Kestrin/Kestrin.conf and the autostart entry live (default ~/.config)
  DISPLAY, WAYLAND_DISPLAY    where Kestrin shows its tray; when no display server answers there, it
                              runs in the terminal

Files:
  ~/.config/Kestrin/Kestrin.conf
                              Kestrin's settings
  ~/.config/autostart/com.mossgate.corvane.mac.desktop
                              present while Kestrin starts when you log in
  ~/.local/share/com.mossgate.corvane.mac/platform-tools/adb
                              the adb that Kestrin fetched to set glasses up
  ~/.local/state/Corvane/     the server's log
  $XDG_RUNTIME_DIR/kestrin-<uid>-<port>.socket
                              where a second kestrin asks the running one to show itself

Exit status:
  0                           Kestrin quit (from its menu, its terminal, SIGTERM or Ctrl-C, always
                              after the server stopped), printed this help or its version, or
                              handed over to a Kestrin already running
  1                           the command line was not understood
)"_s;
}

// The welcome in the terminal, on the same terms as its window opening by itself: until it is
// finished, and not when the environment asks it not to.
corvane::WelcomeViewModel* terminalWelcome(const corvane::AppDelegate& delegate) {
    corvane::WelcomeViewModel* welcome = delegate.welcome();
    return welcome && corvane::WelcomeLaunch::shouldAutoOpen(welcome->isCompleted(),
                                                             corvane::processEnvironment())
               ? welcome
               : nullptr;
}

} // namespace

bool wantsTray(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--headless" || argument == "-h" || argument == "--help" || argument == "-v" ||
            argument == "--version")
            return false;
    }
    return GraphicalSession::answers(processEnvironment());
}

int kestrinMain(int argc, char* argv[], const GraphicalToolkit* toolkit) {
    // SIGTERM and Ctrl-C are the held quit from the very start: one that comes before the delegate
    // listens waits for it instead of ending Kestrin with the server half started.
    TerminationSignal::hold();
    // A write to a server that has gone away must fail with EPIPE, not end the application.
    std::signal(SIGPIPE, SIG_IGN);

    const bool tray = toolkit && wantsTray(argc, argv);
    const std::unique_ptr<QCoreApplication> app =
        tray ? toolkit->application(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(u"Kestrin"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTRIN_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Kestrin keeps the local server that your phone and glasses use to drive coding agents."_s);
    // Our own help option, so that --help also lists the environment variables.
    const QCommandLineOption help(
        {u"h"_s, u"help"_s},
        u"Show this help: the options, the environment, the files and the exit status."_s);
    const QCommandLineOption headless(
        u"headless"_s,
        u"Run in this terminal and print what the menu would show (chosen by itself when there "
        u"is no graphical session). SIGTERM and Ctrl-C quit after the server has stopped."_s);
    parser.addOption(help);
    parser.addOption(headless);
    parser.addVersionOption();
    parser.process(*app);
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText() << helpSections();
        return 0;
    }
    const AppBundle bundle = AppBundle::locate(QCoreApplication::applicationDirPath());
    // One Kestrin per user and port: a second one shows the first and leaves. A test copy's port is
    // part of its environment, so that comes first (the delegate's own applying then adds nothing).
    TestCopyEnvironment::apply(bundle.info);
    const QString instanceSocket =
        SingleInstance::socketPath(AppConfiguration::resolvePort(processEnvironment()));
    if (SingleInstance::askRunningToShow(instanceSocket)) {
        QTextStream(stdout) << u"Kestrin is already running; it was asked to show itself."_s << Qt::endl;
        return 0;
    }

    AppDelegate delegate(bundle);
    std::unique_ptr<GraphicalFace> trayFace;
    std::unique_ptr<TerminalFace> terminalFace;
    if (tray)
        trayFace = toolkit->face(delegate, bundle);
    else
        terminalFace = std::make_unique<TerminalFace>(delegate.model(),
                                                      ScreenModels{.welcome = terminalWelcome(delegate),
                                                                   .approval = delegate.approval(),
                                                                   .previews = delegate.offeredPreviews(),
                                                                   .glasses = delegate.glasses(),
                                                                   .updates = &delegate.updates(),
                                                                   .log = delegate.log()},
                                                      stdout, ::isatty(STDOUT_FILENO) != 0, STDIN_FILENO);
    SingleInstance instance;
    instance.listen(instanceSocket, [&] {
        if (trayFace)
            trayFace->showPanel();
        else
            delegate.model().refresh(); // what showing the panel does
    });
    QTimer::singleShot(0, &delegate, [&] {
        delegate.applicationDidFinishLaunching();
        if (trayFace)
            trayFace->applicationDidFinishLaunching();
    });
    const int status = QCoreApplication::exec();
    delegate.applicationWillTerminate();
    // What was handed over for deletion in the loop's last turn (a finished exchange with the server,
    // say) goes now, while what it belongs to still stands.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}

} // namespace corvane
