// The soak: Kestrin's tray face run in this process for a long while (the panel, every window, network
// switches and a day of the refresh clock), with its resident memory, descriptors, threads and QObjects
// read after each phase. Run it through node bench/soak.mjs, which gives it a display with a tray, a
// private home and a free port; SOAK_SCALE (default 1) scales every count.

#include "ObjectCount.h"
#include "SoakClock.h"
#include "SoakRun.h"

#include <corvane/shell/Environment.h>

#include <corvane/AppBundle.h>
#include <corvane/AppDelegate.h>
#include <corvane/AppQuit.h>
#include <corvane/GraphicalFace.h>
#include <corvane/TerminationSignal.h>
#include <corvane/TrayFace.h>

#include <QGuiApplication>
#include <QTextStream>
#include <QTimer>

#include <csignal>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

// What the wrapper must have set: a display, a home and runtime folder of the soak's own, the port
// and the checkout whose server runs.
bool hasItsEnvironment() {
    const Environment environment = processEnvironment();
    bool complete = true;
    for (const QString& name :
         {u"DISPLAY"_s, u"HOME"_s, u"XDG_RUNTIME_DIR"_s, u"CORVANE_PORT"_s, u"CORVANE_REPO_ROOT"_s}) {
        if (environment.value(name).isEmpty()) {
            QTextStream(stderr) << u"bench_soak: "_s << name
                                << u" is not set; run it through node bench/soak.mjs"_s << Qt::endl;
            complete = false;
        }
    }
    return complete;
}

} // namespace

int main(int argc, char* argv[]) {
    // Counted from the very start, so that every object the application makes is seen.
    if (!ObjectCount::install()) {
        QTextStream(stderr) << u"bench_soak: this Qt's hook table is not laid out as expected"_s << Qt::endl;
        return 2;
    }
    TerminationSignal::hold(); // as the application does: SIGTERM is the held quit
    std::signal(SIGPIPE, SIG_IGN);
    if (!hasItsEnvironment())
        return 2;
    bool scaleRead = false;
    const double scale = qEnvironmentVariable("SOAK_SCALE", u"1"_s).toDouble(&scaleRead);
    if (!scaleRead || scale <= 0) {
        QTextStream(stderr) << u"bench_soak: SOAK_SCALE must be a number above 0"_s << Qt::endl;
        return 2;
    }

    // The application object and the face as kestrin-tray makes them.
    const std::unique_ptr<QCoreApplication> application = TrayFace::toolkit.application(argc, argv);
    QCoreApplication::setApplicationName(u"Kestrin"_s);
    if (QGuiApplication::platformName() != u"xcb"_s) {
        QTextStream(stderr) << u"bench_soak: needs an X display with a tray, not "_s
                            << QGuiApplication::platformName() << Qt::endl;
        return 2;
    }

    // The refresh clock paced by the soak; everything else as the application builds it.
    const AppBundle bundle = AppBundle::locate(QCoreApplication::applicationDirPath());
    SoakClock clock;
    AppDelegate delegate(bundle, clock.tick());
    const std::unique_ptr<GraphicalFace> made = TrayFace::toolkit.face(delegate, bundle);
    auto* const face = dynamic_cast<TrayFace*>(made.get());
    if (!face) {
        QTextStream(stderr) << u"bench_soak: the tray's toolkit made another face"_s << Qt::endl;
        return 2;
    }
    SoakRun soak(delegate, *face, clock, SoakRun::Counts::scaled(scale));
    std::optional<int> status;
    QTimer::singleShot(0, &delegate, [&] {
        delegate.applicationDidFinishLaunching();
        face->applicationDidFinishLaunching();
        clock.followRealTime();
        // Whatever the outcome, the application then quits the way it always does: server stopped first.
        [](SoakRun& run, std::optional<int>& outcome) -> QCoro::Task<> {
            outcome = co_await run.run();
            AppQuit::request();
        }(soak, status);
    });
    QCoreApplication::exec();
    delegate.applicationWillTerminate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!status)
        QTextStream(stderr) << u"bench_soak: stopped before the soak finished"_s << Qt::endl;
    return status.value_or(1);
}
