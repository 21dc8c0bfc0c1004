#include "SoakRun.h"

#include "SoakClock.h"
#include "Waits.h"

#include <corvane/shell/AppConfiguration.h>
#include <corvane/shell/Environment.h>

#include <corvane/AppDelegate.h>
#include <corvane/ServerViewModel.h>
#include <corvane/TrayFace.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/menu/MenuContent.h>
#include <corvane/tray/TrayPopup.h>
#include <corvane/windows/AppWindow.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTextStream>
#include <qcorotimer.h>

#include <cmath>

using namespace corvane;
using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;

namespace {

// Long enough for a slow machine; a wait that runs out is a failure of the run, not a figure.
constexpr std::chrono::milliseconds shownLimit = 10s;
constexpr std::chrono::milliseconds serverLimit = 60s;
constexpr std::chrono::milliseconds tickLimit = 30s;
constexpr std::chrono::milliseconds idleLimit = 15s;

void say(const QString& line) {
    QTextStream(stdout) << line << Qt::endl;
}

QString seconds(const QElapsedTimer& timer) {
    return QString::number(double(timer.elapsed()) / 1000.0, 'f', 1) + u" s"_s;
}

// The key in the window's top bar that closes it.
Key* closeKey(const AppWindow& window) {
    for (Key* key : window.topBar().findChildren<Key*>())
        if (key->text() == u"Close"_s)
            return key;
    return nullptr;
}

} // namespace

SoakRun::Counts SoakRun::Counts::scaled(double scale) {
    const auto times = [scale](int count) { return std::max(1, int(std::lround(count * scale))); };
    const Counts full;
    return {
        .panelCycles = times(full.panelCycles),
        .windowOpens = times(full.windowOpens),
        .networkSwitches = times(full.networkSwitches),
        .dayTicks = times(full.dayTicks),
    };
}

SoakRun::SoakRun(AppDelegate& delegate, TrayFace& face, SoakClock& clock, Counts counts)
    : m_delegate(delegate)
    , m_face(face)
    , m_clock(clock)
    , m_counts(counts)
    , m_windows{u"welcome"_s, u"glasses"_s, u"approval"_s, u"update"_s, u"log"_s, u"still-running"_s} {}

QCoro::Task<int> SoakRun::run() {
    QElapsedTimer whole;
    whole.start();
    if (!co_await warmUp())
        co_return 1;
    const Reading warm = co_await settledReading();
    say(u"after the warm-up: "_s + warm.figures.text());

    struct Phase {
        QString name;
        QCoro::Task<bool> (SoakRun::*run)();
    };
    const QList<Phase> phases{
        {u"panel opened and closed %1 times"_s.arg(m_counts.panelCycles), &SoakRun::panelPhase},
        {u"each of %1 windows opened and closed %2 times"_s.arg(m_windows.size()).arg(m_counts.windowOpens),
         &SoakRun::windowsPhase},
        {u"%1 network switches"_s.arg(m_counts.networkSwitches), &SoakRun::networkPhase},
        {u"a day of %1 clock ticks"_s.arg(m_counts.dayTicks), &SoakRun::dayPhase},
    };
    Reading last = warm;
    for (const Phase& phase : phases) {
        QElapsedTimer timer;
        timer.start();
        if (!co_await (this->*phase.run)())
            co_return 1;
        const QString took = seconds(timer);
        Reading now = co_await settledReading();
        say(u"after %1 (%2): %3"_s.arg(phase.name, took, now.figures.text()));
        sayChanges(now.inventory, last.inventory);
        last = std::move(now);
    }
    say(u"the panel painted %1 times while shown through the first quarter of the day"_s.arg(
        m_dayPanelPaints));

    const Figures growth = last.figures - warm.figures;
    say(u"growth from the warm-up to the end: "_s + growth.growthText());
    sayChanges(last.inventory, warm.inventory);
    const bool memoryMet = growth.residentMiB < residentGoalMiB;
    const bool descriptorsMet = growth.descriptors <= 0;
    const auto verdict = [](bool met) { return met ? u"met"_s : u"NOT met"_s; };
    say(u"goals: resident memory grows less than %1 MiB: %2; no descriptor more: %3 (the whole run %4)"_s.arg(
        QString::number(residentGoalMiB, 'f', 1), verdict(memoryMet), verdict(descriptorsMet),
        seconds(whole)));
    co_return (memoryMet && descriptorsMet) ? 0 : 1;
}

// First uses are not growth: the server up and read, the tray's icon docked, the panel shown once and
// each window opened once, so that whatever is made once for good is there before the first figures.
QCoro::Task<bool> SoakRun::warmUp() {
    const ServerViewModel& model = m_delegate.model();
    if (!co_await Waits::until([&] { return model.state().isRunning() && model.instructions(); },
                               serverLimit))
        co_return fail(u"the server did not start and answer"_s);
    KestrinTray& tray = m_face.tray();
    if (!co_await Waits::until([&] { return tray.offersQtIcon() && tray.trayShown(); }, shownLimit))
        co_return fail(u"no tray took the icon"_s);
    m_panelPaints = new PaintCount(tray.panel().content());
    if (!co_await showPanel() || !co_await closePanel())
        co_return false;
    for (const QString& identifier : m_windows)
        if (!co_await openAndClose(identifier))
            co_return false;
    co_return true;
}

QCoro::Task<bool> SoakRun::panelPhase() {
    for (int cycle = 0; cycle < m_counts.panelCycles; ++cycle)
        if (!co_await showPanel() || !co_await closePanel())
            co_return false;
    co_return true;
}

QCoro::Task<bool> SoakRun::windowsPhase() {
    for (int round = 0; round < m_counts.windowOpens; ++round)
        for (const QString& identifier : m_windows)
            if (!co_await openAndClose(identifier))
                co_return false;
    co_return true;
}

QCoro::Task<bool> SoakRun::networkPhase() {
    for (int change = 0; change < m_counts.networkSwitches; ++change)
        if (!co_await switchNetwork())
            co_return false;
    co_return true;
}

// The clock released as fast as the model comes round to its next tick, with the server running; the
// panel is shown through the first quarter of the day, so that its redraws on the clock happen too.
QCoro::Task<bool> SoakRun::dayPhase() {
    m_clock.holdForRelease();
    if (!co_await Waits::until([&] { return m_clock.waiting() > 0; }, tickLimit))
        co_return fail(u"the refresh clock is not waiting for a tick"_s);
    const int shownTicks = m_counts.dayTicks / 4;
    if (!co_await showPanel())
        co_return false;
    const int paintsBefore = m_panelPaints->count();
    for (int tick = 0; tick < m_counts.dayTicks; ++tick) {
        if (tick == shownTicks) {
            m_dayPanelPaints = m_panelPaints->count() - paintsBefore;
            if (!co_await closePanel())
                co_return false;
        }
        if (!co_await this->tick())
            co_return false;
    }
    m_clock.followRealTime();
    co_return true;
}

QCoro::Task<bool> SoakRun::showPanel() {
    const TrayPopup& panel = m_face.tray().panel();
    const int painted = m_panelPaints->count();
    m_face.tray().showPanel();
    if (!co_await Waits::until([&] { return panel.isVisible() && m_panelPaints->count() > painted; },
                               shownLimit))
        co_return fail(u"the panel did not paint"_s);
    co_return true;
}

QCoro::Task<bool> SoakRun::closePanel() {
    TrayPopup& panel = m_face.tray().panel();
    if (QWindow* window = panel.windowHandle())
        QTest::keyClick(window, Qt::Key_Escape);
    if (!co_await Waits::until(
            [&] { return !panel.isVisible() && !panel.testAttribute(Qt::WA_WState_Created); }, shownLimit))
        co_return fail(u"Escape did not put the panel away"_s);
    co_await Waits::turn();
    co_return true;
}

QCoro::Task<bool> SoakRun::openAndClose(const QString& identifier) {
    AppWindows& windows = m_face.windows();
    const auto counted = m_windowPaints.find(identifier);
    const int painted = counted == m_windowPaints.end() ? 0 : counted->second->count();
    windows.open(identifier);
    AppWindow* window = windows.window(identifier);
    if (!window)
        co_return fail(u"there is no %1 window"_s.arg(identifier));
    // Counted from its first opening on, before the event loop lets it paint.
    PaintCount* paints = counted == m_windowPaints.end()
                             ? m_windowPaints[identifier] = new PaintCount(*window)
                             : counted->second;
    if (!co_await Waits::until([&] { return window->isVisible() && paints->count() > painted; }, shownLimit))
        co_return fail(u"the %1 window did not paint"_s.arg(identifier));
    const Key* key = closeKey(*window);
    if (!key || !window->windowHandle())
        co_return fail(u"the %1 window has no close key"_s.arg(identifier));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, key->mapTo(window, key->rect().center()));
    if (!co_await Waits::until([&] { return !window->isVisible(); }, shownLimit))
        co_return fail(u"the %1 window's close key did not close it"_s.arg(identifier));
    co_await Waits::turn();
    co_return true;
}

// A real restart each time: the server stopped and started again with the other exposure, and
// answering the model again before the next switch (switched faster than a server starts, every new
// one would be stopped before it ever listened).
QCoro::Task<bool> SoakRun::switchNetwork() {
    ServerViewModel& model = m_delegate.model();
    model.setNetworkPreference(model.networkPreference() == NetworkPreference::thisComputerOnly
                                   ? NetworkPreference::homeNetwork
                                   : NetworkPreference::thisComputerOnly);
    if (!co_await Waits::until(
            [&] {
                return model.state().isRunning() && !model.isApplyingNetworkChange() && model.instructions();
            },
            serverLimit))
        co_return fail(u"the server did not run and answer again after a network switch"_s);
    co_return true;
}

QCoro::Task<bool> SoakRun::tick() {
    const quint64 begun = m_clock.waitsBegun();
    m_clock.release();
    if (!co_await Waits::until([&] { return m_clock.waitsBegun() > begun; }, tickLimit))
        co_return fail(u"the refresh clock did not come round to its next tick"_s);
    co_await Waits::turn();
    if (!m_delegate.model().state().isRunning())
        co_return fail(u"the server stopped during the day"_s);
    co_return true;
}

// Until every exchange with the server has ended (each has a connection of its own, closed with its
// answer), with no read begun meanwhile, so that one under way is not counted as a descriptor left
// behind. One still open after `idleLimit` is counted, and named. The clock is released once first,
// so that one cancelled by a restart sees it and ends, as the application's own clock ends at once
// when cancelled.
QCoro::Task<SoakRun::Reading> SoakRun::settledReading() {
    m_clock.holdForRelease();
    m_clock.release();
    co_await QCoro::sleepFor(1s);
    const int port = AppConfiguration::resolvePort(processEnvironment());
    co_await Waits::until([port] { return !Inventory::connectedTo(port); }, idleLimit);
    Reading reading{.figures = Figures::now(), .inventory = Inventory::now()};
    m_clock.followRealTime();
    co_return reading;
}

void SoakRun::sayChanges(const Inventory& now, const Inventory& earlier) {
    const QStringList classes = now.classesGrownSince(earlier);
    const QStringList opened = now.descriptorsOpenedSince(earlier);
    const QStringList closed = earlier.descriptorsOpenedSince(now);
    if (!classes.isEmpty())
        say(u"    QObjects that came or went: "_s + classes.join(u", "_s));
    if (!opened.isEmpty())
        say(u"    descriptors opened: "_s + opened.join(u", "_s));
    if (!closed.isEmpty())
        say(u"    descriptors closed: "_s + closed.join(u", "_s));
}

bool SoakRun::fail(const QString& what) {
    QTextStream(stderr) << u"bench_soak: "_s << what << Qt::endl;
    return false;
}
